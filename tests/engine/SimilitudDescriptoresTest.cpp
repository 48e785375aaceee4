// The descriptor similarity that weighs each paired minutia: agreement beyond what two
// unrelated neighbourhoods of the same density reach by chance.
#include "SemillasAlineacion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

using portiva::motor::alineacion::similitudDescriptores;
using Palabras = std::array<std::uint64_t, 4>;

constexpr Palabras Todas = {~0ull, ~0ull, ~0ull, ~0ull};

// `n` distinct bits set at random among the 256.
Palabras aleatorio(std::mt19937& r, int n) {
    Palabras p{};
    for (int puestos = 0; puestos < n;) {
        const unsigned b = r() % 256;
        std::uint64_t& w = p[b / 64];
        if ((w >> (b % 64) & 1) == 0) {
            w |= 1ull << (b % 64);
            ++puestos;
        }
    }
    return p;
}

float similitud(const Palabras& a, const Palabras& b, const Palabras& va = Todas,
                const Palabras& vb = Todas) {
    return similitudDescriptores(a.data(), va.data(), b.data(), vb.data());
}

TEST(SimilitudDescriptores, IsOneForTheSameNeighbourhoodAndAboutZeroForUnrelatedOnes) {
    std::mt19937 r(7);
    const Palabras denso = aleatorio(r, 128);
    EXPECT_FLOAT_EQ(similitud(denso, denso), 1.0f);
    // Half the bits set in each: plain Dice would give about 1/2 to any two of them.
    float suma = 0, mayor = -1;
    for (int k = 0; k < 200; ++k) {
        const float s = similitud(aleatorio(r, 128), aleatorio(r, 128));
        suma += s;
        mayor = std::max(mayor, s);
    }
    EXPECT_NEAR(suma / 200, 0.0f, 0.03f);
    EXPECT_LT(mayor, 0.3f);
    // Disjoint neighbourhoods share fewer bits than chance.
    const Palabras a = {0xFFFF, 0, 0, 0}, b = {0xFFFF0000, 0, 0, 0};
    EXPECT_LT(similitud(a, b), 0.0f);
}

TEST(SimilitudDescriptores, ASparseNeighbourhoodThatAgreesWeighsMoreThanADenseOneAsAlike) {
    // Both pairs have a Dice of 3/4: 12 of 16 bits shared against 96 of 128.
    const Palabras ralaA = {0xFFFF, 0, 0, 0}, ralaB = {0x0FFF | 0xFull << 32, 0, 0, 0};
    const Palabras densaA = {~0ull, ~0ull, 0, 0};
    const Palabras densaB = {~0ull, 0x00000000FFFFFFFFull, 0xFFFFFFFF00000000ull, 0};
    const float rala = similitud(ralaA, ralaB), densa = similitud(densaA, densaB);
    EXPECT_GT(rala, 0.7f);
    EXPECT_LT(densa, 0.55f);
    EXPECT_GT(densa, 0.0f);
}

TEST(SimilitudDescriptores, TooFewCommonCellsOrBitsSayNothing) {
    std::mt19937 r(3);
    const Palabras a = aleatorio(r, 100), b = aleatorio(r, 100);
    // 32 valid cells in common: too few to say.
    const Palabras poca = {0xFFFFFFFFull, 0, 0, 0};
    EXPECT_EQ(similitud(a, b, poca, Todas), -1.0f);
    // Nothing set in either: no evidence either way.
    EXPECT_EQ(similitud(Palabras{}, Palabras{}), -1.0f);
    // Every bit set in both: identical, but nothing tells them from any other pair.
    EXPECT_EQ(similitud(Todas, Todas), 0.0f);
}

} // namespace

namespace {

using portiva::motor::alineacion::buscarSemillas;
using portiva::motor::alineacion::ConsultaVista;
using portiva::motor::alineacion::Guardada;
using portiva::motor::alineacion::Trabajo;

// The same `n` of `de`'s bits, taken in order.
Palabras primeros(const Palabras& de, int n) {
    Palabras p{};
    for (int b = 0; b < 256 && n > 0; ++b)
        if (de[b / 64] >> (b % 64) & 1) {
            p[b / 64] |= 1ull << (b % 64);
            --n;
        }
    return p;
}

Palabras unir(Palabras a, const Palabras& b) {
    for (int w = 0; w < 4; ++w)
        a[static_cast<std::size_t>(w)] |= b[static_cast<std::size_t>(w)];
    return a;
}

} // namespace

// A stored minutia whose neighbourhood looks like every query minutia's (a dense, common one)
// would fill every seed with near copies of one alignment; each stored minutia proposes only
// its best pair, so the others' own pairs are tried too.
TEST(SemillasAlineacion, EachStoredMinutiaGivesOneSeedSoOneCommonNeighbourhoodCannotTakeThemAll) {
    std::mt19937 r(11);
    constexpr int N = 8;
    const Palabras base = aleatorio(r, 90);
    std::array<Palabras, N> consulta{};
    for (auto& c : consulta)
        c = unir(base, aleatorio(r, 10));
    // Stored 0: the common part alone, closer to every query minutia than any other pair is.
    // Stored k: query k's own bits and part of the common ones.
    std::array<Palabras, N> guardada{};
    guardada[0] = base;
    for (int k = 1; k < N; ++k) {
        Palabras propio{};
        for (int w = 0; w < 4; ++w)
            propio[static_cast<std::size_t>(w)] =
                consulta[static_cast<std::size_t>(k)][static_cast<std::size_t>(w)] &
                ~base[static_cast<std::size_t>(w)];
        guardada[static_cast<std::size_t>(k)] = unir(primeros(base, 70), propio);
    }
    ASSERT_GT(similitud(consulta[3], guardada[0]), similitud(consulta[3], guardada[3]));

    std::vector<std::uint64_t> celdasQ, validasQ;
    for (const auto& c : consulta) {
        celdasQ.insert(celdasQ.end(), c.begin(), c.end());
        validasQ.insert(validasQ.end(), Todas.begin(), Todas.end());
    }
    const std::vector<std::uint8_t> angulos(N, 0);
    const std::vector<int> primero(256, 0);
    const ConsultaVista q{N, angulos.data(), celdasQ.data(), validasQ.data(), primero.data()};
    Guardada g{};
    g.n = N;
    std::vector<std::uint8_t> cilindros(64 * N);
    for (int k = 0; k < N; ++k) {
        std::memcpy(&cilindros[static_cast<std::size_t>(64 * k)],
                    guardada[static_cast<std::size_t>(k)].data(), 32);
        std::memcpy(&cilindros[static_cast<std::size_t>(64 * k + 32)], Todas.data(), 32);
    }
    Trabajo t;
    buscarSemillas(q, g, cilindros.data(), 128, t);

    ASSERT_GE(t.nSemillas, 6);
    int propios = 0;
    for (int a = 0; a < t.nSemillas; ++a) {
        const auto& s = t.semillas[static_cast<std::size_t>(a)];
        propios += s.i == s.j ? 1 : 0;
        for (int b = 0; b < a; ++b)
            EXPECT_NE(s.j, t.semillas[static_cast<std::size_t>(b)].j);
    }
    EXPECT_GE(propios, 5);
}
