// The descriptor similarity that weighs each paired minutia: agreement beyond what two
// unrelated neighbourhoods of the same density reach by chance.
#include "SemillasAlineacion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>

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
