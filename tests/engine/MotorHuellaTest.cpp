#include "MotorHuella.h"
#include "CodigosMotor.h"
#include "HuellasMotor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

using namespace portiva;
using namespace portiva::motor;

TEST(MotorHuella, EveryCallBeforeInitialisingSaysSo) {
    MotorHuella m;
    std::uint8_t buf[64] = {};
    int t = 64, s = 0;
    ImagenRGB rgb;
    EXPECT_EQ(m.IniciarCapturas(), codigo::NoInicializada);
    EXPECT_EQ(m.DetenerCapturas(), codigo::NoInicializada);
    EXPECT_EQ(m.IniciarCaptura("File"), codigo::NoInicializada);
    EXPECT_EQ(m.DetenerCaptura("File"), codigo::NoInicializada);
    EXPECT_EQ(m.ExtraerPlantilla(buf, 200, 200, 500, buf, t, 0), codigo::NoInicializada);
    EXPECT_EQ(m.PrepararIdentificacion(buf, 64, 0), codigo::NoInicializada);
    EXPECT_EQ(m.Identificar(buf, 64, s, 0), codigo::NoInicializada);
    EXPECT_EQ(m.Verificar(buf, 64, buf, 64, s, 0), codigo::NoInicializada);
    EXPECT_EQ(m.FijarParametrosIdentificacion(50, 30), codigo::NoInicializada);
    EXPECT_EQ(m.ColoresOverlay(0, 0, 0, 0, 0, 0), codigo::NoInicializada);
    EXPECT_EQ(m.DibujarImagen(buf, 8, 8, rgb), codigo::NoInicializada);
    EXPECT_EQ(m.GuardarImagen(buf, 8, 8, "x.bmp", 501), codigo::NoInicializada);
    EXPECT_EQ(m.CargarImagen("x.bmp", 500), codigo::NoInicializada);
    EXPECT_EQ(m.Finalizar(), codigo::NoInicializada);
    EXPECT_EQ(m.Sondear(), 0);
    std::uint8_t mayor = 0, menor = 9;
    m.Version(mayor, menor);
    EXPECT_EQ(mayor, MotorHuella::VersionMayor);
    EXPECT_EQ(menor, MotorHuella::VersionMenor);

    EXPECT_EQ(m.Inicializar(), codigo::Ok);
    EXPECT_EQ(m.Inicializar(), codigo::Ok) << "a second start is harmless";
    EXPECT_EQ(m.Finalizar(), codigo::Ok);
    EXPECT_EQ(m.PrepararIdentificacion(buf, 64, 0), codigo::NoInicializada);
}

TEST(MotorHuella, ParametersAreCheckedAndOutOfRangeLoadsTheDefaults) {
    MotorHuella m;
    m.Inicializar();
    int u = 0, r = 0;
    m.LeerParametrosIdentificacion(u, r);
    EXPECT_EQ(u, MotorHuella::UmbralIdentificacionPorDefecto);
    EXPECT_EQ(r, MotorHuella::RotacionIdentificacionPorDefecto);
    for (auto [umbral, rot] : {std::pair{10, 0}, std::pair{200, 180}, std::pair{77, 33}}) {
        EXPECT_EQ(m.FijarParametrosIdentificacion(umbral, rot), codigo::Ok);
        m.LeerParametrosIdentificacion(u, r);
        EXPECT_EQ(u, umbral);
        EXPECT_EQ(r, rot);
        EXPECT_EQ(m.FijarParametrosVerificacion(umbral, rot), codigo::Ok);
        m.LeerParametrosVerificacion(u, r);
        EXPECT_EQ(u, umbral);
        EXPECT_EQ(r, rot);
    }
    for (auto [umbral, rot] :
         {std::pair{9, 30}, std::pair{201, 30}, std::pair{50, -1}, std::pair{50, 181}}) {
        m.FijarParametrosIdentificacion(60, 20);
        m.FijarParametrosVerificacion(60, 20);
        EXPECT_EQ(m.FijarParametrosIdentificacion(umbral, rot), codigo::ValoresPorDefecto);
        m.LeerParametrosIdentificacion(u, r);
        EXPECT_EQ(u, MotorHuella::UmbralIdentificacionPorDefecto);
        EXPECT_EQ(r, MotorHuella::RotacionIdentificacionPorDefecto);
        m.LeerParametrosVerificacion(u, r);
        EXPECT_EQ(u, 60) << "verification untouched";
        EXPECT_EQ(m.FijarParametrosVerificacion(umbral, rot), codigo::ValoresPorDefecto);
        m.LeerParametrosVerificacion(u, r);
        EXPECT_EQ(u, MotorHuella::UmbralVerificacionPorDefecto);
        EXPECT_EQ(r, MotorHuella::RotacionVerificacionPorDefecto);
    }
}

