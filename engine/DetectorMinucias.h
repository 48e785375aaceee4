#pragma once

#include "CampoOrientacion.h"
#include "Mapa.h"
#include "Plantilla.h"

#include <cstdint>
#include <vector>

namespace portiva::motor {

struct MinuciaDetectada {
    float x = 0, y = 0;
    float angulo = 0; // radians [0, 2pi): along the ridge for an ending, into the fork for a
                      // bifurcation (so an ending and its dual bifurcation agree)
    TipoMinucia tipo = TipoMinucia::Terminacion;
    float calidad = 0; // 0..1
    Segmentos segmentos{};
};

// Minutiae on the thinned ridges by crossing number, their directions by following the ridge,
// and the removal of false ones: at the print's border, spurs, short ridges, bridges, broken
// ridges and clusters.
class DetectorMinucias {
public:
    struct Recuento {
        int candidatas = 0;
        int conservadas = 0;
    };

    static std::vector<MinuciaDetectada> detectar(const Mapa<std::uint8_t>& esqueleto,
                                                  const CampoOrientacion& campo,
                                                  const Mapa<std::uint8_t>& mascara,
                                                  const Mapa<float>& periodo, Recuento& recuento);
};

} // namespace portiva::motor
