#include "DerivaLocal.h"

#include "Plantilla.h"

#include <array>
#include <cmath>

namespace portiva::motor {

namespace {

constexpr float EvidenciaNeutra = 0.5f;

} // namespace

void derivasLocales(const std::pair<std::uint8_t, std::uint8_t>* pares, const float* pesos,
                    int nPares, const float* xq, const float* yq, const float* xg, const float* yg,
                    int ng, const Movimiento& m, float radio, float* dx, float* dy) {
    std::array<float, MaxMinucias> ex, ey;
    std::array<int, MaxMinucias> propio;
    propio.fill(-1);
    for (int p = 0; p < nPares; ++p) {
        const auto [i, j] = pares[p];
        ex[static_cast<std::size_t>(p)] = xq[i] - (m.c * xg[j] - m.s * yg[j] + m.tx);
        ey[static_cast<std::size_t>(p)] = yq[i] - (m.s * xg[j] + m.c * yg[j] + m.ty);
        propio[j] = p;
    }
    const float inv = 1.0f / (2 * radio * radio);
    for (int k = 0; k < ng; ++k) {
        float suma = EvidenciaNeutra, sx = 0, sy = 0;
        for (int p = 0; p < nPares; ++p) {
            if (p == propio[static_cast<std::size_t>(k)])
                continue;
            const int j = pares[p].second;
            const float ax = xg[j] - xg[k], ay = yg[j] - yg[k];
            const float w = pesos[p] * std::exp(-(ax * ax + ay * ay) * inv);
            suma += w;
            sx += w * ex[static_cast<std::size_t>(p)];
            sy += w * ey[static_cast<std::size_t>(p)];
        }
        dx[k] = sx / suma;
        dy[k] = sy / suma;
    }
}

} // namespace portiva::motor
