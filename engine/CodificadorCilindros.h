#pragma once

#include "DetectorMinucias.h"
#include "Mapa.h"
#include "Plantilla.h"

#include <cstdint>
#include <vector>

namespace portiva::motor {

// Local descriptor of each minutia, in the minutia's own frame (so it does not depend on
// where the finger lies or how it is turned): a disc of radius Radio around the minutia cut
// into an 8 x 8 grid of cells (the 52 inside the disc) and 4 bins of relative direction; a bit
// is set when neighbouring minutiae of that relative direction lie near the cell. A second bit
// set marks which cells lie inside the usable print, so that two descriptors are compared only
// where both prints could show minutiae. Stored in the template, so comparing needs no work but
// bit counts.
class CodificadorCilindros {
public:
    static constexpr float Radio = 70.0f;
    static constexpr int Lado = 8;
    static constexpr int Direcciones = 4;
    static constexpr int Celdas = 52;

    static std::vector<Cilindro> codificar(const std::vector<MinuciaDetectada>& minucias,
                                           const Mapa<std::uint8_t>& zonaUtil, int bloque);
};

} // namespace portiva::motor
