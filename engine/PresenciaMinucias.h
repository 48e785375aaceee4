#pragma once

#include "AcuerdoOrientacion.h"
#include "NucleoProcesador.h"

#include <cstdint>
#include <vector>

namespace portiva::motor {

// Where a print has a minutia, as a map looked up in one step: for each 4-pixel cell of the
// frame and each of 32 directions, whether some minutia lies within `radio` px of the cell's
// centre with a direction within `holgura` units. Counting how many minutiae of another print
// land on it under an alignment then costs one look-up per minutia, so every seed's alignment
// can be judged on every minutia instead of a sample. Places and directions are taken to the
// cell and to the direction step (4 px, 8 units): it ranks alignments, it pairs nothing.
class PresenciaMinucias {
public:
    static constexpr int Lado = 4; // px
    // The largest frame mapped, twice what any sensor gives at 500 dpi: a template that claims
    // a larger one is mapped only this far (nothing beyond is found), so that no frame size
    // read from a template can ask for more than a few megabytes.
    static constexpr int LadoMaximo = 4096; // px

    PresenciaMinucias() = default;
    PresenciaMinucias(const float* x, const float* y, const std::uint8_t* angulo, int n, int ancho,
                      int alto, float radio, int holgura);

    bool hay(float px, float py, std::uint8_t angulo) const {
        // Compared as floats first: a point far off the frame (or not a number) never reaches
        // the conversion to a cell.
        if (!(px >= 0 && py >= 0 && px < limiteX_ && py < limiteY_))
            return false;
        const int cx = static_cast<int>(px * (1.0f / Lado));
        const int cy = static_cast<int>(py * (1.0f / Lado));
        return (bits_[static_cast<std::size_t>(cy * ancho_ + cx)] >> (angulo >> 3)) & 1u;
    }

    std::size_t celdas() const { return bits_.size(); }

    // How many of the n points (x, y, direction), placed by m and turned by `giro` units, land
    // where this print has a minutia; `nucleo`: the way they are looked up (every one counts
    // the same).
    int contar(const float* x, const float* y, const std::uint8_t* angulo, int n,
               const Colocacion& m, int giro, Nucleo nucleo = nucleoElegido()) const;

private:
    int ancho_ = 0, alto_ = 0; // cells
    float limiteX_ = 0, limiteY_ = 0;
    std::vector<std::uint32_t> bits_;
};

} // namespace portiva::motor
