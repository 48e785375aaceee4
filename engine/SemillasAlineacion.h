#pragma once

#include "NucleoProcesador.h"
#include "Plantilla.h"

#include <array>
#include <cstdint>
#include <vector>

// The first step of comparing two templates: the pairs of minutiae whose neighbourhoods look
// most alike, tried afterwards as alignments. Kept apart from the pairing so that its bit
// counting can be built for the processor it runs on.
namespace portiva::motor::alineacion {

inline constexpr int Semillas = 6;

// The stored template, decoded for one comparison.
struct Guardada {
    int n;
    std::array<float, MaxMinucias> x, y;
    std::array<std::uint8_t, MaxMinucias> angulo;
    std::array<std::uint8_t, MaxMinucias> tipo;
};

// The query's seed descriptors laid out word by word, for counting the bits of several of them
// at once: word w (0..3 the cells, 4..7 the valid cells) of minutia k at w * paso() + k. Each
// minutia is there twice, at k and at n + k, so that a window of directions that wraps round
// the end is one run, and the rows are padded so that a block of 8 read from any of them stays
// inside.
class DescriptoresTraspuestos {
public:
    DescriptoresTraspuestos() = default;
    DescriptoresTraspuestos(const std::uint64_t* celdas, const std::uint64_t* validas, int n);
    const std::uint64_t* datos() const { return datos_.data(); }
    int paso() const { return paso_; }

private:
    int paso_ = 0;
    std::vector<std::uint64_t> datos_;
};

// The minutiae of the query searched for seeds, sorted by direction; `primero[a]` is the first
// of them whose direction is at least a (1/256 turn); `traspuestos` their descriptors again.
struct ConsultaVista {
    int n;
    const std::uint8_t* angulo;
    const std::uint64_t* celdas;
    const std::uint64_t* validas;
    const int* primero;
    const DescriptoresTraspuestos* traspuestos;
};

struct Semilla {
    float sim;
    int i, j; // query minutia (in the searched subset), stored minutia
};

struct Trabajo {
    std::array<Semilla, Semillas> semillas; // best first
    int nSemillas = 0;
};

// The `Semillas` most alike pairs whose directions differ by at most `limite` units (128 or
// more: any), from the stored descriptors `cilindros` (64 bytes per minutia).
void buscarSemillas(const ConsultaVista& q, const Guardada& g, const std::uint8_t* cilindros,
                    int limite, Trabajo& t);

// The same search counting bits the way named (one of nucleosDisponibles()); the one above
// counts them the way chosen when the program loaded.
void buscarSemillas(Nucleo nucleo, const ConsultaVista& q, const Guardada& g,
                    const std::uint8_t* cilindros, int limite, Trabajo& t);

// How alike two descriptors (bits and valid cells, 4 words each) are over the cells valid in
// both, beyond chance: (Dice - E) / (1 - E), E the Dice that two unrelated descriptors with as
// many bits set would reach on average. A dense neighbourhood sets many bits, so two unrelated
// ones overlap a lot by chance; a sparse one that agrees bit for bit is the stronger evidence.
// 1 for identical descriptors, about 0 for unrelated ones, below 0 for fewer shared bits than
// chance, and -1 when they share too few valid cells to say. (Seeds are ranked by plain Dice.)
float similitudDescriptores(const std::uint64_t* cq, const std::uint64_t* vq,
                            const std::uint64_t* cg, const std::uint64_t* vg);

} // namespace portiva::motor::alineacion
