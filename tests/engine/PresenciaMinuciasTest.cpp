// The map of where a print has minutiae, which ranks the seeds' alignments: what it finds, what
// it does not, and that points placed anywhere (off the frame too) are only looked up.
#include "PresenciaMinucias.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

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

TEST(PresenciaMinucias, EveryWayOfCountingFindsTheSameAsThePlainOne) {
    // Random prints and placements: points that land off every side of the frame, exactly on
    // its first column, on a minutia, far away and not numbers; runs of every length round the
    // blocks of 16 counted at once, read from arrays no longer than the run.
    std::mt19937 r(36);
    std::uniform_real_distribution<float> lugar(-40.0f, 440.0f);
    int halladas = 0;
    for (int caso = 0; caso < 300; ++caso) {
        const int nq = 20 + static_cast<int>(r() % 130);
        std::vector<float> x(static_cast<std::size_t>(nq)), y(x.size());
        std::vector<std::uint8_t> a(x.size());
        for (int i = 0; i < nq; ++i) {
            x[static_cast<std::size_t>(i)] = static_cast<float>(r() % 4 == 0 ? r() % 8 : r() % 400);
            y[static_cast<std::size_t>(i)] = static_cast<float>(r() % 300);
            a[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(r());
        }
        const PresenciaMinucias p(x.data(), y.data(), a.data(), nq, 400, 300, 14, 21);
        const int n = static_cast<int>(r() % 81);
        const float giro = caso % 5 == 0 ? 0.0f : lugar(r) / 60.0f;
        const Colocacion m = caso % 3 == 0 ? Colocacion::de(0, 0, 0)
                                           : Colocacion::de(giro, lugar(r) / 4, lugar(r) / 4);
        const int unidades = static_cast<int>(r() % 256) - 128;
        std::vector<float> gx(static_cast<std::size_t>(n)), gy(gx.size());
        std::vector<std::uint8_t> ga(gx.size());
        for (int j = 0; j < n; ++j) {
            const auto uj = static_cast<std::size_t>(j);
            switch (r() % 8) {
            case 0: { // on the frame's first column or on a query minutia, turned alike
                const auto i = static_cast<std::size_t>(r() % static_cast<unsigned>(nq));
                gx[uj] = r() % 2 ? 0.0f : x[i];
                gy[uj] = y[i];
                ga[uj] = static_cast<std::uint8_t>(a[i] - unidades);
                continue;
            }
            case 1:
                gx[uj] = r() % 2 ? 1e30f : -1e30f;
                gy[uj] = std::numeric_limits<float>::quiet_NaN();
                break;
            default:
                gx[uj] = lugar(r);
                gy[uj] = lugar(r);
            }
            ga[uj] = static_cast<std::uint8_t>(r());
        }
        const int plano =
            p.contar(gx.data(), gy.data(), ga.data(), n, m, unidades, Nucleo::Generico);
        halladas += plano;
        for (Nucleo k : nucleosDisponibles())
            ASSERT_EQ(p.contar(gx.data(), gy.data(), ga.data(), n, m, unidades, k), plano)
                << nombreNucleo(k) << ", case " << caso;
        // The points the plain way finds, one look-up each.
        int uno = 0;
        for (int j = 0; j < n; ++j) {
            const auto uj = static_cast<std::size_t>(j);
            uno += p.hay(m.c * gx[uj] - m.s * gy[uj] + m.tx, m.s * gx[uj] + m.c * gy[uj] + m.ty,
                         static_cast<std::uint8_t>(ga[uj] + unidades));
        }
        EXPECT_EQ(plano, uno);
    }
    EXPECT_GT(halladas, 100); // the cases do land on minutiae
}
