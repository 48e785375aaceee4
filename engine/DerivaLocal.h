#pragma once

#include "AcuerdoOrientacion.h"

#include <cstdint>
#include <utility>

namespace portiva::motor {

// Skin stretches as a finger is pressed: under one rigid alignment the pairs of a finger drift
// by a few pixels from one side of the print to the other, smoothly, while chance pairs scatter
// anywhere within the tolerance. The drift expected at each of the ng stored minutiae is the
// mean drift of the pairs around it (query minutia minus the stored one placed by `m`), weighed
// by the pair's weight and a Gaussian of radius `radio` over the stored positions, with half a
// pair of no drift added so that a lone neighbour moves a point only part of the way. A paired
// minutia's own pair is left out of its mean: a pair never vouches for itself.
// `pares[k]` = (query index, stored index), `pesos[k]` its weight.
void derivasLocales(const std::pair<std::uint8_t, std::uint8_t>* pares, const float* pesos,
                    int nPares, const float* xq, const float* yq, const float* xg, const float* yg,
                    int ng, const Colocacion& m, float radio, float* dx, float* dy);

} // namespace portiva::motor
