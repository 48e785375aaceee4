#include "CodificadorCilindros.h"

#include <cmath>
#include <numbers>

namespace portiva::motor {

namespace {

constexpr float Pi = std::numbers::pi_v<float>;
constexpr float SigmaEspacial = 10.0f;
constexpr float SigmaDireccion = Pi / 5.0f;
constexpr float Umbral = 0.30f;
constexpr int CeldasValidasMinimas = 30;

struct Celda {
    float u, v;
};

std::vector<Celda> celdas() {
    std::vector<Celda> r;
    const float delta = 2 * CodificadorCilindros::Radio / CodificadorCilindros::Lado;
    for (int j = 0; j < CodificadorCilindros::Lado; ++j)
        for (int i = 0; i < CodificadorCilindros::Lado; ++i) {
            const float u = (static_cast<float>(i) - 3.5f) * delta;
            const float v = (static_cast<float>(j) - 3.5f) * delta;
            if (std::hypot(u, v) <= CodificadorCilindros::Radio)
                r.push_back({u, v});
        }
    return r;
}

void ponerBit(std::array<std::uint64_t, PalabrasCilindro>& p, int bit) {
    p[static_cast<std::size_t>(bit >> 6)] |= 1ULL << (bit & 63);
}

} // namespace

std::vector<Cilindro> CodificadorCilindros::codificar(const std::vector<MinuciaDetectada>& m,
                                                      const Mapa<std::uint8_t>& zona, int B) {
    static const std::vector<Celda> rejilla = celdas(); // fixed geometry, built once
    std::vector<Cilindro> salida(m.size());
    const float alcance = Radio + 3 * SigmaEspacial;
    std::vector<int> vecinos;
    for (std::size_t i = 0; i < m.size(); ++i) {
        const auto& c = m[i];
        vecinos.clear();
        int cercanos = 0;
        for (std::size_t j = 0; j < m.size(); ++j) {
            if (j == i)
                continue;
            const float d = std::hypot(m[j].x - c.x, m[j].y - c.y);
            if (d <= alcance)
                vecinos.push_back(static_cast<int>(j));
            if (d <= Radio)
                ++cercanos;
        }
        const float cs = std::cos(c.angulo), sn = std::sin(c.angulo);
        Cilindro cil;
        int validas = 0;
        for (std::size_t k = 0; k < rejilla.size(); ++k) {
            const float px = c.x + rejilla[k].u * cs - rejilla[k].v * sn;
            const float py = c.y + rejilla[k].u * sn + rejilla[k].v * cs;
            const int bx = static_cast<int>(std::floor(px / static_cast<float>(B)));
            const int by = static_cast<int>(std::floor(py / static_cast<float>(B)));
            if (px < 0 || py < 0 || !zona.dentro(bx, by) || !zona(bx, by))
                continue;
            ++validas;
            float valor[Direcciones] = {0, 0, 0, 0};
            for (int j : vecinos) {
                const auto& n = m[static_cast<std::size_t>(j)];
                const float dx = n.x - px, dy = n.y - py;
                const float d2 = dx * dx + dy * dy;
                if (d2 > 9 * SigmaEspacial * SigmaEspacial)
                    continue;
                const float gs = std::exp(-d2 / (2 * SigmaEspacial * SigmaEspacial));
                float rel = std::fmod(n.angulo - c.angulo, 2 * Pi);
                if (rel < 0)
                    rel += 2 * Pi;
                for (int b = 0; b < Direcciones; ++b) {
                    const float centro = (static_cast<float>(b) + 0.5f) * (2 * Pi / Direcciones);
                    float dd = std::fabs(rel - centro);
                    if (dd > Pi)
                        dd = 2 * Pi - dd;
                    valor[b] += gs * std::exp(-dd * dd / (2 * SigmaDireccion * SigmaDireccion));
                }
            }
            for (int b = 0; b < Direcciones; ++b) {
                const int bit = static_cast<int>(k) * Direcciones + b;
                ponerBit(cil.validas, bit);
                if (valor[b] >= Umbral)
                    ponerBit(cil.celdas, bit);
            }
        }
        if (validas >= CeldasValidasMinimas && cercanos >= 2)
            salida[i] = cil;
        // Otherwise the descriptor stays empty: too little of the print around this minutia
        // to describe it, and it is still paired by position once the prints are aligned.
    }
    return salida;
}

} // namespace portiva::motor
