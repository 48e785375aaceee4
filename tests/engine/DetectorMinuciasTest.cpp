// The minutia detector on hand-drawn skeletons: where a fork's branch leaves the fork through
// a corner of two pixels, the branch is still followed, and the fork points along the ridges.
#include "DetectorMinucias.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace portiva::motor {
namespace {

constexpr float Pi = std::numbers::pi_v<float>;
constexpr int Ancho = 120, Alto = 64, B = 8;

struct Escena {
    Mapa<std::uint8_t> esqueleto{Ancho, Alto, 0};
    CampoOrientacion campo;
    Mapa<std::uint8_t> mascara{Ancho / B, Alto / B, 1};
    Mapa<float> periodo{Ancho / B, Alto / B, 9.0f};

    Escena() {
        campo.bloque = B;
        campo.angulo = Mapa<float>(Ancho / B, Alto / B, 0.0f); // ridges run along x
        campo.coherencia = Mapa<float>(Ancho / B, Alto / B, 0.9f);
    }
    std::vector<MinuciaDetectada> detectar() {
        DetectorMinucias::Recuento r;
        return DetectorMinucias::detectar(esqueleto, campo, mascara, periodo, r);
    }
};

// A ridge from the left forking at (50, 32) into two ridges that run on to the right, one
// upwards and one downwards; `esquina` puts the upper branch's first step through the pixel
// above the fork, so the fork's neighbours hold a corner of two pixels.
Escena horquilla(bool esquina) {
    Escena e;
    const int cx = 50, cy = 32;
    for (int x = 4; x < cx; ++x)
        e.esqueleto(x, cy) = 1;
    e.esqueleto(cx, cy) = 1;
    for (int i = 1; i <= 60; ++i) {
        e.esqueleto(cx + i, cy - (i + 1) / 3 - 1) = 1; // upper branch, from (51, 31)
        e.esqueleto(cx + i, cy + (i + 1) / 3 + 1) = 1; // lower branch, from (51, 33)
    }
    if (esquina)
        e.esqueleto(cx, cy - 1) = 1;
    return e;
}

const MinuciaDetectada* cerca(const std::vector<MinuciaDetectada>& m, float x, float y) {
    for (const auto& k : m)
        if (std::hypot(k.x - x, k.y - y) <= 2.0f)
            return &k;
    return nullptr;
}

float diferencia(float a, float b) {
    float d = std::fabs(std::fmod(a - b, 2 * Pi));
    return d > Pi ? 2 * Pi - d : d;
}

// The same fork drawn plainly and with its upper branch leaving through a corner: there the
// branch leaves through the pixel above the fork's right neighbour, not through the dead end
// above the fork. Either way the fork points to the right, along the ridges, and every
// branch's segment reaches along its ridge, none ends one pixel away.
TEST(DetectorMinuciasTest, UnaHorquillaApuntaHaciaSusRamasAunqueUnaSalgaPorUnaEsquina) {
    for (const bool esquina : {false, true}) {
        SCOPED_TRACE(esquina ? "esquina" : "sin esquina");
        auto e = horquilla(esquina);
        const auto m = e.detectar();
        const auto* f = cerca(m, 50, 32);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->tipo, TipoMinucia::Bifurcacion);
        EXPECT_LT(diferencia(f->angulo, 0.0f), Pi / 12);
        for (int r = 0; r < 3; ++r)
            EXPECT_GE(std::hypot(f->segmentos[2 * r], f->segmentos[2 * r + 1]), 8.0f) << r;
    }
}

} // namespace
} // namespace portiva::motor
