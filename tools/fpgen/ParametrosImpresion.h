#pragma once

#include "GeneradorHuellas.h"

#include <cstdint>

namespace portiva::fpgen {

class Aleatorio;

enum class EstadoPiel { Normal, Seca, Mojada };

// Everything that makes one impression of a finger differ from another: where and how the
// finger lay on the glass, the skin, and the reader's optics. Lengths are in pixels at 500 dpi.
struct ParametrosImpresion {
    // Placement: turn (counter-clockwise on screen) and shift of the finger in the image.
    double rotacionGrados = 0;
    double desplazamientoX = 0, desplazamientoY = 0;

    // Elastic distortion: the skin near the contact centre stays put, the skin beyond
    // radioLejos moves by a small rigid motion, with a smooth transition between.
    double distorsionGiro = 0; // radians
    double distorsionX = 0, distorsionY = 0;
    double distorsionOndulacion = 0;     // amplitude of a smooth random displacement
    double contactoX = 0, contactoY = 0; // contact centre, from the finger's centre point
    double radioCerca = 70, radioLejos = 230;

    // Contact area: an ellipse around the contact centre, as a fraction of the fingertip.
    double contactoAncho = 1.3, contactoAlto = 1.3;
    double contactoIrregular = 0.0;

    // Skin: threshold on the ridge field (negative = thicker ridges), edge softness, state.
    double umbral = 0;
    double transicion = 0.28;
    EstadoPiel piel = EstadoPiel::Normal;
    double intensidadPiel = 0; // 0..1

    // Optics and sensor.
    double fondo = 228, tinta = 38; // grey of the glass and of a fully pressed ridge
    double fondoIrregular = 0;      // uneven lighting amplitude, grey levels
    double desenfoque = 0.6;        // Gaussian sigma, pixels
    double ruido = 2.0;             // sensor noise deviation, grey levels

    std::uint64_t semillaTextura = 0; // noise, blobs and lighting

    // The clean, centred impression.
    static ParametrosImpresion limpia(std::uint64_t semillaTextura);
    // An impression drawn from `rng`, with each effect scaled by `c`. Every random number is
    // drawn whatever `c` says, so switching one effect off does not change the others.
    static ParametrosImpresion sortear(Aleatorio& rng, const Condiciones& c);
};

} // namespace portiva::fpgen
