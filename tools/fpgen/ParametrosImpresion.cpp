#include "ParametrosImpresion.h"

#include "Aleatorio.h"
#include "Matematica.h"

#include <algorithm>

namespace portiva::fpgen {

namespace {

// Triangular on [-1, 1], most often near 0: fingers are usually placed roughly right.
double triangular(Aleatorio& rng) {
    return rng.uniforme() + rng.uniforme() - 1.0;
}

// A condition scale as given, kept within what still makes a fingerprint: negative or not a
// number is 0, anything above `maximo` is `maximo`.
double limitar(double v, double maximo) {
    return v > 0 ? std::min(v, maximo) : 0.0;
}

} // namespace

ParametrosImpresion ParametrosImpresion::limpia(std::uint64_t semillaTextura) {
    ParametrosImpresion p;
    p.semillaTextura = semillaTextura;
    return p;
}

ParametrosImpresion ParametrosImpresion::sortear(Aleatorio& rng, const Condiciones& c) {
    ParametrosImpresion p;
    const double ruido = limitar(c.ruido, 4.0);
    const double distorsion = limitar(c.distorsion, 4.0);
    const double giroMax = limitar(c.rotacionMaxGrados, 180.0);
    const double desplazamientoMax = limitar(c.desplazamientoMaxPx, 2000.0);

    // Placement.
    const double giro = triangular(rng);
    const double dx = triangular(rng), dy = triangular(rng);
    p.rotacionGrados = giro * giroMax;
    p.desplazamientoX = dx * desplazamientoMax;
    p.desplazamientoY = dy * desplazamientoMax;

    // Distortion: up to about 4 degrees and 10 pixels of the outer skin, plus a waviness.
    const double dGiro = rng.normal(), dX = rng.normal(), dY = rng.normal();
    const double ondulacion = rng.uniforme();
    const double cX = rng.normal(), cY = rng.normal();
    const double cerca = rng.uniforme(50, 90), lejos = rng.uniforme(190, 260);
    p.distorsionGiro = std::clamp(dGiro, -2.0, 2.0) * 0.035 * distorsion;
    p.distorsionX = std::clamp(dX, -2.0, 2.0) * 5.0 * distorsion;
    p.distorsionY = std::clamp(dY, -2.0, 2.0) * 5.0 * distorsion;
    p.distorsionOndulacion = ondulacion * 3.0 * distorsion;
    p.contactoX = std::clamp(cX, -2.0, 2.0) * 25.0 * std::min(1.0, distorsion);
    p.contactoY = std::clamp(cY, -2.0, 2.0) * 25.0 * std::min(1.0, distorsion);
    p.radioCerca = cerca;
    p.radioLejos = lejos;

    // Pressure: a light touch leaves a smaller contact area and thinner ridges.
    const double presion = triangular(rng);
    const double irregular = rng.uniforme();
    const double v = std::min(1.0, ruido);
    p.contactoAncho = 1.3 - v * (0.17 - 0.13 * presion);
    p.contactoAlto = 1.3 - v * (0.22 - 0.18 * presion);
    p.contactoIrregular = irregular * 0.05 * v;
    p.umbral = -0.18 * presion * ruido;

    // Skin state.
    const double estado = rng.uniforme();
    const double intensidad = rng.uniforme(0.4, 1.0);
    if (estado < 0.15 && c.permitirSeca) {
        p.piel = EstadoPiel::Seca;
        p.intensidadPiel = intensidad;
    } else if (estado >= 0.85 && c.permitirMojada) {
        p.piel = EstadoPiel::Mojada;
        p.intensidadPiel = intensidad;
    }

    // Part of the finger off the glass: a large extra shift towards one side.
    const double parcial = rng.uniforme();
    const double ladoParcial = rng.uniforme(0, 2 * mat::pi);
    const double cuanto = rng.uniforme(70, 140);
    if (parcial < 0.15 && c.permitirParcial) {
        p.desplazamientoX += cuanto * mat::cos(ladoParcial);
        p.desplazamientoY += cuanto * mat::sin(ladoParcial);
    }

    // Optics and sensor.
    const double fondo = rng.uniforme(-1, 1), tinta = rng.uniforme(-1, 1);
    const double luz = rng.uniforme(), foco = rng.uniforme(), grano = rng.uniforme();
    p.fondo = std::clamp(228 + 20 * fondo * ruido, 150.0, 255.0);
    p.tinta = std::clamp(38 + 30 * tinta * ruido, 0.0, 110.0);
    p.fondoIrregular = 18 * luz * ruido;
    p.desenfoque = 0.6 + 0.7 * foco * ruido;
    p.ruido = 2.0 + 7.0 * grano * ruido;
    p.semillaTextura = rng.siguiente();
    return p;
}

} // namespace portiva::fpgen
