#include "RejillaMinucias.h"

#include <algorithm>
#include <cstddef>

namespace portiva::motor {

RejillaMinucias::RejillaMinucias(const float* x, const float* y, const std::uint8_t* angulo, int n,
                                 int ancho, int alto)
    : rw_(ancho / Celda + 1), rh_(alto / Celda + 1) {
    const auto un = static_cast<std::size_t>(n);
    std::vector<int> cuenta(static_cast<std::size_t>(rw_ * rh_) + 1, 0);
    auto celdaDe = [&](std::size_t i) {
        return static_cast<int>(y[i]) / Celda * rw_ + static_cast<int>(x[i]) / Celda;
    };
    for (std::size_t i = 0; i < un; ++i)
        ++cuenta[static_cast<std::size_t>(celdaDe(i)) + 1];
    for (std::size_t k = 1; k < cuenta.size(); ++k)
        cuenta[k] += cuenta[k - 1];
    inicio_ = cuenta;
    indice_.assign(un, 0);
    for (std::size_t i = 0; i < un; ++i)
        indice_[static_cast<std::size_t>(cuenta[static_cast<std::size_t>(celdaDe(i))]++)] =
            static_cast<int>(i);
    // The same minutiae in cell order, read straight by the loops that look for them.
    for (std::size_t k = 0; k < un; ++k) {
        const auto i = static_cast<std::size_t>(indice_[k]);
        x_.push_back(x[i]);
        y_.push_back(y[i]);
        angulo_.push_back(angulo[i]);
        angulo32_.push_back(angulo[i]);
        const int celda = celdaDe(i);
        columna_.push_back(celda % rw_);
        fila_.push_back(celda / rw_);
    }
    x_.resize(un + Relleno, 0.0f);
    y_.resize(un + Relleno, 0.0f);
    angulo32_.resize(un + Relleno, 0);
    columna_.resize(un + Relleno, -1);
    fila_.resize(un + Relleno, -1);
}

} // namespace portiva::motor
