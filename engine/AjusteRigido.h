#pragma once

#include <cstdint>
#include <utility>

namespace portiva::motor {

// The rigid motion (a turn about the stored points' centroid, then a shift, no scale) that
// carries the stored points of the given pairs closest to their query points in the least
// squares sense: the turn, and the two centroids it maps onto each other.
struct AjusteRigido {
    float rotacion = 0; // radians, stored frame to query frame
    float qx = 0, qy = 0, gx = 0, gy = 0;
};

// `pares[k]` = (query index, stored index) into the coordinate arrays; n >= 1.
AjusteRigido ajustarRigido(const float* xq, const float* yq, const float* xg, const float* yg,
                           const std::pair<std::uint8_t, std::uint8_t>* pares, int n);

} // namespace portiva::motor
