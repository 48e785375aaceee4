#include "SemillasAlineacion.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define PORTIVA_X86 1
#endif

namespace portiva::motor::alineacion {

namespace {

constexpr int BitsComunesMinimos = 64;
constexpr int BitsActivosMinimos = 6;
// Query minutiae whose bits are counted at once against one stored minutia.
constexpr int Bloque = 8;

// Dice similarity of two descriptors over the cells valid in both, beyond chance; -1 when they
// share too little to say (see similitudDescriptores).
__attribute__((always_inline)) inline float similitudPar(const std::uint64_t* cq,
                                                         const std::uint64_t* vq,
                                                         const std::uint64_t* cg,
                                                         const std::uint64_t* vg) {
    std::uint64_t m[PalabrasCilindro];
    int comunes = 0;
#pragma GCC unroll 4
    for (int w = 0; w < PalabrasCilindro; ++w) {
        m[w] = vq[w] & vg[w];
        comunes += __builtin_popcountll(m[w]);
    }
    if (comunes < BitsComunesMinimos)
        return -1.0f;
    // Bits set in one descriptor only, and in both: na + nb = distintas + 2 * ambas.
    int distintas = 0, ambas = 0;
#pragma GCC unroll 4
    for (int w = 0; w < PalabrasCilindro; ++w) {
        distintas += __builtin_popcountll((cq[w] ^ cg[w]) & m[w]);
        ambas += __builtin_popcountll(cq[w] & cg[w] & m[w]);
    }
    const int activas = distintas + 2 * ambas;
    if (activas < BitsActivosMinimos)
        return -1.0f;
    const float dice = 2.0f * static_cast<float>(ambas) / static_cast<float>(activas);
    int na = 0;
#pragma GCC unroll 4
    for (int w = 0; w < PalabrasCilindro; ++w)
        na += __builtin_popcountll(cq[w] & m[w]);
    const int nb = activas - na;
    // Expected Dice of two unrelated descriptors with na and nb of the common cells set.
    const float azar = 2.0f * static_cast<float>(na) * static_cast<float>(nb) /
                       (static_cast<float>(comunes) * static_cast<float>(activas));
    if (azar >= 0.999f)
        return 0.0f; // both full: nothing tells them apart
    return (dice - azar) / (1.0f - azar);
}

// Plain Dice of the stored descriptor (cg, vg) against query minutiae k..k+cuantos-1 of the
// transposed layout, one at a time; -1 where they share too little to say. The bit of each one
// whose value is above `umbral` is set in the answer.
__attribute__((always_inline)) inline unsigned
diceBloqueEscalar(const std::uint64_t* t, int paso, int k, int cuantos, const std::uint64_t* cg,
                  const std::uint64_t* vg, float umbral, float* dice) {
    unsigned sobre = 0;
    for (int b = 0; b < cuantos; ++b) {
        const std::uint64_t* q = t + k + b;
        int comunes = 0, distintas = 0, ambas = 0;
#pragma GCC unroll 4
        for (int w = 0; w < PalabrasCilindro; ++w) {
            const std::uint64_t cq = q[w * paso];
            const std::uint64_t m = q[(PalabrasCilindro + w) * paso] & vg[w];
            comunes += __builtin_popcountll(m);
            distintas += __builtin_popcountll((cq ^ cg[w]) & m);
            ambas += __builtin_popcountll(cq & cg[w] & m);
        }
        const int activas = distintas + 2 * ambas;
        const bool vale = comunes >= BitsComunesMinimos && activas >= BitsActivosMinimos;
        const float s =
            vale ? 2.0f * static_cast<float>(ambas) / static_cast<float>(activas) : -1.0f;
        dice[b] = s;
        sobre |= static_cast<unsigned>(s > umbral) << b;
    }
    return sobre;
}

// The best local pairs as alignment seeds. The query is sorted by direction, so each stored
// minutia is compared only with the window of query minutiae whose direction allows an
// alignment inside the rotation tolerance; their bits are counted by `Contar` a block at a
// time, and the pairs that may enter the seeds are then taken one by one in the window's order,
// so that of equal similarities the first found stays ahead.
template <typename Contar>
__attribute__((always_inline)) inline void semillasNucleo(const ConsultaVista& q, const Guardada& g,
                                                          const std::uint8_t* cilG, int limite,
                                                          Trabajo& t, Contar contar) {
    t.nSemillas = 0;
    const int nq = q.n;
    if (nq == 0)
        return;
    const std::uint64_t* const tq = q.traspuestos->datos();
    const int paso = q.traspuestos->paso();
    for (int j = 0; j < g.n; ++j) {
        std::uint64_t cg[PalabrasCilindro], vg[PalabrasCilindro];
        std::memcpy(cg, cilG + 64 * j, 32);
        std::memcpy(vg, cilG + 64 * j + 32, 32);
        if ((vg[0] | vg[1] | vg[2] | vg[3]) == 0)
            continue;
        const std::uint8_t aj = g.angulo[static_cast<std::size_t>(j)];
        int inicio = 0, ventana = nq;
        if (limite < 128) {
            // The query minutiae from direction aj - limite to aj + limite, wrapping round:
            // from the first at or after the one end to the first after the other. When both
            // are the same minutia the window holds all of them or none.
            inicio = q.primero[static_cast<std::uint8_t>(aj - limite)];
            const int fin = q.primero[static_cast<std::uint8_t>(aj + limite + 1)];
            ventana = fin - inicio;
            if (ventana < 0)
                ventana += nq;
            if (ventana == 0) {
                const int d =
                    static_cast<std::int8_t>(static_cast<std::uint8_t>(aj - q.angulo[inicio]));
                ventana = d > limite || d < -limite ? 0 : nq;
            }
        }
        for (int c0 = 0; c0 < ventana; c0 += Bloque) {
            const int cuantos = ventana - c0 < Bloque ? ventana - c0 : Bloque;
            // Only a pair above this can enter the seeds; it only rises as they fill.
            const float umbral = t.nSemillas < Semillas ? 0.0f : t.semillas[Semillas - 1].sim;
            float dice[Bloque];
            unsigned sobre = contar(tq, paso, inicio + c0, cuantos, cg, vg, umbral, dice);
            while (sobre != 0) {
                const int b = __builtin_ctz(sobre);
                sobre &= sobre - 1;
                const float s = dice[b];
                if (t.nSemillas == Semillas && !(s > t.semillas[Semillas - 1].sim))
                    continue;
                int i = inicio + c0 + b;
                if (i >= nq)
                    i -= nq;
                int k = t.nSemillas < Semillas ? t.nSemillas++ : Semillas - 1;
                while (k > 0 && t.semillas[static_cast<std::size_t>(k - 1)].sim < s) {
                    t.semillas[static_cast<std::size_t>(k)] =
                        t.semillas[static_cast<std::size_t>(k - 1)];
                    --k;
                }
                t.semillas[static_cast<std::size_t>(k)] = {s, i, j};
            }
        }
    }
}

void semillasGenerico(const ConsultaVista& q, const Guardada& g, const std::uint8_t* cilG,
                      int limite, Trabajo& t) {
    semillasNucleo(q, g, cilG, limite, t,
                   [](const std::uint64_t* tq, int paso, int k, int cuantos,
                      const std::uint64_t* cg, const std::uint64_t* vg, float umbral, float* dice) {
                       return diceBloqueEscalar(tq, paso, k, cuantos, cg, vg, umbral, dice);
                   });
}

float similitudGenerica(const std::uint64_t* cq, const std::uint64_t* vq, const std::uint64_t* cg,
                        const std::uint64_t* vg) {
    return similitudPar(cq, vq, cg, vg);
}

#ifdef PORTIVA_X86

// The processor-specific ways. Only integer bit counts and the one division of the Dice are
// done in vectors (correctly rounded like the scalar one), so every way gives the same floats.
#define PORTIVA_POPCNT __attribute__((target("popcnt")))
#define PORTIVA_AVX2 __attribute__((target("popcnt,avx2")))
#define PORTIVA_AVX512 __attribute__((target("popcnt,avx2,avx512f,avx512vl,avx512vpopcntdq")))

struct ContarPopcnt {
    PORTIVA_POPCNT unsigned operator()(const std::uint64_t* tq, int paso, int k, int cuantos,
                                       const std::uint64_t* cg, const std::uint64_t* vg,
                                       float umbral, float* dice) const {
        return diceBloqueEscalar(tq, paso, k, cuantos, cg, vg, umbral, dice);
    }
};

PORTIVA_POPCNT __attribute__((flatten)) void semillasPopcnt(const ConsultaVista& q,
                                                            const Guardada& g,
                                                            const std::uint8_t* cilG, int limite,
                                                            Trabajo& t) {
    semillasNucleo(q, g, cilG, limite, t, ContarPopcnt{});
}

PORTIVA_POPCNT float similitudPopcnt(const std::uint64_t* cq, const std::uint64_t* vq,
                                     const std::uint64_t* cg, const std::uint64_t* vg) {
    return similitudPar(cq, vq, cg, vg);
}

// The bits set in each byte, by nibbles looked up in a table.
PORTIVA_AVX2 __attribute__((always_inline)) inline __m256i bitsPorByte(__m256i v) {
    const __m256i tabla = _mm256_setr_epi8(0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4, 0, 1, 1,
                                           2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4);
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i bajo = _mm256_and_si256(v, nibble);
    const __m256i alto = _mm256_and_si256(_mm256_srli_epi16(v, 4), nibble);
    return _mm256_add_epi8(_mm256_shuffle_epi8(tabla, bajo), _mm256_shuffle_epi8(tabla, alto));
}

// The three counts of four query minutiae, in the low half of each 64-bit lane.
PORTIVA_AVX2 __attribute__((always_inline)) inline void
cuentasAvx2(const std::uint64_t* q, int paso, const std::uint64_t* cg, const std::uint64_t* vg,
            __m256i& comunes, __m256i& distintas, __m256i& ambas) {
    __m256i bc = _mm256_setzero_si256(), bd = bc, ba = bc; // at most 32 a byte
    for (int w = 0; w < PalabrasCilindro; ++w) {
        const __m256i cq = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + w * paso));
        const __m256i vq =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + (PalabrasCilindro + w) * paso));
        const __m256i cgw = _mm256_set1_epi64x(static_cast<long long>(cg[w]));
        const __m256i m = _mm256_and_si256(vq, _mm256_set1_epi64x(static_cast<long long>(vg[w])));
        bc = _mm256_add_epi8(bc, bitsPorByte(m));
        bd = _mm256_add_epi8(bd, bitsPorByte(_mm256_and_si256(_mm256_xor_si256(cq, cgw), m)));
        ba = _mm256_add_epi8(ba, bitsPorByte(_mm256_and_si256(_mm256_and_si256(cq, cgw), m)));
    }
    const __m256i cero = _mm256_setzero_si256();
    comunes = _mm256_sad_epu8(bc, cero);
    distintas = _mm256_sad_epu8(bd, cero);
    ambas = _mm256_sad_epu8(ba, cero);
}

