#include "PuntuacionPares.h"

#include <algorithm>
#include <cmath>

namespace portiva::motor {

namespace {

constexpr float FactorPuntuacion = 5240.0f;
constexpr float SolapeMinimo = 10.0f;
constexpr float SolapeMinimoCuota = 16.0f;

} // namespace

float puntuacionPares(float peso, int pares, float dentroConsulta, float dentroGuardada) {
    const auto n = static_cast<float>(pares);
    const float solape = std::sqrt(std::max(dentroConsulta, n) * std::max(dentroGuardada, n));
    const float fraccion = peso / std::max(SolapeMinimo, solape);
    const float cuota = n / std::max(SolapeMinimoCuota, solape);
    return FactorPuntuacion * fraccion * fraccion * std::sqrt(std::max(peso, 0.0f)) * cuota *
           cuota * cuota;
}

} // namespace portiva::motor
