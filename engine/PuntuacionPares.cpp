#include "PuntuacionPares.h"

#include <algorithm>
#include <cmath>

namespace portiva::motor {

namespace {

// The scale of a pairing's score before it is weighed against chance (see EscalaAzar).
constexpr float FactorPuntuacion = 5630.0f;
constexpr float SolapeMinimo = 10.0f;
constexpr float SolapeMinimoCuota = 16.0f;
// Pairs this close lie within about two ridges of each other.
constexpr float RadioGrupo = 25.0f;
// The share of independent pairs from which a pairing counts in full.
constexpr float IndependenciaPlena = 0.8f;
// Pairs beyond chance, against chance's spread, from which a pairing counts in full, and how
// steeply it counts less below.
constexpr float ExcesoPleno = 5.0f;
constexpr float PotenciaExceso = 1.0f;

} // namespace

float puntuacionPares(float peso, int pares, float dentroConsulta, float dentroGuardada) {
    const auto n = static_cast<float>(pares);
    const float solape = std::sqrt(std::max(dentroConsulta, n) * std::max(dentroGuardada, n));
    const float fraccion = peso / std::max(SolapeMinimo, solape);
    const float cuota = n / std::max(SolapeMinimoCuota, solape);
    return FactorPuntuacion * fraccion * fraccion * std::sqrt(std::max(peso, 0.0f)) * cuota *
           cuota * cuota;
}

float independenciaPares(const std::pair<std::uint8_t, std::uint8_t>* pares, int n, const float* x,
                         const float* y) {
    if (n <= 0)
        return 1.0f;
    constexpr float radio2 = RadioGrupo * RadioGrupo;
    float independientes = 0;
    for (int k = 0; k < n; ++k) {
        const float xk = x[pares[k].first], yk = y[pares[k].first];
        int cerca = 0;
        for (int l = 0; l < n; ++l) {
            const float ex = x[pares[l].first] - xk, ey = y[pares[l].first] - yk;
            cerca += ex * ex + ey * ey < radio2 ? 1 : 0;
        }
        independientes += 1.0f / static_cast<float>(cerca);
    }
    return std::min(1.0f, independientes / static_cast<float>(n) / IndependenciaPlena);
}

float factorAzar(int pares, float alAzar) {
    const float c = std::max(alAzar, 0.0f);
    const float exceso = (static_cast<float>(pares) - c) / std::sqrt(c + 1);
    const float f = std::clamp(exceso / ExcesoPleno, 0.0f, 1.0f);
    return std::pow(f, PotenciaExceso);
}

} // namespace portiva::motor
