#pragma once

#include "CampoOrientacion.h"
#include "Mapa.h"

#include <cstdint>

namespace portiva::motor {

// Which blocks hold the print: oriented gradient energy against the image's own level (so a
// faint dry print and a dark wet one are both found), cleaned by closing and opening, then the
// largest region with its holes filled.
class Segmentacion {
public:
    static Mapa<std::uint8_t> calcular(const CampoOrientacion& campo);

    // Distance in blocks from each block to the nearest background block (or the image edge).
    static Mapa<std::uint8_t> distanciaAlFondo(const Mapa<std::uint8_t>& mascara);
};

} // namespace portiva::motor
