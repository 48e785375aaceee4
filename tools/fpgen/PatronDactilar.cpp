#include "PatronDactilar.h"

#include "Aleatorio.h"
#include "Matematica.h"
#include "Silueta.h"

#include <algorithm>
#include <cmath>

namespace portiva::fpgen {

namespace {

// Share of each class among real fingers (plain arch, tented arch, left loop, right loop,
// whorl, twin loop), after the published surveys of large ten-print files.
ClaseHuella sortearClase(Aleatorio& rng) {
    const double u = rng.uniforme();
    if (u < 0.037)
        return ClaseHuella::Arco;
    if (u < 0.066)
        return ClaseHuella::ArcoEnTienda;
    if (u < 0.404)
        return ClaseHuella::PresillaIzquierda;
    if (u < 0.721)
        return ClaseHuella::PresillaDerecha;
    if (u < 0.960)
        return ClaseHuella::Verticilo;
    return ClaseHuella::DoblePresilla;
}

double envolver(double a) {
    // Into [0, pi).
    a = a - mat::pi * std::floor(a / mat::pi);
    return a >= mat::pi ? 0.0 : a;
}

} // namespace

PatronDactilar PatronDactilar::sortear(Aleatorio& rng, const Silueta& silueta, int ancho,
                                       int alto) {
    PatronDactilar p;
    p.clase_ = sortearClase(rng);
    p.arriba_ = silueta.arriba();
    p.cx_ = silueta.cx();
    p.semiancho_ = silueta.semiancho();
    p.curvaturaPunta_ = rng.uniforme(0.5, 1.0);
    const double cx = silueta.cx();
    const double yNucleo = silueta.arriba() + rng.uniforme(160, 215);
    p.alturaNucleo_ = yNucleo;
    auto nucleo = [&](double x, double y) { p.singulares_.push_back({x, y, true}); };
    auto delta = [&](double x, double y) { p.singulares_.push_back({x, y, false}); };
    // One draw per statement: the order of a call's arguments is the compiler's choice, and the
    // same seed must give the same finger whichever compiler built the generator.
    auto deltasLaterales = [&](double x, double desde, double hasta) {
        for (const double lado : {-1.0, 1.0}) {
            const double dy = rng.uniforme(desde, hasta);
            const double dx = rng.uniforme(95, 135);
            delta(x + lado * dx, yNucleo + dy);
        }
    };
    switch (p.clase_) {
    case ClaseHuella::Arco:
        p.arcoAltura_ = rng.uniforme(1.0, 1.8);
        p.arcoAncho_ = rng.uniforme(60, 95);
        p.arcoCx_ = cx + rng.uniforme(-20, 20);
        p.arcoCy_ = yNucleo + rng.uniforme(0, 40);
        p.arcoCaida_ = rng.uniforme(110, 170);
        break;
    case ClaseHuella::ArcoEnTienda: {
        const double x = cx + rng.uniforme(-15, 15), y = yNucleo + rng.uniforme(0, 30);
        nucleo(x, y);
        const double dy = rng.uniforme(45, 75);
        delta(x + rng.uniforme(-10, 10), y + dy);
        break;
    }
    case ClaseHuella::PresillaIzquierda:
    case ClaseHuella::PresillaDerecha: {
        const double lado = p.clase_ == ClaseHuella::PresillaIzquierda ? 1.0 : -1.0;
        const double x = cx - lado * rng.uniforme(0, 25);
        nucleo(x, yNucleo);
        const double dy = rng.uniforme(95, 150);
        delta(x + lado * rng.uniforme(75, 125), yNucleo + dy);
        break;
    }
    case ClaseHuella::Verticilo: {
        const double x = cx + rng.uniforme(-15, 15);
        const double separacion = rng.uniforme(18, 40);
        const double inclinacion = rng.uniforme(-12, 12);
        nucleo(x - inclinacion / 2, yNucleo - separacion / 2);
        nucleo(x + inclinacion / 2, yNucleo + separacion / 2);
        deltasLaterales(x, 100, 150);
        break;
    }
    case ClaseHuella::DoblePresilla: {
        const double x = cx + rng.uniforme(-15, 15);
        const double separacion = rng.uniforme(22, 40);
        const double dx = separacion * (rng.probabilidad(0.5) ? 1 : -1);
        const double dy = rng.uniforme(22, 36);
        nucleo(x - dx, yNucleo - dy);
        nucleo(x + dx, yNucleo + dy);
        deltasLaterales(x, 105, 155);
        break;
    }
    }
    p.perturbacion_ = rng.uniforme(0.06, 0.14);
    p.campoOrientacion_ = CampoSuave(rng, ancho, alto, 140, 320);
    // From the finest ridges of a real finger to the coarsest (6.5 to 12 px at 500 dpi, with the
    // field and the rise over the fingertip below).
    p.periodoBase_ = rng.uniforme(6.9, 11.2);
    p.campoPeriodo_ = CampoSuave(rng, ancho, alto, 120, 300);
    return p;
}

double PatronDactilar::orientacionModelo(double x, double y) const {
    if (singulares_.empty()) {
        // Plain arch: ridges bow upwards over a bump centred at arcoCx_, highest near
        // arcoCy_ and flattening towards the joint.
        const double u = (x - arcoCx_) / arcoAncho_;
        const double dyv = (y - arcoCy_) / arcoCaida_;
        const double altura = arcoAltura_ * mat::exp(-dyv * dyv) * (y < arcoCy_ ? 0.6 : 1.0);
        const double pendiente = -altura * u * mat::exp(-0.5 * u * u); // y-up slope
        return mat::atan(pendiente);
    }
    // Zero-pole model: each core turns the flow by +1/2 of its argument, each delta by -1/2;
    // far from them the ridges run horizontally.
    double theta = 0.0;
    for (const auto& s : singulares_) {
        const double arg = mat::atan2(s.y - y, x - s.x); // y-up angle seen from the point
        theta += s.nucleo ? 0.5 * arg : -0.5 * arg;
    }
    // Over the fingertip the ridges follow the rounded outline: bend them down towards the
    // sides above the cores, fading out at the height of the cores.
    const double sobre = std::clamp((alturaNucleo_ - y) / (alturaNucleo_ - arriba_), 0.0, 1.0);
    const double u = (x - cx_) / semiancho_;
    theta += mat::atan(-curvaturaPunta_ * u * sobre);
    return theta;
}

double PatronDactilar::orientacion(double x, double y) const {
    return envolver(orientacionModelo(x, y) + perturbacion_ * campoOrientacion_.valor(x, y));
}

double PatronDactilar::periodo(double x, double y) const {
    // Ridges are a little wider apart over the top of the fingertip than around the core.
    const double sobreNucleo =
        std::clamp((alturaNucleo_ - y) / (alturaNucleo_ - arriba_), 0.0, 1.0);
    const double t = periodoBase_ + 0.45 * campoPeriodo_.valor(x, y) + 0.8 * sobreNucleo;
    return std::clamp(t, 6.5, 12.0);
}

} // namespace portiva::fpgen
