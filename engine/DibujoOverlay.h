#pragma once

#include "ConsultaPreparada.h"
#include "Imagenes.h"
#include "Plantilla.h"

#include <array>
#include <cstdint>

namespace portiva::motor {

// Pictures for the desk: the grey image as RGB, and the same with the template drawn over it
// (minutiae as circles for endings and squares for bifurcations with a tick in their
// direction, the ridge segments they sit on, and the ridge directions of the print), the
// elements paired by the last comparison in their own colours.
class DibujoOverlay {
public:
    static constexpr int NoDibujar = 0x1FFFFFFF;

    static ImagenRGB gris(const std::uint8_t* imagen, int ancho, int alto);
    static ImagenRGB biometrico(const DatosPlantilla& plantilla, const std::uint8_t* imagen,
                                int ancho, int alto, int resolucion,
                                const std::array<int, 6>& colores,
                                const DetalleComparacion* comparacion);
};

} // namespace portiva::motor
