#pragma once

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

} // namespace portiva::motor
