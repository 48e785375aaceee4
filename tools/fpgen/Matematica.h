#pragma once

// Elementary functions built only from +, -, *, / and sqrt, which IEEE 754 rounds exactly, so
// the generator gives the same bytes on every machine whatever its C library chooses for exp,
// sin or atan2. Accuracy is close to double precision for the ranges the generator uses.

namespace portiva::fpgen::mat {

inline constexpr double pi = 3.14159265358979323846;

double exp(double x);
double log(double x); // x > 0
double sin(double x);
double cos(double x);
double atan(double x);
double atan2(double y, double x); // in (-pi, pi], 0 for (0, 0)

} // namespace portiva::fpgen::mat
