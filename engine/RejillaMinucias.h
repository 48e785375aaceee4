#pragma once

#include <algorithm>
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

    // The cells x0..x1, y0..y1 that hold every minutia within `radio` px of (px, py); false
    // when none of them lies in the grid.
    struct Rango {
        int x0, y0, x1, y1;
    };
    bool celdasCerca(float px, float py, float radio, Rango& r) const {
        constexpr float InvCelda = 1.0f / static_cast<float>(Celda);
        if (px + radio < 0 || py + radio < 0)
            return false;
        r.x0 = std::max(0, static_cast<int>((px - radio) * InvCelda));
        r.y0 = std::max(0, static_cast<int>((py - radio) * InvCelda));
        r.x1 = std::min(rw_ - 1, static_cast<int>((px + radio) * InvCelda));
        r.y1 = std::min(rh_ - 1, static_cast<int>((py + radio) * InvCelda));
        return r.x0 <= r.x1 && r.y0 <= r.y1;
    }

    int columnas() const { return rw_; }
    int filas() const { return rh_; }
    const int* inicio() const { return inicio_.data(); }
    const int* indice() const { return indice_.data(); }
    const float* x() const { return x_.data(); }
    const float* y() const { return y_.data(); }
    const std::uint8_t* angulo() const { return angulo_.data(); }
    // For loops that read a block of `Relleno` minutiae at a time from any k up to n: the
    // direction as a 32-bit number and the column and row of the cell, and x() and y(), go on
    // for `Relleno` entries more that lie in no cell (column and row -1).
    static constexpr int Relleno = 16;
    const std::int32_t* angulo32() const { return angulo32_.data(); }
    const std::int32_t* columna() const { return columna_.data(); }
    const std::int32_t* fila() const { return fila_.data(); }

private:
    int rw_ = 0, rh_ = 0;
    std::vector<int> inicio_, indice_;
    std::vector<float> x_, y_;
    std::vector<std::uint8_t> angulo_;
    std::vector<std::int32_t> angulo32_, columna_, fila_;
};

} // namespace portiva::motor
