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

// The autocorrelation peaks of a profile across the ridges, as candidate periods.
struct Candidato {
    float periodo;
    float altura;
};

// Candidates from the profile's autocorrelation, shortest lag first; empty when the profile is
// not clearly periodic. A clean profile has peaks of about the same height at T, 2T, ...: the
// caller chooses among them, never blindly the highest.
void candidatosDePerfil(const std::vector<float>& p, std::vector<Candidato>& salida) {
    salida.clear();
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
        return;
    const int lmin = static_cast<int>(FrecuenciaCrestas::PeriodoMinimo) - 1;
    const int lmax = static_cast<int>(FrecuenciaCrestas::PeriodoMaximo) + 1;
    std::vector<float> r(static_cast<std::size_t>(lmax + 2), 0.0f);
    for (int l = lmin - 1; l <= lmax + 1; ++l) {
        float s = 0;
        for (int i = 0; i + l < n; ++i)
            s += q[static_cast<std::size_t>(i)] * q[static_cast<std::size_t>(i + l)];
        r[static_cast<std::size_t>(l)] = s / r0 * static_cast<float>(n) / static_cast<float>(n - l);
    }
    for (int l = lmin; l <= lmax; ++l) {
        const float a = r[static_cast<std::size_t>(l - 1)], b = r[static_cast<std::size_t>(l)],
                    c = r[static_cast<std::size_t>(l + 1)];
        if (!(b > a && b >= c) || b < 0.25f)
            continue;
        const float den = a - 2 * b + c;
        const float ajuste = den < 0 ? 0.5f * (a - c) / den : 0.0f;
        const float periodo = static_cast<float>(l) + std::clamp(ajuste, -0.5f, 0.5f);
        if (periodo >= FrecuenciaCrestas::PeriodoMinimo &&
            periodo <= FrecuenciaCrestas::PeriodoMaximo)
            salida.push_back({periodo, b});
    }
}

float alturaMaxima(const std::vector<Candidato>& c) {
    float m = 0;
    for (const auto& x : c)
        m = std::max(m, x.altura);
    return m;
}

// The shortest lag whose peak is nearly as high as the highest: a multiple of the true period
// is never preferred to the period itself.
float periodoPrimero(const std::vector<Candidato>& c) {
    const float tope = alturaMaxima(c);
    for (const auto& x : c)
        if (x.altura >= 0.8f * tope)
            return x.periodo;
    return 0.0f;
}

// The candidate closest (in ratio) to the print's own typical period, among the reasonably high
// peaks; 0 when none is plausible for this print.
float periodoCercano(const std::vector<Candidato>& c, float tipico) {
    const float tope = alturaMaxima(c);
    float mejor = 0, dist = 1e9f;
    for (const auto& x : c) {
        if (x.altura < 0.5f * tope)
            continue;
        const float d = std::abs(std::log(x.periodo / tipico));
        if (d < dist) {
            dist = d;
            mejor = x.periodo;
        }
    }
    return dist <= FrecuenciaCrestas::DesvioAdmitido ? mejor : 0.0f;
}

float mediana(std::vector<float> v, float siVacio) {
    if (v.empty())
        return siVacio;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

} // namespace

Mapa<float> FrecuenciaCrestas::calcular(const Mapa<float>& n, const CampoOrientacion& campo,
                                        const Mapa<std::uint8_t>& mascara) {
    const int bw = mascara.ancho(), bh = mascara.alto(), B = campo.bloque;
    Mapa<float> periodo(bw, bh, 0.0f);
    std::vector<float> perfil(40);
    // Measured on every other block; the smoothing below spreads it.
    std::vector<std::vector<Candidato>> candidatos(static_cast<std::size_t>(bw * bh));
    std::vector<float> primeros;
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
            auto& c = candidatos[static_cast<std::size_t>(by * bw + bx)];
            candidatosDePerfil(perfil, c);
            const float p = periodoPrimero(c);
            if (p > 0)
                primeros.push_back(p);
        }
    // The print's own typical period, then each block checked against it: the candidate
    // nearest to it, or nothing when the block's profile offers no plausible period.
    const float tipico = mediana(primeros, PeriodoTipico);
    std::vector<float> medidos;
    for (int by = 0; by < bh; by += 2)
        for (int bx = 0; bx < bw; bx += 2) {
            const auto& c = candidatos[static_cast<std::size_t>(by * bw + bx)];
            if (c.empty())
                continue;
            const float p = periodoCercano(c, tipico);
            if (p <= 0)
                continue;
            medidos.push_back(p);
            for (int j = 0; j < 2; ++j)
                for (int i = 0; i < 2; ++i)
                    if (periodo.dentro(bx + i, by + j))
                        periodo(bx + i, by + j) = p;
        }
    const float central = mediana(medidos, tipico);
    Mapa<float> salida(bw, bh, central);
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
                std::clamp((s + previo * central) / (wsum + previo), PeriodoMinimo, PeriodoMaximo);
        }
    return salida;
}

} // namespace portiva::motor
