#include "Emparejador.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace portiva::motor {

namespace {

constexpr float RadPorUnidad = 2 * std::numbers::pi_v<float> / 256.0f;
constexpr float DistanciaBase = 8.0f;
constexpr float DistanciaPorPixel = 0.05f;
constexpr float DistanciaMaxima = 18.0f;
// An ending paired with a bifurcation: a minutia seen as the other kind happens between two
// impressions of one finger, but far less often than among chance neighbours.
constexpr float PesoTipoDistinto = 0.8f;
// A pair weighs from this much for unlike neighbourhoods to whole for like ones. A finger's
// pairs on a small overlap have neighbourhoods that reach past it, so theirs agree less than
// the minutiae do.
constexpr float PesoSimilitudMinimo = 0.4f;

} // namespace

Transformacion hacia(float rot, float qx, float qy, float gx, float gy) {
    Transformacion t;
    t.rot = rot;
    t.c = std::cos(rot);
    t.s = std::sin(rot);
    t.tx = qx - (t.c * gx - t.s * gy);
    t.ty = qy - (t.s * gx + t.c * gy);
    t.ax = qx;
    t.ay = qy;
    t.rotUnidades = static_cast<int>(std::lround(rot / RadPorUnidad));
    return t;
}

Emparejador::Emparejador(const RejillaMinucias& q, const std::uint8_t* tipoQ,
                         const std::uint64_t* celdasQ, const std::uint64_t* validasQ,
                         const alineacion::Guardada& g, const std::uint8_t* cilindrosG,
                         Nucleo nucleo)
    : q_(q), tipoQ_(tipoQ), celdasQ_(celdasQ), validasQ_(validasQ), g_(g), cilindrosG_(cilindrosG),
      nucleo_(nucleo) {
    ultimaJ_.fill(-1);
}

float Emparejador::similitud(int i, int j) {
    const auto ui = static_cast<std::size_t>(i);
    if (ultimaJ_[ui] == j)
        return ultimaSim_[ui];
    std::uint64_t cg[PalabrasCilindro], vg[PalabrasCilindro];
    std::memcpy(cg, cilindrosG_ + 64 * j, 32);
    std::memcpy(vg, cilindrosG_ + 64 * j + 32, 32);
    ultimaJ_[ui] = j;
    return ultimaSim_[ui] = std::max(0.0f, alineacion::similitudDescriptores(
                                               celdasQ_ + 4 * i, validasQ_ + 4 * i, cg, vg));
}

