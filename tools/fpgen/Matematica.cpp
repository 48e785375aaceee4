#include "Matematica.h"

#include <cmath>

namespace portiva::fpgen::mat {

namespace {

constexpr double ln2Alto = 6.93147180369123816490e-01; // ln 2 split in two parts so that
constexpr double ln2Bajo = 1.90821492927058770002e-10; // k * ln2Alto is exact
constexpr double dosPiAlto = 6.28318530717958623200e+00;
constexpr double dosPiBajo = 2.44929359829470635446e-16;

// sin and cos of r, |r| <= pi/4, by their Taylor series (terms beyond r^17 are below 1e-18).
double senoReducido(double r) {
    const double r2 = r * r;
    double s = 1.0 / 355687428096000.0; // 1/17!
    s = s * r2 - 1.0 / 1307674368000.0;
    s = s * r2 + 1.0 / 6227020800.0;
    s = s * r2 - 1.0 / 39916800.0;
    s = s * r2 + 1.0 / 362880.0;
    s = s * r2 - 1.0 / 5040.0;
    s = s * r2 + 1.0 / 120.0;
    s = s * r2 - 1.0 / 6.0;
    return r + r * r2 * s;
}

double cosenoReducido(double r) {
    const double r2 = r * r;
    double c = 1.0 / 6402373705728000.0; // 1/18!
    c = c * r2 - 1.0 / 20922789888000.0;
    c = c * r2 + 1.0 / 87178291200.0;
    c = c * r2 - 1.0 / 479001600.0;
    c = c * r2 + 1.0 / 3628800.0;
    c = c * r2 - 1.0 / 40320.0;
    c = c * r2 + 1.0 / 720.0;
    c = c * r2 - 1.0 / 24.0;
    c = c * r2 + 0.5;
    return 1.0 - r2 * c;
}

// Reduces x to r in [-pi/4, pi/4] and the quadrant q (0..3) with x = r + q * pi/2 (mod 2 pi).
void reducir(double x, double& r, int& q) {
    const double k = std::nearbyint(x / dosPiAlto);
    double y = (x - k * dosPiAlto) - k * dosPiBajo; // in about [-pi, pi]
    const double cuarto = std::nearbyint(y / (pi / 2));
    r = (y - cuarto * dosPiAlto / 4) - cuarto * dosPiBajo / 4;
    q = static_cast<int>(cuarto) & 3;
}

} // namespace

double exp(double x) {
    if (x > 709.0)
        return HUGE_VAL;
    if (x < -745.0)
        return 0.0;
    const double k = std::nearbyint(x / ln2Alto);
    const double r = (x - k * ln2Alto) - k * ln2Bajo; // |r| <= 0.35
    double p = 1.0 / 6227020800.0;                    // Taylor series to r^13
    const double inversos[] = {1.0 / 479001600.0,
                               1.0 / 39916800.0,
                               1.0 / 3628800.0,
                               1.0 / 362880.0,
                               1.0 / 40320.0,
                               1.0 / 5040.0,
                               1.0 / 720.0,
                               1.0 / 120.0,
                               1.0 / 24.0,
                               1.0 / 6.0,
                               0.5,
                               1.0,
                               1.0};
    for (double c : inversos)
        p = p * r + c;
    return std::ldexp(p, static_cast<int>(k));
}

double log(double x) {
    if (!(x > 0.0))
        return x == 0.0 ? -HUGE_VAL : NAN;
    int e = 0;
    double m = std::frexp(x, &e); // x = m * 2^e, m in [0.5, 1)
    if (m < 0.70710678118654752440) {
        m *= 2.0;
        --e;
    }
    // log(m) = 2 atanh(s) with s = (m - 1) / (m + 1), |s| <= 0.172.
    const double s = (m - 1.0) / (m + 1.0);
    const double s2 = s * s;
    double p = 1.0 / 25.0;
    for (int n = 23; n >= 3; n -= 2)
        p = p * s2 + 1.0 / n;
    const double logm = 2.0 * s * (1.0 + s2 * p);
    return e * ln2Alto + (logm + e * ln2Bajo);
}

double sin(double x) {
    double r = 0;
    int q = 0;
    reducir(x, r, q);
    switch (q) {
    case 0:
        return senoReducido(r);
    case 1:
        return cosenoReducido(r);
    case 2:
        return -senoReducido(r);
    default:
        return -cosenoReducido(r);
    }
}

double cos(double x) {
    double r = 0;
    int q = 0;
    reducir(x, r, q);
    switch (q) {
    case 0:
        return cosenoReducido(r);
    case 1:
        return -senoReducido(r);
    case 2:
        return -cosenoReducido(r);
    default:
        return senoReducido(r);
    }
}

double atan(double x) {
    const bool negativo = x < 0;
    double a = negativo ? -x : x;
    double base = 0.0;
    if (a > 1.0) {
        a = 1.0 / a;
        base = pi / 2;
    }
    // Two half-angle steps, atan(a) = 2 atan(a / (1 + sqrt(1 + a^2))), bring a below 0.2.
    double t = a / (1.0 + std::sqrt(1.0 + a * a));
    t = t / (1.0 + std::sqrt(1.0 + t * t));
    const double t2 = t * t;
    double p = -1.0 / 25.0;
    double signo = 1.0;
    for (int n = 23; n >= 3; n -= 2) {
        p = p * t2 + signo / n;
        signo = -signo;
    }
    double r = 4.0 * t * (1.0 - t2 * p);
    if (base != 0.0)
        r = base - r;
    return negativo ? -r : r;
}

double atan2(double y, double x) {
    if (x == 0.0) {
        if (y == 0.0)
            return 0.0;
        return y > 0 ? pi / 2 : -pi / 2;
    }
    const double a = atan(y / x);
    if (x > 0)
        return a;
    return y >= 0 ? a + pi : a - pi;
}

} // namespace portiva::fpgen::mat
