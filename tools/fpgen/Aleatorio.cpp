#include "Aleatorio.h"

#include "Matematica.h"

#include <cmath>

namespace portiva::fpgen {

namespace {

std::uint64_t splitmix(std::uint64_t& estado) {
    std::uint64_t z = (estado += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t rotl(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

} // namespace

std::uint64_t mezclar(std::uint64_t a, std::uint64_t b) {
    std::uint64_t estado = a;
    const std::uint64_t h = splitmix(estado);
    estado = h ^ (b * 0xD1B54A32D192ED03ULL);
    return splitmix(estado);
}

Aleatorio::Aleatorio(std::uint64_t semilla) {
    std::uint64_t estado = semilla;
    for (auto& palabra : s_)
        palabra = splitmix(estado);
}

std::uint64_t Aleatorio::siguiente() {
    const std::uint64_t resultado = rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotl(s_[3], 45);
    return resultado;
}

double Aleatorio::uniforme() {
    return static_cast<double>(siguiente() >> 11) * (1.0 / 9007199254740992.0); // 2^-53
}

double Aleatorio::uniforme(double a, double b) {
    return a + (b - a) * uniforme();
}

double Aleatorio::normal() {
    // Marsaglia's polar method: two independent normals per accepted pair.
    if (hayNormal_) {
        hayNormal_ = false;
        return normalGuardada_;
    }
    double u = 0, v = 0, s = 0;
    do {
        u = 2.0 * uniforme() - 1.0;
        v = 2.0 * uniforme() - 1.0;
        s = u * u + v * v;
    } while (s >= 1.0 || s == 0.0);
    const double factor = std::sqrt(-2.0 * mat::log(s) / s);
    normalGuardada_ = v * factor;
    hayNormal_ = true;
    return u * factor;
}

int Aleatorio::entero(int n) {
    if (n <= 1)
        return 0;
    // Multiply-shift keeps the bias below 2^-32 for any n an int can hold.
    const std::uint64_t x = siguiente() >> 32;
    return static_cast<int>((x * static_cast<std::uint64_t>(n)) >> 32);
}

bool Aleatorio::probabilidad(double p) {
    return uniforme() < p;
}

} // namespace portiva::fpgen