namespace {

// What the search for candidate pairs reads, and where it writes them.
struct Busqueda {
    const RejillaMinucias& q;
    const alineacion::Guardada& g;
    const Transformacion& tr;
    const float* derivaX;
    const float* derivaY;
    Emparejador::Candidato* cand;
    int capacidad;
};

// One stored minutia j placed at (px, py), turned to direction ag, with tolerance tol.
struct Colocada {
    int j;
    float px, py, tol, tol2;
    std::uint8_t ag;
};

// Query minutia k (in cell order) as a candidate for the stored one, if its direction and
// distance allow it and there is room.
__attribute__((always_inline)) inline void probar(const Busqueda& b, const Colocada& m, int k,
                                                  int& nc) {
    const auto uk = static_cast<std::size_t>(k);
    const int da = std::abs(static_cast<int>(
        static_cast<std::int8_t>(static_cast<std::uint8_t>(m.ag - b.q.angulo()[uk]))));
    if (da > Emparejador::AnguloParUnidades)
        return;
    const float ex = b.q.x()[uk] - m.px;
    const float ey = b.q.y()[uk] - m.py;
    const float d2 = ex * ex + ey * ey;
    if (d2 > m.tol2 || nc >= b.capacidad)
        return;
    const float d = std::sqrt(d2);
    b.cand[nc++] = {d / m.tol + static_cast<float>(da) / Emparejador::AnguloParUnidades,
                    1.0f - d2 / m.tol2, static_cast<std::uint8_t>(b.q.indice()[uk]),
                    static_cast<std::uint8_t>(m.j)};
}

// Every stored minutia placed by the alignment (and moved by the drift when given), and the
// query minutiae of the grid cells within its tolerance tried by `probarCeldas`, in the order
// of the stored minutiae and, for each, of the cells: the order that breaks ties of cost.
template <typename ProbarCeldas>
__attribute__((always_inline)) inline int recoger(const Busqueda& b, ProbarCeldas probarCeldas) {
    const Transformacion& tr = b.tr;
    int nc = 0;
    for (int j = 0; j < b.g.n; ++j) {
        const float gx = b.g.x[static_cast<std::size_t>(j)],
                    gy = b.g.y[static_cast<std::size_t>(j)];
        float px = tr.c * gx - tr.s * gy + tr.tx;
        float py = tr.s * gx + tr.c * gy + tr.ty;
        if (b.derivaX != nullptr) {
            px += b.derivaX[j];
            py += b.derivaY[j];
        }
        const float rx = px - tr.ax, ry = py - tr.ay;
        const float tol = std::min(
            DistanciaMaxima, DistanciaBase + DistanciaPorPixel * std::sqrt(rx * rx + ry * ry));
        RejillaMinucias::Rango celdas;
        if (!b.q.celdasCerca(px, py, tol, celdas))
            continue; // outside the query's frame
        const Colocada m{
            j,
            px,
            py,
            tol,
            tol * tol,
            static_cast<std::uint8_t>(b.g.angulo[static_cast<std::size_t>(j)] + tr.rotUnidades)};
        probarCeldas(b, m, celdas, nc);
    }
    return nc;
}

// Cells of one row are consecutive: one run of minutiae per row.
struct CeldasPorFilas {
    void operator()(const Busqueda& b, const Colocada& m, const RejillaMinucias::Rango& celdas,
                    int& nc) const {
        const int* const inicio = b.q.inicio();
        const int rw = b.q.columnas();
        for (int cy = celdas.y0; cy <= celdas.y1; ++cy) {
            const int desde = inicio[cy * rw + celdas.x0];
            const int hasta = inicio[cy * rw + celdas.x1 + 1];
            for (int k = desde; k < hasta; ++k)
                probar(b, m, k, nc);
        }
    }
};

int recogerGenerico(const Busqueda& b) {
    return recoger(b, CeldasPorFilas{});
}

#if defined(__x86_64__) || defined(__i386__)

// The processor-specific ways read the run from the first cell's first minutia to the last
// cell's last, a block at a time, and keep those whose cell lies in the columns and rows asked,
// whose direction is near and whose squared distance (the same products and sum as above) is
// within the tolerance; each one kept is then tried as above, in order.
struct CeldasAvx512 {
    __attribute__((target("avx2,avx512f,avx512vl,avx512bw"))) void
    operator()(const Busqueda& b, const Colocada& m, const RejillaMinucias::Rango& celdas,
               int& nc) const {
        const int rw = b.q.columnas();
        const int desde = b.q.inicio()[celdas.y0 * rw + celdas.x0];
        const int hasta = b.q.inicio()[celdas.y1 * rw + celdas.x1 + 1];
        const __m512 px = _mm512_set1_ps(m.px), py = _mm512_set1_ps(m.py);
        const __m512 tol2 = _mm512_set1_ps(m.tol2);
        const __m512i x0 = _mm512_set1_epi32(celdas.x0),
                      anchoX = _mm512_set1_epi32(celdas.x1 - celdas.x0);
        const __m512i y0 = _mm512_set1_epi32(celdas.y0),
                      altoY = _mm512_set1_epi32(celdas.y1 - celdas.y0);
        const __m512i giro = _mm512_set1_epi32(m.ag + Emparejador::AnguloParUnidades);
        const __m512i byte = _mm512_set1_epi32(255),
                      arco = _mm512_set1_epi32(2 * Emparejador::AnguloParUnidades);
        for (int k = desde; k < hasta; k += RejillaMinucias::Relleno) {
            const __m512 ex = _mm512_sub_ps(_mm512_loadu_ps(b.q.x() + k), px);
            const __m512 ey = _mm512_sub_ps(_mm512_loadu_ps(b.q.y() + k), py);
            const __m512 d2 = _mm512_add_ps(_mm512_mul_ps(ex, ex), _mm512_mul_ps(ey, ey));
            __mmask16 sirve = _mm512_cmp_ps_mask(d2, tol2, _CMP_NGT_UQ);
            sirve &= _mm512_cmple_epu32_mask(
                _mm512_sub_epi32(_mm512_loadu_si512(b.q.columna() + k), x0), anchoX);
            sirve &= _mm512_cmple_epu32_mask(
                _mm512_sub_epi32(_mm512_loadu_si512(b.q.fila() + k), y0), altoY);
            sirve &= _mm512_cmple_epu32_mask(
                _mm512_and_si512(_mm512_sub_epi32(giro, _mm512_loadu_si512(b.q.angulo32() + k)),
                                 byte),
                arco);
            for (unsigned r = sirve; r != 0; r &= r - 1)
                probar(b, m, k + __builtin_ctz(r), nc);
        }
    }
};

__attribute__((target("avx2"), always_inline)) inline __m256i leer8(const std::int32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Unsigned a <= c, as max(a, c) == c.
__attribute__((target("avx2"), always_inline)) inline __m256i menorIgual(__m256i a, __m256i c) {
    return _mm256_cmpeq_epi32(_mm256_max_epu32(a, c), c);
}

struct CeldasAvx2 {
    __attribute__((target("avx2"))) void operator()(const Busqueda& b, const Colocada& m,
                                                    const RejillaMinucias::Rango& celdas,
                                                    int& nc) const {
        const int rw = b.q.columnas();
        const int desde = b.q.inicio()[celdas.y0 * rw + celdas.x0];
        const int hasta = b.q.inicio()[celdas.y1 * rw + celdas.x1 + 1];
        const __m256 px = _mm256_set1_ps(m.px), py = _mm256_set1_ps(m.py);
        const __m256 tol2 = _mm256_set1_ps(m.tol2);
        const __m256i x0 = _mm256_set1_epi32(celdas.x0),
                      anchoX = _mm256_set1_epi32(celdas.x1 - celdas.x0);
        const __m256i y0 = _mm256_set1_epi32(celdas.y0),
                      altoY = _mm256_set1_epi32(celdas.y1 - celdas.y0);
        const __m256i giro = _mm256_set1_epi32(m.ag + Emparejador::AnguloParUnidades);
        const __m256i byte = _mm256_set1_epi32(255),
                      arco = _mm256_set1_epi32(2 * Emparejador::AnguloParUnidades);
        for (int k = desde; k < hasta; k += 8) {
            const __m256 ex = _mm256_sub_ps(_mm256_loadu_ps(b.q.x() + k), px);
            const __m256 ey = _mm256_sub_ps(_mm256_loadu_ps(b.q.y() + k), py);
            const __m256 d2 = _mm256_add_ps(_mm256_mul_ps(ex, ex), _mm256_mul_ps(ey, ey));
            __m256i sirve = _mm256_castps_si256(_mm256_cmp_ps(d2, tol2, _CMP_NGT_UQ));
            sirve = _mm256_and_si256(
                sirve, menorIgual(_mm256_sub_epi32(leer8(b.q.columna() + k), x0), anchoX));
            sirve = _mm256_and_si256(
                sirve, menorIgual(_mm256_sub_epi32(leer8(b.q.fila() + k), y0), altoY));
            sirve = _mm256_and_si256(
                sirve, menorIgual(_mm256_and_si256(
                                      _mm256_sub_epi32(giro, leer8(b.q.angulo32() + k)), byte),
                                  arco));
            for (unsigned r = static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(sirve)));
                 r != 0; r &= r - 1)
                probar(b, m, k + __builtin_ctz(r), nc);
        }
    }
};

