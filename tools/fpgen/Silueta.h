#pragma once

#include <array>

namespace portiva::fpgen {

class Aleatorio;

// The outline of a fingertip on the master canvas: an ellipse over the top, a squarer curve
// towards the joint, and a slightly irregular edge.
class Silueta {
public:
    Silueta() = default;
    Silueta(double cx, double cy, double semiancho, double semialtoArriba, double semialtoAbajo);
    static Silueta sortear(Aleatorio& rng, double cx, double arriba);

    // 0 at the centre, 1 on the outline, above 1 outside.
    double radio(double x, double y) const;

    double cx() const { return cx_; }
    double cy() const { return cy_; }
    double semiancho() const { return semiancho_; }
    double arriba() const { return cy_ - semialtoArriba_; }
    double abajo() const { return cy_ + semialtoAbajo_; }

private:
    double cx_ = 0, cy_ = 0, semiancho_ = 1, semialtoArriba_ = 1, semialtoAbajo_ = 1;
    // Low harmonics of the edge, as a fraction of the radius: cos and sin of 2, 3 and 4 theta.
    std::array<double, 6> irregularidad_{};
};

} // namespace portiva::fpgen
