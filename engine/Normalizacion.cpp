#include "Normalizacion.h"

#include <algorithm>
#include <cmath>

namespace portiva::motor {

Mapa<float> Normalizacion::local(const Mapa<float>& gris, int radio) {
    const int w = gris.ancho();
    const int h = gris.alto();
    // Integral images of the grey level and its square.
    const int W = w + 1;
    std::vector<double> s(static_cast<std::size_t>(W) * (h + 1), 0.0);
    std::vector<double> s2(s.size(), 0.0);
    for (int y = 0; y < h; ++y) {
        double fila = 0, fila2 = 0;
        for (int x = 0; x < w; ++x) {
            const double v = gris(x, y);
            fila += v;
            fila2 += v * v;
            const std::size_t i = static_cast<std::size_t>(y + 1) * W + (x + 1);
            s[i] = s[i - W] + fila;
            s2[i] = s2[i - W] + fila2;
        }
    }
    Mapa<float> n(w, h);
    // A floor on the deviation keeps flat background from being blown up into texture.
    constexpr double DesviacionMinima = 6.0;
    for (int y = 0; y < h; ++y) {
        const int y0 = std::max(0, y - radio), y1 = std::min(h, y + radio + 1);
        for (int x = 0; x < w; ++x) {
            const int x0 = std::max(0, x - radio), x1 = std::min(w, x + radio + 1);
            const double area = static_cast<double>(y1 - y0) * (x1 - x0);
            auto caja = [&](const std::vector<double>& t) {
                return t[static_cast<std::size_t>(y1) * W + x1] -
                       t[static_cast<std::size_t>(y0) * W + x1] -
                       t[static_cast<std::size_t>(y1) * W + x0] +
                       t[static_cast<std::size_t>(y0) * W + x0];
            };
            const double media = caja(s) / area;
            const double var = std::max(0.0, caja(s2) / area - media * media);
            n(x, y) =
                static_cast<float>((media - gris(x, y)) / (std::sqrt(var) + DesviacionMinima));
        }
    }
    return n;
}

} // namespace portiva::motor