// GCC's own headers leave the unused lanes of some intrinsics undefined on purpose.
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

// Every stored minutia placed, its tolerance and the grid cells within it worked out sixteen at
// a time, with the same operations in the same order as one at a time (recoger); then each one
// that lies in the query's frame is tried as there, in order.
__attribute__((target("avx2,avx512f,avx512vl,avx512bw"), flatten)) int
recogerAvx512(const Busqueda& b) {
    const Transformacion& tr = b.tr;
    constexpr int N = MaxMinucias + 16;
    alignas(64) float px[N], py[N], tol[N], tol2[N];
    alignas(64) std::int32_t x0[N], y0[N], x1[N], y1[N];
    std::array<std::uint16_t, N / 16> dentro;
    const __m512 c = _mm512_set1_ps(tr.c), s = _mm512_set1_ps(tr.s);
    const __m512 tx = _mm512_set1_ps(tr.tx), ty = _mm512_set1_ps(tr.ty);
    const __m512 ax = _mm512_set1_ps(tr.ax), ay = _mm512_set1_ps(tr.ay);
    const __m512 maxima = _mm512_set1_ps(DistanciaMaxima), base = _mm512_set1_ps(DistanciaBase);
    const __m512 porPixel = _mm512_set1_ps(DistanciaPorPixel);
    const __m512 invCelda = _mm512_set1_ps(1.0f / static_cast<float>(RejillaMinucias::Celda));
    const __m512 cero = _mm512_setzero_ps();
    const __m512i ultimaX = _mm512_set1_epi32(b.q.columnas() - 1),
                  ultimaY = _mm512_set1_epi32(b.q.filas() - 1);
    const int n = b.g.n;
    for (int j = 0; j < n; j += 16) {
        const __mmask16 carriles = n - j >= 16 ? static_cast<__mmask16>(0xFFFF)
                                               : static_cast<__mmask16>((1u << (n - j)) - 1);
        const __m512 gx = _mm512_maskz_loadu_ps(carriles, b.g.x.data() + j);
        const __m512 gy = _mm512_maskz_loadu_ps(carriles, b.g.y.data() + j);
        __m512 x = _mm512_add_ps(_mm512_sub_ps(_mm512_mul_ps(c, gx), _mm512_mul_ps(s, gy)), tx);
        __m512 y = _mm512_add_ps(_mm512_add_ps(_mm512_mul_ps(s, gx), _mm512_mul_ps(c, gy)), ty);
        if (b.derivaX != nullptr) {
            x = _mm512_add_ps(x, _mm512_maskz_loadu_ps(carriles, b.derivaX + j));
            y = _mm512_add_ps(y, _mm512_maskz_loadu_ps(carriles, b.derivaY + j));
        }
        const __m512 rx = _mm512_sub_ps(x, ax), ry = _mm512_sub_ps(y, ay);
        const __m512 r =
            _mm512_sqrt_ps(_mm512_add_ps(_mm512_mul_ps(rx, rx), _mm512_mul_ps(ry, ry)));
        const __m512 t = _mm512_min_ps(_mm512_add_ps(base, _mm512_mul_ps(porPixel, r)), maxima);
        _mm512_store_ps(px + j, x);
        _mm512_store_ps(py + j, y);
        _mm512_store_ps(tol + j, t);
        _mm512_store_ps(tol2 + j, _mm512_mul_ps(t, t));
        // The cells, as RejillaMinucias::celdasCerca finds them.
        const __m512i cx0 =
            _mm512_max_epi32(_mm512_setzero_si512(),
                             _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_sub_ps(x, t), invCelda)));
        const __m512i cy0 =
            _mm512_max_epi32(_mm512_setzero_si512(),
                             _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_sub_ps(y, t), invCelda)));
        const __m512i cx1 = _mm512_min_epi32(
            ultimaX, _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_add_ps(x, t), invCelda)));
        const __m512i cy1 = _mm512_min_epi32(
            ultimaY, _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_add_ps(y, t), invCelda)));
        __mmask16 d = _mm512_mask_cmp_ps_mask(carriles, _mm512_add_ps(x, t), cero, _CMP_NLT_UQ);
        d = _mm512_mask_cmp_ps_mask(d, _mm512_add_ps(y, t), cero, _CMP_NLT_UQ);
        d = _mm512_mask_cmple_epi32_mask(d, cx0, cx1);
        d = _mm512_mask_cmple_epi32_mask(d, cy0, cy1);
        _mm512_store_si512(x0 + j, cx0);
        _mm512_store_si512(y0 + j, cy0);
        _mm512_store_si512(x1 + j, cx1);
        _mm512_store_si512(y1 + j, cy1);
        dentro[static_cast<std::size_t>(j / 16)] = d;
    }
    int nc = 0;
    for (int j0 = 0; j0 < n; j0 += 16)
        for (unsigned d = dentro[static_cast<std::size_t>(j0 / 16)]; d != 0; d &= d - 1) {
            const int j = j0 + __builtin_ctz(d);
            const Colocada m{
                j,
                px[j],
                py[j],
                tol[j],
                tol2[j],
                static_cast<std::uint8_t>(b.g.angulo[static_cast<std::size_t>(j)] + tr.rotUnidades)};
            CeldasAvx512{}(b, m, {x0[j], y0[j], x1[j], y1[j]}, nc);
        }
    return nc;
}

