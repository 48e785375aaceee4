#include "ContadorMinucias.h"

#include <cstdlib>

namespace portiva::fpgen::prueba {

namespace {

// Neighbours P2..P9 clockwise from north.
constexpr int vx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int vy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

void adelgazar(std::vector<std::uint8_t>& img, int ancho, int alto) {
    std::vector<std::size_t> borrar;
    bool cambio = true;
    while (cambio) {
        cambio = false;
        for (int sub = 0; sub < 2; ++sub) {
            borrar.clear();
            for (int y = 1; y < alto - 1; ++y)
                for (int x = 1; x < ancho - 1; ++x) {
                    const std::size_t i = static_cast<std::size_t>(y) * ancho + x;
                    if (!img[i])
                        continue;
                    int p[8];
                    int b = 0;
                    for (int k = 0; k < 8; ++k) {
                        p[k] = img[static_cast<std::size_t>(y + vy[k]) * ancho + x + vx[k]];
                        b += p[k];
                    }
                    if (b < 2 || b > 6)
                        continue;
                    int a = 0;
                    for (int k = 0; k < 8; ++k)
                        a += (!p[k] && p[(k + 1) % 8]);
                    if (a != 1)
                        continue;
                    // P2 P4 P6 / P4 P6 P8 on the first pass, P2 P4 P8 / P2 P6 P8 on the second.
                    if (sub == 0 && ((p[0] && p[2] && p[4]) || (p[2] && p[4] && p[6])))
                        continue;
                    if (sub == 1 && ((p[0] && p[2] && p[6]) || (p[0] && p[4] && p[6])))
                        continue;
                    borrar.push_back(i);
                }
            for (std::size_t i : borrar)
                img[i] = 0;
            cambio = cambio || !borrar.empty();
        }
    }
}

} // namespace

std::vector<Minucia> contarMinucias(std::vector<std::uint8_t> cresta,
                                    const std::vector<std::uint8_t>& valido, int ancho, int alto,
                                    int margen, int distanciaMin) {
    adelgazar(cresta, ancho, alto);
    // Distance to the nearest invalid pixel, capped at margen (two-pass chamfer is overkill
    // here: a box test is enough).
    auto lejosDelBorde = [&](int x, int y) {
        if (x < margen || y < margen || x >= ancho - margen || y >= alto - margen)
            return false;
        for (int dy = -margen; dy <= margen; dy += 2)
            for (int dx = -margen; dx <= margen; dx += 2)
                if (!valido[static_cast<std::size_t>(y + dy) * ancho + x + dx])
                    return false;
        return true;
    };
    std::vector<Minucia> todas;
    for (int y = 1; y < alto - 1; ++y)
        for (int x = 1; x < ancho - 1; ++x) {
            if (!cresta[static_cast<std::size_t>(y) * ancho + x])
                continue;
            int p[8];
            for (int k = 0; k < 8; ++k)
                p[k] = cresta[static_cast<std::size_t>(y + vy[k]) * ancho + x + vx[k]];
            int cn = 0;
            for (int k = 0; k < 8; ++k)
                cn += std::abs(p[k] - p[(k + 1) % 8]);
            cn /= 2;
            if ((cn == 1 || cn == 3) && lejosDelBorde(x, y))
                todas.push_back({x, y, cn == 3});
        }
    std::vector<bool> quitar(todas.size(), false);
    const int d2 = distanciaMin * distanciaMin;
    for (std::size_t i = 0; i < todas.size(); ++i)
        for (std::size_t j = i + 1; j < todas.size(); ++j) {
            const int dx = todas[i].x - todas[j].x, dy = todas[i].y - todas[j].y;
            if (dx * dx + dy * dy < d2)
                quitar[i] = quitar[j] = true;
        }
    std::vector<Minucia> resultado;
    for (std::size_t i = 0; i < todas.size(); ++i)
        if (!quitar[i])
            resultado.push_back(todas[i]);
    return resultado;
}

} // namespace portiva::fpgen::prueba
