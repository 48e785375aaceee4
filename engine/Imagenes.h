#pragma once

#include <cstdint>
#include <vector>

namespace portiva::motor {

// An 8-bit grey image, row-major, 0 = black (ridge), 255 = white, with its resolution.
struct ImagenGris {
    int ancho = 0;
    int alto = 0;
    int resolucion = 500; // dots per inch
    std::vector<std::uint8_t> pixeles;
};

// A picture for the desk window: RGB888, rows of ancho * 3 bytes, no padding.
struct ImagenRGB {
    int ancho = 0;
    int alto = 0;
    std::vector<std::uint8_t> bytes;
};

} // namespace portiva::motor
