#pragma once

#include "AcuerdoOrientacion.h"

#include <cstdint>
#include <vector>

namespace portiva::motor {

// A print's minutiae sorted by the cell of a coarse grid they lie in, so that the ones near a
// point are read from a few cells instead of from the whole print. The cells of one row are
// consecutive: the minutiae of cells cx0..cx1 of row cy are k = inicio(cy, cx0) up to
// inicio(cy, cx1 + 1), in cell order, with their index in the print at `indice()[k]`.
class RejillaMinucias {
public:
    static constexpr int Celda = 20; // px

    RejillaMinucias() = default;
    // The n minutiae (x, y, direction in 1/256 turn) of a print `ancho` x `alto` px.
    RejillaMinucias(const float* x, const float* y, const std::uint8_t* angulo, int n, int ancho,
                    int alto);

    int columnas() const { return rw_; }
    int filas() const { return rh_; }
    const int* inicio() const { return inicio_.data(); }
    const int* indice() const { return indice_.data(); }
    const float* x() const { return x_.data(); }
    const float* y() const { return y_.data(); }
    const std::uint8_t* angulo() const { return angulo_.data(); }

    // How many of the n points (x, y, direction), every `paso`-th, once placed by m
    // and turned by `giro` units, have a minutia within `radio` px whose direction differs by
    // at most `holgura` units.
    int contar(const float* x, const float* y, const std::uint8_t* angulo, int n, int paso,
               const Colocacion& m, int giro, float radio, int holgura) const;

private:
    int rw_ = 0, rh_ = 0;
    std::vector<int> inicio_, indice_;
    std::vector<float> x_, y_;
    std::vector<std::uint8_t> angulo_;
};

} // namespace portiva::motor
