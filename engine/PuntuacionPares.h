#pragma once

#include <cstdint>
#include <utility>

namespace portiva::motor {

// The score of one pairing, before the ridge flow is judged: `peso` the pairs' confirmed
// weight, `pares` how many pairs there are, `dentroConsulta` and `dentroGuardada` how many
// minutiae each print has where the other one shows ridges, each counted by its quality.
//
// Unrelated prints of one pattern class pair many minutiae by chance where their ridges run
// alike, but chance fills only about half of the overlap; a finger fills most of it. That
// holds even where a small or stretched overlap leaves a finger's pairs light: weighed by
// closeness and neighbourhood, such pairs weigh no more than chance pairs do. So the score
// rises with the cube of the counted share (pairs against the overlap), the square of the
// weighed share (weight against the overlap), and only the square root of the weight itself.
// The overlap is never taken as smaller than the number of pairs, so both shares stay at most
// 1; the weighed share is taken of at least 10 minutiae and the counted share of at least 16,
// since a handful of chance pairs fill an overlap of a few minutiae as well as a finger does.
float puntuacionPares(float peso, int pares, float dentroConsulta, float dentroGuardada);

// The factor a pairing's score is multiplied by for how independent its pairs are, 0..1, from
// the positions (x, y) of the query's minutiae in the n pairs (query index first). Two loops laid
// core on core share their ridge flow, and there the minutiae of both bunch: one alignment pairs
// several of them within a few ridges of each other, by chance as easily as one. A pair counts
// as one share of the pairs within 25 px of it (itself included), so a bunch counts about as one
// pair. The pairs of a finger spread over the overlap: half of its pairings keep 0.77 or more of
// them independent, so the factor is full from 0.8 and falls in proportion below it.
float independenciaPares(const std::pair<std::uint8_t, std::uint8_t>* pares, int n, const float* x,
                         const float* y);

// The factor a pairing's score is multiplied by for how far its pairs exceed what chance pairs
// between these two prints, 0..1: `pares` the pairs found, `alAzar` the mean number paired with the
// placement moved by a few ridges (`paresDesplazados`). Moved that far, a finger's own pairs all
// lie beyond the tolerance, so what still pairs is chance in this very overlap, with these
// densities and this flow. Two loops laid core on core, or a row of minutiae laid on a row, pair
// about half as many wherever the placement goes; a finger pairs a fifth as many away from the
// right one. The excess is judged as a count against its chance spread, (n - c) / sqrt(c + 1),
// and counts in full from 5, in proportion below: the same share of chance pairs weighs more in a
// large overlap, where chance pairs many, than in a small one.
float factorAzar(int pares, float alAzar);

// A comparison's score once weighed against chance is this many times the pairing's, so that the
// identification and verification defaults (159, 60) refuse no more genuine attempts on the
// development prints than before the weighing. The steps that run only for a pairing that may
// come near a threshold (the other alignments, the skin's drift, the chance pairs) keep judging
// the pairing's own score, so they cost what they did.
inline constexpr float EscalaAzar = 6812.0f / 5630.0f;

} // namespace portiva::motor
