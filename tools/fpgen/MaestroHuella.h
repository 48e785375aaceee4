#pragma once

#include "PatronDactilar.h"
#include "Silueta.h"

#include <cstdint>
#include <vector>

namespace portiva::fpgen {

class BancoGabor;

// One synthetic finger, independent of any impression: its fingertip outline, its ridge flow
// and the ridge pattern grown over it, on a canvas at 500 dpi. Every impression of the finger
// is rendered from this.
class MaestroHuella {
public:
    static constexpr int ancho = 400;
    static constexpr int alto = 512;

    MaestroHuella(std::uint64_t semillaDedo, const BancoGabor& banco);

    const Silueta& silueta() const { return silueta_; }
    const PatronDactilar& patron() const { return patron_; }
    ClaseHuella clase() const { return patron_.clase(); }

    // The point of the finger that a centred, clean impression puts at the image centre.
    double centroX() const { return centroX_; }
    double centroY() const { return centroY_; }

    // Smooth ridge field at (x, y): about +1 on a ridge axis, -1 in a valley, 0 off the canvas.
    double cresta(double x, double y) const;
    // The raw field, row-major, scaled by 1/escala.
    const std::vector<std::int8_t>& campo() const { return campo_; }
    static constexpr double escala = 100.0;

private:
    Silueta silueta_;
    PatronDactilar patron_;
    double centroX_ = 0, centroY_ = 0;
    std::vector<std::int8_t> campo_;
};

} // namespace portiva::fpgen