// Eight 64-bit lanes holding small counts as eight 32-bit ones.
PORTIVA_AVX2 __attribute__((always_inline)) inline __m256i juntar(__m256i bajo, __m256i alto) {
    const __m256i pares = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
    return _mm256_permute2x128_si256(_mm256_permutevar8x32_epi32(bajo, pares),
                                     _mm256_permutevar8x32_epi32(alto, pares), 0x20);
}

struct ContarAvx2 {
    PORTIVA_AVX2 unsigned operator()(const std::uint64_t* tq, int paso, int k, int cuantos,
                                     const std::uint64_t* cg, const std::uint64_t* vg, float umbral,
                                     float* dice) const {
        __m256i c0, d0, a0, c1, d1, a1;
        cuentasAvx2(tq + k, paso, cg, vg, c0, d0, a0);
        cuentasAvx2(tq + k + 4, paso, cg, vg, c1, d1, a1);
        const __m256i comunes = juntar(c0, c1), ambas = juntar(a0, a1);
        const __m256i activas = _mm256_add_epi32(juntar(d0, d1), _mm256_add_epi32(ambas, ambas));
        const __m256i carriles = _mm256_cmpgt_epi32(_mm256_set1_epi32(cuantos),
                                                    _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
        const __m256i vale = _mm256_and_si256(
            carriles, _mm256_and_si256(
                          _mm256_cmpgt_epi32(comunes, _mm256_set1_epi32(BitsComunesMinimos - 1)),
                          _mm256_cmpgt_epi32(activas, _mm256_set1_epi32(BitsActivosMinimos - 1))));
        // Lanes that share too little are divided by 1 and then replaced.
        const __m256 divisor =
            _mm256_cvtepi32_ps(_mm256_blendv_epi8(_mm256_set1_epi32(1), activas, vale));
        const __m256 s = _mm256_blendv_ps(
            _mm256_set1_ps(-1.0f),
            _mm256_div_ps(_mm256_mul_ps(_mm256_set1_ps(2.0f), _mm256_cvtepi32_ps(ambas)), divisor),
            _mm256_castsi256_ps(vale));
        _mm256_storeu_ps(dice, s);
        const __m256 sobre = _mm256_and_ps(_mm256_cmp_ps(s, _mm256_set1_ps(umbral), _CMP_GT_OQ),
                                           _mm256_castsi256_ps(carriles));
        return static_cast<unsigned>(_mm256_movemask_ps(sobre));
    }
};

PORTIVA_AVX2 __attribute__((flatten)) void semillasAvx2(const ConsultaVista& q, const Guardada& g,
                                                        const std::uint8_t* cilG, int limite,
                                                        Trabajo& t) {
    semillasNucleo(q, g, cilG, limite, t, ContarAvx2{});
}

struct ContarAvx512 {
    PORTIVA_AVX512 unsigned operator()(const std::uint64_t* tq, int paso, int k, int cuantos,
                                       const std::uint64_t* cg, const std::uint64_t* vg,
                                       float umbral, float* dice) const {
        const std::uint64_t* q = tq + k;
        __m512i comunes = _mm512_setzero_si512(), distintas = comunes, ambas = comunes;
        for (int w = 0; w < PalabrasCilindro; ++w) {
            const __m512i cq = _mm512_loadu_si512(q + w * paso);
            const __m512i vq = _mm512_loadu_si512(q + (PalabrasCilindro + w) * paso);
            const __m512i cgw = _mm512_set1_epi64(static_cast<long long>(cg[w]));
            const __m512i m =
                _mm512_and_si512(vq, _mm512_set1_epi64(static_cast<long long>(vg[w])));
            comunes = _mm512_add_epi64(comunes, _mm512_popcnt_epi64(m));
            // (cq ^ cg) & m and cq & cg & m, each in one logic instruction.
            distintas = _mm512_add_epi64(
                distintas, _mm512_popcnt_epi64(_mm512_ternarylogic_epi64(cq, cgw, m, 0x28)));
            ambas = _mm512_add_epi64(
                ambas, _mm512_popcnt_epi64(_mm512_ternarylogic_epi64(cq, cgw, m, 0x80)));
        }
        const __m512i activas = _mm512_add_epi64(distintas, _mm512_add_epi64(ambas, ambas));
        const __mmask8 carriles = static_cast<__mmask8>((1u << cuantos) - 1);
        const __mmask8 vale =
            _mm512_mask_cmpge_epi64_mask(carriles, comunes, _mm512_set1_epi64(BitsComunesMinimos)) &
            _mm512_cmpge_epi64_mask(activas, _mm512_set1_epi64(BitsActivosMinimos));
        const __m256 num = _mm256_mul_ps(
            _mm256_set1_ps(2.0f), _mm256_cvtepi32_ps(_mm512_maskz_cvtepi64_epi32(0xFF, ambas)));
        const __m256 s =
            _mm256_mask_div_ps(_mm256_set1_ps(-1.0f), vale, num,
                               _mm256_cvtepi32_ps(_mm512_maskz_cvtepi64_epi32(0xFF, activas)));
        _mm256_storeu_ps(dice, s);
        return _mm256_mask_cmp_ps_mask(vale, s, _mm256_set1_ps(umbral), _CMP_GT_OQ);
    }
};

PORTIVA_AVX512 __attribute__((flatten)) void semillasAvx512(const ConsultaVista& q,
                                                            const Guardada& g,
                                                            const std::uint8_t* cilG, int limite,
                                                            Trabajo& t) {
    semillasNucleo(q, g, cilG, limite, t, ContarAvx512{});
}

#endif

} // namespace

