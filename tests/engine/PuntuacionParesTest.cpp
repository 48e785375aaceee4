// The score of a pairing against the overlap it was found in: what a finger's pairs look like
// against what chance gives, as the real development prints show them.
#include "PuntuacionPares.h"
#include "MotorHuella.h"

#include <gtest/gtest.h>

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
