#pragma once

#include "AcuerdoOrientacion.h"
#include "Plantilla.h"
#include "RejillaMinucias.h"
#include "SemillasAlineacion.h"

#include <array>
#include <cstdint>
#include <utility>

namespace portiva::motor {

// A placement tried as an alignment: its anchor (the seed's query minutia, from which the
// tolerances grow) and its turn in direction units.
struct Transformacion : Colocacion {
    float ax = 0, ay = 0;
    int rotUnidades = 0;
};

// The alignment that turns the stored print by `rot` and lays stored point (gx, gy) on query
// point (qx, qy), anchored there.
Transformacion hacia(float rot, float qx, float qy, float gx, float gy);

// The pairs of one alignment: query minutia first, stored minutia second.
struct Emparejado {
    int n = 0;
    float peso = 0;
    std::array<std::pair<std::uint8_t, std::uint8_t>, MaxMinucias> pares;
    // 1 - (distance / tolerance)^2 for each pair: minutiae that land on each other count in
    // full, chance neighbours near the edge of the tolerance hardly at all.
    std::array<float, MaxMinucias> cercania;
    std::array<float, MaxMinucias> pesoPar;
};

// Pairs every stored minutia with the nearest free query minutia of like direction under an
// alignment, the cheapest pairs first; the distance allowed grows away from the anchor (skin
// stretches). Each pair weighs by how alike the two neighbourhoods are, how close the minutiae
// land and whether they are of one kind. One per comparison: it keeps, for each query minutia,
// the similarity to the stored one it was last paired with, since a refit pairs mostly the same.
class Emparejador {
public:
    static constexpr int AnguloParUnidades = 21; // 30 degrees

    // The query by grid cell, its minutiae's kinds and descriptors (4 words of cells and 4 of
    // valid cells each), and the stored template's minutiae and descriptors (64 bytes each).
    // `nucleo`: the way the candidate pairs are looked for (every one finds the same).
    Emparejador(const RejillaMinucias& q, const std::uint8_t* tipoQ, const std::uint64_t* celdasQ,
                const std::uint64_t* validasQ, const alineacion::Guardada& g,
                const std::uint8_t* cilindrosG, Nucleo nucleo = nucleoElegido());

    // `derivaX/Y`, when given, move each aligned stored minutia by the skin's local drift.
    void emparejar(const Transformacion& tr, Emparejado& e, const float* derivaX = nullptr,
                   const float* derivaY = nullptr);

    struct Candidato {
        float coste, cercania;
        std::uint8_t i, j;
    };

private:
    float similitud(int i, int j);

    const RejillaMinucias& q_;
    const std::uint8_t* tipoQ_;
    const std::uint64_t* celdasQ_;
    const std::uint64_t* validasQ_;
    const alineacion::Guardada& g_;
    const std::uint8_t* cilindrosG_;
    std::array<int, MaxMinucias> ultimaJ_;
    std::array<float, MaxMinucias> ultimaSim_{};
    Nucleo nucleo_;
    std::array<Candidato, 4 * MaxMinucias> cand_;
};

} // namespace portiva::motor
