#pragma once

#include <cstdint>
#include <vector>

namespace portiva::fpgen {

class Aleatorio;
class BancoGabor;

// Which kernel filters each pixel of the master canvas, and which pixels take part at all.
struct MapaFiltro {
    int ancho = 0, alto = 0;
    std::vector<std::uint16_t> nucleo; // index into the Gabor bank, row-major
    std::vector<std::uint8_t> activo;  // 1 inside the finger (with a margin)
};

struct ParametrosCrecimiento {
    int semillas = 40;       // starting dots scattered over the active area
    int iteracionesMin = 10; // filter + saturate rounds at least,
    int iteracionesMax = 40; // and at most, stopping once the pattern fills the area
    float ganancia = 6.0f;   // slope of the saturation: high values binarise
};

// Grows a ridge pattern the way a reaction-diffusion front spreads: starting from a few random
// dots, each round filters the image with the local oriented Gabor kernel and saturates the
// result to [-1, 1]. Ridges extend from every dot along the flow; where fronts of different
// phase meet, endings and bifurcations form. A last unsaturated round leaves a smooth field
// whose sign is the ridge pattern (positive on ridges).
std::vector<float> crecerCrestas(const BancoGabor& banco, const MapaFiltro& mapa, Aleatorio& rng,
                                 const ParametrosCrecimiento& parametros);

} // namespace portiva::fpgen
