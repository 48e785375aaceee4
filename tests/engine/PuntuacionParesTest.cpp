// The score of a pairing against the overlap it was found in: what a finger's pairs look like
// against what chance gives, as the real development prints show them.
#include "PuntuacionPares.h"
#include "MotorHuella.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

using namespace portiva::motor;

namespace {

constexpr float Identificacion = MotorHuella::UmbralIdentificacionPorDefecto;
constexpr float Verificacion = MotorHuella::UmbralVerificacionPorDefecto;

} // namespace

TEST(PuntuacionPares, MostOfASmallOverlapPairedIsAFingerHalfOfALargeOneIsChance) {
    // Two impressions of one finger that share little skin, stretched: 12 pairs of an overlap of
    // 14 minutiae, light pairs (3.6 in all). The highest impostors of the real folders: 13 pairs
    // of an overlap of 27, weighing as little (3.7).
    const float dedo = puntuacionPares(3.6f, 12, 14, 14);
    const float azar = puntuacionPares(3.7f, 13, 27, 27);
    EXPECT_GE(dedo, Identificacion);
    EXPECT_LT(azar, Verificacion);
    // The same finger's pairs weighed as chance's are: still far above them.
    EXPECT_GT(puntuacionPares(3.7f, 12, 14, 14), 5 * azar);
}

TEST(PuntuacionPares, AHandfulOfPairsInATinyOverlapIsNotAFinger) {
    // Six pairs where the prints share six minutiae: all of it paired, which chance does as
    // easily on so few.
    EXPECT_LT(puntuacionPares(3.0f, 6, 6, 6), Identificacion);
    EXPECT_LT(puntuacionPares(3.0f, 6, 2, 2), Identificacion) << "an overlap below the pairs";
    // Twenty of twenty-two is a finger.
    EXPECT_GE(puntuacionPares(10.0f, 20, 22, 22), 2 * Identificacion);
}

TEST(PuntuacionPares, MorePairsOrWeightRaiseTheScoreALargerOverlapLowersIt) {
    float antes = 0;
    for (int pares = 4; pares <= 30; pares += 2) {
        const float s = puntuacionPares(0.4f * static_cast<float>(pares), pares, 30, 30);
        EXPECT_GT(s, antes) << pares;
        antes = s;
    }
    EXPECT_GT(puntuacionPares(6, 15, 30, 30), puntuacionPares(5, 15, 30, 30));
    EXPECT_GT(puntuacionPares(6, 15, 20, 30), puntuacionPares(6, 15, 30, 30));
    EXPECT_GT(puntuacionPares(6, 15, 30, 20), puntuacionPares(6, 15, 30, 30));
    // Nothing paired, nothing scored; a pairing never scores more than all of it paired in full.
    EXPECT_EQ(puntuacionPares(0, 0, 30, 30), 0);
    EXPECT_EQ(puntuacionPares(0, 5, 30, 30), 0);
    EXPECT_LE(puntuacionPares(12, 40, 30, 30), puntuacionPares(40, 40, 40, 40));
}

namespace {

// The factor for pairs whose query minutiae lie at the given points, paired in that order.
float independencia(const std::vector<std::pair<float, float>>& puntos) {
    std::vector<float> x, y;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> pares;
    for (const auto& [px, py] : puntos) {
        pares.emplace_back(static_cast<std::uint8_t>(x.size()), static_cast<std::uint8_t>(0));
        x.push_back(px);
        y.push_back(py);
    }
    return independenciaPares(pares.data(), static_cast<int>(pares.size()), x.data(), y.data());
}

} // namespace

TEST(PuntuacionPares, PairsBunchedWithinTwoRidgesCountAsOnePairsSpreadOverTheOverlapInFull) {
    // Twelve pairs spread over a 200 x 150 px overlap, 50 px apart: every one is evidence.
    std::vector<std::pair<float, float>> repartidos;
    for (int k = 0; k < 12; ++k)
        repartidos.emplace_back(50.0f * static_cast<float>(k % 4),
                                50.0f * static_cast<float>(k / 4));
    EXPECT_FLOAT_EQ(independencia(repartidos), 1.0f);
    // A finger's own close minutiae (an ending next to a bifurcation, 12 px apart) in two places
    // of such a spread still count in full.
    auto conVecinos = repartidos;
    conVecinos.emplace_back(12.0f, 0.0f);
    conVecinos.emplace_back(112.0f, 50.0f);
    EXPECT_FLOAT_EQ(independencia(conVecinos), 1.0f);
    // Twelve pairs within 20 px of one point, as round the cores of two loops laid on each other:
    // one pair's worth of evidence in twelve.
    std::vector<std::pair<float, float>> agrupados;
    for (int k = 0; k < 12; ++k)
        agrupados.emplace_back(100.0f + 8.0f * static_cast<float>(k % 3),
                               100.0f + 6.0f * static_cast<float>(k / 3));
    EXPECT_NEAR(independencia(agrupados), 1.0f / 12 / 0.8f, 1e-5f);
    // Half in one bunch, half spread: in between, and the same whatever order the pairs come in.
    std::vector<std::pair<float, float>> mitad(agrupados.begin(), agrupados.begin() + 6);
    for (int k = 0; k < 6; ++k)
        mitad.emplace_back(250.0f + 50.0f * static_cast<float>(k % 3),
                           50.0f * static_cast<float>(k / 3));
    const float f = independencia(mitad);
    EXPECT_GT(f, independencia(agrupados));
    EXPECT_LT(f, 1.0f);
    std::reverse(mitad.begin(), mitad.end());
    EXPECT_FLOAT_EQ(independencia(mitad), f);
    EXPECT_FLOAT_EQ(independencia({}), 1.0f) << "nothing paired: nothing to discount";
}
