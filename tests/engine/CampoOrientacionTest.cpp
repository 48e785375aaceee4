// The ridge flow of a print whose ridges are not all it shows: heavy pixel noise (dust, the
// grain of a capacitive sensor), whose gradients point every way and are many times the ridges'
// own, and creases whose edges are steeper than any ridge's.
#include "CampoOrientacion.h"
#include "Segmentacion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>

using namespace portiva::motor;

namespace {

constexpr float Pi = std::numbers::pi_v<float>;

// Straight ridges of period 9 px running at `angulo` (radians), of contrast `amplitud`, under
// independent pixel noise of up to +-`ruido`.
Mapa<float> crestasConRuido(float angulo, float amplitud, float ruido, int lado = 256) {
    Mapa<float> m(lado, lado, 0.0f);
    std::uint32_t estado = 12345;
    const float nx = -std::sin(angulo), ny = std::cos(angulo); // across the ridges
    for (int y = 0; y < lado; ++y)
        for (int x = 0; x < lado; ++x) {
            estado = estado * 1664525u + 1013904223u;
            const float u = static_cast<float>(estado >> 8) / static_cast<float>(1u << 24);
            const float d = nx * static_cast<float>(x) + ny * static_cast<float>(y);
            m(x, y) = 128 + amplitud * std::cos(2 * Pi * d / 9.0f) + ruido * (2 * u - 1);
        }
    return m;
}

struct Lectura {
    double cubierta = 0;   // share of the blocks taken as print
    double errorMedio = 0; // mean direction error over them, degrees
};

// The field of `imagen` smoothed over `mascara` (the print as the segmentation finds it when
// none is given), against ridges that run at `angulo`.
Lectura leer(const Mapa<float>& imagen, float angulo, const Mapa<std::uint8_t>* dada = nullptr) {
    CampoOrientacion campo = CampoOrientacion::calcular(imagen, 8);
    const Mapa<std::uint8_t> mascara = dada ? *dada : Segmentacion::calcular(campo);
    campo.suavizar(mascara, 1.8f);
    Lectura r;
    int dentro = 0;
    double error = 0;
    for (int y = 0; y < mascara.alto(); ++y)
        for (int x = 0; x < mascara.ancho(); ++x) {
            if (!mascara(x, y))
                continue;
            ++dentro;
            float e = std::fabs(campo.angulo(x, y) - angulo);
            e = std::min(e, Pi - e);
            error += e * 180 / Pi;
        }
    r.cubierta = static_cast<double>(dentro) / static_cast<double>(mascara.tamano());
    r.errorMedio = dentro > 0 ? error / dentro : 90;
    return r;
}

Lectura leer(float angulo, float amplitud, float ruido) {
    return leer(crestasConRuido(angulo, amplitud, ruido), angulo);
}

} // namespace

TEST(CampoOrientacion, AFaintPrintUnderHeavyPixelNoiseIsFoundAndReadRight) {
    for (const float angulo : {0.3f, 1.2f, 2.4f}) {
        const Lectura l = leer(angulo, 25, 90);
        EXPECT_GT(l.cubierta, 0.8) << "angle " << angulo;
        EXPECT_LT(l.errorMedio, 5) << "angle " << angulo;
    }
}

TEST(CampoOrientacion, PureNoiseIsNotTakenForAPrint) {
    const Lectura l = leer(0, 0, 90);
    EXPECT_LT(l.cubierta, 0.05);
}

TEST(CampoOrientacion, CreasesAcrossTheRidgesDoNotTurnTheirDirection) {
    // Faint ridges crossed every 32 px by bright creases 2 px wide, at right angles to them:
    // each crease's edges are several times steeper than a ridge's flank, and a block that holds
    // one still has to read the ridges' direction, not the crease's (counted by the square of
    // their gradients, the creases won nearly everywhere: a mean error near 88 degrees).
    for (const float angulo : {0.3f, 1.2f, 2.4f}) {
        Mapa<float> m = crestasConRuido(angulo, 25, 10);
        const float cx = std::cos(angulo), cy = std::sin(angulo); // along the ridges
        for (int y = 0; y < m.alto(); ++y)
            for (int x = 0; x < m.ancho(); ++x) {
                const float d = std::fmod(
                    cx * static_cast<float>(x) + cy * static_cast<float>(y) + 1000.0f, 32.0f);
                if (d < 2)
                    m(x, y) = 250;
            }
        const Mapa<std::uint8_t> todo((m.ancho() + 7) / 8, (m.alto() + 7) / 8, 1);
        EXPECT_LT(leer(m, angulo, &todo).errorMedio, 5) << "angle " << angulo;
    }
}
