// A sensor that paints a bright frame round an elliptic active area, the print inside on a
// grey background, the frame cutting its ridges: the frame is background, no minutia lies along
// its edge, a finger still matches itself and unrelated fingers do not pair along the edge.
#include "MarcoSensor.h"
#include "HuellasMotor.h"
#include "Plantilla.h"

#include <gtest/gtest.h>

#include <cmath>

namespace portiva::motor {
namespace {

using prueba::impresion;
using prueba::plantillaDe;

// Inside the ellipse centred on the image (half-axes 34 % and 44 % of the sides).
bool activo(const fpgen::ImagenGris& img, int x, int y) {
    const double ex = (x - img.ancho / 2.0) / (0.34 * img.ancho);
    const double ey = (y - img.alto / 2.0) / (0.44 * img.alto);
    return ex * ex + ey * ey <= 1.0;
}

// The print as such a sensor shows it: ridges 40, its background about 215, the frame 255.
fpgen::ImagenGris enmarcada(const fpgen::ImagenGris& img) {
    fpgen::ImagenGris r = img;
    for (int y = 0; y < r.alto; ++y)
        for (int x = 0; x < r.ancho; ++x) {
            auto& p = r.pixeles[static_cast<std::size_t>(y * r.ancho + x)];
            p = activo(r, x, y) ? static_cast<std::uint8_t>(40 + p * 175 / 255) : 255;
        }
    return r;
}

// The distance from (x, y) to the nearest frame pixel, up to `hasta`.
double distanciaAlMarco(const fpgen::ImagenGris& img, int x, int y, int hasta) {
    double d = hasta;
    for (int dy = -hasta; dy <= hasta; ++dy)
        for (int dx = -hasta; dx <= hasta; ++dx) {
            const int xx = x + dx, yy = y + dy;
            if (xx >= 0 && yy >= 0 && xx < img.ancho && yy < img.alto && !activo(img, xx, yy))
                d = std::min(d, std::hypot(dx, dy));
        }
    return d;
}

class Marco : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(m.Inicializar(), 0); }
    MotorHuella m;
};

TEST_F(Marco, TheFrameIsFoundAndAPrintWithoutOneHasNone) {
    const auto& img = impresion(0, 1);
    const auto marcada = enmarcada(img);
    Mapa<float> g(img.ancho, img.alto), gm(img.ancho, img.alto);
    for (std::size_t i = 0; i < img.pixeles.size(); ++i) {
        g.datos()[i] = img.pixeles[i];
        gm.datos()[i] = marcada.pixeles[i];
    }
    EXPECT_EQ(MarcoSensor::detectar(g).tamano(), 0u) << "a print on its own background";
    // Cut out on a flat white that its valleys reach: the print's own edge, not a frame.
    Mapa<float> recortada = g;
    for (int y = 0; y < img.alto; ++y)
        for (int x = 0; x < img.ancho; ++x)
            if (!activo(img, x, y))
                recortada(x, y) = 255;
    EXPECT_EQ(MarcoSensor::detectar(recortada).tamano(), 0u) << "a print on flat white";
    const auto marco = MarcoSensor::detectar(gm);
    ASSERT_EQ(marco.tamano(), g.tamano());
    int fuera = 0, bien = 0;
    for (int y = 0; y < img.alto; ++y)
        for (int x = 0; x < img.ancho; ++x)
            if (!activo(img, x, y)) {
                ++fuera;
                bien += marco(x, y);
            } else {
                EXPECT_EQ(marco(x, y), 0) << x << "," << y;
            }
    EXPECT_GE(bien, fuera * 99 / 100);
}

TEST_F(Marco, NoMinutiaLiesAlongTheFrameAndTheFingerStillMatchesItself) {
    int cerca = 0, total = 0;
    for (int d = 0; d < 6; ++d) {
        const auto a = enmarcada(impresion(d, 1)), b = enmarcada(impresion(d, 2));
        const auto pa = plantillaDe(m, a), pb = plantillaDe(m, b);
        ASSERT_FALSE(pa.empty());
        ASSERT_FALSE(pb.empty());
        DatosPlantilla datos;
        ASSERT_EQ(CodecPlantilla::decodificar(pa.data(), pa.size() - 1, datos), 0);
        for (const auto& mi : datos.minucias) {
            ++total;
            cerca += distanciaAlMarco(a, mi.x, mi.y, 10) < 10 ? 1 : 0;
        }
        int s = 0;
        EXPECT_EQ(m.Verificar(pa.data(), static_cast<int>(pa.size()), pb.data(),
                              static_cast<int>(pb.size()), s, 0),
                  1)
            << d << " scores " << s;
    }
    EXPECT_GT(total, 100);
    EXPECT_EQ(cerca, 0) << "of " << total;
}

TEST_F(Marco, UnrelatedFramedPrintsDoNotPairAlongTheEdge) {
    std::vector<std::vector<std::uint8_t>> t;
    for (int d = 0; d < 12; ++d)
        t.push_back(plantillaDe(m, enmarcada(impresion(d, 1))));
    int peor = 0;
    for (std::size_t a = 0; a < t.size(); ++a)
        for (std::size_t b = 0; b < t.size(); ++b)
            if (a != b) {
                int s = 0;
                m.Verificar(t[a].data(), static_cast<int>(t[a].size()), t[b].data(),
                            static_cast<int>(t[b].size()), s, 0);
                peor = std::max(peor, s);
            }
    int umbral = 0, rotacion = 0;
    m.LeerParametrosVerificacion(umbral, rotacion);
    EXPECT_LT(peor, umbral);
}

} // namespace
} // namespace portiva::motor
