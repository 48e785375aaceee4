#pragma once

#include "Mapa.h"

#include <array>
#include <cstdint>
#include <vector>

namespace portiva::motor {

// Contextual enhancement: an oriented Gabor-like filter tuned to each block's ridge direction
// and period, applied as two one-dimensional passes (a Gaussian along the ridges, then a
// cosine-times-Gaussian band-pass across them). Joins broken ridges, separates merged ones and
// removes noise. The filter tables are built once per engine.
class RealceGabor {
public:
    RealceGabor();

    Mapa<float> aplicar(const Mapa<float>& normalizada, const Mapa<float>& angulo,
                        const Mapa<float>& periodo, const Mapa<std::uint8_t>& mascara,
                        int bloque) const;

    static constexpr int Orientaciones = 32;
    static constexpr int RadioAlo = 4; // taps along, 2 px apart
    static constexpr int RadioCruce = 10;
    static constexpr float PeriodoBase = 5.0f;
    static constexpr float PasoPeriodo = 0.5f;
    static constexpr int Periodos = 23;

private:
    std::array<float, 2 * RadioAlo + 1> pesoAlo_{};
    std::vector<float> pesoCruce_; // Periodos x (2 * RadioCruce + 1)
};

} // namespace portiva::motor
