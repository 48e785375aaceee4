#include "Remuestreo.h"

#include <algorithm>
#include <cmath>

namespace portiva::motor {

Mapa<float> Remuestreo::a500dpi(const std::uint8_t* imagen, int ancho, int alto, int resolucion) {
    const double f = static_cast<double>(ResolucionTrabajo) / resolucion;
    if (std::abs(f - 1.0) < 1e-3) {
        Mapa<float> m(ancho, alto);
        for (std::size_t i = 0; i < m.tamano(); ++i)
            m.datos()[i] = imagen[i];
        return m;
    }
    const int w = std::max(1, static_cast<int>(std::lround(ancho * f)));
    const int h = std::max(1, static_cast<int>(std::lround(alto * f)));
    Mapa<float> m(w, h);
    const double inv = 1.0 / f;
    auto px = [&](int x, int y) {
        x = std::clamp(x, 0, ancho - 1);
        y = std::clamp(y, 0, alto - 1);
        return static_cast<float>(imagen[static_cast<std::size_t>(y) * ancho + x]);
    };
    if (f < 1.0) {
        // Shrinking: average the source pixels that fall in each target pixel.
        for (int y = 0; y < h; ++y) {
            const int y0 = static_cast<int>(std::floor(y * inv));
            const int y1 = std::max(y0 + 1, static_cast<int>(std::floor((y + 1) * inv)));
            for (int x = 0; x < w; ++x) {
                const int x0 = static_cast<int>(std::floor(x * inv));
                const int x1 = std::max(x0 + 1, static_cast<int>(std::floor((x + 1) * inv)));
                float s = 0;
                int n = 0;
                for (int yy = y0; yy < y1; ++yy)
                    for (int xx = x0; xx < x1; ++xx, ++n)
                        s += px(xx, yy);
                m(x, y) = s / static_cast<float>(n);
            }
        }
    } else {
        for (int y = 0; y < h; ++y) {
            const double sy = (y + 0.5) * inv - 0.5;
            const int y0 = static_cast<int>(std::floor(sy));
            const auto fy = static_cast<float>(sy - y0);
            for (int x = 0; x < w; ++x) {
                const double sx = (x + 0.5) * inv - 0.5;
                const int x0 = static_cast<int>(std::floor(sx));
                const auto fx = static_cast<float>(sx - x0);
                const float a = px(x0, y0) * (1 - fx) + px(x0 + 1, y0) * fx;
                const float b = px(x0, y0 + 1) * (1 - fx) + px(x0 + 1, y0 + 1) * fx;
                m(x, y) = a * (1 - fy) + b * fy;
            }
        }
    }
    return m;
}

} // namespace portiva::motor
