// Large prints of one finger laid far apart on the glass: a 640 x 480 sensor lets a finger land
// anywhere, so two impressions may share only part of their area, turned and stretched.
#include "GeneradorHuellas.h"
#include "HuellasMotor.h"
#include "Impresor.h"
#include "MotorHuella.h"

#include <gtest/gtest.h>

using namespace portiva;
using namespace portiva::motor;

namespace {

constexpr int Ancho = 640, Alto = 480;

struct Colocacion {
    double dx, dy, giro; // placement: shift (px) and turn (degrees)
    double distorsion;   // the far skin's shift against the contact centre, px
    double presion;      // ridge threshold: negative = pressed harder, thicker ridges
    std::uint64_t textura;
};

fpgen::ImagenGris imprimir(fpgen::GeneradorHuellas& gen, int dedo, const Colocacion& c) {
    auto p = fpgen::ParametrosImpresion::limpia(c.textura);
    p.desplazamientoX = c.dx;
    p.desplazamientoY = c.dy;
    p.rotacionGrados = c.giro;
    p.distorsionX = c.distorsion;
    p.distorsionY = -0.5 * c.distorsion;
    p.distorsionGiro = c.distorsion * 0.002;
    p.umbral = c.presion;
    p.ruido = 9;
    p.fondoIrregular = 18;
    p.fondo = 205;
    p.tinta = 110;
    p.desenfoque = 1.1;
    p.piel = fpgen::EstadoPiel::Seca;
    p.intensidadPiel = 0.6;
    p.distorsionOndulacion = 0.15 * c.distorsion;
    p.contactoIrregular = 0.3;
    return fpgen::Impresor(*gen.maestro(prueba::SemillaMotor, dedo), p).imprimir(Ancho, Alto);
}

int puntuar(MotorHuella& m, const fpgen::ImagenGris& a, const fpgen::ImagenGris& b) {
    const auto ta = prueba::plantillaDe(m, a), tb = prueba::plantillaDe(m, b);
    int s = 0;
    m.Verificar(ta.data(), static_cast<int>(ta.size()), tb.data(), static_cast<int>(tb.size()), s,
                0);
    return s;
}

// One impression cut by the image's left and top edges, the other whole and off the centre:
// 240 px apart, turned 20 degrees against each other, the far skin of the second pulled by
// 25 px and pressed harder, both dry, faint and grainy. They share about half their area.
TEST(Desplazamiento, LargePrintsOfOneFingerFarApartOnTheGlassMatch) {
    MotorHuella m;
    ASSERT_EQ(m.Inicializar(), 0);
    fpgen::GeneradorHuellas gen;
    for (int dedo = 0; dedo < 4; ++dedo) {
        const auto a = imprimir(gen, dedo, {-240, -120, -10, 0, 0, 11});
        const auto b = imprimir(gen, dedo, {40, 30, 10, 25, -0.1, 12});
        EXPECT_GE(puntuar(m, a, b), MotorHuella::UmbralIdentificacionPorDefecto) << "dedo " << dedo;
        EXPECT_EQ(puntuar(m, a, b), puntuar(m, b, a)) << "dedo " << dedo;
    }
}

} // namespace
