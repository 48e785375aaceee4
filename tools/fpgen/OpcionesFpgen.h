#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace portiva::fpgen {

// What portiva-fpgen was asked to do.
struct OpcionesFpgen {
    std::filesystem::path carpeta;
    int dedos = 0;
    int impresiones = 0;
    std::uint64_t semilla = 1;
    int ancho = 400, alto = 400, dpi = 500;
    bool ayuda = false;
};

// Reads the command line (without the program name). On a mistake answers false and says
// why in `error`; nothing is left half-read in `opciones` that the caller would act on.
bool leerOpciones(const std::vector<std::string>& argumentos, OpcionesFpgen& opciones,
                  std::string& error);

std::string textoAyuda();

// "f007_2.bmp": finger with three digits (more if needed), then the impression.
std::string nombreArchivo(int dedo, int impresion, const std::string& extension);

} // namespace portiva::fpgen
