// The seed search, which every comparison starts with: the most alike local pairs within the
// rotation allowed, found the same, bit for bit, by every way of counting bits the processor
// runs, whichever the program picks when it loads.
#include "SemillasAlineacion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

using namespace portiva::motor;
using namespace portiva::motor::alineacion;

// A query's seed subset and a stored template's minutiae with descriptors, drawn at random:
// densities from empty to full, valid cells from too few to all, and some stored descriptors
// copied from the query so that equal similarities occur.
struct Escena {
    int nq = 0;
    std::vector<std::uint8_t> angulo;
    std::vector<std::uint64_t> celdas, validas;
    std::vector<int> primero = std::vector<int>(256, 0);
    DescriptoresTraspuestos traspuestos;
    Guardada g{};
    std::vector<std::uint8_t> cilindros = std::vector<std::uint8_t>(64 * MaxMinucias, 0);

    static std::uint64_t palabra(std::mt19937_64& r, int densidad) {
        std::uint64_t w = ~0ull;
        for (int k = 0; k < densidad; ++k)
            w &= r();
        return densidad < 0 ? 0 : w;
    }

    Escena(std::mt19937_64& r, int consulta, int guardada) : nq(consulta) {
        for (int i = 0; i < nq; ++i)
            angulo.push_back(static_cast<std::uint8_t>(r()));
        std::sort(angulo.begin(), angulo.end());
        for (int i = 0; i < 4 * nq; ++i) {
            celdas.push_back(palabra(r, static_cast<int>(r() % 5) - 1));
            validas.push_back(palabra(r, static_cast<int>(r() % 3)));
        }
        for (int a = 0; a < 256; ++a) {
            int k = 0;
            while (k < nq && angulo[static_cast<std::size_t>(k)] < a)
                ++k;
            primero[static_cast<std::size_t>(a)] = k < nq ? k : 0;
        }
        traspuestos = DescriptoresTraspuestos(celdas.data(), validas.data(), nq);
        g.n = guardada;
        for (int j = 0; j < guardada; ++j) {
            std::uint64_t c[8];
            if (nq > 0 && r() % 4 == 0) {
                const auto i = static_cast<std::size_t>(r() % static_cast<unsigned>(nq));
                std::memcpy(c, &celdas[4 * i], 32);
                std::memcpy(c + 4, &validas[4 * i], 32);
            } else {
                for (int w = 0; w < 4; ++w) {
                    c[w] = palabra(r, static_cast<int>(r() % 5) - 1);
                    c[4 + w] = j % 7 == 0 ? 0 : palabra(r, static_cast<int>(r() % 3));
                }
            }
            std::memcpy(&cilindros[64 * static_cast<std::size_t>(j)], c, 64);
            g.angulo[static_cast<std::size_t>(j)] = static_cast<std::uint8_t>(r());
        }
    }

    ConsultaVista vista() const {
        return {nq, angulo.data(), celdas.data(), validas.data(), primero.data(), &traspuestos};
    }

    // Plain Dice of query i and stored j over their common valid cells, as exact counts.
    bool dice(int i, int j, int& ambas, int& activas) const {
        int comunes = 0;
        ambas = activas = 0;
        for (int w = 0; w < 4; ++w) {
            std::uint64_t cg, vg;
            std::memcpy(&cg, &cilindros[64 * static_cast<std::size_t>(j) + 8 * w], 8);
            std::memcpy(&vg, &cilindros[64 * static_cast<std::size_t>(j) + 32 + 8 * w], 8);
            const auto k = static_cast<std::size_t>(4 * i + w);
            const std::uint64_t m = validas[k] & vg;
            comunes += std::popcount(m);
            ambas += std::popcount(celdas[k] & cg & m);
            activas += std::popcount(celdas[k] & m) + std::popcount(cg & m);
        }
        return comunes >= 64 && activas >= 6 && ambas > 0;
    }
};

bool iguales(const Trabajo& a, const Trabajo& b) {
    if (a.nSemillas != b.nSemillas)
        return false;
    for (int k = 0; k < a.nSemillas; ++k) {
        const auto& x = a.semillas[static_cast<std::size_t>(k)];
        const auto& y = b.semillas[static_cast<std::size_t>(k)];
        if (std::bit_cast<std::uint32_t>(x.sim) != std::bit_cast<std::uint32_t>(y.sim) ||
            x.i != y.i || x.j != y.j)
            return false;
    }
    return true;
}

