// How the pairs of a comparison confirm each other: pairs that move together keep their weight,
// pairs that land anywhere within the tolerance lose it.
#include "ConfirmacionPares.h"

#include <gtest/gtest.h>

#include <vector>

using namespace portiva::motor;

namespace {

// A row of pairs 20 px apart, all within reach of each other, each weighing 1.
std::vector<DesvioPar> fila(int n) {
    std::vector<DesvioPar> p(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k)
        p[static_cast<std::size_t>(k)] = {
            100.0f + 20.0f * static_cast<float>(k), 100, 0, 0, 0, 1.0f};
    return p;
}

} // namespace

TEST(ConfirmacionPares, PairsThatMoveTogetherKeepTheirWholeWeight) {
    auto p = fila(5);
    for (auto& x : p) {
        x.dx = 6; // the whole patch shifted by the skin: the same offset everywhere
        x.dy = -4;
        x.giro = 5;
    }
    p[2].dx = 8; // and a little noise on one
    EXPECT_FLOAT_EQ(pesoConfirmado(p.data(), 5), 5.0f);
}

TEST(ConfirmacionPares, PairsThatAgreeWithNoNeighbourLoseMostOfTheirWeight) {
    auto p = fila(5);
    const float dx[] = {0, 8, 0, -8, 0}, dy[] = {0, 0, 8, 0, -8};
    for (int k = 0; k < 5; ++k) {
        p[static_cast<std::size_t>(k)].dx = dx[k];
        p[static_cast<std::size_t>(k)].dy = dy[k];
    }
    // Every two offsets lie 8 px or more apart: no pair agrees with any other, each keeps only
    // its neutral share, 1 / (4 neighbours + 1), of the share that counts in full.
    EXPECT_NEAR(pesoConfirmado(p.data(), 5), 1.0f, 1e-5f);
}

TEST(ConfirmacionPares, ATurnDisagreementIsNoConfirmation) {
    auto p = fila(2);
    p[1].giro = 20;                                        // 28 degrees apart, at the same offset
    EXPECT_NEAR(pesoConfirmado(p.data(), 2), 1.0f, 1e-5f); // each keeps 1 / (1 + 1) of it
    p[1].giro = 8;                                         // 11 degrees: confirmed
    EXPECT_FLOAT_EQ(pesoConfirmado(p.data(), 2), 2.0f);
}

TEST(ConfirmacionPares, PairsOutOfReachNeitherConfirmNorBlame) {
    std::vector<DesvioPar> p = {{0, 0, 0, 0, 0, 1.0f}, {200, 0, 7, 7, 40, 0.5f}};
    EXPECT_FLOAT_EQ(pesoConfirmado(p.data(), 2), 1.5f);
    EXPECT_FLOAT_EQ(pesoConfirmado(p.data(), 1), 1.0f);
    EXPECT_FLOAT_EQ(pesoConfirmado(p.data(), 0), 0.0f);
}

TEST(ConfirmacionPares, ANeighbourCountsByItsWeight) {
    // A light neighbour that disagrees hardly blames a pair; a heavy one does.
    std::vector<DesvioPar> p = {{0, 0, 0, 0, 0, 1.0f}, {30, 0, 10, 0, 0, 0.1f}};
    // Pair 0: (0 + 0.5) / (0.1 + 1) = 0.4545 -> 0.909; pair 1: 0.5 / 2 -> 0.5.
    EXPECT_NEAR(pesoConfirmado(p.data(), 2), 0.9091f + 0.05f, 1e-4f);
}
