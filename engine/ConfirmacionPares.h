#pragma once

#include "AcuerdoOrientacion.h"

#include <cstdint>
#include <utility>

namespace portiva::motor {

// One pair of a comparison as the local confirmation sees it: where the query minutia lies,
// how far its stored partner lands from it under the alignment (position, and direction in
// 1/256 turn), and the pair's weight.
struct DesvioPar {
    float x = 0, y = 0;
    float dx = 0, dy = 0;
    int giro = 0;
    float peso = 0;
};

// The pairs' total weight, each pair counted by how often its neighbours confirm it. Two pairs
// of one finger that lie close together move with the same patch of skin: their offsets and
// turns agree, however far the skin stretched elsewhere. Two minutiae paired by chance each
// land anywhere within the pairing tolerance, so neighbouring chance pairs rarely agree. A
// pair counts in full when the pairs within reach that agree with it carry at least half of
// their weight; a pair with few neighbours is neither trusted nor blamed on little evidence.
// The result is at most the plain sum of the weights.
float pesoConfirmado(const DesvioPar* pares, int n);

// The same for n pairs (query minutia, stored minutia) of weights `pesos`, the stored minutiae
// placed by `m` and turned by `giro` units; directions in 1/256 turn.
float pesoConfirmado(const std::pair<std::uint8_t, std::uint8_t>* pares, const float* pesos, int n,
                     const float* xq, const float* yq, const std::uint8_t* aq, const float* xg,
                     const float* yg, const std::uint8_t* ag, const Colocacion& m, int giro);

} // namespace portiva::motor
