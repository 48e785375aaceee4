#include "PresenciaMinucias.h"

#include <algorithm>
#include <cmath>

namespace portiva::motor {

PresenciaMinucias::PresenciaMinucias(const float* x, const float* y, const std::uint8_t* angulo,
                                     int n, int ancho, int alto, float radio, int holgura)
    : ancho_(std::min(ancho, LadoMaximo) / Lado + 1), alto_(std::min(alto, LadoMaximo) / Lado + 1),
      limiteX_(static_cast<float>(ancho_ * Lado)), limiteY_(static_cast<float>(alto_ * Lado)),
      bits_(static_cast<std::size_t>(ancho_) * static_cast<std::size_t>(alto_), 0) {
    const float r2 = radio * radio;
    for (int i = 0; i < n; ++i) {
        // The directions, by their step's centre, within the allowance of this minutia's.
        std::uint32_t direcciones = 0;
        for (int b = 0; b < 32; ++b) {
            const int d =
                static_cast<std::int8_t>(static_cast<std::uint8_t>(8 * b + 4 - angulo[i]));
            if (d <= holgura && d >= -holgura)
                direcciones |= 1u << b;
        }
        const int x0 = std::max(0, static_cast<int>(std::floor((x[i] - radio) / Lado)));
        const int x1 = std::min(ancho_ - 1, static_cast<int>(std::floor((x[i] + radio) / Lado)));
        const int y0 = std::max(0, static_cast<int>(std::floor((y[i] - radio) / Lado)));
        const int y1 = std::min(alto_ - 1, static_cast<int>(std::floor((y[i] + radio) / Lado)));
        for (int cy = y0; cy <= y1; ++cy)
            for (int cx = x0; cx <= x1; ++cx) {
                const float ex = (static_cast<float>(cx) + 0.5f) * Lado - x[i];
                const float ey = (static_cast<float>(cy) + 0.5f) * Lado - y[i];
                if (ex * ex + ey * ey <= r2)
                    bits_[static_cast<std::size_t>(cy * ancho_ + cx)] |= direcciones;
            }
    }
}

int PresenciaMinucias::contar(const float* x, const float* y, const std::uint8_t* angulo, int n,
                              const Colocacion& m, int giro) const {
    int halladas = 0;
    for (int j = 0; j < n; ++j) {
        const float px = m.c * x[j] - m.s * y[j] + m.tx;
        const float py = m.s * x[j] + m.c * y[j] + m.ty;
        halladas += hay(px, py, static_cast<std::uint8_t>(angulo[j] + giro)) ? 1 : 0;
    }
    return halladas;
}

} // namespace portiva::motor
