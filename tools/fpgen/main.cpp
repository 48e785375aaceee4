// portiva-fpgen: writes a set of synthetic fingerprint impressions to a folder.

#include "GeneradorHuellas.h"
#include "OpcionesFpgen.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

using namespace portiva::fpgen;

namespace {

bool guardar(const std::filesystem::path& archivo, const ImagenGris& imagen) {
    std::ofstream f(archivo, std::ios::binary | std::ios::trunc);
    if (!f)
        return false;
    f << "P5\n" << imagen.ancho << ' ' << imagen.alto << "\n255\n";
    f.write(reinterpret_cast<const char*>(imagen.pixeles.data()),
            static_cast<std::streamsize>(imagen.pixeles.size()));
    f.close();
    return static_cast<bool>(f);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> argumentos(argv + 1, argv + argc);
    OpcionesFpgen o;
    std::string error;
    if (!leerOpciones(argumentos, o, error)) {
        std::fprintf(stderr, "portiva-fpgen: %s\n%s", error.c_str(), textoAyuda().c_str());
        return 2;
    }
    if (o.ayuda) {
        std::fputs(textoAyuda().c_str(), stdout);
        return 0;
    }
    std::error_code ec;
    std::filesystem::create_directories(o.carpeta, ec);
    if (ec || !std::filesystem::is_directory(o.carpeta)) {
        std::fprintf(stderr, "portiva-fpgen: cannot create the folder \"%s\": %s\n",
                     o.carpeta.string().c_str(), ec ? ec.message().c_str() : "not a folder");
        return 1;
    }

    const auto inicio = std::chrono::steady_clock::now();
    std::mutex mutex;
    std::string fallo;
    std::atomic<int> escritas{0};
    const bool completo =
        recorrerConjunto(o.semilla, o.dedos, o.impresiones, Condiciones{}, o.ancho, o.alto, o.dpi,
                         0, [&](int dedo, int impresion, ImagenGris&& imagen) {
                             const auto archivo = o.carpeta / nombreArchivo(dedo, impresion, "pgm");
                             if (imagen.pixeles.empty() || !guardar(archivo, imagen)) {
                                 std::lock_guard<std::mutex> cerrojo(mutex);
                                 if (fallo.empty())
                                     fallo = archivo.string();
                                 return false;
                             }
                             ++escritas;
                             return true;
                         });
    const double segundos =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    if (!completo) {
        std::fprintf(stderr, "portiva-fpgen: could not write \"%s\"; %d images written\n",
                     fallo.c_str(), escritas.load());
        return 1;
    }
    std::printf("%d images written to %s in %.1f s\n", escritas.load(), o.carpeta.string().c_str(),
                segundos);
    return 0;
}