TEST(MotorHuella, IdentifyingNeedsAPreparedQueryAndContextZero) {
    MotorHuella m;
    m.Inicializar();
    const auto p = prueba::plantillaDe(m, prueba::impresion(0, 0));
    ASSERT_FALSE(p.empty());
    int s = 5;
    EXPECT_EQ(m.Identificar(p.data(), static_cast<int>(p.size()), s, 0), codigo::NoPermitidoAhora);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(m.PrepararIdentificacion(p.data(), static_cast<int>(p.size()), 1),
              codigo::ContextoInexistente);
    EXPECT_EQ(m.PrepararIdentificacion(nullptr, 10, 0), codigo::ParametroNulo);
    EXPECT_EQ(m.PrepararIdentificacion(p.data(), 0, 0), codigo::FueraDeLimite);
    EXPECT_FALSE(m.ConsultaIdentificacion());
    ASSERT_EQ(m.PrepararIdentificacion(p.data(), static_cast<int>(p.size()), 0), codigo::Ok);
    EXPECT_EQ(m.Identificar(p.data(), static_cast<int>(p.size()), s, 0), 1);
    EXPECT_GT(s, MotorHuella::UmbralMaximo) << "a template against itself scores high";
    EXPECT_EQ(m.Identificar(p.data(), static_cast<int>(p.size()), s, 3),
              codigo::ContextoInexistente);
    EXPECT_EQ(m.Verificar(p.data(), static_cast<int>(p.size()), nullptr, 10, s, 0),
              codigo::ParametroNulo);
    EXPECT_EQ(m.Verificar(p.data(), 5, p.data(), static_cast<int>(p.size()), s, 0),
              codigo::FueraDeLimite);
}

