// The ridge period on plain synthetic ridges, from the finest to the coarsest a finger has: the
// estimate must not jump to twice the period where the autocorrelation peaks at T and 2T are
// about as high.
#include "FrecuenciaCrestas.h"
#include "CampoOrientacion.h"
#include "ExtractorMinucias.h"
#include "GeneradorHuellas.h"
#include "Normalizacion.h"
#include "Segmentacion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace portiva::motor;

namespace {

// Gently curved ridges of period T (pixels), with a little deterministic grain.
Mapa<float> crestas(float T, int lado = 288) {
    Mapa<float> m(lado, lado, 0.0f);
    const float c = static_cast<float>(lado) / 2;
    for (int y = 0; y < lado; ++y)
        for (int x = 0; x < lado; ++x) {
            const float dx = static_cast<float>(x) - c, dy = static_cast<float>(y) - c + 400;
            const float r = std::sqrt(dx * dx + dy * dy); // arcs around a far centre
            const float grano = static_cast<float>(((x * 7919 + y * 104729) % 31) - 15);
            m(x, y) = 128 + 90 * std::cos(2 * 3.14159265f * r / T) + grano;
        }
    return m;
}

struct Medida {
    float mediana = 0;
    double fueraDeRango = 1; // share of print blocks more than 25 % off the true period
};

Medida medir(float T) {
    const Mapa<float> gris = crestas(T);
    CampoOrientacion campo = CampoOrientacion::calcular(gris, 8);
    const Mapa<std::uint8_t> mascara = Segmentacion::calcular(campo);
    campo.suavizar(mascara, 1.8f);
    const Mapa<float> p =
        FrecuenciaCrestas::calcular(Normalizacion::local(gris, 12), campo, mascara);
    std::vector<float> v;
    int fuera = 0;
    for (int y = 0; y < mascara.alto(); ++y)
        for (int x = 0; x < mascara.ancho(); ++x)
            if (mascara(x, y)) {
                v.push_back(p(x, y));
                fuera += std::abs(p(x, y) / T - 1) > 0.25f ? 1 : 0;
            }
    Medida r;
    if (v.empty())
        return r;
    std::sort(v.begin(), v.end());
    r.mediana = v[v.size() / 2];
    r.fueraDeRango = static_cast<double>(fuera) / static_cast<double>(v.size());
    return r;
}

} // namespace

TEST(FrecuenciaCrestas, FineRidgesAreNotTakenAtTwiceTheirPeriod) {
    for (float T : {6.5f, 7.0f, 7.5f, 8.0f, 8.5f}) {
        const Medida m = medir(T);
        EXPECT_NEAR(m.mediana, T, 0.1f * T) << "period " << T;
        EXPECT_LT(m.fueraDeRango, 0.05) << "period " << T;
    }
}

TEST(FrecuenciaCrestas, CoarseRidgesKeepTheirPeriod) {
    for (float T : {10.0f, 11.0f, 12.0f}) {
        const Medida m = medir(T);
        EXPECT_NEAR(m.mediana, T, 0.1f * T) << "period " << T;
        EXPECT_LT(m.fueraDeRango, 0.05) << "period " << T;
    }
}

// On generated fingers from the finest ridges to the coarsest: the period map of each print
// stays close to its own median (no block taken at twice or half the period).
TEST(FrecuenciaCrestas, GeneratedFingersFromFineToCoarse) {
    ExtractorMinucias ex;
    float masFina = 100, masGruesa = 0;
    // Fingers of the test set with the finest (15, 18) and the coarsest (1, 2) ridges.
    for (int dedo : {0, 1, 2, 10, 15, 18}) {
        const auto img = portiva::fpgen::generarImpresion(portiva::fpgen::semillaPruebas, dedo, 0);
        DatosPlantilla d;
        IntermediosExtraccion in;
        int clase = 0;
        ASSERT_EQ(ex.extraer(img.pixeles.data(), img.ancho, img.alto, 500, d, clase, &in), 0);
        std::vector<float> v;
        for (int y = 0; y < in.mascara.alto(); ++y)
            for (int x = 0; x < in.mascara.ancho(); ++x)
                if (in.mascara(x, y))
                    v.push_back(in.periodo(x, y));
        ASSERT_FALSE(v.empty());
        std::sort(v.begin(), v.end());
        const float mediana = v[v.size() / 2];
        const auto fuera = std::count_if(
            v.begin(), v.end(), [&](float p) { return std::abs(p / mediana - 1) > 0.25f; });
        EXPECT_LT(static_cast<double>(fuera), 0.05 * static_cast<double>(v.size()))
            << "finger " << dedo << ", median period " << mediana;
        masFina = std::min(masFina, mediana);
        masGruesa = std::max(masGruesa, mediana);
    }
    EXPECT_LT(masFina, 7.6f);
    EXPECT_GT(masGruesa, 10.5f);
}
