#include "Plantilla.h"
#include "CodigosMotor.h"

#include <gtest/gtest.h>

#include <random>

using namespace portiva::motor;

namespace {

DatosPlantilla ejemplo(int n) {
    DatosPlantilla d;
    d.resolucionOriginal = 500;
    d.calidad = 77;
    d.ancho = 400;
    d.alto = 380;
    d.bloque = 16;
    d.gw = 25;
    d.gh = 24;
    std::mt19937_64 rng(static_cast<std::uint64_t>(n));
    for (int i = 0; i < n; ++i) {
        MinuciaPlantilla m;
        m.x = static_cast<std::uint16_t>(rng() % 400);
        m.y = static_cast<std::uint16_t>(rng() % 380);
        m.angulo = static_cast<std::uint8_t>(rng());
        m.tipo = (i % 2) ? TipoMinucia::Bifurcacion : TipoMinucia::Terminacion;
        m.calidad = static_cast<std::uint8_t>(rng());
        d.minucias.push_back(m);
        Cilindro c;
        for (auto& w : c.celdas)
            w = rng();
        for (auto& w : c.validas)
            w = rng();
        d.cilindros.push_back(c);
        d.segmentos.push_back({1, -2, 3, -4, 0, 0});
    }
    for (int k = 0; k < d.gw * d.gh; ++k)
        d.orientacion.push_back(k % 7 == 0 ? FondoOrientacion : static_cast<std::uint8_t>(k % 180));
    return d;
}

std::vector<std::uint8_t> codificada(const DatosPlantilla& d) {
    std::vector<std::uint8_t> v(TamanoMaximoPlantilla);
    int usados = 0;
    EXPECT_EQ(CodecPlantilla::codificar(d, v.data(), static_cast<int>(v.size()), usados),
              codigo::Ok);
    v.resize(static_cast<std::size_t>(usados));
    return v;
}

} // namespace

TEST(Plantilla, RoundTripKeepsEveryField) {
    const DatosPlantilla d = ejemplo(40);
    const auto v = codificada(d);
    EXPECT_EQ(v.size(), static_cast<std::size_t>(32 + 78 * 40 + 25 * 24));
    DatosPlantilla l;
    ASSERT_EQ(CodecPlantilla::decodificar(v.data(), v.size(), l), codigo::Ok);
    EXPECT_EQ(l.calidad, 77);
    EXPECT_EQ(l.ancho, 400);
    EXPECT_EQ(l.alto, 380);
    ASSERT_EQ(l.minucias.size(), 40u);
    for (std::size_t i = 0; i < 40; ++i) {
        EXPECT_EQ(l.minucias[i].x, d.minucias[i].x);
        EXPECT_EQ(l.minucias[i].y, d.minucias[i].y);
        EXPECT_EQ(l.minucias[i].angulo, d.minucias[i].angulo);
        EXPECT_EQ(l.minucias[i].tipo, d.minucias[i].tipo);
        EXPECT_EQ(l.cilindros[i].celdas, d.cilindros[i].celdas);
        EXPECT_EQ(l.cilindros[i].validas, d.cilindros[i].validas);
        EXPECT_EQ(l.segmentos[i], d.segmentos[i]);
    }
    EXPECT_EQ(l.orientacion, d.orientacion);
}

TEST(Plantilla, TrailingBytesAreIgnoredAsTheStationStoresOneExtra) {
    auto v = codificada(ejemplo(12));
    const std::size_t largo = v.size();
    for (std::uint8_t extra : {0x00, 0xFF, 0x5A}) {
        v.resize(largo);
        v.push_back(extra);
        VistaPlantilla vista;
        EXPECT_EQ(CodecPlantilla::examinar(v.data(), v.size(), vista), codigo::Ok);
        EXPECT_EQ(vista.longitud, static_cast<int>(largo));
    }
    v.resize(TamanoMaximoPlantilla + 1, 0x33); // 10001 bytes: a valid template and padding
    VistaPlantilla vista;
    EXPECT_EQ(CodecPlantilla::examinar(v.data(), v.size(), vista), codigo::Ok);
}

TEST(Plantilla, AnyDamageIsRefused) {
    const auto v = codificada(ejemplo(20));
    VistaPlantilla vista;
    // Every truncation.
    for (std::size_t n = 0; n < v.size(); ++n)
        ASSERT_NE(CodecPlantilla::examinar(v.data(), n, vista), codigo::Ok) << "length " << n;
    // Every single-bit change.
    for (std::size_t k = 0; k < v.size(); ++k)
        for (int b = 0; b < 8; b += 3) {
            auto w = v;
            w[k] ^= static_cast<std::uint8_t>(1 << b);
            ASSERT_LT(CodecPlantilla::examinar(w.data(), w.size(), vista), 0) << "byte " << k;
        }
    EXPECT_EQ(CodecPlantilla::examinar(nullptr, 100, vista), codigo::ParametroNulo);
}

TEST(Plantilla, RandomBytesNeverDecode) {
    std::mt19937 rng(99);
    VistaPlantilla vista;
    DatosPlantilla d;
    for (int k = 0; k < 3000; ++k) {
        std::vector<std::uint8_t> v(rng() % 10002);
        for (auto& b : v)
            b = static_cast<std::uint8_t>(rng());
        if (k % 2 == 0 && v.size() >= 4) { // with the right magic, to reach the later checks
            v[0] = 'P';
            v[1] = 'T';
            v[2] = 'V';
            v[3] = 'H';
        }
        EXPECT_LT(CodecPlantilla::examinar(v.data(), v.size(), vista), 0);
        EXPECT_LT(CodecPlantilla::decodificar(v.data(), v.size(), d), 0);
    }
}

TEST(Plantilla, EncoderRefusesWhatTheFormatCannotHold) {
    std::vector<std::uint8_t> buf(TamanoMaximoPlantilla);
    int usados = -1;
    auto d = ejemplo(MaxMinucias + 1);
    EXPECT_EQ(CodecPlantilla::codificar(d, buf.data(), TamanoMaximoPlantilla, usados),
              codigo::FueraDeLimite);
    EXPECT_EQ(usados, 0);
    d = ejemplo(10);
    EXPECT_EQ(CodecPlantilla::codificar(d, buf.data(), 100, usados), codigo::FueraDeLimite);
    d.minucias[3].x = 400; // outside the frame
    EXPECT_EQ(CodecPlantilla::codificar(d, buf.data(), TamanoMaximoPlantilla, usados),
              codigo::FueraDeLimite);
    d = ejemplo(MaxMinucias);
    d.gw = 60;
    d.gh = 60;
    d.orientacion.assign(3600, 10);
    EXPECT_EQ(CodecPlantilla::codificar(d, buf.data(), TamanoMaximoPlantilla, usados), codigo::Ok)
        << "the largest template still fits in 10000 bytes";
    EXPECT_LE(usados, TamanoMaximoPlantilla);
}
