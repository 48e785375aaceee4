#include "Segmentacion.h"

#include <algorithm>
#include <vector>

namespace portiva::motor {

namespace {

Mapa<std::uint8_t> dilatar(const Mapa<std::uint8_t>& m, bool erosion) {
    Mapa<std::uint8_t> r(m.ancho(), m.alto());
    for (int y = 0; y < m.alto(); ++y)
        for (int x = 0; x < m.ancho(); ++x) {
            bool v = erosion;
            for (int dy = -1; dy <= 1 && v == erosion; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int xx = x + dx, yy = y + dy;
                    const bool p = m.dentro(xx, yy) ? m(xx, yy) != 0 : erosion;
                    if (p != erosion) {
                        v = !erosion;
                        break;
                    }
                }
            r(x, y) = v ? 1 : 0;
        }
    return r;
}

// Keeps the largest 4-connected region of value 1 (or fills every 0-region not touching the
// edge, when `rellenar`).
void componentes(Mapa<std::uint8_t>& m, bool rellenar) {
    const int w = m.ancho(), h = m.alto();
    Mapa<int> etiqueta(w, h, -1);
    std::vector<int> tamanos;
    std::vector<bool> tocaBorde;
    std::vector<std::pair<int, int>> pila;
    const std::uint8_t buscado = rellenar ? 0 : 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (m(x, y) != buscado || etiqueta(x, y) >= 0)
                continue;
            const int id = static_cast<int>(tamanos.size());
            tamanos.push_back(0);
            tocaBorde.push_back(false);
            pila.assign(1, {x, y});
            etiqueta(x, y) = id;
            while (!pila.empty()) {
                auto [cx, cy] = pila.back();
                pila.pop_back();
                ++tamanos.back();
                if (cx == 0 || cy == 0 || cx == w - 1 || cy == h - 1)
                    tocaBorde.back() = true;
                const int vx[4] = {1, -1, 0, 0}, vy[4] = {0, 0, 1, -1};
                for (int k = 0; k < 4; ++k) {
                    const int nx = cx + vx[k], ny = cy + vy[k];
                    if (m.dentro(nx, ny) && m(nx, ny) == buscado && etiqueta(nx, ny) < 0) {
                        etiqueta(nx, ny) = id;
                        pila.push_back({nx, ny});
                    }
                }
            }
        }
    if (rellenar) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (m(x, y) == 0 && !tocaBorde[static_cast<std::size_t>(etiqueta(x, y))])
                    m(x, y) = 1;
        return;
    }
    if (tamanos.empty())
        return;
    const int mayor =
        static_cast<int>(std::max_element(tamanos.begin(), tamanos.end()) - tamanos.begin());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            m(x, y) = (m(x, y) && etiqueta(x, y) == mayor) ? 1 : 0;
}

} // namespace

Mapa<std::uint8_t> Segmentacion::calcular(const CampoOrientacion& c) {
    const int bw = c.anisotropia.ancho(), bh = c.anisotropia.alto();
    std::vector<float> valores(c.anisotropia.datos(),
                               c.anisotropia.datos() + c.anisotropia.tamano());
    std::vector<float> orden = valores;
    const auto k = static_cast<std::ptrdiff_t>(orden.size() * 9 / 10);
    std::nth_element(orden.begin(), orden.begin() + k, orden.end());
    const float p90 = orden[static_cast<std::size_t>(k)];
    // Relative to the strongest ridges of this image, with a floor for blank images.
    const float umbral = std::max(10.0f, 0.22f * p90);
    // Ridges read from the blurred image are coherent well above this even where they curve
    // round a core or a delta; pixel noise, which the blur takes out, stays below it.
    constexpr float CoherenciaMinima = 0.20f;
    Mapa<std::uint8_t> m(bw, bh);
    for (int y = 0; y < bh; ++y)
        for (int x = 0; x < bw; ++x)
            m(x, y) = (c.anisotropia(x, y) >= umbral && c.contraste(x, y) >= 4.0f &&
                       c.coherenciaLocal(x, y) >= CoherenciaMinima)
                          ? 1
                          : 0;
    m = dilatar(dilatar(m, false), true); // closing
    m = dilatar(dilatar(m, true), false); // opening
    componentes(m, false);
    componentes(m, true);
    return m;
}

Mapa<std::uint8_t> Segmentacion::distanciaAlFondo(const Mapa<std::uint8_t>& m) {
    const int w = m.ancho(), h = m.alto();
    Mapa<std::uint8_t> d(w, h, 0);
    // Chessboard distance by two passes; outside the image counts as background.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!m(x, y)) {
                d(x, y) = 0;
                continue;
            }
            int v = std::min({x + 1, y + 1, w - x, h - y, 255});
            if (x > 0)
                v = std::min(v, d(x - 1, y) + 1);
            if (y > 0) {
                v = std::min(v, d(x, y - 1) + 1);
                if (x > 0)
                    v = std::min(v, d(x - 1, y - 1) + 1);
                if (x + 1 < w)
                    v = std::min(v, d(x + 1, y - 1) + 1);
            }
            d(x, y) = static_cast<std::uint8_t>(v);
        }
    for (int y = h - 1; y >= 0; --y)
        for (int x = w - 1; x >= 0; --x) {
            int v = d(x, y);
            if (v == 0)
                continue;
            if (x + 1 < w)
                v = std::min(v, d(x + 1, y) + 1);
            if (y + 1 < h) {
                v = std::min(v, d(x, y + 1) + 1);
                if (x + 1 < w)
                    v = std::min(v, d(x + 1, y + 1) + 1);
                if (x > 0)
                    v = std::min(v, d(x - 1, y + 1) + 1);
            }
            d(x, y) = static_cast<std::uint8_t>(v);
        }
    return d;
}

} // namespace portiva::motor
