#include "OpcionesFpgen.h"

#include <charconv>
#include <cstdio>

namespace portiva::fpgen {

namespace {

template <typename T> bool numero(const std::string& texto, T& valor) {
    if (texto.empty() || texto.front() == '+' || texto.front() == '-')
        return false;
    const char* fin = texto.data() + texto.size();
    const auto [ptr, ec] = std::from_chars(texto.data(), fin, valor);
    return ec == std::errc() && ptr == fin;
}

bool tamano(const std::string& texto, int& ancho, int& alto) {
    const auto x = texto.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    return numero(texto.substr(0, x), ancho) && numero(texto.substr(x + 1), alto);
}

} // namespace

bool leerOpciones(const std::vector<std::string>& argumentos, OpcionesFpgen& opciones,
                  std::string& error) {
    OpcionesFpgen o;
    bool hayCarpeta = false, hayDedos = false, hayImpresiones = false;
    for (std::size_t i = 0; i < argumentos.size(); ++i) {
        const std::string& a = argumentos[i];
        if (a == "--help" || a == "-h") {
            o.ayuda = true;
            opciones = o;
            return true;
        }
        if (a != "--out" && a != "--fingers" && a != "--impressions" && a != "--seed" &&
            a != "--size" && a != "--dpi") {
            error = "unknown option \"" + a + "\"";
            return false;
        }
        if (i + 1 >= argumentos.size()) {
            error = a + " needs a value";
            return false;
        }
        const std::string& v = argumentos[++i];
        if (a == "--out") {
            if (v.empty()) {
                error = "--out needs a folder";
                return false;
            }
            o.carpeta = v;
            hayCarpeta = true;
        } else if (a == "--fingers") {
            if (!numero(v, o.dedos) || o.dedos < 1 || o.dedos > 100000) {
                error = "--fingers must be a whole number from 1 to 100000, not \"" + v + "\"";
                return false;
            }
            hayDedos = true;
        } else if (a == "--impressions") {
            if (!numero(v, o.impresiones) || o.impresiones < 1 || o.impresiones > 1000) {
                error = "--impressions must be a whole number from 1 to 1000, not \"" + v + "\"";
                return false;
            }
            hayImpresiones = true;
        } else if (a == "--seed") {
            if (!numero(v, o.semilla)) {
                error = "--seed must be a whole number from 0 to 18446744073709551615, not \"" + v +
                        "\"";
                return false;
            }
        } else if (a == "--size") {
            if (!tamano(v, o.ancho, o.alto) || o.ancho < 16 || o.alto < 16 || o.ancho > 4096 ||
                o.alto > 4096) {
                error = "--size must be WIDTHxHEIGHT, each from 16 to 4096, not \"" + v + "\"";
                return false;
            }
        } else if (a == "--dpi") {
            if (!numero(v, o.dpi) || o.dpi < 250 || o.dpi > 1000) {
                error = "--dpi must be a whole number from 250 to 1000, not \"" + v + "\"";
                return false;
            }
        }
    }
    if (!hayCarpeta || !hayDedos || !hayImpresiones) {
        error = "--out, --fingers and --impressions are required";
        return false;
    }
    opciones = o;
    return true;
}

std::string textoAyuda() {
    return "Usage: portiva-fpgen --out DIR --fingers N --impressions M [--seed S] [--size WxH] "
           "[--dpi D]\n"
           "Writes synthetic fingerprint impressions as DIR/f<NNN>_<M>.bmp (8-bit grey):\n"
           "fingers 0..N-1, impressions 0..M-1; impression 0 is the clean, centred one.\n"
           "The same seed always gives the same fingers. Defaults: --seed 1 --size 400x400 "
           "--dpi 500.\n";
}

std::string nombreArchivo(int dedo, int impresion, const std::string& extension) {
    char texto[64];
    std::snprintf(texto, sizeof texto, "f%03d_%d.%s", dedo, impresion, extension.c_str());
    return texto;
}

} // namespace portiva::fpgen
