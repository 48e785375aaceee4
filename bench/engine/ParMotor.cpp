// Draws how the engine paired two prints, to look at a refused genuine pair or a high impostor:
//   portiva-par-motor [--recorte N] <a> <b> <salida.bmp>
// Each of a and b is a BMP file or "fpgen:SEED:FINGER:IMPRESSION", an impression of the synthetic
// generator (400 x 400, 500 dpi; the cross-folder tool's gallery is seed 31337, its template k
// finger k / 8, impression k % 8). --recorte drops the first N rows and columns of each image, as
// the accuracy tools' grid shifts do.
// Three panels side by side: print A and print B, each with its template drawn over it (paired
// minutiae in green), then A again with B's minutiae laid onto it by the alignment found (A's in
// blue, B's in red, a yellow line between the two minutiae of each pair) and the cells where B
// has ridges as grey dots, so that the overlap and where the pairing stops can be seen. Prints
// the score, the number of pairs and the alignment.
#include "ArchivoBmp.h"
#include "ConsultaPreparada.h"
#include "DibujoOverlay.h"
#include "ExtractorMinucias.h"
#include "GeneradorHuellas.h"
#include "Recorte.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace portiva;

namespace {

struct Extraida {
    motor::ImagenGris img;
    motor::DatosPlantilla d;
    std::vector<std::uint8_t> bytes;
};

// An impression of the synthetic generator named "fpgen:SEED:FINGER:IMPRESSION".
bool generada(const std::string& nombre, motor::ImagenGris& img) {
    unsigned long long semilla = 0;
    int dedo = 0, impresion = 0;
    if (std::sscanf(nombre.c_str(), "fpgen:%llu:%d:%d", &semilla, &dedo, &impresion) != 3)
        return false;
    auto g = fpgen::generarImpresion(semilla, dedo, impresion);
    if (g.pixeles.empty())
        return false;
    img.ancho = g.ancho;
    img.alto = g.alto;
    img.resolucion = g.dpi;
    img.pixeles = std::move(g.pixeles);
    return true;
}

bool extraer(const char* ruta, int recorte, Extraida& e) {
    const std::string nombre = ruta;
    if (nombre.rfind("fpgen:", 0) == 0 ? !generada(nombre, e.img)
                                       : motor::ArchivoBmp::leer(ruta, e.img) != 0) {
        std::fprintf(stderr, "no se pudo leer %s\n", ruta);
        return false;
    }
    bench::recortar(e.img, recorte);
    if (e.img.resolucion <= 0)
        e.img.resolucion = 500;
    motor::ExtractorMinucias ex;
    int clase = 0;
    if (ex.extraer(e.img.pixeles.data(), e.img.ancho, e.img.alto, e.img.resolucion, e.d, clase) !=
        0) {
        std::fprintf(stderr, "sin huella utilizable en %s\n", ruta);
        return false;
    }
    e.bytes.resize(motor::TamanoMaximoPlantilla);
    int usados = 0;
    motor::CodecPlantilla::codificar(e.d, e.bytes.data(), motor::TamanoMaximoPlantilla, usados);
    e.bytes.resize(static_cast<std::size_t>(usados));
    std::printf("%s: %zu minutiae, quality %d (class %d)\n", ruta, e.d.minucias.size(), e.d.calidad,
                clase);
    return true;
}

class Panel {
public:
    Panel(motor::ImagenRGB& r, int x0) : r_(r), x0_(x0) {}
    void punto(int x, int y, int color) {
        if (x < 0 || y < 0 || y >= r_.alto || x0_ + x >= r_.ancho || x >= anchoPanel)
            return;
        const auto i = 3 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(r_.ancho) +
                            static_cast<std::size_t>(x0_ + x));
        r_.bytes[i] = static_cast<std::uint8_t>(color >> 16);
        r_.bytes[i + 1] = static_cast<std::uint8_t>(color >> 8);
        r_.bytes[i + 2] = static_cast<std::uint8_t>(color);
    }
    void linea(float xa, float ya, float xb, float yb, int color) {
        const int n = 1 + static_cast<int>(std::max(std::fabs(xb - xa), std::fabs(yb - ya)));
        for (int k = 0; k <= n; ++k) {
            const float t = static_cast<float>(k) / static_cast<float>(n);
            punto(static_cast<int>(std::lround(xa + t * (xb - xa))),
                  static_cast<int>(std::lround(ya + t * (yb - ya))), color);
        }
    }
    void minucia(float x, float y, float a, int color) {
        for (int k = -3; k <= 3; ++k) {
            linea(x - 3, y + static_cast<float>(k), x + 3, y + static_cast<float>(k), color);
        }
        linea(x, y, x + 12 * std::cos(a), y + 12 * std::sin(a), color);
    }
    int anchoPanel = 1 << 30;

private:
    motor::ImagenRGB& r_;
    int x0_;
};

void copiar(const motor::ImagenRGB& de, motor::ImagenRGB& a, int x0) {
    for (int y = 0; y < de.alto && y < a.alto; ++y)
        std::copy_n(de.bytes.begin() + 3 * y * de.ancho, 3 * de.ancho,
                    a.bytes.begin() + 3 * (y * a.ancho + x0));
}

} // namespace

