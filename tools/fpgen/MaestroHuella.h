#pragma once

#include "PatronDactilar.h"
#include "Silueta.h"

#include <cstdint>
#include <vector>

namespace portiva::fpgen {

class BancoGabor;

// One synthetic finger, independent of any impression: its fingertip outline, its ridge flow
// and the ridge pattern grown over it, on a canvas at 500 dpi that holds the whole outline.
// Every impression of the finger is rendered from this.
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

    // Fine skin texture at (x, y), mean 0 and deviation about 1: `poro` varies over about a
    // pixel (ragged ridge edges, pores), `tono` over a few (uneven ink along the ridges).
    double poro(double x, double y) const { return leer(poros_, x, y) / escalaTextura; }
    double tono(double x, double y) const { return leer(tonos_, x, y) / escalaTextura; }

private:
    // The fields are kept as bytes (a quarter of the memory of floats): value * escala.
    static constexpr double escala = 100.0;
    static constexpr double escalaTextura = 40.0;
    static double leer(const std::vector<std::int8_t>& tabla, double x, double y);

    Silueta silueta_;
    PatronDactilar patron_;
    double centroX_ = 0, centroY_ = 0;
    std::vector<std::int8_t> campo_, poros_, tonos_;
};

} // namespace portiva::fpgen
