// How well the ridge flow of two aligned prints agrees, and what it does to a score.
#include "AcuerdoOrientacion.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

using namespace portiva::motor;

namespace {

constexpr float Grado = std::numbers::pi_v<float> / 180.0f;

struct Rejilla {
    Rejilla(int w, int h, std::uint8_t valor)
        : celdas(static_cast<std::size_t>(w * h), valor), ancho(w), alto(h) {}
    RejillaOrientacion vista() const { return {celdas.data(), 16, ancho, alto}; }
    std::vector<std::uint8_t> celdas;
    int ancho, alto;
};

AcuerdoFlujo acuerdo(const RejillaOrientacion& consulta, const RejillaOrientacion& guardada,
                     const Colocacion& c) {
    return acuerdoOrientacion(celdasConCrestas(consulta), guardada, c);
}

} // namespace

TEST(AcuerdoOrientacion, FlowThatRunsAlikeAgreesAndCrossingFlowDoesNot) {
    const Rejilla diez(12, 12, 10), cien(12, 12, 100), cuarenta(12, 12, 40);
    const AcuerdoFlujo igual = acuerdo(diez.vista(), diez.vista(), {});
    EXPECT_EQ(igual.celdasComunes, 72); // one cell in two
    EXPECT_NEAR(igual.media, 1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(factorAcuerdo(igual), 1.0f);

    const AcuerdoFlujo cruzado = acuerdo(cien.vista(), diez.vista(), {});
    EXPECT_NEAR(cruzado.media, -1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(factorAcuerdo(cruzado), 0.0f);

    // Directions are modulo 180: 175 and 5 degrees are 10 apart.
    const Rejilla cientoSetentaYCinco(12, 12, 175), cinco(12, 12, 5);
    EXPECT_NEAR(acuerdo(cientoSetentaYCinco.vista(), cinco.vista(), {}).media, std::cos(20 * Grado),
                1e-5f);

    // Stored flow at 10 degrees placed turned by 30 runs at 40 in the query's frame.
    const Colocacion giro = Colocacion::de(30 * Grado, 96, -40);
    const AcuerdoFlujo girado = acuerdo(cuarenta.vista(), diez.vista(), giro);
    EXPECT_GT(girado.celdasComunes, 20);
    EXPECT_NEAR(girado.media, 1.0f, 1e-5f);
    // The same flow not turned is 30 degrees off: cos 60 = 0.5, no better than chance.
    EXPECT_NEAR(acuerdo(cuarenta.vista(), diez.vista(), {}).media, 0.5f, 1e-5f);
    EXPECT_FLOAT_EQ(factorAcuerdo(acuerdo(cuarenta.vista(), diez.vista(), {})), 0.0f);
}

TEST(AcuerdoOrientacion, OnlyCellsWithRidgesInBothPrintsCount) {
    Rejilla consulta(10, 10, 20), guardada(10, 10, 20);
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 5; ++y)
            guardada.celdas[static_cast<std::size_t>(y * 10 + x)] = 255; // no ridges
    consulta.celdas[99] = 255;
    const AcuerdoFlujo a = acuerdo(consulta.vista(), guardada.vista(), {});
    EXPECT_EQ(a.celdasComunes, 24); // 25 of the lower half's 50, less the query's blank corner
    EXPECT_NEAR(a.media, 1.0f, 1e-5f);

    // Placed where the prints do not overlap at all: nothing to judge, nothing scored.
    const AcuerdoFlujo fuera =
        acuerdo(consulta.vista(), guardada.vista(), Colocacion::de(0, 500, 0));
    EXPECT_EQ(fuera.celdasComunes, 0);
    EXPECT_FLOAT_EQ(factorAcuerdo(fuera), 0.0f);
    EXPECT_EQ(acuerdo(RejillaOrientacion{}, guardada.vista(), {}).celdasComunes, 0);

    // Cells of another size: a stored grid of 32-pixel cells covers the query's 16-pixel ones.
    Rejilla gruesa(5, 5, 20);
    const AcuerdoFlujo g = acuerdo(consulta.vista(), {gruesa.celdas.data(), 32, 5, 5}, {});
    EXPECT_EQ(g.celdasComunes, 49);
}

TEST(AcuerdoOrientacion, TheFactorRisesBetweenChanceAndGenuineAgreement) {
    auto factor = [](float media) { return factorAcuerdo({media, 100}); };
    EXPECT_FLOAT_EQ(factor(0.3f), 0.0f);
    EXPECT_FLOAT_EQ(factor(0.5f), 0.0f);
    EXPECT_NEAR(factor(0.7f), 0.5f, 1e-5f);
    EXPECT_FLOAT_EQ(factor(0.9f), 1.0f);
    EXPECT_FLOAT_EQ(factor(0.99f), 1.0f);
    EXPECT_LT(factor(0.6f), factor(0.8f));
}

TEST(AcuerdoOrientacion, TheOverlapWeighsOnlyThePointsThatLandOnRidges) {
    // Ridges in the left half of a 4 x 4 grid of 16 px cells; background in the right half.
    Rejilla r(4, 4, 30);
    for (int y = 0; y < 4; ++y)
        for (int x = 2; x < 4; ++x)
            r.celdas[static_cast<std::size_t>(y * 4 + x)] = 255;
    const float x[] = {5, 20, 40, 50, -3, 70};
    const float y[] = {5, 60, 10, 30, 8, 8};
    const float peso[] = {1.0f, 0.5f, 0.25f, 0.75f, 1.0f, 1.0f};
    // Unmoved: (5,5) and (20,60) on ridges; (40,10) and (50,30) on background; (-3,8) left of
    // the grid and (70,8) right of it.
    EXPECT_FLOAT_EQ(pesoConCrestas(x, y, peso, 6, {}, false, r.vista()), 1.5f);
    // Moved 32 px left: the first two and (-3,8) leave the grid, (40,10) and (50,30) land on
    // ridges, (70,8) on background.
    const Colocacion izquierda = Colocacion::de(0, -32, 0);
    EXPECT_FLOAT_EQ(pesoConCrestas(x, y, peso, 6, izquierda, false, r.vista()), 1.0f);
    // The inverse motion of one 32 px right is the same move.
    const Colocacion derecha = Colocacion::de(0, 32, 0);
    EXPECT_FLOAT_EQ(pesoConCrestas(x, y, peso, 6, derecha, true, r.vista()), 1.0f);
}

TEST(AcuerdoOrientacion, EveryWayOfPlacingThePointsWeighsTheSameOverlap) {
    // Random grids with patches of background, points in whole pixels as templates hold them
    // (many on cell edges), placed both ways by random turns and shifts so that some leave the
    // grid on every side; runs of every length round the blocks of 16 placed at once.
    std::mt19937 r(36);
    int dentro = 0;
    for (int caso = 0; caso < 300; ++caso) {
        Rejilla g(10 + static_cast<int>(r() % 30), 10 + static_cast<int>(r() % 30), 0);
        for (auto& c : g.celdas)
            c = static_cast<std::uint8_t>(r() % 4 == 0 ? 255 : r() % 180);
        const int n = static_cast<int>(r() % 81);
        std::vector<float> x(static_cast<std::size_t>(n)), y(x.size()), peso(x.size());
        for (std::size_t k = 0; k < x.size(); ++k) {
            const int lado = 16 * g.ancho;
            x[k] =
                static_cast<float>(r() % 2 ? static_cast<int>(r() % 40) * 16
                                           : static_cast<int>(r() % static_cast<unsigned>(lado)));
            y[k] = static_cast<float>(r() % static_cast<unsigned>(16 * g.alto + 20));
            peso[k] = 0.4f + 0.6f * static_cast<float>(r() % 256) / 255.0f;
        }
        const Colocacion m = caso % 4 == 0
                                 ? Colocacion::de(0, 0, 0)
                                 : Colocacion::de(static_cast<float>(r() % 91) * Grado - 0.8f,
                                                  static_cast<float>(r() % 101) - 50.0f,
                                                  static_cast<float>(r() % 101) - 50.0f);
        for (bool inverso : {false, true}) {
            const float plano = pesoConCrestas(x.data(), y.data(), peso.data(), n, m, inverso,
                                               g.vista(), Nucleo::Generico);
            dentro += plano > 0;
            for (Nucleo k : nucleosDisponibles())
                ASSERT_EQ(std::bit_cast<std::uint32_t>(pesoConCrestas(
                              x.data(), y.data(), peso.data(), n, m, inverso, g.vista(), k)),
                          std::bit_cast<std::uint32_t>(plano))
                    << nombreNucleo(k) << ", case " << caso;
        }
    }
    EXPECT_GT(dentro, 400); // the cases do land on ridges
}
