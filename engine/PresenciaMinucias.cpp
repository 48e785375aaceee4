#include "PresenciaMinucias.h"

#include <algorithm>
#include <cmath>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace portiva::motor {

PresenciaMinucias::PresenciaMinucias(const float* x, const float* y, const std::uint8_t* angulo,
                                     int n, int ancho, int alto, float radio, int holgura)
    : ancho_(std::min(ancho, LadoMaximo) / Lado + 1), alto_(std::min(alto, LadoMaximo) / Lado + 1),
      limiteX_(static_cast<float>(ancho_ * Lado)), limiteY_(static_cast<float>(alto_ * Lado)),
      bits_(static_cast<std::size_t>(ancho_) * static_cast<std::size_t>(alto_), 0) {
    const float r2 = radio * radio;
    for (int i = 0; i < n; ++i) {
        // The directions, by their step's centre, within the allowance of this minutia's.
        std::uint32_t direcciones = 0;
        for (int b = 0; b < 32; ++b) {
            const int d =
                static_cast<std::int8_t>(static_cast<std::uint8_t>(8 * b + 4 - angulo[i]));
            if (d <= holgura && d >= -holgura)
                direcciones |= 1u << b;
        }
        const int x0 = std::max(0, static_cast<int>(std::floor((x[i] - radio) / Lado)));
        const int x1 = std::min(ancho_ - 1, static_cast<int>(std::floor((x[i] + radio) / Lado)));
        const int y0 = std::max(0, static_cast<int>(std::floor((y[i] - radio) / Lado)));
        const int y1 = std::min(alto_ - 1, static_cast<int>(std::floor((y[i] + radio) / Lado)));
        for (int cy = y0; cy <= y1; ++cy)
            for (int cx = x0; cx <= x1; ++cx) {
                const float ex = (static_cast<float>(cx) + 0.5f) * Lado - x[i];
                const float ey = (static_cast<float>(cy) + 0.5f) * Lado - y[i];
                if (ex * ex + ey * ey <= r2)
                    bits_[static_cast<std::size_t>(cy * ancho_ + cx)] |= direcciones;
            }
    }
}

#if defined(__x86_64__) || defined(__i386__)

namespace {

// GCC's own headers leave the unused lanes of some intrinsics undefined on purpose.
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

// Sixteen points at a time: placed with the same products and sums as one at a time, their
// cells' words gathered from the map, the points off the frame (or not numbers) left out.
struct ContarAvx512 {
    const std::uint32_t* bits;
    int ancho;
    float limiteX, limiteY;

    __attribute__((target("avx2,avx512f,avx512vl,avx512bw"))) int
    operator()(const float* x, const float* y, const std::uint8_t* angulo, int n,
               const Colocacion& m, int giro) const {
        const __m512 c = _mm512_set1_ps(m.c), s = _mm512_set1_ps(m.s);
        const __m512 tx = _mm512_set1_ps(m.tx), ty = _mm512_set1_ps(m.ty);
        const __m512 cero = _mm512_setzero_ps(),
                     cuarto = _mm512_set1_ps(1.0f / PresenciaMinucias::Lado);
        const __m512 lx = _mm512_set1_ps(limiteX), ly = _mm512_set1_ps(limiteY);
        const __m512i vAncho = _mm512_set1_epi32(ancho), vGiro = _mm512_set1_epi32(giro);
        const __m512i byte = _mm512_set1_epi32(255), uno = _mm512_set1_epi32(1);
        int halladas = 0;
        for (int j = 0; j < n; j += 16) {
            const __mmask16 carriles = n - j >= 16 ? static_cast<__mmask16>(0xFFFF)
                                                   : static_cast<__mmask16>((1u << (n - j)) - 1);
            const __m512 gx = _mm512_maskz_loadu_ps(carriles, x + j);
            const __m512 gy = _mm512_maskz_loadu_ps(carriles, y + j);
            const __m512 px =
                _mm512_add_ps(_mm512_sub_ps(_mm512_mul_ps(c, gx), _mm512_mul_ps(s, gy)), tx);
            const __m512 py =
                _mm512_add_ps(_mm512_add_ps(_mm512_mul_ps(s, gx), _mm512_mul_ps(c, gy)), ty);
            __mmask16 dentro = _mm512_mask_cmp_ps_mask(carriles, px, cero, _CMP_GE_OQ);
            dentro = _mm512_mask_cmp_ps_mask(dentro, py, cero, _CMP_GE_OQ);
            dentro = _mm512_mask_cmp_ps_mask(dentro, px, lx, _CMP_LT_OQ);
            dentro = _mm512_mask_cmp_ps_mask(dentro, py, ly, _CMP_LT_OQ);
            const __m512i cx = _mm512_cvttps_epi32(_mm512_mul_ps(px, cuarto));
            const __m512i cy = _mm512_cvttps_epi32(_mm512_mul_ps(py, cuarto));
            const __m512i celda = _mm512_add_epi32(_mm512_mullo_epi32(cy, vAncho), cx);
            const __m512i palabra =
                _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), dentro, celda, bits, 4);
            const __m512i a = _mm512_cvtepu8_epi32(_mm_maskz_loadu_epi8(carriles, angulo + j));
            const __m512i paso =
                _mm512_srli_epi32(_mm512_and_si512(_mm512_add_epi32(a, vGiro), byte), 3);
            halladas += __builtin_popcount(static_cast<unsigned>(
                _mm512_mask_test_epi32_mask(dentro, _mm512_srlv_epi32(palabra, paso), uno)));
        }
        return halladas;
    }
};

#pragma GCC diagnostic pop

} // namespace

#endif

int PresenciaMinucias::contar(const float* x, const float* y, const std::uint8_t* angulo, int n,
                              const Colocacion& m, int giro, Nucleo nucleo) const {
#if defined(__x86_64__) || defined(__i386__)
    if (nucleo == Nucleo::Avx512)
        return ContarAvx512{bits_.data(), ancho_, limiteX_, limiteY_}(x, y, angulo, n, m, giro);
#endif
    int halladas = 0;
    for (int j = 0; j < n; ++j) {
        const float px = m.c * x[j] - m.s * y[j] + m.tx;
        const float py = m.s * x[j] + m.c * y[j] + m.ty;
        halladas += hay(px, py, static_cast<std::uint8_t>(angulo[j] + giro)) ? 1 : 0;
    }
    return halladas;
}

} // namespace portiva::motor
