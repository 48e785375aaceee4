// Pairing the stored minutiae with the query's under one alignment.
#include "Emparejador.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using namespace portiva::motor;

// A query and a stored print of a few minutiae, without descriptors (every pair's
// neighbourhood similarity is then 0 and a pair weighs 0.25 x closeness x kind).
struct Escena {
    std::vector<float> qx, qy;
    std::vector<std::uint8_t> qa, qt;
    alineacion::Guardada g{};
    std::vector<std::uint64_t> celdasQ = std::vector<std::uint64_t>(4 * MaxMinucias, 0);
    std::vector<std::uint8_t> cilindros = std::vector<std::uint8_t>(64 * MaxMinucias, 0);

    void consulta(float x, float y, std::uint8_t angulo = 0, std::uint8_t tipo = 0) {
        qx.push_back(x);
        qy.push_back(y);
        qa.push_back(angulo);
        qt.push_back(tipo);
    }
    void guardada(float x, float y, std::uint8_t angulo = 0, std::uint8_t tipo = 0) {
        const auto k = static_cast<std::size_t>(g.n++);
        g.x[k] = x;
        g.y[k] = y;
        g.angulo[k] = angulo;
        g.tipo[k] = tipo;
    }
    // Pairs under the alignment that lays stored (gx, gy) on query (ax, ay), unturned.
    Emparejado emparejar(float ax, float ay, float gx, float gy) {
        const RejillaMinucias rejilla(qx.data(), qy.data(), qa.data(), static_cast<int>(qx.size()),
                                      400, 400);
        Emparejador emparejador(rejilla, qt.data(), celdasQ.data(), celdasQ.data(), g,
                                cilindros.data());
        Emparejado e;
        emparejador.emparejar(hacia(0, ax, ay, gx, gy), e);
        return e;
    }
};

int pareja(const Emparejado& e, int guardada) {
    for (int k = 0; k < e.n; ++k)
        if (e.pares[static_cast<std::size_t>(k)].second == guardada)
            return e.pares[static_cast<std::size_t>(k)].first;
    return -1;
}

TEST(Emparejador, TheClosestPairsAreTakenFirstAndEachMinutiaPairsOnce) {
    Escena s;
    s.consulta(100, 100); // 0
    s.consulta(110, 100); // 1
    s.guardada(101, 100); // 1 px from query 0
    s.guardada(104, 100); // 4 px from query 0, 6 px from query 1
    s.guardada(300, 300); // nothing near
    const Emparejado e = s.emparejar(100, 100, 100, 100);
    ASSERT_EQ(e.n, 2);
    EXPECT_EQ(pareja(e, 0), 0);
    EXPECT_EQ(pareja(e, 1), 1); // query 0 was taken by the closer one
    EXPECT_EQ(pareja(e, 2), -1);
    // Closeness 1 - (d / tolerance)^2, the tolerance 8 px at the anchor growing by 0.05 px per
    // pixel away from it, times 0.4 for minutiae without descriptors.
    const float t1 = 8.05f, t2 = 8.2f;
    EXPECT_NEAR(e.pesoPar[0] + e.pesoPar[1],
                0.4f * (1 - 1.0f / (t1 * t1)) + 0.4f * (1 - 36.0f / (t2 * t2)), 0.005f);
}

TEST(Emparejador, DirectionKindAndDistanceFromTheAnchorDecide) {
    Escena s;
    s.consulta(100, 100, 0, 0);
    s.consulta(150, 100, 0, 0);
    s.consulta(100, 300, 0, 0);
    s.consulta(100, 140, 0, 0);
    s.guardada(102, 100, 40, 0); // 56 degrees off: never paired
    s.guardada(152, 100, 10, 1); // 14 degrees off and of the other kind: paired, for less
    s.guardada(112, 300, 0, 0);  // 12 px off, 200 px from the anchor: the tolerance has grown
    s.guardada(112, 140, 0, 0);  // 12 px off, 40 px from the anchor: still too far
    const Emparejado e = s.emparejar(100, 100, 100, 100);
    EXPECT_EQ(pareja(e, 0), -1);
    EXPECT_EQ(pareja(e, 1), 1);
    EXPECT_EQ(pareja(e, 2), 2);
    EXPECT_EQ(pareja(e, 3), -1);
    ASSERT_EQ(e.n, 2);
    for (int k = 0; k < e.n; ++k) {
        const auto uk = static_cast<std::size_t>(k);
        if (e.pares[uk].second == 1) {
            EXPECT_LT(e.pesoPar[uk], 0.8f * 0.4f + 1e-4f);
        }
    }
}

