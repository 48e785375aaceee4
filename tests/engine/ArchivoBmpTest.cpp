#include "ArchivoBmp.h"
#include "CodigosMotor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

using namespace portiva::motor;

namespace {

class CarpetaBmp : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("portiva_bmp_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

void poner32(std::vector<std::uint8_t>& v, std::size_t o, std::uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v[o + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(x >> (8 * i));
}
void poner16(std::vector<std::uint8_t>& v, std::size_t o, std::uint16_t x) {
    v[o] = static_cast<std::uint8_t>(x);
    v[o + 1] = static_cast<std::uint8_t>(x >> 8);
}

// A bitmap written by hand: `bits` 8 (palette given) or 24/32, rows given top to bottom.
std::vector<std::uint8_t> bmp(int ancho, int alto, int bits, bool arribaAbajo,
                              const std::vector<std::array<std::uint8_t, 3>>& paleta,
                              const std::vector<std::vector<std::uint8_t>>& filas,
                              std::uint32_t compresion = 0, std::int32_t ppm = 19685) {
    const std::size_t paso = ((static_cast<std::size_t>(ancho) * bits + 31) / 32) * 4;
    const std::size_t inicio = 14 + 40 + 4 * paleta.size();
    std::vector<std::uint8_t> v(inicio + paso * static_cast<std::size_t>(alto), 0);
    v[0] = 'B';
    v[1] = 'M';
    poner32(v, 2, static_cast<std::uint32_t>(v.size()));
    poner32(v, 10, static_cast<std::uint32_t>(inicio));
    poner32(v, 14, 40);
    poner32(v, 18, static_cast<std::uint32_t>(ancho));
    poner32(v, 22, static_cast<std::uint32_t>(arribaAbajo ? -alto : alto));
    poner16(v, 26, 1);
    poner16(v, 28, static_cast<std::uint16_t>(bits));
    poner32(v, 30, compresion);
    poner32(v, 38, static_cast<std::uint32_t>(ppm));
    poner32(v, 42, static_cast<std::uint32_t>(ppm));
    poner32(v, 46, static_cast<std::uint32_t>(paleta.size()));
    for (std::size_t i = 0; i < paleta.size(); ++i) {
        v[54 + 4 * i] = paleta[i][2]; // B
        v[54 + 4 * i + 1] = paleta[i][1];
        v[54 + 4 * i + 2] = paleta[i][0];
    }
    for (int y = 0; y < alto; ++y) {
        const int fila = arribaAbajo ? y : alto - 1 - y;
        std::copy(filas[static_cast<std::size_t>(y)].begin(),
                  filas[static_cast<std::size_t>(y)].end(),
                  v.begin() +
                      static_cast<std::ptrdiff_t>(inicio + paso * static_cast<std::size_t>(fila)));
    }
    return v;
}

void escribirArchivo(const std::filesystem::path& p, const std::vector<std::uint8_t>& v) {
    std::ofstream f(p, std::ios::binary);
    f.write(reinterpret_cast<const char*>(v.data()), static_cast<std::streamsize>(v.size()));
}

} // namespace

TEST_F(CarpetaBmp, EightBitGreyRoundTripKeepsPixelsAndResolution) {
    ImagenGris g;
    g.ancho = 37; // odd width: rows are padded to 4 bytes
    g.alto = 21;
    g.resolucion = 1000;
    std::mt19937 rng(7);
    for (int i = 0; i < g.ancho * g.alto; ++i)
        g.pixeles.push_back(static_cast<std::uint8_t>(rng()));
    const auto ruta = dir_ / "huella.bmp";
    ASSERT_EQ(ArchivoBmp::escribir(ruta, g), codigo::Ok);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "huella.bmp.tmp"));
    ImagenGris l;
    ASSERT_EQ(ArchivoBmp::leer(ruta, l), codigo::Ok);
    EXPECT_EQ(l.ancho, g.ancho);
    EXPECT_EQ(l.alto, g.alto);
    EXPECT_EQ(l.resolucion, 1000);
    EXPECT_EQ(l.pixeles, g.pixeles);
}

