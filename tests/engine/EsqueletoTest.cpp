// The skeleton stage as it was first written, kept as the reference: the faster binarisation
// and thinning give the same pixels, bit for bit, on the enhanced images of synthetic prints
// and on random maps.
#include "Esqueleto.h"
#include "ExtractorMinucias.h"
#include "GeneradorHuellas.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <random>
#include <vector>

namespace portiva::motor {
namespace {

constexpr int Dx[8] = {1, 1, 0, -1, -1, -1, 0, 1};
constexpr int Dy[8] = {0, -1, -1, -1, 0, 1, 1, 1};

void quitarPequenos(Mapa<std::uint8_t>& b, std::uint8_t valor, int minimo) {
    const int w = b.ancho(), h = b.alto();
    Mapa<std::uint8_t> visto(w, h, 0);
    std::vector<std::pair<int, int>> pila, region;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (b(x, y) != valor || visto(x, y))
                continue;
            region.clear();
            pila.assign(1, {x, y});
            visto(x, y) = 1;
            bool tocaBorde = false;
            while (!pila.empty()) {
                auto [cx, cy] = pila.back();
                pila.pop_back();
                region.push_back({cx, cy});
                for (int k = 0; k < 8; ++k) {
                    // Ridges connect through corners; holes only through sides.
                    if (valor == 0 && (k & 1))
                        continue;
                    const int nx = cx + Dx[k], ny = cy + Dy[k];
                    if (!b.dentro(nx, ny)) {
                        tocaBorde = true;
                        continue;
                    }
                    if (b(nx, ny) == valor && !visto(nx, ny)) {
                        visto(nx, ny) = 1;
                        pila.push_back({nx, ny});
                    }
                }
                if (static_cast<int>(region.size()) > minimo)
                    break;
            }
            // Drain the rest of a large region without collecting it.
            while (!pila.empty()) {
                auto [cx, cy] = pila.back();
                pila.pop_back();
                for (int k = 0; k < 8; ++k) {
                    if (valor == 0 && (k & 1))
                        continue;
                    const int nx = cx + Dx[k], ny = cy + Dy[k];
                    if (b.dentro(nx, ny) && b(nx, ny) == valor && !visto(nx, ny)) {
                        visto(nx, ny) = 1;
                        pila.push_back({nx, ny});
                    }
                }
                region.push_back({0, 0});
            }
            if (static_cast<int>(region.size()) <= minimo && !tocaBorde)
                for (auto [rx, ry] : region)
                    b(rx, ry) = static_cast<std::uint8_t>(1 - valor);
        }
}

// Thinning tables: for each neighbourhood byte, may the centre be deleted in the first or the
// second subiteration.
struct TablasAdelgazado {
    std::array<std::uint8_t, 256> paso1{}, paso2{};
    TablasAdelgazado() {
        for (int v = 0; v < 256; ++v) {
            auto p = [&](int k) { return (v >> k) & 1; };
            // Name the neighbours as in the classic formulation: P2 = N, P3 = NE, P4 = E,
            // P5 = SE, P6 = S, P7 = SW, P8 = W, P9 = NW.
            const int P2 = p(2), P3 = p(1), P4 = p(0), P5 = p(7), P6 = p(6), P7 = p(5), P8 = p(4),
                      P9 = p(3);
            const int B = P2 + P3 + P4 + P5 + P6 + P7 + P8 + P9;
            const int seq[9] = {P2, P3, P4, P5, P6, P7, P8, P9, P2};
            int A = 0;
            for (int i = 0; i < 8; ++i)
                A += (seq[i] == 0 && seq[i + 1] == 1);
            const bool base = B >= 2 && B <= 6 && A == 1;
            paso1[static_cast<std::size_t>(v)] = base && (P2 * P4 * P6 == 0) && (P4 * P6 * P8 == 0);
            paso2[static_cast<std::size_t>(v)] = base && (P2 * P4 * P8 == 0) && (P2 * P6 * P8 == 0);
        }
    }
};

Mapa<std::uint8_t> binarizarAntes(const Mapa<float>& e, const Mapa<std::uint8_t>& mascara, int B) {
    Mapa<std::uint8_t> b(e.ancho(), e.alto(), 0);
    for (int y = 0; y < e.alto(); ++y)
        for (int x = 0; x < e.ancho(); ++x)
            b(x, y) = (mascara(x / B, y / B) && e(x, y) > 0) ? 1 : 0;
    quitarPequenos(b, 1, 20);
    quitarPequenos(b, 0, 20);
    // The hole filling may add ridge pixels outside the print; keep to the mask.
    for (int y = 0; y < e.alto(); ++y)
        for (int x = 0; x < e.ancho(); ++x)
            if (!mascara(x / B, y / B))
                b(x, y) = 0;
    return b;
}

void adelgazarAntes(Mapa<std::uint8_t>& m) {
    static const TablasAdelgazado tablas; // immutable lookup tables, built once
    const int w = m.ancho(), h = m.alto();
    std::vector<std::pair<int, int>> borrar;
    std::vector<std::pair<int, int>> activos;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (m(x, y))
                activos.push_back({x, y});
    for (int iter = 0; iter < 40; ++iter) {
        bool cambio = false;
        for (int paso = 0; paso < 2; ++paso) {
            borrar.clear();
            const auto& t = paso == 0 ? tablas.paso1 : tablas.paso2;
            for (auto [x, y] : activos)
                if (m(x, y) && t[static_cast<std::size_t>(Esqueleto::vecindad(m, x, y))])
                    borrar.push_back({x, y});
            for (auto [x, y] : borrar)
                m(x, y) = 0;
            cambio = cambio || !borrar.empty();
        }
        if (!cambio)
            break;
        std::erase_if(activos, [&](const std::pair<int, int>& p) { return !m(p.first, p.second); });
    }
    // Staircases: a pixel whose only two neighbours are side neighbours at a right angle; those
    // two touch at a corner, so the line stays connected without it.
    for (auto [x, y] : activos) {
        if (!m(x, y))
            continue;
        const int v = Esqueleto::vecindad(m, x, y);
        const bool e = v & 1, n = v & 4, o = v & 16, s = v & 64;
        const bool esquina = (n && e && !s && !o) || (e && s && !n && !o) || (s && o && !n && !e) ||
                             (o && n && !s && !e);
        if (esquina && std::popcount(static_cast<unsigned>(v)) == 2)
            m(x, y) = 0;
    }
}

bool Iguales(const Mapa<std::uint8_t>& a, const Mapa<std::uint8_t>& b) {
    return a.ancho() == b.ancho() && a.alto() == b.alto() &&
           std::equal(a.datos(), a.datos() + a.tamano(), b.datos());
}

TEST(EsqueletoTest, ComoAntesEnHuellasSinteticas) {
    ExtractorMinucias extractor;
    int comparadas = 0;
    for (int dedo = 0; dedo < 12; ++dedo)
        for (int impresion = 0; impresion < 2; ++impresion) {
            const fpgen::ImagenGris img =
                fpgen::generarImpresion(fpgen::semillaBanco, dedo, impresion);
            DatosPlantilla datos;
            int clase = 0;
            IntermediosExtraccion i;
            if (extractor.extraer(img.pixeles.data(), img.ancho, img.alto, img.dpi, datos, clase,
                                  &i) != 0)
                continue;
            const std::string donde =
                "dedo " + std::to_string(dedo) + ", impresion " + std::to_string(impresion);
            const Mapa<std::uint8_t> antes =
                binarizarAntes(i.realzada, i.mascara, ExtractorMinucias::Bloque);
            Mapa<std::uint8_t> ahora =
                Esqueleto::binarizar(i.realzada, i.mascara, ExtractorMinucias::Bloque);
            ASSERT_TRUE(Iguales(ahora, antes)) << donde;
            Mapa<std::uint8_t> delgadaAntes = antes;
            adelgazarAntes(delgadaAntes);
            Esqueleto::adelgazar(ahora);
            ASSERT_TRUE(Iguales(ahora, delgadaAntes)) << donde;
            // The extractor's own skeleton is that one.
            EXPECT_TRUE(Iguales(i.esqueleto, delgadaAntes)) << donde;
            ++comparadas;
        }
    EXPECT_GE(comparadas, 20);
}

TEST(EsqueletoTest, ComoAntesEnMapasAlAzar) {
    std::mt19937 g(31337);
    for (int caso = 0; caso < 40; ++caso) {
        const int w = 5 + static_cast<int>(g() % 90), h = 5 + static_cast<int>(g() % 90);
        // Blobs and lines of several sizes, touching the border or not, over noise; a few
        // pixels not 0/1, which thinning treats as set and leaves as they are unless deleted.
        Mapa<float> realzada(w, h, -1.0f);
        const int manchas = 1 + static_cast<int>(g() % 12);
        for (int k = 0; k < manchas; ++k) {
            const int cx = static_cast<int>(g() % static_cast<unsigned>(w));
            const int cy = static_cast<int>(g() % static_cast<unsigned>(h));
            const int r = 1 + static_cast<int>(g() % 9);
            for (int y = std::max(0, cy - r); y < std::min(h, cy + r); ++y)
                for (int x = std::max(0, cx - r); x < std::min(w, cx + r); ++x)
                    realzada(x, y) = 1.0f;
        }
        for (int k = 0; k < w * h / 6; ++k)
            realzada(static_cast<int>(g() % static_cast<unsigned>(w)),
                     static_cast<int>(g() % static_cast<unsigned>(h))) *= -1.0f;
        const int B = 1 + static_cast<int>(g() % 8);
        Mapa<std::uint8_t> mascara((w + B - 1) / B, (h + B - 1) / B, 1);
        for (std::size_t k = 0; k < mascara.tamano(); ++k)
            mascara.datos()[k] = g() % 6 != 0;
        const std::string donde = "caso " + std::to_string(caso);
        const Mapa<std::uint8_t> antes = binarizarAntes(realzada, mascara, B);
        Mapa<std::uint8_t> ahora = Esqueleto::binarizar(realzada, mascara, B);
        ASSERT_TRUE(Iguales(ahora, antes)) << donde;
        for (std::size_t k = 0; k < ahora.tamano(); k += 7)
            if (ahora.datos()[k])
                ahora.datos()[k] = 255;
        Mapa<std::uint8_t> delgadaAntes = ahora;
        adelgazarAntes(delgadaAntes);
        Esqueleto::adelgazar(ahora);
        ASSERT_TRUE(Iguales(ahora, delgadaAntes)) << donde;
    }
}

} // namespace
} // namespace portiva::motor
