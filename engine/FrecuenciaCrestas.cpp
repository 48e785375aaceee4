#include "FrecuenciaCrestas.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace portiva::motor {

namespace {

float muestra(const Mapa<float>& m, float x, float y) {
    const int xi = static_cast<int>(std::lround(x)), yi = static_cast<int>(std::lround(y));
    if (!m.dentro(xi, yi))
        return 0.0f;
    return m(xi, yi);
}

// Period from the profile's autocorrelation; 0 when the profile is not clearly periodic.
float periodoDePerfil(const std::vector<float>& p) {
    const int n = static_cast<int>(p.size());
    float media = 0;
    for (float v : p)
        media += v;
    media /= static_cast<float>(n);
    std::vector<float> q(p.size());
    float r0 = 0;
    for (int i = 0; i < n; ++i) {
        q[static_cast<std::size_t>(i)] = p[static_cast<std::size_t>(i)] - media;
        r0 += q[static_cast<std::size_t>(i)] * q[static_cast<std::size_t>(i)];
    }
    if (r0 <= 1e-6f)
        return 0.0f;
    const int lmin = static_cast<int>(FrecuenciaCrestas::PeriodoMinimo) - 1;
    const int lmax = static_cast<int>(FrecuenciaCrestas::PeriodoMaximo) + 1;
    std::vector<float> r(static_cast<std::size_t>(lmax + 2), 0.0f);
    for (int l = lmin - 1; l <= lmax + 1; ++l) {
        float s = 0;
        for (int i = 0; i + l < n; ++i)
            s += q[static_cast<std::size_t>(i)] * q[static_cast<std::size_t>(i + l)];
        r[static_cast<std::size_t>(l)] = s / r0 * static_cast<float>(n) / static_cast<float>(n - l);
    }
    int mejor = -1;
    for (int l = lmin; l <= lmax; ++l) {
        const float v = r[static_cast<std::size_t>(l)];
        if (v > r[static_cast<std::size_t>(l - 1)] && v >= r[static_cast<std::size_t>(l + 1)] &&
            (mejor < 0 || v > r[static_cast<std::size_t>(mejor)]))
            mejor = l;
    }
    if (mejor < 0 || r[static_cast<std::size_t>(mejor)] < 0.25f)
        return 0.0f;
    const float a = r[static_cast<std::size_t>(mejor - 1)], b = r[static_cast<std::size_t>(mejor)],
                c = r[static_cast<std::size_t>(mejor + 1)];
    const float den = a - 2 * b + c;
    const float ajuste = den < 0 ? 0.5f * (a - c) / den : 0.0f;
    const float periodo = static_cast<float>(mejor) + std::clamp(ajuste, -0.5f, 0.5f);
    if (periodo < FrecuenciaCrestas::PeriodoMinimo || periodo > FrecuenciaCrestas::PeriodoMaximo)
        return 0.0f;
    return periodo;
}

} // namespace

Mapa<float> FrecuenciaCrestas::calcular(const Mapa<float>& n, const CampoOrientacion& campo,
                                        const Mapa<std::uint8_t>& mascara) {
    const int bw = mascara.ancho(), bh = mascara.alto(), B = campo.bloque;
    Mapa<float> periodo(bw, bh, 0.0f);
    std::vector<float> perfil(40);
    // Measured on every other block; the smoothing below spreads it.
    for (int by = 0; by < bh; by += 2)
        for (int bx = 0; bx < bw; bx += 2) {
            if (!mascara(bx, by))
                continue;
            const float cx = (bx + 0.5f) * B, cy = (by + 0.5f) * B;
            const float a = campo.angulo(bx, by);
            const float dx = std::cos(a), dy = std::sin(a); // along the ridge
            const float nx = -dy, ny = dx;                  // across
            for (int k = 0; k < 40; ++k) {
                const float t = static_cast<float>(k) - 19.5f;
                float s = 0;
                for (int j = -7; j <= 7; j += 2)
                    s += muestra(n, cx + t * nx + j * dx, cy + t * ny + j * dy);
                perfil[static_cast<std::size_t>(k)] = s;
            }
            const float p = periodoDePerfil(perfil);
            for (int j = 0; j < 2; ++j)
                for (int i = 0; i < 2; ++i)
                    if (periodo.dentro(bx + i, by + j))
                        periodo(bx + i, by + j) = p;
        }
    // Fill and smooth: Gaussian-weighted mean of the measured blocks around each block.
    std::vector<float> medidos;
    for (std::size_t i = 0; i < periodo.tamano(); ++i)
        if (periodo.datos()[i] > 0)
            medidos.push_back(periodo.datos()[i]);
    float mediana = PeriodoTipico;
    if (!medidos.empty()) {
        std::nth_element(medidos.begin(),
                         medidos.begin() + static_cast<std::ptrdiff_t>(medidos.size() / 2),
                         medidos.end());
        mediana = medidos[medidos.size() / 2];
    }
    Mapa<float> salida(bw, bh, mediana);
    constexpr int R = 4;
    constexpr float Sigma = 2.5f;
    for (int by = 0; by < bh; ++by)
        for (int bx = 0; bx < bw; ++bx) {
            float s = 0, wsum = 0;
            for (int dy = -R; dy <= R; ++dy)
                for (int dx = -R; dx <= R; ++dx) {
                    const int x = bx + dx, y = by + dy;
                    if (!periodo.dentro(x, y) || periodo(x, y) <= 0)
                        continue;
                    const float wgt = std::exp(-0.5f * (dx * dx + dy * dy) / (Sigma * Sigma));
                    s += wgt * periodo(x, y);
                    wsum += wgt;
                }
            // Few measurements nearby: lean on the image's median.
            const float previo = 0.3f;
            salida(bx, by) =
                std::clamp((s + previo * mediana) / (wsum + previo), PeriodoMinimo, PeriodoMaximo);
        }
    return salida;
}

} // namespace portiva::motor
