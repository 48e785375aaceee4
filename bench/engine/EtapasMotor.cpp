// Writes what each extraction stage produced for one print, as BMP files, to look at while
// tuning: a synthetic impression, or a BMP file (its own resolution, 500 dpi when it has none).
//   portiva-etapas-motor <folder> [finger] [impression] [dpi]
//   portiva-etapas-motor <folder> <file.bmp>
#include "ArchivoBmp.h"
#include "ExtractorMinucias.h"
#include "GeneradorHuellas.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace portiva;

namespace {

void guardar(const std::string& ruta, const motor::Mapa<float>& m, float escala,
             float desplazamiento) {
    motor::ImagenGris g;
    g.ancho = m.ancho();
    g.alto = m.alto();
    g.pixeles.resize(m.tamano());
    for (std::size_t i = 0; i < m.tamano(); ++i)
        g.pixeles[i] = static_cast<std::uint8_t>(
            std::clamp(m.datos()[i] * escala + desplazamiento, 0.0f, 255.0f));
    motor::ArchivoBmp::escribir(ruta, g);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "uso: %s carpeta [dedo] [impresion] [dpi]\n       %s carpeta archivo.bmp\n",
                     argv[0], argv[0]);
        return 2;
    }
    const std::string carpeta = argv[1];
    motor::ImagenGris original;
    if (argc > 2 && motor::ArchivoBmp::tieneExtensionBmp(argv[2])) {
        const int e = motor::ArchivoBmp::leer(argv[2], original);
        if (e != 0) {
            std::fprintf(stderr, "no se pudo leer la imagen %s (codigo %d)\n", argv[2], e);
            return 1;
        }
        if (original.resolucion <= 0)
            original.resolucion = 500;
    } else {
        const int dedo = argc > 2 ? std::atoi(argv[2]) : 0;
        const int impresion = argc > 3 ? std::atoi(argv[3]) : 0;
        const int dpi = argc > 4 ? std::atoi(argv[4]) : 500;
        fpgen::GeneradorHuellas gen;
        const auto img = gen.impresion(fpgen::semillaBanco, dedo, impresion, {}, 400 * dpi / 500,
                                       400 * dpi / 500, dpi);
        original = motor::ImagenGris{img.ancho, img.alto, dpi, img.pixeles};
    }
    const int dpi = original.resolucion;
    const auto& img = original;
    if (motor::ArchivoBmp::escribir(carpeta + "/original.bmp", original) != 0) {
        std::fprintf(stderr, "no se pudo escribir en la carpeta %s\n", carpeta.c_str());
        return 1;
    }
    motor::ExtractorMinucias ex;
    motor::DatosPlantilla d;
    motor::IntermediosExtraccion in;
    int clase = -1;
    const int r = ex.extraer(img.pixeles.data(), img.ancho, img.alto, dpi, d, clase, &in);
    std::printf("resultado %d clase %d calidad %d minucias %zu\n", r, clase, d.calidad,
                d.minucias.size());
    if (r != 0)
        return 1;
    guardar(carpeta + "/realzada.bmp", in.realzada, 60, 128);
    motor::Mapa<float> sk(in.esqueleto.ancho(), in.esqueleto.alto());
    for (std::size_t i = 0; i < sk.tamano(); ++i)
        sk.datos()[i] = in.esqueleto.datos()[i] ? 0.0f : 255.0f;
    // Minutiae as dark squares on the skeleton.
    for (const auto& m : d.minucias)
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (sk.dentro(m.x + dx, m.y + dy) && (std::abs(dx) == 2 || std::abs(dy) == 2))
                    sk(m.x + dx, m.y + dy) =
                        m.tipo == motor::TipoMinucia::Terminacion ? 100.0f : 180.0f;
    guardar(carpeta + "/esqueleto.bmp", sk, 1, 0);
    motor::Mapa<float> mk(in.mascara.ancho(), in.mascara.alto());
    for (std::size_t i = 0; i < mk.tamano(); ++i)
        mk.datos()[i] = in.mascara.datos()[i] ? 255.0f : 0.0f;
    guardar(carpeta + "/mascara.bmp", mk, 1, 0);
    guardar(carpeta + "/coherencia.bmp", in.coherencia, 255, 0);
    guardar(carpeta + "/periodo.bmp", in.periodo, 15, 0);
    return 0;
}
