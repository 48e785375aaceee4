#pragma once

#include "Mapa.h"

namespace portiva::motor {

// Local contrast normalisation: each pixel becomes (local mean - grey) / local deviation, so
// ridges are positive and valleys negative, whatever the pressure, dryness or exposure.
class Normalizacion {
public:
    static Mapa<float> local(const Mapa<float>& gris, int radio);
};

} // namespace portiva::motor
