#include "CodigosMotor.h"
#include "HuellasMotor.h"
#include "MotorHuella.h"

#include <gtest/gtest.h>

#include <random>

using namespace portiva;
using namespace portiva::motor;

namespace {

class Extraccion : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(motor_.Inicializar(), codigo::Ok); }
    int extraer(const std::vector<std::uint8_t>& img, int ancho, int alto, int dpi, int& tamano) {
        buffer_.assign(TamanoMaximoPlantilla, 0);
        tamano = TamanoMaximoPlantilla;
        return motor_.ExtraerPlantilla(img.data(), ancho, alto, dpi, buffer_.data(), tamano, 0);
    }
    MotorHuella motor_;
    std::vector<std::uint8_t> buffer_;
};

// The same image with noise, lower contrast and a smudged band: what a dirty sensor or a
// badly pressed finger gives.
std::vector<std::uint8_t> degradar(const fpgen::ImagenGris& img) {
    std::mt19937 rng(5);
    std::normal_distribution<double> ruido(0.0, 55.0);
    std::vector<std::uint8_t> r(img.pixeles.size());
    for (int y = 0; y < img.alto; ++y)
        for (int x = 0; x < img.ancho; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * img.ancho + x;
            double v = 128 + 0.45 * (img.pixeles[i] - 128.0) + ruido(rng);
            if (y > img.alto / 3 && y < img.alto / 2)
                v = 90 + 0.1 * v;
            r[i] = static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
        }
    return r;
}

} // namespace

TEST_F(Extraccion, SizeResolutionAndBufferErrorsHaveTheirCodes) {
    const auto& img = prueba::impresion(0, 0);
    int tamano = 0;
    std::vector<std::uint8_t> pequena(95 * 400, 255);
    EXPECT_EQ(extraer(pequena, 95, 400, 500, tamano), codigo::TamanoImagen);
    EXPECT_EQ(tamano, 0);
    // A small press sensor's 96 x 96 is looked at: a blank one has no print in it.
    std::vector<std::uint8_t> sensorPequeno(96 * 96, 255);
    EXPECT_EQ(extraer(sensorPequeno, 96, 96, 500, tamano), codigo::ErrorAnalisis);
    std::vector<std::uint8_t> grande(1001 * 150, 255);
    EXPECT_EQ(extraer(grande, 1001, 150, 500, tamano), codigo::TamanoImagen);
    EXPECT_EQ(extraer(img.pixeles, 400, 400, 249, tamano), codigo::ResolucionImagen);
    EXPECT_EQ(extraer(img.pixeles, 400, 400, 1001, tamano), codigo::ResolucionImagen);

    std::vector<std::uint8_t> poco(100);
    tamano = 100;
    EXPECT_EQ(motor_.ExtraerPlantilla(img.pixeles.data(), 400, 400, 500, poco.data(), tamano, 0),
              codigo::FueraDeLimite);
    EXPECT_EQ(tamano, 0);
    tamano = TamanoMaximoPlantilla;
    EXPECT_EQ(motor_.ExtraerPlantilla(nullptr, 400, 400, 500, poco.data(), tamano, 0),
              codigo::ParametroNulo);
    tamano = TamanoMaximoPlantilla;
    buffer_.assign(TamanoMaximoPlantilla, 0);
    EXPECT_EQ(motor_.ExtraerPlantilla(img.pixeles.data(), 400, 400, 500, buffer_.data(), tamano, 7),
              codigo::ContextoInexistente);

    MotorHuella apagado;
    tamano = TamanoMaximoPlantilla;
    EXPECT_EQ(
        apagado.ExtraerPlantilla(img.pixeles.data(), 400, 400, 500, buffer_.data(), tamano, 0),
        codigo::NoInicializada);
}

TEST_F(Extraccion, ImagesWithoutAPrintFailTheAnalysis) {
    int tamano = 0;
    std::vector<std::uint8_t> blanca(300 * 300, 250);
    EXPECT_EQ(extraer(blanca, 300, 300, 500, tamano), codigo::ErrorAnalisis);
    std::vector<std::uint8_t> negra(300 * 300, 0);
    EXPECT_EQ(extraer(negra, 300, 300, 500, tamano), codigo::ErrorAnalisis);
    std::mt19937 rng(1);
    std::vector<std::uint8_t> ruido(300 * 300);
    for (auto& p : ruido)
        p = static_cast<std::uint8_t>(rng());
    EXPECT_EQ(extraer(ruido, 300, 300, 500, tamano), codigo::ErrorAnalisis);
    EXPECT_EQ(tamano, 0);
}

