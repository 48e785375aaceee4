#pragma once

#include "Mapa.h"
#include "Plantilla.h"
#include "RealceGabor.h"

#include <cstdint>

namespace portiva::motor {

// What the stages produced, kept only when asked for (tests, tuning tools).
struct IntermediosExtraccion {
    Mapa<float> gris;
    Mapa<std::uint8_t> mascara;
    Mapa<float> realzada;
    Mapa<std::uint8_t> esqueleto;
    Mapa<float> angulo;
    Mapa<float> coherencia;
    Mapa<float> periodo;
};

// From a grey image to template data: resolution normalisation, segmentation, orientation
// field, ridge period, enhancement, thinning, minutiae with their false ones removed, local
// descriptors and a quality figure.
class ExtractorMinucias {
public:
    // 0 and `datos` filled (quality class in `clase`), or -108 when the image holds no usable
    // print. Image size and resolution are checked by the caller.
    int extraer(const std::uint8_t* imagen, int ancho, int alto, int resolucion,
                DatosPlantilla& datos, int& clase,
                IntermediosExtraccion* intermedios = nullptr) const;

    static constexpr int Bloque = 8;
    static constexpr int MinuciasMinimas = 5;

private:
    RealceGabor realce_;
};

} // namespace portiva::motor
