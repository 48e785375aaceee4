#include "SemillasAlineacion.h"

#include <cstring>

namespace portiva::motor::alineacion {

namespace {

constexpr int BitsComunesMinimos = 64;
constexpr int BitsActivosMinimos = 6;

// Dice similarity of two descriptors over the cells valid in both; -1 when they share too
// little to say. With `sinAzar`, the part that two unrelated descriptors of the same fill
// would reach by chance is taken out (see similitudDescriptores).
template <bool sinAzar>
__attribute__((always_inline)) inline float
similitudPar(const std::uint64_t* cq, const std::uint64_t* vq, const std::uint64_t* cg,
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
    if constexpr (!sinAzar) {
        return dice;
    } else {
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
}

// The best local pairs as alignment seeds. The query is sorted by direction, so each stored
// minutia is compared only with the window of query minutiae whose direction allows an
// alignment inside the rotation tolerance.
__attribute__((always_inline)) inline void semillasNucleo(const ConsultaVista& q, const Guardada& g,
                                                          const std::uint8_t* cilG, int limite,
                                                          Trabajo& t) {
    t.nSemillas = 0;
    const int nq = q.n;
    for (int j = 0; j < g.n; ++j) {
        std::uint64_t cg[PalabrasCilindro], vg[PalabrasCilindro];
        std::memcpy(cg, cilG + 64 * j, 32);
        std::memcpy(vg, cilG + 64 * j + 32, 32);
        if ((vg[0] | vg[1] | vg[2] | vg[3]) == 0)
            continue;
        const std::uint8_t aj = g.angulo[static_cast<std::size_t>(j)];
        const int inicio = limite >= 128 ? 0 : q.primero[static_cast<std::uint8_t>(aj - limite)];
        for (int c = 0; c < nq; ++c) {
            int i = inicio + c;
            if (i >= nq)
                i -= nq;
            if (limite < 128) {
                const int d = static_cast<std::int8_t>(static_cast<std::uint8_t>(aj - q.angulo[i]));
                if (d > limite || d < -limite)
                    break;
            }
            const float s = similitudPar<false>(q.celdas + 4 * i, q.validas + 4 * i, cg, vg);
            if (s <= 0.0f)
                continue;
            if (t.nSemillas < Semillas || s > t.semillas[Semillas - 1].sim) {
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

__attribute__((target("popcnt"))) void semillasPopcnt(const ConsultaVista& q, const Guardada& g,
                                                      const std::uint8_t* cilG, int limite,
                                                      Trabajo& t) {
    semillasNucleo(q, g, cilG, limite, t);
}

void semillasGenerico(const ConsultaVista& q, const Guardada& g, const std::uint8_t* cilG,
                      int limite, Trabajo& t) {
    semillasNucleo(q, g, cilG, limite, t);
}

__attribute__((target("popcnt"))) float similitudPopcnt(const std::uint64_t* cq,
                                                        const std::uint64_t* vq,
                                                        const std::uint64_t* cg,
                                                        const std::uint64_t* vg) {
    return similitudPar<true>(cq, vq, cg, vg);
}

float similitudGenerica(const std::uint64_t* cq, const std::uint64_t* vq, const std::uint64_t* cg,
                        const std::uint64_t* vg) {
    return similitudPar<true>(cq, vq, cg, vg);
}

bool hayPopcnt() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init(); // asked while the program is still being set up
    return __builtin_cpu_supports("popcnt");
#else
    return false;
#endif
}

// Asked once, when the program loads: both entry points run for every comparison.
const bool ConPopcnt = hayPopcnt();

} // namespace

void buscarSemillas(const ConsultaVista& q, const Guardada& g, const std::uint8_t* cilindros,
                    int limite, Trabajo& t) {
    if (ConPopcnt)
        semillasPopcnt(q, g, cilindros, limite, t);
    else
        semillasGenerico(q, g, cilindros, limite, t);
}

float similitudDescriptores(const std::uint64_t* cq, const std::uint64_t* vq,
                            const std::uint64_t* cg, const std::uint64_t* vg) {
    return ConPopcnt ? similitudPopcnt(cq, vq, cg, vg) : similitudGenerica(cq, vq, cg, vg);
}

} // namespace portiva::motor::alineacion
