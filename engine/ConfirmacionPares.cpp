#include "ConfirmacionPares.h"

#include "Plantilla.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace portiva::motor {

namespace {

// About a descriptor's reach: within it the skin between two impressions barely stretches.
constexpr float Alcance = 80.0f;
// Two true pairs within reach land this close to each other's offset (two minutiae placed
// to a couple of pixels each, plus the stretch) and turn alike within 15 degrees; chance
// pairs spread over a tolerance of 8-18 pixels and 30 degrees.
constexpr float DesvioMaximo = 5.0f;
constexpr int GiroMaximo = 11;
// Share of the neighbours' weight that confirms a pair in full, and the neutral evidence (one
// pair's worth at that share) that every pair starts from.
constexpr float ConfirmacionPlena = 0.5f;
constexpr float EvidenciaNeutra = 1.0f;

} // namespace

float pesoConfirmado(const DesvioPar* pares, int n) {
    n = std::clamp(n, 0, MaxMinucias);
    std::array<float, MaxMinucias> acuerdo{}, vecinos{};
    constexpr float alcance2 = Alcance * Alcance;
    constexpr float desvio2 = DesvioMaximo * DesvioMaximo;
    for (int k = 0; k < n; ++k) {
        const DesvioPar& a = pares[k];
        const auto uk = static_cast<std::size_t>(k);
        for (int l = k + 1; l < n; ++l) {
            const DesvioPar& b = pares[l];
            const auto ul = static_cast<std::size_t>(l);
            const float ox = a.x - b.x, oy = a.y - b.y;
            if (ox * ox + oy * oy > alcance2)
                continue;
            vecinos[uk] += b.peso;
            vecinos[ul] += a.peso;
            const float ex = a.dx - b.dx, ey = a.dy - b.dy;
            if (ex * ex + ey * ey <= desvio2 && std::abs(a.giro - b.giro) <= GiroMaximo) {
                acuerdo[uk] += b.peso;
                acuerdo[ul] += a.peso;
            }
        }
    }
    float peso = 0;
    for (int k = 0; k < n; ++k) {
        const auto uk = static_cast<std::size_t>(k);
        const float tasa =
            (acuerdo[uk] + EvidenciaNeutra * ConfirmacionPlena) / (vecinos[uk] + EvidenciaNeutra);
        peso += pares[k].peso * std::min(1.0f, tasa / ConfirmacionPlena);
    }
    return peso;
}

float pesoConfirmado(const std::pair<std::uint8_t, std::uint8_t>* pares, const float* pesos, int n,
                     const float* xq, const float* yq, const std::uint8_t* aq, const float* xg,
                     const float* yg, const std::uint8_t* ag, const Colocacion& m, int giro) {
    std::array<DesvioPar, MaxMinucias> desvios;
    for (int k = 0; k < n; ++k) {
        const auto uk = static_cast<std::size_t>(k);
        const auto [i, j] = pares[uk];
        desvios[uk] = {xq[i],
                       yq[i],
                       xq[i] - (m.c * xg[j] - m.s * yg[j] + m.tx),
                       yq[i] - (m.s * xg[j] + m.c * yg[j] + m.ty),
                       static_cast<std::int8_t>(static_cast<std::uint8_t>(ag[j] + giro - aq[i])),
                       pesos[uk]};
    }
    return pesoConfirmado(desvios.data(), n);
}

} // namespace portiva::motor
