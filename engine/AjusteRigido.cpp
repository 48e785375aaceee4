#include "AjusteRigido.h"

#include <cmath>

namespace portiva::motor {

AjusteRigido ajustarRigido(const float* xq, const float* yq, const float* xg, const float* yg,
                           const std::pair<std::uint8_t, std::uint8_t>* pares, int n) {
    AjusteRigido a;
    for (int k = 0; k < n; ++k) {
        const auto [i, j] = pares[k];
        a.qx += xq[i];
        a.qy += yq[i];
        a.gx += xg[j];
        a.gy += yg[j];
    }
    const float inv = 1.0f / static_cast<float>(n);
    a.qx *= inv;
    a.qy *= inv;
    a.gx *= inv;
    a.gy *= inv;
    // The turn that best lines up the centred stored points with the centred query points.
    float sxx = 0, sxy = 0;
    for (int k = 0; k < n; ++k) {
        const auto [i, j] = pares[k];
        const float ax = xg[j] - a.gx, ay = yg[j] - a.gy, bx = xq[i] - a.qx, by = yq[i] - a.qy;
        sxx += ax * bx + ay * by;
        sxy += ax * by - ay * bx;
    }
    a.rotacion = std::atan2(sxy, sxx);
    return a;
}

} // namespace portiva::motor