TEST(ArchivoBmp, ReadsColourBitmapsAsGreyInBothRowOrders) {
    // 2 x 2: top row red, white; bottom row black, (10, 20, 30).
    const std::vector<std::vector<std::uint8_t>> filas24 = {{0, 0, 255, 255, 255, 255},
                                                            {0, 0, 0, 30, 20, 10}};
    for (bool arriba : {false, true}) {
        const auto v = bmp(2, 2, 24, arriba, {}, filas24);
        ImagenGris g;
        ASSERT_EQ(ArchivoBmp::decodificar(v.data(), v.size(), g), codigo::Ok);
        ASSERT_EQ(g.pixeles.size(), 4u);
        EXPECT_EQ(g.pixeles[0], 76);  // red
        EXPECT_EQ(g.pixeles[1], 255); // white
        EXPECT_EQ(g.pixeles[2], 0);
        EXPECT_EQ(g.pixeles[3], 18);
        EXPECT_EQ(g.resolucion, 500);
    }
    // 8-bit with a colour palette.
    const auto v8 = bmp(3, 1, 8, false, {{255, 0, 0}, {0, 255, 0}, {255, 255, 255}}, {{0, 1, 2}});
    ImagenGris g8;
    ASSERT_EQ(ArchivoBmp::decodificar(v8.data(), v8.size(), g8), codigo::Ok);
    EXPECT_EQ(g8.pixeles, (std::vector<std::uint8_t>{76, 150, 255}));
}

TEST(ArchivoBmp, RefusesCompressedAndMalformedFiles) {
    const std::vector<std::array<std::uint8_t, 3>> gris = {{0, 0, 0}, {255, 255, 255}};
    ImagenGris g;
    const auto rle = bmp(4, 1, 8, false, gris, {{0, 1, 0, 1}}, 1);
    EXPECT_EQ(ArchivoBmp::decodificar(rle.data(), rle.size(), g), codigo::TipoArchivoNoValido);

    auto truncado =
        bmp(4, 4, 8, false, gris, std::vector<std::vector<std::uint8_t>>(4, {0, 1, 0, 1}));
    truncado.resize(truncado.size() - 3);
    EXPECT_EQ(ArchivoBmp::decodificar(truncado.data(), truncado.size(), g),
              codigo::TipoArchivoNoValido);

    // Palette index beyond the palette.
    const auto fuera = bmp(2, 1, 8, false, gris, {{0, 7}});
    EXPECT_EQ(ArchivoBmp::decodificar(fuera.data(), fuera.size(), g), codigo::TipoArchivoNoValido);

    auto sinMagia = bmp(2, 1, 24, false, {}, {{1, 2, 3, 4, 5, 6}});
    sinMagia[0] = 'X';
    EXPECT_EQ(ArchivoBmp::decodificar(sinMagia.data(), sinMagia.size(), g),
              codigo::TipoArchivoNoValido);

    auto enorme = bmp(2, 1, 24, false, {}, {{1, 2, 3, 4, 5, 6}});
    poner32(enorme, 18, 100000);
    EXPECT_EQ(ArchivoBmp::decodificar(enorme.data(), enorme.size(), g),
              codigo::TipoArchivoNoValido);

    auto cuatroBits = bmp(2, 1, 24, false, {}, {{1, 2, 3, 4, 5, 6}});
    poner16(cuatroBits, 28, 4);
    EXPECT_EQ(ArchivoBmp::decodificar(cuatroBits.data(), cuatroBits.size(), g),
              codigo::TipoArchivoNoValido);

    EXPECT_EQ(ArchivoBmp::decodificar(nullptr, 0, g), codigo::TipoArchivoNoValido);
    EXPECT_EQ(g.ancho, 0) << "a refused file leaves the image untouched";
}

TEST_F(CarpetaBmp, FileNameErrorsHaveTheirOwnCodes) {
    ImagenGris g;
    EXPECT_EQ(ArchivoBmp::leer(dir_ / "huella.png", g), codigo::ExtensionDesconocida);
    EXPECT_EQ(ArchivoBmp::leer(dir_ / "no_existe.bmp", g), codigo::NombreArchivoNoValido);
    EXPECT_EQ(ArchivoBmp::leer("", g), codigo::NombreArchivoNoValido);
    escribirArchivo(dir_ / "basura.bmp", {1, 2, 3});
    EXPECT_EQ(ArchivoBmp::leer(dir_ / "basura.bmp", g), codigo::TipoArchivoNoValido);
    escribirArchivo(dir_ / "MAYUS.BMP", bmp(1, 1, 24, false, {}, {{9, 9, 9}}));
    EXPECT_EQ(ArchivoBmp::leer(dir_ / "MAYUS.BMP", g), codigo::Ok);

    ImagenGris uno{1, 1, 500, {5}};
    EXPECT_EQ(ArchivoBmp::escribir(dir_ / "x.jpg", uno), codigo::ExtensionDesconocida);
    EXPECT_EQ(ArchivoBmp::escribir(dir_ / "no" / "existe" / "x.bmp", uno),
              codigo::NombreArchivoNoValido);
}
