#pragma once

#include <array>
#include <cstdint>

namespace portiva::fpgen {

// Mixes values into one well-spread 64-bit seed (splitmix64 finaliser), so that nearby seeds,
// fingers and impressions give unrelated streams.
std::uint64_t mezclar(std::uint64_t a, std::uint64_t b);

// The generator's own random stream (xoshiro256**), with its own uniform and normal sampling,
// so a seed yields the same numbers with every compiler and standard library.
class Aleatorio {
public:
    explicit Aleatorio(std::uint64_t semilla);

    std::uint64_t siguiente();
    double uniforme();                   // [0, 1)
    double uniforme(double a, double b); // [a, b)
    double normal();                     // mean 0, deviation 1
    int entero(int n);                   // [0, n), n >= 1
    bool probabilidad(double p);

private:
    std::array<std::uint64_t, 4> s_{};
    bool hayNormal_ = false;
    double normalGuardada_ = 0.0;
};

} // namespace portiva::fpgen
