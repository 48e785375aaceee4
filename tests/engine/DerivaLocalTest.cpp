// The skin's local drift under a rigid alignment: what the pairs around a minutia say.
#include "DerivaLocal.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <numbers>
#include <utility>
#include <vector>

namespace {

using portiva::motor::Colocacion;
using portiva::motor::derivasLocales;

// Stored points and their query partners; pair k joins query k to stored k. Stored points
// beyond the pairs are unpaired.
struct Escena {
    std::vector<float> xg, yg, xq, yq, pesos;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> pares;

    void par(float x, float y, float dx, float dy, float peso = 1) {
        const auto k = static_cast<std::uint8_t>(pares.size());
        pares.emplace_back(k, k);
        xq.push_back(x + dx);
        yq.push_back(y + dy);
        pesos.push_back(peso);
        punto(x, y);
    }
    void punto(float x, float y) {
        xg.push_back(x);
        yg.push_back(y);
    }
    std::pair<std::vector<float>, std::vector<float>> derivas(const Colocacion& m = {}) const {
        std::vector<float> dx(xg.size()), dy(xg.size());
        derivasLocales(pares.data(), pesos.data(), static_cast<int>(pares.size()), xq.data(),
                       yq.data(), xg.data(), yg.data(), static_cast<int>(xg.size()), m, 30.0f,
                       dx.data(), dy.data());
        return {dx, dy};
    }
};

TEST(DerivaLocal, APatchThatMovedTogetherMovesItsMinutiaeWithIt) {
    Escena e;
    for (int k = 0; k < 12; ++k)
        e.par(100.0f + 8.0f * static_cast<float>(k % 4), 100.0f + 8.0f * static_cast<float>(k / 4),
              3, -2);
    e.punto(110, 110); // unpaired, amid them
    const auto [dx, dy] = e.derivas();
    EXPECT_NEAR(dx.back(), 3.0f, 0.2f);
    EXPECT_NEAR(dy.back(), -2.0f, 0.15f);
    EXPECT_NEAR(dx[5], 3.0f, 0.25f); // a paired one, from the others
}

TEST(DerivaLocal, APairNeverVouchesForItselfAndALoneOneMovesOthersPartOfTheWay) {
    Escena e;
    e.par(100, 100, 6, 0);
    e.punto(105, 100);
    e.punto(400, 100); // far beyond the radius
    const auto [dx, dy] = e.derivas();
    EXPECT_FLOAT_EQ(dx[0], 0.0f); // its own pair is left out: nothing moves it
    EXPECT_GT(dx[1], 2.0f);
    EXPECT_LT(dx[1], 6.0f * 2 / 3 + 1e-3f);
    EXPECT_NEAR(dx[2], 0.0f, 1e-3f);
    EXPECT_FLOAT_EQ(dy[1], 0.0f);
}

TEST(DerivaLocal, EachSideOfAStretchedPrintFollowsItsOwnPairsUnderTheAlignment) {
    // The stored print turned by 90 degrees onto the query, stretched apart along x: the drift
    // is measured after the alignment.
    const Colocacion giro{std::numbers::pi_v<float> / 2, 0, 1, 500, 0}; // (x, y) -> (500 - y, x)
    Escena e;
    for (int k = 0; k < 6; ++k) {
        const float y = 100.0f + 10.0f * static_cast<float>(k);
        for (const float x : {100.0f, 300.0f}) {
            const float qx = 500 - y, qy = x;
            const float estira = x < 200 ? -4.0f : 4.0f;
            e.par(x, y, qx - x, qy - y + estira);
        }
    }
    e.punto(100, 125);
    e.punto(300, 125);
    const auto [dx, dy] = e.derivas(giro);
    const std::size_t izq = e.xg.size() - 2, der = e.xg.size() - 1;
    EXPECT_NEAR(dy[izq], -4.0f, 0.5f);
    EXPECT_NEAR(dy[der], 4.0f, 0.5f);
    EXPECT_NEAR(dx[izq], 0.0f, 0.05f);
}

} // namespace
