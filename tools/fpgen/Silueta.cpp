#include "Silueta.h"

#include "Aleatorio.h"

#include <cmath>

namespace portiva::fpgen {

Silueta::Silueta(double cx, double cy, double semiancho, double semialtoArriba,
                 double semialtoAbajo)
    : cx_(cx), cy_(cy), semiancho_(semiancho), semialtoArriba_(semialtoArriba),
      semialtoAbajo_(semialtoAbajo) {}

Silueta Silueta::sortear(Aleatorio& rng, double cx, double arriba) {
    const double semiancho = rng.uniforme(150, 172);
    const double semialtoArriba = rng.uniforme(165, 195);
    const double semialtoAbajo = rng.uniforme(235, 268); // ends inside the canvas
    Silueta s(cx, arriba + semialtoArriba, semiancho, semialtoArriba, semialtoAbajo);
    for (auto& a : s.irregularidad_)
        a = rng.normal() * 0.012;
    return s;
}

double Silueta::radio(double x, double y) const {
    const double u = (x - cx_) / semiancho_;
    double r = 0;
    if (y <= cy_) {
        const double v = (cy_ - y) / semialtoArriba_;
        r = std::sqrt(u * u + v * v);
    } else {
        // Towards the joint the finger keeps its width longer: a superellipse of degree 4.
        const double v = (y - cy_) / semialtoAbajo_;
        r = std::sqrt(std::sqrt(u * u * u * u + v * v * v * v));
    }
    if (r == 0.0)
        return 0.0;
    // Edge irregularity from the direction (cos t, sin t) without trigonometry:
    // cos 2t, sin 2t, cos 3t, sin 3t, cos 4t, sin 4t by the multiple-angle identities.
    const double dx = x - cx_, dy = y - cy_;
    const double d = std::sqrt(dx * dx + dy * dy);
    const double c = dx / d, s = dy / d;
    const double c2 = c * c - s * s, s2 = 2 * s * c;
    const double c3 = c2 * c - s2 * s, s3 = s2 * c + c2 * s;
    const double c4 = c2 * c2 - s2 * s2, s4 = 2 * s2 * c2;
    const double f = 1.0 + irregularidad_[0] * c2 + irregularidad_[1] * s2 +
                     irregularidad_[2] * c3 + irregularidad_[3] * s3 + irregularidad_[4] * c4 +
                     irregularidad_[5] * s4;
    return r / f;
}

} // namespace portiva::fpgen
