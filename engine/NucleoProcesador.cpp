#include "NucleoProcesador.h"

namespace portiva::motor {

namespace {

std::vector<Nucleo> disponibles() {
    std::vector<Nucleo> r{Nucleo::Generico};
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init(); // asked while the program is still being set up
    if (__builtin_cpu_supports("popcnt")) {
        r.push_back(Nucleo::Popcnt);
        if (__builtin_cpu_supports("avx2")) {
            r.push_back(Nucleo::Avx2);
            if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vpopcntdq"))
                r.push_back(Nucleo::Avx512);
        }
    }
#endif
    return r;
}

// Asked once, when the program loads.
const Nucleo Elegido = disponibles().back();

} // namespace

std::vector<Nucleo> nucleosDisponibles() {
    return disponibles();
}

Nucleo nucleoElegido() {
    return Elegido;
}

const char* nombreNucleo(Nucleo n) {
    switch (n) {
    case Nucleo::Generico:
        return "generico";
    case Nucleo::Popcnt:
        return "popcnt";
    case Nucleo::Avx2:
        return "avx2";
    case Nucleo::Avx512:
        return "avx512";
    }
    return "?";
}

} // namespace portiva::motor
