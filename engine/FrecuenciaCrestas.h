#pragma once

#include "CampoOrientacion.h"
#include "Mapa.h"

#include <cstdint>

namespace portiva::motor {

// Local ridge period (pixels at 500 dpi) per block: the grey profile across the ridges in an
// oriented window, its autocorrelation peak, then gaps filled from neighbours and smoothed.
class FrecuenciaCrestas {
public:
    static constexpr float PeriodoMinimo = 5.0f;
    static constexpr float PeriodoMaximo = 16.0f;
    static constexpr float PeriodoTipico = 9.0f;
    // Largest |log(block period / print period)| kept: about 0.7x to 1.4x.
    static constexpr float DesvioAdmitido = 0.34f;

    static Mapa<float> calcular(const Mapa<float>& normalizada, const CampoOrientacion& campo,
                                const Mapa<std::uint8_t>& mascara);
};

} // namespace portiva::motor
