#pragma once

#include "Mapa.h"

#include <cstdint>

namespace portiva::motor {

// Brings any image to the engine's working resolution, 500 dpi, so that every later stage
// (block sizes, ridge periods, distances in the template) is in one unit whatever the reader.
class Remuestreo {
public:
    static constexpr int ResolucionTrabajo = 500;

    static Mapa<float> a500dpi(const std::uint8_t* imagen, int ancho, int alto, int resolucion);
};

} // namespace portiva::motor
