#include "MarcoSensor.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace portiva::motor {

namespace {

bool plano(const Mapa<float>& g, int x, int y) {
    const float v = g(x, y);
    const int vx[4] = {1, -1, 0, 0}, vy[4] = {0, 0, 1, -1};
    for (int k = 0; k < 4; ++k) {
        const int nx = x + vx[k], ny = y + vy[k];
        if (g.dentro(nx, ny) && std::fabs(g(nx, ny) - v) > MarcoSensor::Tolerancia)
            return false;
    }
    return true;
}

} // namespace

Mapa<std::uint8_t> MarcoSensor::detectar(const Mapa<float>& gris) {
    const int w = gris.ancho(), h = gris.alto();
    if (w < 3 || h < 3)
        return {};
    // The edge pixels in order round the image; runs of flat ones long enough start the fill.
    std::vector<std::pair<int, int>> borde;
    for (int x = 0; x < w; ++x)
        borde.emplace_back(x, 0);
    for (int y = 1; y < h; ++y)
        borde.emplace_back(w - 1, y);
    for (int x = w - 2; x >= 0; --x)
        borde.emplace_back(x, h - 1);
    for (int y = h - 2; y > 0; --y)
        borde.emplace_back(0, y);
    std::vector<std::pair<int, int>> pila;
    int corrida = 0;
    for (std::size_t k = 0; k < borde.size(); ++k) {
        const auto [x, y] = borde[k];
        corrida = plano(gris, x, y) ? corrida + 1 : 0;
        if (corrida >= LargoMinimo)
            for (int r = 0; r < (corrida == LargoMinimo ? LargoMinimo : 1); ++r)
                pila.push_back(borde[k - static_cast<std::size_t>(r)]);
    }
    if (pila.empty())
        return {};
    Mapa<std::uint8_t> marco(w, h, 0);
    for (const auto& [x, y] : pila)
        marco(x, y) = 1;
    while (!pila.empty()) {
        const auto [x, y] = pila.back();
        pila.pop_back();
        const int vx[4] = {1, -1, 0, 0}, vy[4] = {0, 0, 1, -1};
        for (int k = 0; k < 4; ++k) {
            const int nx = x + vx[k], ny = y + vy[k];
            if (!gris.dentro(nx, ny) || marco(nx, ny) ||
                std::fabs(gris(nx, ny) - gris(x, y)) > Tolerancia)
                continue;
            // The frame's last pixel before the active area is not flat itself.
            marco(nx, ny) = 1;
            if (plano(gris, nx, ny))
                pila.emplace_back(nx, ny);
        }
    }
    // A flat background the print fades into (a synthetic print's white, a capacitive sensor's
    // empty cells) shows its level in the valleys next to it: it is the print's own edge. A
    // frame lies beyond anything the active area shows where it meets it.
    std::vector<float> junto;
    double suma = 0;
    std::size_t n = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (marco(x, y)) {
                suma += gris(x, y);
                ++n;
                continue;
            }
            const bool toca = (x > 0 && marco(x - 1, y)) || (x + 1 < w && marco(x + 1, y)) ||
                              (y > 0 && marco(x, y - 1)) || (y + 1 < h && marco(x, y + 1));
            if (toca)
                junto.push_back(gris(x, y));
        }
    if (junto.size() < static_cast<std::size_t>(LargoMinimo))
        return {};
    const float nivel = static_cast<float>(suma / static_cast<double>(n));
    const auto k5 = static_cast<std::ptrdiff_t>(junto.size() / 20);
    const auto k95 = static_cast<std::ptrdiff_t>(junto.size() - 1 - junto.size() / 20);
    std::nth_element(junto.begin(), junto.begin() + k5, junto.end());
    const float bajo = junto[static_cast<std::size_t>(k5)];
    std::nth_element(junto.begin(), junto.begin() + k95, junto.end());
    const float alto = junto[static_cast<std::size_t>(k95)];
    if (nivel <= alto + MargenNivel && nivel >= bajo - MargenNivel)
        return {};
    return marco;
}

void MarcoSensor::rellenar(Mapa<float>& gris, const Mapa<std::uint8_t>& marco) {
    if (marco.tamano() != gris.tamano())
        return;
    double suma = 0;
    std::size_t n = 0;
    for (std::size_t i = 0; i < gris.tamano(); ++i)
        if (!marco.datos()[i]) {
            suma += gris.datos()[i];
            ++n;
        }
    if (n == 0)
        return;
    const auto media = static_cast<float>(suma / static_cast<double>(n));
    for (std::size_t i = 0; i < gris.tamano(); ++i)
        if (marco.datos()[i])
            gris.datos()[i] = media;
}

void MarcoSensor::excluir(Mapa<std::uint8_t>& mascara, const Mapa<std::uint8_t>& marco,
                          int bloque) {
    const int minimo = bloque * bloque / 2;
    if (marco.tamano() == 0)
        return;
    Mapa<int> cuenta(mascara.ancho(), mascara.alto(), 0);
    for (int y = 0; y < marco.alto(); ++y)
        for (int x = 0; x < marco.ancho(); ++x)
            if (marco(x, y) && cuenta.dentro(x / bloque, y / bloque))
                ++cuenta(x / bloque, y / bloque);
    for (int by = 0; by < mascara.alto(); ++by)
        for (int bx = 0; bx < mascara.ancho(); ++bx)
            if (cuenta(bx, by) >= minimo)
                mascara(bx, by) = 0;
}

} // namespace portiva::motor
