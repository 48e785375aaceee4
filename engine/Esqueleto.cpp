#include "Esqueleto.h"

#include <array>
#include <bit>
#include <vector>

namespace portiva::motor {

namespace {

// Neighbour order around a pixel: E, NE, N, NW, W, SW, S, SE.
constexpr int Dx[8] = {1, 1, 0, -1, -1, -1, 0, 1};
constexpr int Dy[8] = {0, -1, -1, -1, 0, 1, 1, 1};

// Flips every region of `valor` pixels (ridges through corners, holes only through sides) of
// at most `minimo` pixels that does not touch the image border. The regions are walked on a
// copy with a frame one pixel wide marked as outside, so no step needs a bounds check.
void quitarPequenos(Mapa<std::uint8_t>& b, std::uint8_t valor, int minimo) {
    constexpr std::uint8_t Fuera = 2;
    const int w = b.ancho(), h = b.alto();
    const int W = w + 2;
    const std::size_t n = static_cast<std::size_t>(W) * static_cast<std::size_t>(h + 2);
    std::vector<std::uint8_t> q(n, Fuera);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            q[static_cast<std::size_t>((y + 1) * W + x + 1)] = b(x, y);
    std::vector<std::uint8_t> visto(n, 0);
    // Neighbour offsets in the order E, NE, N, NW, W, SW, S, SE; holes use the sides only.
    const int todos[8] = {1, 1 - W, -W, -W - 1, -1, W - 1, W, W + 1};
    const int lados[4] = {1, -W, -1, W};
    const int* const desplazamientos = valor == 0 ? lados : todos;
    const int vecinos = valor == 0 ? 4 : 8;
    std::vector<int> pila, region;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int inicio = (y + 1) * W + x + 1;
            if (q[static_cast<std::size_t>(inicio)] != valor ||
                visto[static_cast<std::size_t>(inicio)])
                continue;
            region.clear();
            pila.assign(1, inicio);
            visto[static_cast<std::size_t>(inicio)] = 1;
            bool tocaBorde = false;
            while (!pila.empty()) {
                const int c = pila.back();
                pila.pop_back();
                region.push_back(c);
                for (int k = 0; k < vecinos; ++k) {
                    const auto v = static_cast<std::size_t>(c + desplazamientos[k]);
                    if (q[v] == Fuera) {
                        tocaBorde = true;
                        continue;
                    }
                    if (q[v] == valor && !visto[v]) {
                        visto[v] = 1;
                        pila.push_back(static_cast<int>(v));
                    }
                }
                if (static_cast<int>(region.size()) > minimo)
                    break;
            }
            const bool grande = static_cast<int>(region.size()) > minimo;
            // Drain the rest of a large region without collecting it.
            while (!pila.empty()) {
                const int c = pila.back();
                pila.pop_back();
                for (int k = 0; k < vecinos; ++k) {
                    const auto v = static_cast<std::size_t>(c + desplazamientos[k]);
                    if (q[v] == valor && !visto[v]) {
                        visto[v] = 1;
                        pila.push_back(static_cast<int>(v));
                    }
                }
            }
            if (grande || tocaBorde)
                continue;
            for (const int r : region) {
                q[static_cast<std::size_t>(r)] = static_cast<std::uint8_t>(1 - valor);
                b(r % W - 1, r / W - 1) = static_cast<std::uint8_t>(1 - valor);
            }
        }
}

// Thinning tables: for each neighbourhood byte, may the centre be deleted in the first or the
// second subiteration.
struct TablasAdelgazado {
    std::array<std::uint8_t, 256> paso1{}, paso2{};
    TablasAdelgazado() {
        for (int v = 0; v < 256; ++v) {
            auto p = [&](int k) { return (v >> k) & 1; };
            // Name the neighbours as in the classic formulation: P2 = N, P3 = NE, P4 = E,
            // P5 = SE, P6 = S, P7 = SW, P8 = W, P9 = NW.
            const int P2 = p(2), P3 = p(1), P4 = p(0), P5 = p(7), P6 = p(6), P7 = p(5), P8 = p(4),
                      P9 = p(3);
            const int B = P2 + P3 + P4 + P5 + P6 + P7 + P8 + P9;
            const int seq[9] = {P2, P3, P4, P5, P6, P7, P8, P9, P2};
            int A = 0;
            for (int i = 0; i < 8; ++i)
                A += (seq[i] == 0 && seq[i + 1] == 1);
            const bool base = B >= 2 && B <= 6 && A == 1;
            paso1[static_cast<std::size_t>(v)] = base && (P2 * P4 * P6 == 0) && (P4 * P6 * P8 == 0);
            paso2[static_cast<std::size_t>(v)] = base && (P2 * P4 * P8 == 0) && (P2 * P6 * P8 == 0);
        }
    }
};

} // namespace

