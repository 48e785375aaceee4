#pragma once

#include <cstdint>
#include <vector>

namespace portiva::fpgen {

// Precomputed oriented Gabor kernels for every orientation and ridge period the generator
// uses. Each kernel answers 1 to a matching sinusoidal ridge pattern of amplitude 1 and 0 to a
// flat area. Rows are padded to a fixed stride so the filter loop runs over whole rows.
class BancoGabor {
public:
    static constexpr int radio = 9;
    static constexpr int lado = 2 * radio + 1;
    static constexpr int paso = 20; // floats per kernel row
    static constexpr int orientaciones = 48;
    static constexpr double periodoMin = 6.5;
    static constexpr double periodoMax = 14.5;
    static constexpr double pasoPeriodo = 0.25;
    static constexpr int periodos = static_cast<int>((periodoMax - periodoMin) / pasoPeriodo) + 1;

    BancoGabor();

    // Kernel for a ridge direction (angle in [0, pi), counter-clockwise on screen) and period.
    std::uint16_t indice(double angulo, double periodo) const;
    const float* nucleo(std::uint16_t indice) const {
        return &datos_[static_cast<std::size_t>(indice) * lado * paso];
    }

private:
    std::vector<float> datos_;
};

} // namespace portiva::fpgen
