#pragma once

#include <vector>

namespace portiva::fpgen {

class Aleatorio;

// A smooth random field over a rectangle: a sum of plane waves with random directions,
// wavelengths and phases (no lattice, so no grid pattern), with unit root-mean-square value.
// It is tabulated every few pixels and read back by bilinear interpolation, which is exact
// enough for waves many times longer than the step.
class CampoSuave {
public:
    CampoSuave() = default;
    CampoSuave(Aleatorio& rng, int ancho, int alto, double longitudMin, double longitudMax,
               int ondas = 6, int paso = 4);

    double valor(double x, double y) const;

private:
    int columnas_ = 0, filas_ = 0, paso_ = 1;
    std::vector<float> tabla_;
};

} // namespace portiva::fpgen
