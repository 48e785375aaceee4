#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace portiva::motor {

// The template format, version 1 (all numbers little-endian):
//
//   offset  size  field
//   0       4     magic "PTVH"
//   4       1     version (1)
//   5       1     flags (0)
//   6       2     header size (32)
//   8       4     template length L in bytes, header included (bytes after L are ignored)
//   12      4     checksum of bytes 16 .. L-1
//   16      2     resolution of the original image, dpi
//   18      1     quality 0..100
//   19      1     number of minutiae n (0..MaxMinucias)
//   20      2     width of the normalised frame (500 dpi pixels)
//   22      2     height of the normalised frame
//   24      1     side of an orientation block, pixels
//   25      1     orientation grid width gw
//   26      1     orientation grid height gh
//   27      5     reserved (0)
//   32      8n    minutiae: x u16, y u16, angle u8 (1/256 turn), type u8, quality u8, 0
//   32+8n   64n   local descriptors: 4 x u64 cell bits, then 4 x u64 validity bits
//   32+72n  6n    ridge segments: three (dx, dy) int8 pairs per minutia, (0, 0) = none
//   32+78n  gw*gh orientation per block: 0..179 degrees, 255 = background
//
// L = 32 + 78n + gw*gh exactly. Every field is checked on reading, and the checksum ties the
// body to the header, so a damaged template is refused instead of matched.
inline constexpr int TamanoCabeceraPlantilla = 32;
inline constexpr int BytesPorMinucia = 8;
inline constexpr int BytesPorCilindro = 64;
inline constexpr int BytesPorSegmento = 6;
inline constexpr int MaxMinucias = 80;
inline constexpr int MaxCeldasOrientacion = 3600;
inline constexpr int TamanoMaximoPlantilla = 10000;
inline constexpr int PalabrasCilindro = 4;
inline constexpr std::uint8_t FondoOrientacion = 255;

enum class TipoMinucia : std::uint8_t { Terminacion = 1, Bifurcacion = 2 };

struct MinuciaPlantilla {
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    std::uint8_t angulo = 0; // 256 units per turn
    TipoMinucia tipo = TipoMinucia::Terminacion;
    std::uint8_t calidad = 0;
};

struct Cilindro {
    std::array<std::uint64_t, PalabrasCilindro> celdas{};
    std::array<std::uint64_t, PalabrasCilindro> validas{};
};

using Segmentos = std::array<std::int8_t, 6>;

// A fully decoded template (extraction output, drawing input).
struct DatosPlantilla {
    int resolucionOriginal = 500;
    int calidad = 0;
    int ancho = 0;
    int alto = 0;
    int bloque = 16;
    int gw = 0;
    int gh = 0;
    std::vector<MinuciaPlantilla> minucias;
    std::vector<Cilindro> cilindros;
    std::vector<Segmentos> segmentos;
    std::vector<std::uint8_t> orientacion; // gw * gh
};

// A checked template read in place: pointers into the caller's bytes, no copies. This is
// what the matcher uses on every stored template, so it only checks and points.
struct VistaPlantilla {
    int longitud = 0;
    int n = 0;
    int ancho = 0;
    int alto = 0;
    int bloque = 0;
    int gw = 0;
    int gh = 0;
    std::uint32_t suma = 0;
    const std::uint8_t* minucias = nullptr;
    const std::uint8_t* cilindros = nullptr;
    const std::uint8_t* segmentos = nullptr;
    const std::uint8_t* orientacion = nullptr;
};

class CodecPlantilla {
public:
    // Writes the template; `usados` gets its length. -8 when it does not fit in `capacidad`
    // or the data break the format's limits.
    static int codificar(const DatosPlantilla& datos, std::uint8_t* destino, int capacidad,
                         int& usados);
    // Checks any byte string; 0 and a usable view, or -5 (null) / -8 (not a valid template).
    // comprobarSuma false: the checksum is taken as right (the caller verified these very bytes
    // before); every length and bound is checked all the same.
    static int examinar(const std::uint8_t* bytes, std::size_t tamano, VistaPlantilla& vista,
                        bool comprobarSuma = true);
    static int decodificar(const std::uint8_t* bytes, std::size_t tamano, DatosPlantilla& datos);

    static std::uint32_t sumaControl(const std::uint8_t* bytes, std::size_t tamano);
};

} // namespace portiva::motor
