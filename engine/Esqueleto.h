#pragma once

#include "Mapa.h"

#include <cstdint>

namespace portiva::motor {

// From the enhanced image to one-pixel-wide ridge lines: binarise (ridge where the filter
// answers positive), drop tiny ridge islands and fill tiny valley holes (pores, dust), then
// thin (two-subiteration parallel thinning with lookup tables) and remove staircase pixels
// so that every line pixel has exactly two neighbours.
class Esqueleto {
public:
    static Mapa<std::uint8_t> binarizar(const Mapa<float>& realzada,
                                        const Mapa<std::uint8_t>& mascara, int bloque);
    static void adelgazar(Mapa<std::uint8_t>& binaria);

    // 8-neighbourhood as a byte, bit 0 = east, counter-clockwise (in image rows: NE is up).
    static int vecindad(const Mapa<std::uint8_t>& m, int x, int y);
    // Crossing number: number of 0->1 transitions around the pixel.
    static int cruces(int vecindad);
};

} // namespace portiva::motor
