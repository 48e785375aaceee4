#pragma once

#include <vector>

// The ways the comparison's hot loops can run on the processor at hand: plain C++ (any
// processor), the popcnt instruction, AVX2 and AVX-512 (with VPOPCNTDQ). The best one the
// processor has is chosen when the program loads; every one gives the same answers, bit for
// bit: only integer counts and single correctly rounded operations are done in vectors, in the
// order the plain code does them.
namespace portiva::motor {

enum class Nucleo { Generico, Popcnt, Avx2, Avx512 };

// Those this processor runs, plain C++ first and the chosen one last.
std::vector<Nucleo> nucleosDisponibles();
Nucleo nucleoElegido();
const char* nombreNucleo(Nucleo n);

} // namespace portiva::motor