TEST_F(Extraccion, QualityOrdersCleanAboveDegradedPrints) {
    for (int dedo = 0; dedo < 3; ++dedo) {
        const auto& img = prueba::impresion(dedo, 0);
        int tamano = 0;
        const int buena = extraer(img.pixeles, img.ancho, img.alto, 500, tamano);
        ASSERT_GE(buena, CalidadMedia) << "finger " << dedo;
        const int puntosBuena = buffer_[18];
        const int mala = extraer(degradar(img), img.ancho, img.alto, 500, tamano);
        if (mala >= 0) {
            EXPECT_LT(buffer_[18], puntosBuena) << "finger " << dedo;
            EXPECT_LE(mala, buena);
        } else {
            EXPECT_EQ(mala, codigo::ErrorAnalisis);
        }
    }
    // The generator's own heavy conditions (noise, dry and wet skin) against its clean print.
    fpgen::Condiciones duras;
    duras.ruido = 3.0;
    int total = 0, peores = 0;
    for (int k = 1; k <= 4; ++k) {
        const auto& limpia = prueba::impresion(3, 0);
        const auto& sucia = prueba::impresion(3, k, duras);
        int t = 0;
        extraer(limpia.pixeles, 400, 400, 500, t);
        const int ql = buffer_[18];
        const int r = extraer(sucia.pixeles, 400, 400, 500, t);
        const int qs = r >= 0 ? buffer_[18] : 0;
        ++total;
        peores += qs < ql;
    }
    EXPECT_GE(peores, total - 1);
}

TEST_F(Extraccion, TemplatesOfOneFingerAtDifferentResolutionsMatch) {
    fpgen::GeneradorHuellas gen;
    // A gentle second impression at 500 dpi; the same finger's clean one at other resolutions.
    fpgen::Condiciones suave;
    suave.rotacionMaxGrados = 10;
    suave.desplazamientoMaxPx = 10;
    suave.permitirParcial = false;
    const auto a500 = gen.impresion(prueba::SemillaMotor, 1, 1, suave, 400, 400, 500);
    std::vector<std::vector<std::uint8_t>> plantillas;
    for (int dpi : {250, 500, 1000}) {
        const int lado = 400 * dpi / 500;
        if (lado > 1000 || lado < 150)
            continue;
        const auto img = gen.impresion(prueba::SemillaMotor, 1, 0, {}, lado, lado, dpi);
        auto p = prueba::plantillaDe(motor_, {img.ancho, img.alto, dpi, img.pixeles});
        ASSERT_FALSE(p.empty()) << dpi << " dpi";
        plantillas.push_back(std::move(p));
    }
    const auto ref = prueba::plantillaDe(motor_, a500);
    for (const auto& p : plantillas) {
        int s = 0;
        EXPECT_EQ(motor_.Verificar(p.data(), static_cast<int>(p.size()), ref.data(),
                                   static_cast<int>(ref.size()), s, 0),
                  1)
            << "score " << s << " template " << &p - &plantillas[0];
    }
}

TEST_F(Extraccion, TemplateEndsWhereItsLengthSays) {
    const auto& img = prueba::impresion(2, 0);
    int tamano = 0;
    std::vector<std::uint8_t> buf(TamanoMaximoPlantilla + 1, 0xEE);
    tamano = TamanoMaximoPlantilla;
    ASSERT_GE(motor_.ExtraerPlantilla(img.pixeles.data(), 400, 400, 500, buf.data(), tamano, 0), 0);
    ASSERT_GT(tamano, TamanoCabeceraPlantilla);
    ASSERT_LE(tamano, TamanoMaximoPlantilla);
    EXPECT_EQ(buf[static_cast<std::size_t>(tamano)], 0xEE) << "nothing written past the template";
    // Deterministic: the same image gives the same bytes.
    std::vector<std::uint8_t> otra(TamanoMaximoPlantilla, 0);
    int t2 = TamanoMaximoPlantilla;
    motor_.ExtraerPlantilla(img.pixeles.data(), 400, 400, 500, otra.data(), t2, 0);
    ASSERT_EQ(t2, tamano);
    EXPECT_TRUE(std::equal(otra.begin(), otra.begin() + t2, buf.begin()));
}

TEST_F(Extraccion, LightAndDarkExposuresOfAPrintStillMatchIt) {
    const auto& img = prueba::impresion(4, 0);
    const auto ref = prueba::plantillaDe(motor_, prueba::impresion(4, 1));
    ASSERT_FALSE(ref.empty());
    for (int modo = 0; modo < 3; ++modo) {
        fpgen::ImagenGris otra = img;
        for (auto& p : otra.pixeles) {
            if (modo == 0)
                p = static_cast<std::uint8_t>(p * 0.35); // dark, little contrast
            else if (modo == 1)
                p = static_cast<std::uint8_t>(255 - (255 - p) * 0.3); // light, faint ridges
            else
                p = static_cast<std::uint8_t>(60 + p / 2); // grey, half contrast
        }
        const auto t = prueba::plantillaDe(motor_, otra);
        ASSERT_FALSE(t.empty()) << "exposure " << modo;
        int s = 0;
        EXPECT_EQ(motor_.Verificar(t.data(), static_cast<int>(t.size()), ref.data(),
                                   static_cast<int>(ref.size()), s, 0),
                  1)
            << "exposure " << modo << " score " << s;
    }
}
