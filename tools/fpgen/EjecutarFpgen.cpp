#include "EjecutarFpgen.h"

#include "OpcionesFpgen.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <system_error>

namespace portiva::fpgen {

int ejecutarFpgen(const std::vector<std::string>& argumentos, const FormatoSalida& formato,
                  std::ostream& salida, std::ostream& errores) {
    OpcionesFpgen o;
    std::string error;
    if (!leerOpciones(argumentos, o, error)) {
        errores << "portiva-fpgen: " << error << '\n' << textoAyuda();
        return 2;
    }
    if (o.ayuda) {
        salida << textoAyuda();
        return 0;
    }
    std::error_code ec;
    std::filesystem::create_directories(o.carpeta, ec);
    if (ec || !std::filesystem::is_directory(o.carpeta, ec)) {
        errores << "portiva-fpgen: cannot create the folder \"" << o.carpeta.string()
                << "\": " << (ec ? ec.message() : std::string("a file of that name exists"))
                << '\n';
        return 1;
    }

    const auto inicio = std::chrono::steady_clock::now();
    std::mutex mutex;
    std::filesystem::path fallo;
    std::atomic<int> escritas{0};
    const bool completo =
        recorrerConjunto(o.semilla, o.dedos, o.impresiones, Condiciones{}, o.ancho, o.alto, o.dpi,
                         0, [&](int dedo, int impresion, ImagenGris&& imagen) {
                             const auto archivo =
                                 o.carpeta / nombreArchivo(dedo, impresion, formato.extension);
                             if (imagen.pixeles.empty() || !formato.escribir(archivo, imagen)) {
                                 std::lock_guard<std::mutex> cerrojo(mutex);
                                 if (fallo.empty())
                                     fallo = archivo;
                                 return false;
                             }
                             ++escritas;
                             return true;
                         });
    const double segundos =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    if (!completo) {
        errores << "portiva-fpgen: could not write \"" << fallo.string() << "\"; "
                << escritas.load() << " images written\n";
        return 1;
    }
    char tiempo[32];
    std::snprintf(tiempo, sizeof tiempo, "%.1f", segundos);
    salida << escritas.load() << " images written to " << o.carpeta.string() << " in " << tiempo
           << " s\n";
    return 0;
}

} // namespace portiva::fpgen
