// The map of where a print has minutiae, which ranks the seeds' alignments: what it finds, what
// it does not, and that points placed anywhere (off the frame too) are only looked up.
#include "PresenciaMinucias.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>

using namespace portiva::motor;

TEST(PresenciaMinucias, FindsAMinutiaNearByPlaceAndDirectionOnly) {
    const std::array<float, 2> x{100, 300}, y{100, 50};
    const std::array<std::uint8_t, 2> a{64, 250};
    const PresenciaMinucias p(x.data(), y.data(), a.data(), 2, 320, 240, 14, 21);

    EXPECT_TRUE(p.hay(100, 100, 64));
    EXPECT_TRUE(p.hay(110, 100, 64 + 15)); // 10 px off, 21 degrees turned
    EXPECT_TRUE(p.hay(100, 90, 64 - 15));
    EXPECT_FALSE(p.hay(100, 119, 64)); // 19 px off
    EXPECT_FALSE(p.hay(100, 100, 64 + 40));
    EXPECT_FALSE(p.hay(100, 100, 64 + 128)); // the same place, the opposite direction
    // Directions wrap round: 250 and 5 are 11 units apart.
    EXPECT_TRUE(p.hay(300, 50, 5));
    EXPECT_FALSE(p.hay(300, 50, 40));
    // Off the frame on every side, and far away: nothing, and nothing read outside the map.
    for (const auto& [px, py] : std::array<std::pair<float, float>, 6>{
             {{-1, 100}, {100, -0.5f}, {320, 100}, {100, 240}, {1e30f, 1e30f}, {-1e30f, 5}}})
        EXPECT_FALSE(p.hay(px, py, 64)) << px << ", " << py;
    EXPECT_FALSE(p.hay(std::nanf(""), 100, 64));
}

TEST(PresenciaMinucias, CountsThePointsThatLandOnMinutiaeUnderAPlacement) {
    // A ring of minutiae, and the same ring turned by 30 degrees and moved: placed back by the
    // inverse, every point lands on its minutia; left where it is, hardly any does.
    std::array<float, 12> x{}, y{}, gx{}, gy{};
    std::array<std::uint8_t, 12> a{}, ga{};
    const float giro = 30.0f * 3.14159265f / 180.0f;
    const int giroUnidades = static_cast<int>(std::lround(giro / (2 * 3.14159265f) * 256));
    for (int i = 0; i < 12; ++i) {
        const float t = static_cast<float>(i) * 2 * 3.14159265f / 12;
        x[i] = 160 + 80 * std::cos(t);
        y[i] = 120 + 80 * std::sin(t);
        a[i] = static_cast<std::uint8_t>(i * 21);
        // stored = R(-giro) * (query - (160, 120)) + (60, 70)
        const float dx = x[i] - 160, dy = y[i] - 120;
        gx[i] = std::cos(-giro) * dx - std::sin(-giro) * dy + 60;
        gy[i] = std::sin(-giro) * dx + std::cos(-giro) * dy + 70;
        ga[i] = static_cast<std::uint8_t>(a[i] - giroUnidades);
    }
    const PresenciaMinucias p(x.data(), y.data(), a.data(), 12, 320, 240, 14, 21);
    // query = R(giro) * (stored - (60, 70)) + (160, 120)
    Colocacion m = Colocacion::de(giro, 0, 0);
    m.tx = 160 - (m.c * 60 - m.s * 70);
    m.ty = 120 - (m.s * 60 + m.c * 70);
    EXPECT_EQ(p.contar(gx.data(), gy.data(), ga.data(), 12, m, giroUnidades), 12);
    EXPECT_LE(p.contar(gx.data(), gy.data(), ga.data(), 12, Colocacion::de(0, 0, 0), 0), 1);
    EXPECT_EQ(p.contar(gx.data(), gy.data(), ga.data(), 0, m, giroUnidades), 0);
}

TEST(PresenciaMinucias, AFrameNoSensorMakesIsMappedOnlyAsFarAsTheLargestThatOneCould) {
    // The frame size is read from the template: 65535 x 65535 must not ask for a gigabyte.
    const std::array<float, 2> x{100, 60000}, y{100, 60000};
    const std::array<std::uint8_t, 2> a{0, 0};
    const PresenciaMinucias p(x.data(), y.data(), a.data(), 2, 65535, 65535, 14, 21);
    const auto lado =
        static_cast<std::size_t>(PresenciaMinucias::LadoMaximo / PresenciaMinucias::Lado + 1);
    EXPECT_EQ(p.celdas(), lado * lado);
    EXPECT_TRUE(p.hay(100, 100, 0));
    EXPECT_FALSE(p.hay(60000, 60000, 0)); // beyond the map: not found, nothing read outside it
}
