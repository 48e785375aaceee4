#include "AcuerdoOrientacion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace portiva::motor {

namespace {

constexpr float Pi = std::numbers::pi_v<float>;
// Genuine pairs agree at 0.95 (median) and rarely below 0.85; unrelated prints of the same
// pattern class reach 0.8 by the shape of the class alone.
constexpr float AcuerdoNulo = 0.5f;
constexpr float AcuerdoPleno = 0.9f;

// cos(2 * d) for a difference of d degrees, d in 0..179.
const std::array<float, 180>& cosenoDoble() {
    static const std::array<float, 180> t = [] {
        std::array<float, 180> r{};
        for (int d = 0; d < 180; ++d)
            r[static_cast<std::size_t>(d)] = std::cos(2.0f * static_cast<float>(d) * Pi / 180.0f);
        return r;
    }();
    return t;
}

} // namespace

AcuerdoFlujo acuerdoOrientacion(const RejillaOrientacion& q, const RejillaOrientacion& g,
                                const Colocacion& c) {
    AcuerdoFlujo r;
    if (q.celdas == nullptr || g.celdas == nullptr || q.lado <= 0 || g.lado <= 0)
        return r;
    const auto& tabla = cosenoDoble();
    const float cs = std::cos(c.rot), sn = std::sin(c.rot);
    // The stored direction seen in the query's frame, whole degrees.
    const int giro = static_cast<int>(std::lround(c.rot * 180.0f / Pi));
    const float inv = 1.0f / static_cast<float>(g.lado);
    float suma = 0;
    for (int cy = 0; cy < q.alto; ++cy)
        for (int cx = 0; cx < q.ancho; ++cx) {
            const int oq = q.celdas[cy * q.ancho + cx];
            if (oq >= 180)
                continue;
            const float dx = (static_cast<float>(cx) + 0.5f) * static_cast<float>(q.lado) - c.tx;
            const float dy = (static_cast<float>(cy) + 0.5f) * static_cast<float>(q.lado) - c.ty;
            const float gx = cs * dx + sn * dy, gy = -sn * dx + cs * dy;
            if (gx < 0 || gy < 0)
                continue;
            const int gcx = static_cast<int>(gx * inv), gcy = static_cast<int>(gy * inv);
            if (gcx >= g.ancho || gcy >= g.alto)
                continue;
            const int og = g.celdas[gcy * g.ancho + gcx];
            if (og >= 180)
                continue;
            int d = (oq - og - giro) % 180;
            if (d < 0)
                d += 180;
            suma += tabla[static_cast<std::size_t>(d)];
            ++r.celdasComunes;
        }
    if (r.celdasComunes > 0)
        r.media = suma / static_cast<float>(r.celdasComunes);
    return r;
}

float factorAcuerdo(const AcuerdoFlujo& a) {
    if (a.celdasComunes == 0)
        return 0.0f;
    return std::clamp((a.media - AcuerdoNulo) / (AcuerdoPleno - AcuerdoNulo), 0.0f, 1.0f);
}

} // namespace portiva::motor