TEST(MotorHuella, DrawsTheImageAndTheOverlayInTheChosenColours) {
    MotorHuella m;
    m.Inicializar();
    const auto& img = prueba::impresion(1, 0);
    const auto p = prueba::plantillaDe(m, img);
    ASSERT_FALSE(p.empty());
    ImagenRGB plano;
    ASSERT_EQ(m.DibujarImagen(img.pixeles.data(), img.ancho, img.alto, plano), codigo::Ok);
    ASSERT_EQ(plano.ancho, 400);
    ASSERT_EQ(plano.bytes.size(), 400u * 400u * 3u);
    EXPECT_EQ(plano.bytes[3 * 1234], img.pixeles[1234]);

    auto cuenta = [](const ImagenRGB& r, std::uint8_t R, std::uint8_t G, std::uint8_t B) {
        int n = 0;
        for (std::size_t i = 0; i + 2 < r.bytes.size(); i += 3)
            n += r.bytes[i] == R && r.bytes[i + 1] == G && r.bytes[i + 2] == B;
        return n;
    };
    // Colours 0x00BBGGRR, chosen so none appears in a grey picture.
    ASSERT_EQ(m.ColoresOverlay(0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF),
              codigo::Ok);
    ImagenRGB o;
    ASSERT_EQ(m.DibujarBiometrico(p.data(), static_cast<int>(p.size()), img.pixeles.data(), 400,
                                  400, 500, -1, o),
              codigo::Ok);
    EXPECT_GT(cuenta(o, 255, 0, 0), 100) << "minutiae in red";
    EXPECT_GT(cuenta(o, 0, 255, 0), 100) << "segments in green";
    EXPECT_GT(cuenta(o, 0, 0, 255), 100) << "directions in blue";
    EXPECT_EQ(cuenta(o, 255, 255, 0), 0) << "nothing matched after an analysis";

    // After a comparison, the paired elements take the match colours.
    int s = 0;
    const auto otra = prueba::plantillaDe(m, prueba::impresion(1, 1));
    ASSERT_EQ(m.Verificar(p.data(), static_cast<int>(p.size()), otra.data(),
                          static_cast<int>(otra.size()), s, 0),
              1);
    ASSERT_EQ(m.DibujarBiometrico(p.data(), static_cast<int>(p.size()), img.pixeles.data(), 400,
                                  400, 500, 0, o),
              codigo::Ok);
    EXPECT_GT(cuenta(o, 255, 255, 0), 100) << "matched minutiae";
    EXPECT_GT(cuenta(o, 0, 255, 255), 50) << "matched segments";
    EXPECT_GT(cuenta(o, 255, 0, 255), 50) << "matched directions";

    // Elements switched off are not drawn.
    ASSERT_EQ(m.ColoresOverlay(MotorHuella::NoDibujar, MotorHuella::NoDibujar, 0x00FF00,
                               MotorHuella::NoDibujar, MotorHuella::NoDibujar,
                               MotorHuella::NoDibujar),
              codigo::Ok);
    ASSERT_EQ(m.DibujarBiometrico(p.data(), static_cast<int>(p.size()), img.pixeles.data(), 400,
                                  400, 500, -1, o),
              codigo::Ok);
    EXPECT_EQ(cuenta(o, 255, 0, 0), 0);
    EXPECT_EQ(cuenta(o, 0, 0, 255), 0);
    EXPECT_GT(cuenta(o, 0, 255, 0), 100);
    EXPECT_EQ(m.ColoresOverlay(-5, 0, 0, 0, 0, 0), codigo::FueraDeLimite);
    EXPECT_EQ(m.ColoresOverlay(0x1000000, 0, 0, 0, 0, 0), codigo::FueraDeLimite);

    auto rota = p;
    rota[40] ^= 1;
    EXPECT_LT(m.DibujarBiometrico(rota.data(), static_cast<int>(rota.size()), img.pixeles.data(),
                                  400, 400, 500, -1, o),
              0);
    EXPECT_EQ(m.DibujarBiometrico(p.data(), static_cast<int>(p.size()), img.pixeles.data(), 400,
                                  400, 500, 2, o),
              codigo::ContextoInexistente);
}

TEST(MotorHuella, SavesAndLoadsImagesAsBitmaps) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("portiva_motor_guardar_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    MotorHuella m;
    m.Inicializar();
    const auto& img = prueba::impresion(0, 1);
    EXPECT_EQ(m.GuardarImagen(img.pixeles.data(), 400, 400, dir / "h.bmp", 501), codigo::Ok);
    EXPECT_EQ(m.GuardarImagen(img.pixeles.data(), 400, 400, dir / "h.gif", 501),
              codigo::ExtensionDesconocida);
    EXPECT_EQ(m.GuardarImagen(img.pixeles.data(), 400, 400, dir / "h2.bmp", 77),
              codigo::FueraDeLimite);
    EXPECT_EQ(m.GuardarImagen(nullptr, 400, 400, dir / "h3.bmp", 501), codigo::ParametroNulo);
    EXPECT_NE(m.CargarImagen(dir / "h.bmp", 500), codigo::Ok) << "capture layer not started";
    std::filesystem::remove_all(dir);
}