int main(int argc, char** argv) {
    int recorte = 0;
    if (argc == 6 && std::string(argv[1]) == "--recorte") {
        recorte = std::atoi(argv[2]);
        argv += 2;
        argc -= 2;
    }
    if (argc != 4) {
        std::fprintf(stderr, "uso: %s [--recorte N] a.bmp b.bmp salida.bmp\n", argv[0]);
        return 2;
    }
    Extraida a, b;
    if (!extraer(argv[1], recorte, a) || !extraer(argv[2], recorte, b))
        return 1;
    int r = 0;
    const auto q = motor::ConsultaPreparada::crear(a.bytes.data(), a.bytes.size(), {159, 45}, r);
    motor::DetalleComparacion det;
    int s = 0;
    q->comparar(b.bytes.data(), b.bytes.size(), s, &det);
    const float c = std::cos(det.rotacion), sn = std::sin(det.rotacion);
    std::printf("score %d, %zu pairs, rotation %.1f degrees, shift (%.0f, %.0f)\n", s,
                det.pares.size(), det.rotacion * 180 / 3.14159265f, det.dx, det.dy);

    const std::array<int, 6> colores{0xFF0000, 0x00C000, 0xFF8080, 0x00C000, 0x808080, 0xA0A000};
    const auto pa = motor::DibujoOverlay::biometrico(a.d, a.img.pixeles.data(), a.img.ancho,
                                                     a.img.alto, 500, colores, &det);
    motor::DetalleComparacion detB = det;
    for (auto& [i, j] : detB.pares)
        std::swap(i, j);
    detB.bloque = 0;
    const auto pb = motor::DibujoOverlay::biometrico(b.d, b.img.pixeles.data(), b.img.ancho,
                                                     b.img.alto, 500, colores, &detB);
    motor::ImagenRGB out;
    out.ancho = 2 * a.img.ancho + b.img.ancho;
    out.alto = std::max(a.img.alto, b.img.alto);
    out.bytes.assign(3 * static_cast<std::size_t>(out.ancho) * static_cast<std::size_t>(out.alto),
                     255);
    copiar(pa, out, 0);
    copiar(pb, out, a.img.ancho);
    copiar(motor::DibujoOverlay::gris(a.img.pixeles.data(), a.img.ancho, a.img.alto), out,
           a.img.ancho + b.img.ancho);
    Panel p(out, a.img.ancho + b.img.ancho);
    p.anchoPanel = a.img.ancho;
    auto aA = [](const motor::MinuciaPlantilla& m) {
        return static_cast<float>(m.angulo) * 2 * 3.14159265f / 256.0f;
    };
    auto sobreA = [&](float x, float y, float& ox, float& oy) {
        ox = c * x - sn * y + det.dx;
        oy = sn * x + c * y + det.dy;
    };
    for (int gy = 0; gy < b.d.gh; ++gy)
        for (int gx = 0; gx < b.d.gw; ++gx)
            if (b.d.orientacion[static_cast<std::size_t>(gy * b.d.gw + gx)] < 180) {
                float ox = 0, oy = 0;
                sobreA((static_cast<float>(gx) + 0.5f) * static_cast<float>(b.d.bloque),
                       (static_cast<float>(gy) + 0.5f) * static_cast<float>(b.d.bloque), ox, oy);
                for (int k = -1; k <= 1; ++k)
                    p.linea(ox - 1, oy + static_cast<float>(k), ox + 1, oy + static_cast<float>(k),
                            0x606060);
            }
    for (const auto& m : a.d.minucias)
        p.minucia(m.x, m.y, aA(m), 0x0000FF);
    for (const auto& m : b.d.minucias) {
        float ox = 0, oy = 0;
        sobreA(m.x, m.y, ox, oy);
        p.minucia(ox, oy, aA(m) + det.rotacion, 0xFF0000);
    }
    for (const auto& [i, j] : det.pares) {
        const auto& ma = a.d.minucias[static_cast<std::size_t>(i)];
        const auto& mb = b.d.minucias[static_cast<std::size_t>(j)];
        float ox = 0, oy = 0;
        sobreA(mb.x, mb.y, ox, oy);
        p.linea(ma.x, ma.y, ox, oy, 0xFFD000);
    }
    // Written as 24-bit through the RGB bytes: each row padded to 4 bytes, bottom-up.
    FILE* f = std::fopen(argv[3], "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "no se pudo escribir %s\n", argv[3]);
        return 1;
    }
    const int fila = (3 * out.ancho + 3) / 4 * 4;
    const std::uint32_t tam = 54 + static_cast<std::uint32_t>(fila * out.alto);
    std::uint8_t h[54] = {'B', 'M'};
    auto w32 = [&](int o, std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            h[o + k] = static_cast<std::uint8_t>(v >> (8 * k));
    };
    w32(2, tam);
    w32(10, 54);
    w32(14, 40);
    w32(18, static_cast<std::uint32_t>(out.ancho));
    w32(22, static_cast<std::uint32_t>(out.alto));
    h[26] = 1;
    h[28] = 24;
    std::fwrite(h, 1, 54, f);
    std::vector<std::uint8_t> linea(static_cast<std::size_t>(fila), 0);
    for (int y = out.alto - 1; y >= 0; --y) {
        for (int x = 0; x < out.ancho; ++x)
            for (int k = 0; k < 3; ++k) // RGB to BGR
                linea[static_cast<std::size_t>(3 * x + k)] =
                    out.bytes[3 * (static_cast<std::size_t>(y) * out.ancho + x) + 2 - k];
        std::fwrite(linea.data(), 1, linea.size(), f);
    }
    std::fclose(f);
    return 0;
}
