#include "RealceGabor.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace portiva::motor {

RealceGabor::RealceGabor() {
    float s = 0;
    for (int t = -RadioAlo; t <= RadioAlo; ++t) {
        const float p = 2.0f * static_cast<float>(t);
        pesoAlo_[static_cast<std::size_t>(t + RadioAlo)] = std::exp(-p * p / (2 * 16.0f));
        s += pesoAlo_[static_cast<std::size_t>(t + RadioAlo)];
    }
    for (auto& v : pesoAlo_)
        v /= s;
    constexpr int N = 2 * RadioCruce + 1;
    pesoCruce_.assign(static_cast<std::size_t>(Periodos * N), 0.0f);
    for (int b = 0; b < Periodos; ++b) {
        const float T = PeriodoBase + PasoPeriodo * static_cast<float>(b);
        const float sigma = 0.45f * T;
        float* w = pesoCruce_.data() + static_cast<std::size_t>(b * N);
        float suma = 0, gsuma = 0;
        for (int t = -RadioCruce; t <= RadioCruce; ++t) {
            const float g = std::exp(-static_cast<float>(t * t) / (2 * sigma * sigma));
            w[t + RadioCruce] =
                g * std::cos(2 * std::numbers::pi_v<float> * static_cast<float>(t) / T);
            suma += w[t + RadioCruce];
            gsuma += g;
        }
        // No response to a flat patch.
        for (int t = -RadioCruce; t <= RadioCruce; ++t) {
            const float g = std::exp(-static_cast<float>(t * t) / (2 * sigma * sigma));
            w[t + RadioCruce] -= suma * g / gsuma;
        }
    }
}

Mapa<float> RealceGabor::aplicar(const Mapa<float>& n, const Mapa<float>& angulo,
                                 const Mapa<float>& periodo, const Mapa<std::uint8_t>& mascara,
                                 int B) const {
    const int w = n.ancho(), h = n.alto();
    constexpr int P = 2 * RadioAlo + RadioCruce + 2; // enough for both passes
    const int W = w + 2 * P, H = h + 2 * P;
    std::vector<float> entrada(static_cast<std::size_t>(W) * H, 0.0f);
    for (int y = 0; y < h; ++y)
        std::copy(&n(0, y), &n(0, y) + w,
                  entrada.begin() + static_cast<std::ptrdiff_t>((y + P) * W + P));

    // Offsets per orientation bin, in the padded buffer.
    std::array<std::array<int, 2 * RadioAlo + 1>, Orientaciones> alo{};
    std::array<std::array<int, 2 * RadioCruce + 1>, Orientaciones> cruce{};
    for (int o = 0; o < Orientaciones; ++o) {
        const float a = std::numbers::pi_v<float> * static_cast<float>(o) / Orientaciones;
        const float dx = std::cos(a), dy = std::sin(a);
        for (int t = -RadioAlo; t <= RadioAlo; ++t)
            alo[static_cast<std::size_t>(o)][static_cast<std::size_t>(t + RadioAlo)] =
                static_cast<int>(std::lround(2 * t * dy)) * W +
                static_cast<int>(std::lround(2 * t * dx));
        for (int t = -RadioCruce; t <= RadioCruce; ++t)
            cruce[static_cast<std::size_t>(o)][static_cast<std::size_t>(t + RadioCruce)] =
                static_cast<int>(std::lround(t * dx)) * W + static_cast<int>(std::lround(-t * dy));
    }
    const int bw = mascara.ancho(), bh = mascara.alto();
    auto binOrientacion = [&](int bx, int by) {
        int o = static_cast<int>(
            std::lround(angulo(bx, by) / std::numbers::pi_v<float> * Orientaciones));
        return o % Orientaciones;
    };
    // Blocks near the print: the first pass must cover what the second one reads.
    Mapa<std::uint8_t> cerca(bw, bh, 0);
    for (int by = 0; by < bh; ++by)
        for (int bx = 0; bx < bw; ++bx)
            if (mascara(bx, by))
                for (int dy = -2; dy <= 2; ++dy)
                    for (int dx = -2; dx <= 2; ++dx)
                        if (cerca.dentro(bx + dx, by + dy))
                            cerca(bx + dx, by + dy) = 1;

    std::vector<float> suave(entrada.size(), 0.0f);
    for (int by = 0; by < bh; ++by)
        for (int bx = 0; bx < bw; ++bx) {
            if (!cerca(bx, by))
                continue;
            const auto& off = alo[static_cast<std::size_t>(binOrientacion(bx, by))];
            for (int y = by * B; y < std::min(h, (by + 1) * B); ++y) {
                const int base = (y + P) * W + P;
                for (int x = bx * B; x < std::min(w, (bx + 1) * B); ++x) {
                    const float* p = entrada.data() + base + x;
                    float s = 0;
                    for (int t = 0; t < 2 * RadioAlo + 1; ++t)
                        s += pesoAlo_[static_cast<std::size_t>(t)] *
                             p[off[static_cast<std::size_t>(t)]];
                    suave[static_cast<std::size_t>(base + x)] = s;
                }
            }
        }
    Mapa<float> salida(w, h, 0.0f);
    constexpr int N = 2 * RadioCruce + 1;
    for (int by = 0; by < bh; ++by)
        for (int bx = 0; bx < bw; ++bx) {
            if (!mascara(bx, by))
                continue;
            const auto& off = cruce[static_cast<std::size_t>(binOrientacion(bx, by))];
            const int pb = std::clamp(
                static_cast<int>(std::lround((periodo(bx, by) - PeriodoBase) / PasoPeriodo)), 0,
                Periodos - 1);
            const float* wk = pesoCruce_.data() + static_cast<std::size_t>(pb * N);
            for (int y = by * B; y < std::min(h, (by + 1) * B); ++y) {
                const int base = (y + P) * W + P;
                for (int x = bx * B; x < std::min(w, (bx + 1) * B); ++x) {
                    const float* p = suave.data() + base + x;
                    float s = 0;
                    for (int t = 0; t < N; ++t)
                        s += wk[t] * p[off[static_cast<std::size_t>(t)]];
                    salida(x, y) = s;
                }
            }
        }
    return salida;
}

} // namespace portiva::motor
