#pragma once

#include "GeneradorHuellas.h"

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace portiva::fpgen {

// How portiva-fpgen stores an image: the file extension and the writer (true on success).
struct FormatoSalida {
    std::string extension;
    std::function<bool(const std::filesystem::path&, const ImagenGris&)> escribir;
};

// The whole tool: reads the arguments (without the program name), writes the set, reports on
// `salida` and `errores`. Answers the process exit code: 0 done, 1 a folder or file could not
// be written, 2 a mistake in the arguments.
int ejecutarFpgen(const std::vector<std::string>& argumentos, const FormatoSalida& formato,
                  std::ostream& salida, std::ostream& errores);

} // namespace portiva::fpgen
