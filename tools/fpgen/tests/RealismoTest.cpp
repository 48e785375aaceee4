// Checks that the generated fingers look like real ones in the ways the engine depends on:
// ridge spacing, minutiae count, visible cores, a mix of pattern classes.

#include "AnalisisImagen.h"
#include "ContadorMinucias.h"
#include "GeneradorHuellas.h"
#include "HuellasSinteticas.h"
#include "MaestroHuella.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

using namespace portiva::fpgen;
using namespace portiva::fpgen::prueba;

namespace {

// Minutiae of a master finger inside the window a clean 400 x 400 print shows.
std::vector<Minucia> minuciasVisibles(const MaestroHuella& m) {
    const int w = MaestroHuella::ancho, h = MaestroHuella::alto;
    std::vector<std::uint8_t> cresta(static_cast<std::size_t>(w) * h), valido(cresta.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            cresta[i] = m.cresta(x, y) > 0 ? 1 : 0;
            valido[i] = m.silueta().radio(x, y) < 0.97 && std::abs(x - m.centroX()) < 200 &&
                        std::abs(y - m.centroY()) < 200;
        }
    return contarMinucias(cresta, valido, w, h);
}

} // namespace

TEST(Realismo, ConjuntoDePruebasCompletoYDelTamanoAcordado) {
    const ConjuntoHuellas& c = portiva::prueba::huellasPrueba();
    ASSERT_EQ(c.size(), static_cast<std::size_t>(dedosPruebas));
    for (const auto& dedo : c) {
        ASSERT_EQ(dedo.size(), static_cast<std::size_t>(impresionesPruebas));
        for (const auto& img : dedo) {
            EXPECT_EQ(img.ancho, 400);
            EXPECT_EQ(img.alto, 400);
        }
    }
    EXPECT_EQ(portiva::prueba::huellaPrueba(3, 2).pixeles,
              generarImpresion(semillaPruebas, 3, 2).pixeles);
}

TEST(Realismo, PeriodoDeCrestasComoEnUnDedoRealA500Dpi) {
    const ConjuntoHuellas& c = portiva::prueba::huellasPrueba();
    double suma = 0;
    for (std::size_t d = 0; d < c.size(); ++d) {
        // Clean print, a grid of spots inside the finger; a spot on a delta may read oddly,
        // the finger's median may not.
        std::vector<double> periodos;
        for (int y = 130; y <= 290; y += 40)
            for (int x = 140; x <= 260; x += 40)
                periodos.push_back(periodoDominante(c[d][0], x, y, 64));
        std::sort(periodos.begin(), periodos.end());
        const double mediana = periodos[periodos.size() / 2];
        // Real fingers run from about 6.5 px (fine ridges) to 12 px (coarse ones).
        EXPECT_GE(mediana, 6.3) << "finger " << d;
        EXPECT_LE(mediana, 12.5) << "finger " << d;
        EXPECT_GE(periodos.front(), 5.5) << "finger " << d;
        EXPECT_LE(periodos.back(), 13.5) << "finger " << d;
        suma += mediana;
    }
    EXPECT_GE(suma / static_cast<double>(c.size()), 8.5);
    EXPECT_LE(suma / static_cast<double>(c.size()), 10.5);
}

TEST(Realismo, MinuciasEnLaCantidadDeUnaImpresionReal) {
    GeneradorHuellas g;
    std::set<std::pair<int, int>> posiciones;
    for (int d = 0; d < dedosPruebas; ++d) {
        const auto m = g.maestro(semillaPruebas, d);
        const auto minucias = minuciasVisibles(*m);
        EXPECT_GE(minucias.size(), 30u) << "finger " << d;
        EXPECT_LE(minucias.size(), 80u) << "finger " << d;
        int bifurcaciones = 0;
        for (const auto& mm : minucias)
            bifurcaciones += mm.bifurcacion;
        // Both kinds occur, neither overwhelmingly.
        EXPECT_GT(bifurcaciones, static_cast<int>(minucias.size()) / 6) << "finger " << d;
        EXPECT_LT(bifurcaciones, static_cast<int>(minucias.size()) * 5 / 6) << "finger " << d;
        if (!minucias.empty())
            posiciones.insert({minucias[0].x / 4, minucias[0].y / 4});
    }
    // The minutiae come from each finger's own growth: their places differ between fingers.
    EXPECT_GT(posiciones.size(), static_cast<std::size_t>(dedosPruebas) * 3 / 4);
}

TEST(Realismo, NucleosYDeltasDentroDelDedoYVariedadDeClases) {
    GeneradorHuellas g;
    std::set<ClaseHuella> clases;
    for (int d = 0; d < dedosPruebas; ++d) {
        const auto m = g.maestro(semillaPruebas, d);
        clases.insert(m->clase());
        for (const auto& s : m->patron().singulares()) {
            EXPECT_LT(m->silueta().radio(s.x, s.y), 0.95) << "finger " << d;
            if (s.nucleo) {
                // A core shows in the clean print, well inside the 400 x 400 frame.
                EXPECT_LT(std::abs(s.x - m->centroX()), 150) << "finger " << d;
                EXPECT_LT(std::abs(s.y - m->centroY()), 150) << "finger " << d;
            }
        }
    }
    EXPECT_GE(clases.size(), 3u);
}
