#pragma once

#include <cstdint>
#include <vector>

namespace portiva::fpgen::prueba {

struct Minucia {
    int x = 0, y = 0;
    bool bifurcacion = false;
};

// Counts ridge endings and bifurcations of a binary ridge map the textbook way: thin the ridges
// to one pixel (Zhang-Suen), take the crossing number of every skeleton pixel, drop points near
// the edge of the valid area and pairs closer than a ridge period (spurs and bridges left by
// thinning). Only meant to check the generator's output, not as an extractor.
std::vector<Minucia> contarMinucias(std::vector<std::uint8_t> cresta,
                                    const std::vector<std::uint8_t>& valido, int ancho, int alto,
                                    int margen = 12, int distanciaMin = 7);

} // namespace portiva::fpgen::prueba
