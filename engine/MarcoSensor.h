#pragma once

#include "Mapa.h"

#include <cstdint>

namespace portiva::motor {

// A sensor that paints a flat frame (bright or dark) round an active area of any shape: a
// round window, cut corners, a strip. The frame is background, but its edge against the ridges
// is the strongest step in the image: read as it is, it takes the ridge flow along it into the
// print area, and every ridge cut by it ends there in a row of false endings that unrelated
// prints pair along the same edge. Found as the flat pixels reached from the image's edge
// (each within `Tolerancia` grey levels of its four neighbours), so a print without a frame,
// whose background has the sensor's noise, costs a look at its edge pixels only.
class MarcoSensor {
public:
    static constexpr float Tolerancia = 1.0f;
    // Flat runs shorter than this along the image's edge are not a frame.
    static constexpr int LargoMinimo = 8;
    // How far beyond the levels of the active area's pixels next to it (5th to 95th percentile)
    // a frame's level lies, in grey levels.
    static constexpr float MargenNivel = 8.0f;

    // 1 for each pixel of the frame; empty (0 x 0) when there is none.
    static Mapa<std::uint8_t> detectar(const Mapa<float>& gris);
    // The frame's pixels take the mean of the active area's, so that its edge is no step.
    static void rellenar(Mapa<float>& gris, const Mapa<std::uint8_t>& marco);
    // Blocks of `bloque` pixels at least half of which are frame become background, so that the
    // print's edge, from which minutiae are kept away and weigh less near it, is the frame's.
    static void excluir(Mapa<std::uint8_t>& mascara, const Mapa<std::uint8_t>& marco, int bloque);
};

} // namespace portiva::motor