#pragma GCC diagnostic pop

__attribute__((target("avx2"), flatten)) int recogerAvx2(const Busqueda& b) {
    return recoger(b, CeldasAvx2{});
}

#endif

} // namespace

void Emparejador::emparejar(const Transformacion& tr, Emparejado& e, const float* derivaX,
                            const float* derivaY) {
    const Busqueda busqueda{
        q_, g_, tr, derivaX, derivaY, cand_.data(), static_cast<int>(cand_.size())};
    int nc;
    switch (nucleo_) {
#if defined(__x86_64__) || defined(__i386__)
    case Nucleo::Avx512:
        nc = recogerAvx512(busqueda);
        break;
    case Nucleo::Avx2:
        nc = recogerAvx2(busqueda);
        break;
#endif
    default:
        nc = recogerGenerico(busqueda);
        break;
    }
    // Cheapest first, ties in the order found: the cost's bits (a float >= 0 orders like
    // its bits) above the candidate's position, sorted as plain integers.
    std::array<std::uint64_t, 4 * MaxMinucias> orden;
    for (int k = 0; k < nc; ++k)
        orden[static_cast<std::size_t>(k)] =
            static_cast<std::uint64_t>(
                std::bit_cast<std::uint32_t>(cand_[static_cast<std::size_t>(k)].coste))
                << 32 |
            static_cast<std::uint32_t>(k);
    std::sort(orden.begin(), orden.begin() + nc);
    std::array<bool, MaxMinucias> usadaQ{}, usadaG{};
    e.n = 0;
    e.peso = 0;
    for (int k = 0; k < nc; ++k) {
        const auto& c =
            cand_[static_cast<std::size_t>(orden[static_cast<std::size_t>(k)] & 0xFFFFFFFFu)];
        if (usadaQ[c.i] || usadaG[c.j])
            continue;
        usadaQ[c.i] = usadaG[c.j] = true;
        e.cercania[static_cast<std::size_t>(e.n)] = c.cercania;
        e.pares[static_cast<std::size_t>(e.n++)] = {c.i, c.j};
    }
    // Pairs weigh by how alike their neighbourhoods are, how close they land and whether
    // they are of one kind.
    for (int k = 0; k < e.n; ++k) {
        const auto uk = static_cast<std::size_t>(k);
        const auto [qi, gj] = e.pares[uk];
        e.pesoPar[uk] = (PesoSimilitudMinimo + (1 - PesoSimilitudMinimo) * similitud(qi, gj)) *
                        e.cercania[uk] * (tipoQ_[qi] == g_.tipo[gj] ? 1.0f : PesoTipoDistinto);
        e.peso += e.pesoPar[uk];
    }
}

} // namespace portiva::motor