int diferencia(std::uint8_t a, std::uint8_t b) {
    return std::abs(static_cast<int>(static_cast<std::int8_t>(static_cast<std::uint8_t>(a - b))));
}

TEST(SemillasAlineacion, EveryWayOfCountingBitsFindsTheSameSeeds) {
    const auto nucleos = nucleosDisponibles();
    ASSERT_FALSE(nucleos.empty());
    EXPECT_EQ(nucleos.front(), Nucleo::Generico);
    EXPECT_EQ(nucleoElegido(), nucleos.back());
    std::mt19937_64 r(36);
    int conSemillas = 0;
    for (int caso = 0; caso < 400; ++caso) {
        // Query sizes round the blocks of 4 and 8 counted at once, up to a full template.
        const int nq = caso % 40 == 0 ? MaxMinucias : static_cast<int>(r() % 27);
        const Escena e(r, nq, static_cast<int>(r() % (MaxMinucias + 1)));
        for (int limite : {0, 5, 46, 100, 127, 128, 200}) {
            Trabajo referencia;
            buscarSemillas(Nucleo::Generico, e.vista(), e.g, e.cilindros.data(), limite,
                           referencia);
            conSemillas += referencia.nSemillas > 0;
            for (Nucleo n : nucleos) {
                Trabajo t;
                buscarSemillas(n, e.vista(), e.g, e.cilindros.data(), limite, t);
                ASSERT_TRUE(iguales(t, referencia))
                    << nombreNucleo(n) << ", case " << caso << ", limit " << limite;
            }
            Trabajo elegido;
            buscarSemillas(e.vista(), e.g, e.cilindros.data(), limite, elegido);
            ASSERT_TRUE(iguales(elegido, referencia));
        }
    }
    EXPECT_GT(conSemillas, 1000); // the cases do find seeds
}

TEST(SemillasAlineacion, TheSeedsAreTheMostAlikePairsWithinTheRotationAllowed) {
    std::mt19937_64 r(7);
    for (int caso = 0; caso < 100; ++caso) {
        const Escena e(r, 24, 40 + caso % 41);
        for (int limite : {10, 46, 128}) {
            Trabajo t;
            buscarSemillas(e.vista(), e.g, e.cilindros.data(), limite, t);
            // Best first, each within the limit and as alike as its counts say.
            float peor = 2.0f;
            for (int k = 0; k < t.nSemillas; ++k) {
                const Semilla& s = t.semillas[static_cast<std::size_t>(k)];
                int ambas = 0, activas = 0;
                ASSERT_TRUE(e.dice(s.i, s.j, ambas, activas));
                EXPECT_EQ(s.sim, 2.0f * static_cast<float>(ambas) / static_cast<float>(activas));
                EXPECT_LE(s.sim, peor);
                peor = s.sim;
                if (limite < 128) {
                    EXPECT_LE(diferencia(e.g.angulo[static_cast<std::size_t>(s.j)],
                                         e.angulo[static_cast<std::size_t>(s.i)]),
                              limite);
                }
            }
            // No pair left out is more alike than the last seed, and there are fewer seeds
            // only when fewer pairs qualify.
            int validos = 0;
            for (int j = 0; j < e.g.n; ++j)
                for (int i = 0; i < e.nq; ++i) {
                    int ambas = 0, activas = 0;
                    if ((limite < 128 &&
                         diferencia(e.g.angulo[static_cast<std::size_t>(j)],
                                    e.angulo[static_cast<std::size_t>(i)]) > limite) ||
                        !e.dice(i, j, ambas, activas))
                        continue;
                    ++validos;
                    const auto esSemilla = [&](const Semilla& x) { return x.i == i && x.j == j; };
                    if (t.nSemillas == Semillas &&
                        std::none_of(t.semillas.begin(), t.semillas.end(), esSemilla)) {
                        EXPECT_LE(2.0f * static_cast<float>(ambas) / static_cast<float>(activas),
                                  peor);
                    }
                }
            EXPECT_EQ(t.nSemillas, std::min(validos, Semillas));
        }
    }
}

} // namespace
