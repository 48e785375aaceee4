#pragma once

#include "Mapa.h"

#include <cstdint>

namespace portiva::motor {

// How good a print is, 0..100, and its class (low, medium, high): the size of the usable
// area, how clear the ridge flow is over it, and how many minutiae survived the cleaning
// against how many the ridge lines first showed (noise makes many, most of them false).
class CalidadHuella {
public:
    static int puntuacion(const Mapa<std::uint8_t>& mascara, const Mapa<float>& coherencia,
                          int bloque, int candidatas, int conservadas);
    static int clase(int puntuacion);
};

} // namespace portiva::motor
