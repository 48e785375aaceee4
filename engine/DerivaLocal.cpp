#include "DerivaLocal.h"

#include "Plantilla.h"

#include <array>
#include <cmath>

namespace portiva::motor {

namespace {

constexpr float EvidenciaNeutra = 0.5f;
constexpr float AlcanceEnRadios = 3.0f;

} // namespace

void derivasLocales(const std::pair<std::uint8_t, std::uint8_t>* pares, const float* pesos,
                    int nPares, const float* xq, const float* yq, const float* xg, const float* yg,
                    int ng, const Colocacion& m, float radio, float* dx, float* dy) {
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
    // Beyond three radii a pair's Gaussian weight is about 1 %: it is not looked at (exp is the
    // costly part of this step).
    const float alcance2 = AlcanceEnRadios * AlcanceEnRadios * radio * radio;
    for (int k = 0; k < ng; ++k) {
        float suma = EvidenciaNeutra, sx = 0, sy = 0;
        for (int p = 0; p < nPares; ++p) {
            if (p == propio[static_cast<std::size_t>(k)])
                continue;
            const int j = pares[p].second;
            const float ax = xg[j] - xg[k], ay = yg[j] - yg[k];
            const float d2 = ax * ax + ay * ay;
            if (d2 > alcance2)
                continue;
            const float w = pesos[p] * std::exp(-d2 * inv);
            suma += w;
            sx += w * ex[static_cast<std::size_t>(p)];
            sy += w * ey[static_cast<std::size_t>(p)];
        }
        dx[k] = sx / suma;
        dy[k] = sy / suma;
    }
}

} // namespace portiva::motor