// Bit for bit: every float of the pairing compared by its bits.
bool iguales(const Emparejado& a, const Emparejado& b) {
    auto bits = [](float f) { return std::bit_cast<std::uint32_t>(f); };
    if (a.n != b.n || bits(a.peso) != bits(b.peso))
        return false;
    for (std::size_t k = 0; k < static_cast<std::size_t>(a.n); ++k)
        if (a.pares[k] != b.pares[k] || bits(a.cercania[k]) != bits(b.cercania[k]) ||
            bits(a.pesoPar[k]) != bits(b.pesoPar[k]))
            return false;
    return true;
}

TEST(Emparejador, EveryWayOfLookingForCandidatesPairsTheSame) {
    // Dense random prints in whole pixels as templates hold them, many on the grid's cell
    // edges and at equal distances, of directions within a quarter turn, placed by random turns
    // and shifts, with and without drift.
    std::mt19937 r(36);
    int pares = 0;
    for (int caso = 0; caso < 300; ++caso) {
        Escena s;
        const int nq = 1 + static_cast<int>(r() % MaxMinucias);
        const int ng = 1 + static_cast<int>(r() % MaxMinucias);
        auto coordenada = [&](int lado) {
            const int v = static_cast<int>(r() % static_cast<unsigned>(lado));
            return static_cast<float>(r() % 3 == 0 ? v / 20 * 20 : v);
        };
        for (int i = 0; i < nq; ++i)
            s.consulta(coordenada(300), coordenada(300), static_cast<std::uint8_t>(r() % 64),
                       static_cast<std::uint8_t>(1 + r() % 2));
        for (int j = 0; j < ng; ++j)
            s.guardada(coordenada(300), coordenada(300), static_cast<std::uint8_t>(r() % 64),
                       static_cast<std::uint8_t>(1 + r() % 2));
        const RejillaMinucias rejilla(s.qx.data(), s.qy.data(), s.qa.data(), nq, 300, 300);
        const float giro = static_cast<float>(static_cast<int>(r() % 61) - 30) * 0.01f;
        const auto j = static_cast<std::size_t>(r() % static_cast<unsigned>(ng));
        const Transformacion tr = hacia(giro, s.qx[static_cast<std::size_t>(r()) % s.qx.size()],
                                        s.qy[0], s.g.x[j], s.g.y[j]);
        std::vector<float> dx(MaxMinucias), dy(MaxMinucias);
        for (int k = 0; k < MaxMinucias; ++k) {
            dx[static_cast<std::size_t>(k)] = static_cast<float>(static_cast<int>(r() % 9) - 4);
            dy[static_cast<std::size_t>(k)] = static_cast<float>(static_cast<int>(r() % 9) - 4);
        }
        for (bool deriva : {false, true}) {
            Emparejado referencia;
            Emparejador(rejilla, s.qt.data(), s.celdasQ.data(), s.celdasQ.data(), s.g,
                        s.cilindros.data(), Nucleo::Generico)
                .emparejar(tr, referencia, deriva ? dx.data() : nullptr,
                           deriva ? dy.data() : nullptr);
            pares += referencia.n;
            for (Nucleo n : nucleosDisponibles()) {
                Emparejado e;
                Emparejador(rejilla, s.qt.data(), s.celdasQ.data(), s.celdasQ.data(), s.g,
                            s.cilindros.data(), n)
                    .emparejar(tr, e, deriva ? dx.data() : nullptr, deriva ? dy.data() : nullptr);
                ASSERT_TRUE(iguales(e, referencia)) << nombreNucleo(n) << ", case " << caso;
            }
        }
    }
    EXPECT_GT(pares, 1000); // the cases do pair
}

} // namespace
