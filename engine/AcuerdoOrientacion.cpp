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

// The same for any difference the loop below can meet (-359..359), so that it needs no
// division: entry d + 360 holds the value of d modulo 180.
constexpr int DesplazamientoDiferencia = 360;
const std::array<float, 720>& cosenoDobleAmplio() {
    static const std::array<float, 720> t = [] {
        std::array<float, 720> r{};
        for (int k = 0; k < 720; ++k)
            r[static_cast<std::size_t>(k)] =
                cosenoDoble()[static_cast<std::size_t>((k - DesplazamientoDiferencia + 720) % 180)];
        return r;
    }();
    return t;
}

} // namespace

std::vector<CeldaFlujo> celdasConCrestas(const RejillaOrientacion& q) {
    std::vector<CeldaFlujo> r;
    if (q.celdas == nullptr || q.lado <= 0)
        return r;
    // One cell in two, as on a chessboard: the smoothed flow hardly changes from a cell to its
    // neighbour, and the agreement is judged for every comparison.
    for (int cy = 0; cy < q.alto; ++cy)
        for (int cx = (cy & 1); cx < q.ancho; cx += 2) {
            const int o = q.celdas[cy * q.ancho + cx];
            if (o < 180)
                r.push_back({(static_cast<float>(cx) + 0.5f) * static_cast<float>(q.lado),
                             (static_cast<float>(cy) + 0.5f) * static_cast<float>(q.lado), o});
        }
    return r;
}

AcuerdoFlujo acuerdoOrientacion(const std::vector<CeldaFlujo>& q, const RejillaOrientacion& g,
                                const Colocacion& c) {
    AcuerdoFlujo r;
    if (g.celdas == nullptr || g.lado <= 0 || g.ancho <= 0 || g.alto <= 0)
        return r;
    const float cs = c.c, sn = c.s;
    // The stored direction seen in the query's frame, whole degrees (-180..180).
    const int giro = std::clamp(static_cast<int>(std::lround(c.rot * 180.0f / Pi)), -180, 180);
    const float* const valor = cosenoDobleAmplio().data() + DesplazamientoDiferencia - giro;
    const float inv = 1.0f / static_cast<float>(g.lado);
    // Without branches: cells that fall outside the stored print or on its background add
    // nothing, and near the print's edge those are too mixed for the processor to predict.
    float suma = 0;
    int comunes = 0;
    for (const CeldaFlujo& k : q) {
        const float dx = k.x - c.tx, dy = k.y - c.ty;
        const float gx = cs * dx + sn * dy, gy = -sn * dx + cs * dy;
        const bool delante = (gx >= 0) & (gy >= 0);
        const int gcx = delante ? static_cast<int>(gx * inv) : 0;
        const int gcy = delante ? static_cast<int>(gy * inv) : 0;
        const bool dentro = delante & (gcx < g.ancho) & (gcy < g.alto);
        const int indice = dentro ? gcy * g.ancho + gcx : 0;
        const int og = g.celdas[indice];
        const bool vale = dentro && og < 180;
        suma += vale ? valor[k.orientacion - og] : 0.0f;
        comunes += vale;
    }
    r.celdasComunes = comunes;
    if (r.celdasComunes > 0)
        r.media = suma / static_cast<float>(r.celdasComunes);
    return r;
}

float pesoConCrestas(const float* x, const float* y, const float* peso, int n, const Colocacion& m,
                     bool inverso, const RejillaOrientacion& r) {
    const float lado = static_cast<float>(r.lado);
    float dentro = 0;
    for (int k = 0; k < n; ++k) {
        float px, py;
        if (inverso) {
            const float dx = x[k] - m.tx, dy = y[k] - m.ty;
            px = m.c * dx + m.s * dy;
            py = -m.s * dx + m.c * dy;
        } else {
            px = m.c * x[k] - m.s * y[k] + m.tx;
            py = m.s * x[k] + m.c * y[k] + m.ty;
        }
        if (px < 0 || py < 0)
            continue;
        const int cx = static_cast<int>(px / lado), cy = static_cast<int>(py / lado);
        if (cx < r.ancho && cy < r.alto && r.celdas[cy * r.ancho + cx] < 180)
            dentro += peso[k];
    }
    return dentro;
}

float factorAcuerdo(const AcuerdoFlujo& a) {
    if (a.celdasComunes == 0)
        return 0.0f;
    return std::clamp((a.media - AcuerdoNulo) / (AcuerdoPleno - AcuerdoNulo), 0.0f, 1.0f);
}

} // namespace portiva::motor