int Esqueleto::vecindad(const Mapa<std::uint8_t>& m, int x, int y) {
    int v = 0;
    for (int k = 0; k < 8; ++k) {
        const int nx = x + Dx[k], ny = y + Dy[k];
        if (m.dentro(nx, ny) && m(nx, ny))
            v |= 1 << k;
    }
    return v;
}

int Esqueleto::cruces(int v) {
    int c = 0;
    for (int k = 0; k < 8; ++k)
        c += (((v >> k) & 1) == 0) && (((v >> ((k + 1) & 7)) & 1) == 1);
    return c;
}

Mapa<std::uint8_t> Esqueleto::binarizar(const Mapa<float>& e, const Mapa<std::uint8_t>& mascara,
                                        int B) {
    Mapa<std::uint8_t> b(e.ancho(), e.alto(), 0);
    for (int y = 0; y < e.alto(); ++y)
        for (int x = 0; x < e.ancho(); ++x)
            b(x, y) = (mascara(x / B, y / B) && e(x, y) > 0) ? 1 : 0;
    quitarPequenos(b, 1, 20);
    quitarPequenos(b, 0, 20);
    // The hole filling may add ridge pixels outside the print; keep to the mask.
    for (int y = 0; y < e.alto(); ++y)
        for (int x = 0; x < e.ancho(); ++x)
            if (!mascara(x / B, y / B))
                b(x, y) = 0;
    return b;
}

void Esqueleto::adelgazar(Mapa<std::uint8_t>& m) {
    static const TablasAdelgazado tablas; // immutable lookup tables, built once
    const int w = m.ancho(), h = m.alto();
    // A copy with a blank frame one pixel wide holds 0/1 for every pixel, so a neighbourhood is
    // eight loads with fixed offsets and no bounds checks; it follows every deletion from `m`.
    const int W = w + 2;
    std::vector<std::uint8_t> p(static_cast<std::size_t>(W) * static_cast<std::size_t>(h + 2), 0);
    const auto vecinos = [&](int i) {
        const std::uint8_t* q = p.data() + i;
        return q[1] | q[1 - W] << 1 | q[-W] << 2 | q[-W - 1] << 3 | q[-1] << 4 | q[W - 1] << 5 |
               q[W] << 6 | q[W + 1] << 7;
    };
    // Active pixels in row order: their index in the copy and in `m`.
    std::vector<std::pair<int, int>> activos;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (m(x, y)) {
                const int i = (y + 1) * W + x + 1;
                p[static_cast<std::size_t>(i)] = 1;
                activos.push_back({i, y * w + x});
            }
    std::uint8_t* d = m.datos();
    std::vector<std::pair<int, int>> borrar;
    for (int iter = 0; iter < 40; ++iter) {
        bool cambio = false;
        for (int paso = 0; paso < 2; ++paso) {
            borrar.clear();
            const auto& t = paso == 0 ? tablas.paso1 : tablas.paso2;
            for (const auto& a : activos)
                if (p[static_cast<std::size_t>(a.first)] &&
                    t[static_cast<std::size_t>(vecinos(a.first))])
                    borrar.push_back(a);
            for (const auto& [i, j] : borrar) {
                p[static_cast<std::size_t>(i)] = 0;
                d[j] = 0;
            }
            cambio = cambio || !borrar.empty();
        }
        if (!cambio)
            break;
        std::erase_if(activos, [&](const std::pair<int, int>& a) {
            return !p[static_cast<std::size_t>(a.first)];
        });
    }
    // Staircases: a pixel whose only two neighbours are side neighbours at a right angle; those
    // two touch at a corner, so the line stays connected without it.
    for (const auto& [i, j] : activos) {
        if (!p[static_cast<std::size_t>(i)])
            continue;
        const int v = vecinos(i);
        const bool e = v & 1, n = v & 4, o = v & 16, s = v & 64;
        const bool esquina = (n && e && !s && !o) || (e && s && !n && !o) || (s && o && !n && !e) ||
                             (o && n && !s && !e);
        if (esquina && std::popcount(static_cast<unsigned>(v)) == 2) {
            p[static_cast<std::size_t>(i)] = 0;
            d[j] = 0;
        }
    }
}

} // namespace portiva::motor
