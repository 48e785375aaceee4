#pragma once

#include "Mapa.h"

#include <cstdint>

namespace portiva::motor {

// Ridge orientation per block from the grey-level gradients (structure tensor) of the image
// blurred by a pixel-sized Gaussian, smoothed as a doubled-angle vector field so that opposite
// gradients reinforce instead of cancelling. Also keeps the per-block measures the
// segmentation needs (the gradient energy of the blurred image, the contrast of the image's own).
class CampoOrientacion {
public:
    static CampoOrientacion calcular(const Mapa<float>& gris, int bloque);

    // Smooths the field over the foreground blocks (Gaussian, sigma in blocks) and fills
    // `angulo` (ridge direction, radians in [0, pi)) and `coherencia` (0..1).
    void suavizar(const Mapa<std::uint8_t>& mascara, float sigmaBloques);

    // Ridge direction at a pixel, interpolated in the doubled-angle domain.
    float anguloEn(float x, float y) const;

    int bloque = 8;
    // Doubled-angle gradient sums per block, each gradient weighted by the inverse of its
    // length: (Gx^2-Gy^2)/|G|, 2GxGy/|G|, |G|. What `suavizar` smooths.
    Mapa<float> vx, vy, energia;
    Mapa<float> contraste;       // grey deviation over the block's neighbourhood
    Mapa<float> anisotropia;     // oriented gradient energy per pixel, neighbourhood
    Mapa<float> coherenciaLocal; // unsmoothed coherence over the same neighbourhood
    Mapa<float> angulo, coherencia;
};

} // namespace portiva::motor
