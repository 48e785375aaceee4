#pragma once

#include "Imagenes.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace portiva::motor {

// Windows bitmap files. Reads 8-bit palette (grey or colour), 24-bit and 32-bit uncompressed
// bitmaps, top-down or bottom-up, and turns them into grey; writes 8-bit grey with a grey
// palette. Compressed (RLE) and malformed files are refused. Results are engine codes:
// 0 on success, -206 unknown extension, -207 bad or missing file name, -208 not a usable BMP.
class ArchivoBmp {
public:
    static int leer(const std::filesystem::path& archivo, ImagenGris& imagen);
    static int decodificar(const std::uint8_t* datos, std::size_t tamano, ImagenGris& imagen);
    static int escribir(const std::filesystem::path& archivo, const ImagenGris& imagen);

    // Extension test shared by the load, the save and the simulated reader.
    static bool tieneExtensionBmp(const std::filesystem::path& archivo);

    // Largest side and pixel count accepted when reading.
    static constexpr int LadoMaximo = 8192;
    static constexpr std::int64_t PixelesMaximos = 32LL * 1024 * 1024;
};

} // namespace portiva::motor