DescriptoresTraspuestos::DescriptoresTraspuestos(const std::uint64_t* celdas,
                                                 const std::uint64_t* validas, int n)
    : paso_((2 * n + 2 * Bloque - 1) / Bloque * Bloque),
      datos_(static_cast<std::size_t>(2 * PalabrasCilindro * paso_), 0) {
    for (int k = 0; k < 2 * n; ++k) {
        const int i = k < n ? k : k - n;
        for (int w = 0; w < PalabrasCilindro; ++w) {
            datos_[static_cast<std::size_t>(w * paso_ + k)] = celdas[PalabrasCilindro * i + w];
            datos_[static_cast<std::size_t>((PalabrasCilindro + w) * paso_ + k)] =
                validas[PalabrasCilindro * i + w];
        }
    }
}

void buscarSemillas(Nucleo nucleo, const ConsultaVista& q, const Guardada& g,
                    const std::uint8_t* cilindros, int limite, Trabajo& t) {
    switch (nucleo) {
#ifdef PORTIVA_X86
    case Nucleo::Avx512:
        semillasAvx512(q, g, cilindros, limite, t);
        return;
    case Nucleo::Avx2:
        semillasAvx2(q, g, cilindros, limite, t);
        return;
    case Nucleo::Popcnt:
        semillasPopcnt(q, g, cilindros, limite, t);
        return;
#endif
    default:
        semillasGenerico(q, g, cilindros, limite, t);
        return;
    }
}

void buscarSemillas(const ConsultaVista& q, const Guardada& g, const std::uint8_t* cilindros,
                    int limite, Trabajo& t) {
    buscarSemillas(nucleoElegido(), q, g, cilindros, limite, t);
}

float similitudDescriptores(const std::uint64_t* cq, const std::uint64_t* vq,
                            const std::uint64_t* cg, const std::uint64_t* vg) {
#ifdef PORTIVA_X86
    if (nucleoElegido() != Nucleo::Generico)
        return similitudPopcnt(cq, vq, cg, vg);
#endif
    return similitudGenerica(cq, vq, cg, vg);
}

} // namespace portiva::motor::alineacion
