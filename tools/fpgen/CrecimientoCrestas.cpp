#include "CrecimientoCrestas.h"

#include "Aleatorio.h"
#include "BancoGabor.h"

#include <algorithm>

namespace portiva::fpgen {

namespace {

constexpr int R = BancoGabor::radio;

// Buffers carry a border of R zeros all round (plus one column) so the kernel never reads
// outside them.
struct Lienzo {
    Lienzo(int ancho, int alto)
        : paso(ancho + 2 * R + 1), datos(static_cast<std::size_t>(paso) * (alto + 2 * R), 0.0f) {}
    float& en(int x, int y) { return datos[static_cast<std::size_t>(y + R) * paso + x + R]; }
    int paso;
    std::vector<float> datos;
};

float filtrar(const float* nucleo, const float* ventana, int paso) {
    // One accumulator per kernel column: the loop vectorises and the sum order is fixed.
    float acc[BancoGabor::paso] = {};
    for (int fila = 0; fila < BancoGabor::lado; ++fila) {
        const float* k = nucleo + fila * BancoGabor::paso;
        const float* v = ventana + static_cast<std::ptrdiff_t>(fila) * paso;
        for (int c = 0; c < BancoGabor::paso; ++c)
            acc[c] += k[c] * v[c];
    }
    float suma = 0.0f;
    for (float a : acc)
        suma += a;
    return suma;
}

// Blocks of the canvas that hold any non-zero value, grown by the kernel radius: outside
// them a filter round can only give 0, so it is skipped (the result is the same).
constexpr int lado = 8;

void bloquesVivos(const MapaFiltro& mapa, const Lienzo& entrada, std::vector<std::uint8_t>& vivos) {
    const int bx = (mapa.ancho + lado - 1) / lado, by = (mapa.alto + lado - 1) / lado;
    std::vector<std::uint8_t> conValor(static_cast<std::size_t>(bx) * by, 0);
    for (int y = 0; y < mapa.alto; ++y) {
        const float* fila = &entrada.datos[static_cast<std::size_t>(y + R) * entrada.paso + R];
        for (int x = 0; x < mapa.ancho; ++x)
            if (fila[x] != 0.0f)
                conValor[static_cast<std::size_t>(y / lado) * bx + x / lado] = 1;
    }
    constexpr int alcance = (R + lado - 1) / lado;
    vivos.assign(conValor.size(), 0);
    for (int j = 0; j < by; ++j)
        for (int i = 0; i < bx; ++i) {
            if (!conValor[static_cast<std::size_t>(j) * bx + i])
                continue;
            for (int dj = std::max(0, j - alcance); dj <= std::min(by - 1, j + alcance); ++dj)
                for (int di = std::max(0, i - alcance); di <= std::min(bx - 1, i + alcance); ++di)
                    vivos[static_cast<std::size_t>(dj) * bx + di] = 1;
        }
}

// One filter round; answers how many active pixels are still undecided (near zero).
std::size_t pasada(const BancoGabor& banco, const MapaFiltro& mapa, const Lienzo& entrada,
                   Lienzo& salida, float ganancia, bool saturar, std::vector<std::uint8_t>& vivos) {
    bloquesVivos(mapa, entrada, vivos);
    const int bx = (mapa.ancho + lado - 1) / lado;
    std::size_t indecisos = 0;
    for (int y = 0; y < mapa.alto; ++y)
        for (int x = 0; x < mapa.ancho; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * mapa.ancho + x;
            float v = 0.0f;
            if (mapa.activo[i]) {
                if (vivos[static_cast<std::size_t>(y / lado) * bx + x / lado]) {
                    v = filtrar(banco.nucleo(mapa.nucleo[i]),
                                &entrada.datos[static_cast<std::size_t>(y) * entrada.paso + x],
                                entrada.paso);
                    if (saturar)
                        v = std::clamp(v * ganancia, -1.0f, 1.0f);
                }
                if (v > -0.05f && v < 0.05f)
                    ++indecisos;
            }
            salida.en(x, y) = v;
        }
    return indecisos;
}

} // namespace

std::vector<float> crecerCrestas(const BancoGabor& banco, const MapaFiltro& mapa, Aleatorio& rng,
                                 const ParametrosCrecimiento& parametros) {
    Lienzo a(mapa.ancho, mapa.alto), b(mapa.ancho, mapa.alto);
    std::vector<std::size_t> activos;
    for (std::size_t i = 0; i < mapa.activo.size(); ++i)
        if (mapa.activo[i])
            activos.push_back(i);
    if (activos.empty())
        return std::vector<float>(mapa.activo.size(), 0.0f);

    for (int s = 0; s < parametros.semillas; ++s) {
        const std::size_t i = activos[static_cast<std::size_t>(
            rng.entero(static_cast<int>(std::min<std::size_t>(activos.size(), 0x7fffffff))))];
        const int x0 = static_cast<int>(i % mapa.ancho), y0 = static_cast<int>(i / mapa.ancho);
        const float signo = rng.probabilidad(0.5) ? 1.0f : -1.0f;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int x = x0 + dx, y = y0 + dy;
                if (dx * dx + dy * dy <= 5 && x >= 0 && y >= 0 && x < mapa.ancho && y < mapa.alto)
                    a.en(x, y) = signo;
            }
    }

    // Stop once nearly every pixel has joined the pattern (a few always sit on a ridge flank).
    const std::size_t bastantes = activos.size() / 200;
    std::vector<std::uint8_t> vivos;
    for (int it = 0; it < parametros.iteracionesMax; ++it) {
        const std::size_t indecisos = pasada(banco, mapa, a, b, parametros.ganancia, true, vivos);
        std::swap(a, b);
        if (it + 1 >= parametros.iteracionesMin && indecisos <= bastantes)
            break;
    }
    pasada(banco, mapa, a, b, 1.0f, false, vivos);

    std::vector<float> resultado(mapa.activo.size());
    for (int y = 0; y < mapa.alto; ++y)
        for (int x = 0; x < mapa.ancho; ++x)
            resultado[static_cast<std::size_t>(y) * mapa.ancho + x] = b.en(x, y);
    return resultado;
}

} // namespace portiva::fpgen
