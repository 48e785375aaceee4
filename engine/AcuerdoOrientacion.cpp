#include "AcuerdoOrientacion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

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

namespace {

// The cell of r.celdas each of the n points lands on, -1 for none, placed as pesoConCrestas
// says; plain C++.
void celdasDePuntos(const float* x, const float* y, int n, const Colocacion& m, bool inverso,
                    const RejillaOrientacion& r, std::int32_t* celda) {
    const float lado = static_cast<float>(r.lado);
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
        celda[k] = -1;
        if (!(px >= 0 && py >= 0))
            continue;
        const int cx = static_cast<int>(px / lado), cy = static_cast<int>(py / lado);
        if (cx < r.ancho && cy < r.alto)
            celda[k] = cy * r.ancho + cx;
    }
}

#if defined(__x86_64__) || defined(__i386__)

#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized" // lanes GCC's headers leave undefined
#endif

// The same sixteen points at a time, with the same operations.
__attribute__((target("avx2,avx512f,avx512vl,avx512bw"))) void
celdasDePuntosAvx512(const float* x, const float* y, int n, const Colocacion& m, bool inverso,
                     const RejillaOrientacion& r, std::int32_t* celda) {
    const __m512 c = _mm512_set1_ps(m.c), s = _mm512_set1_ps(m.s), menosS = _mm512_set1_ps(-m.s);
    const __m512 tx = _mm512_set1_ps(m.tx), ty = _mm512_set1_ps(m.ty);
    const __m512 lado = _mm512_set1_ps(static_cast<float>(r.lado)), cero = _mm512_setzero_ps();
    const __m512i ancho = _mm512_set1_epi32(r.ancho), alto = _mm512_set1_epi32(r.alto);
    for (int k = 0; k < n; k += 16) {
        const __mmask16 carriles = n - k >= 16 ? static_cast<__mmask16>(0xFFFF)
                                               : static_cast<__mmask16>((1u << (n - k)) - 1);
        const __m512 gx = _mm512_maskz_loadu_ps(carriles, x + k);
        const __m512 gy = _mm512_maskz_loadu_ps(carriles, y + k);
        __m512 px, py;
        if (inverso) {
            const __m512 dx = _mm512_sub_ps(gx, tx), dy = _mm512_sub_ps(gy, ty);
            px = _mm512_add_ps(_mm512_mul_ps(c, dx), _mm512_mul_ps(s, dy));
            py = _mm512_add_ps(_mm512_mul_ps(menosS, dx), _mm512_mul_ps(c, dy));
        } else {
            px = _mm512_add_ps(_mm512_sub_ps(_mm512_mul_ps(c, gx), _mm512_mul_ps(s, gy)), tx);
            py = _mm512_add_ps(_mm512_add_ps(_mm512_mul_ps(s, gx), _mm512_mul_ps(c, gy)), ty);
        }
        __mmask16 vale = _mm512_mask_cmp_ps_mask(carriles, px, cero, _CMP_GE_OQ);
        vale = _mm512_mask_cmp_ps_mask(vale, py, cero, _CMP_GE_OQ);
        const __m512i cx = _mm512_cvttps_epi32(_mm512_div_ps(px, lado));
        const __m512i cy = _mm512_cvttps_epi32(_mm512_div_ps(py, lado));
        vale = _mm512_mask_cmplt_epi32_mask(vale, cx, ancho);
        vale = _mm512_mask_cmplt_epi32_mask(vale, cy, alto);
        const __m512i indice = _mm512_add_epi32(_mm512_mullo_epi32(cy, ancho), cx);
        _mm512_mask_storeu_epi32(celda + k, carriles,
                                 _mm512_mask_mov_epi32(_mm512_set1_epi32(-1), vale, indice));
    }
}

#pragma GCC diagnostic pop

#endif

} // namespace

float pesoConCrestas(const float* x, const float* y, const float* peso, int n, const Colocacion& m,
                     bool inverso, const RejillaOrientacion& r, Nucleo nucleo) {
    std::array<std::int32_t, 256> celda;
    float dentro = 0;
    // A block of points at a time is placed, then their weights summed in order: adding 0 for
    // a point off the ridges leaves the sum as it was, bit for bit.
    for (int k0 = 0; k0 < n; k0 += static_cast<int>(celda.size())) {
        const int cuantos = std::min(n - k0, static_cast<int>(celda.size()));
#if defined(__x86_64__) || defined(__i386__)
        if (nucleo == Nucleo::Avx512)
            celdasDePuntosAvx512(x + k0, y + k0, cuantos, m, inverso, r, celda.data());
        else
#endif
            celdasDePuntos(x + k0, y + k0, cuantos, m, inverso, r, celda.data());
        for (int k = 0; k < cuantos; ++k) {
            const std::int32_t c = celda[static_cast<std::size_t>(k)];
            dentro += c >= 0 && r.celdas[c] < 180 ? peso[k0 + k] : 0.0f;
        }
    }
    return dentro;
}

float factorAcuerdo(const AcuerdoFlujo& a) {
    if (a.celdasComunes == 0)
        return 0.0f;
    return std::clamp((a.media - AcuerdoNulo) / (AcuerdoPleno - AcuerdoNulo), 0.0f, 1.0f);
}

} // namespace portiva::motor
