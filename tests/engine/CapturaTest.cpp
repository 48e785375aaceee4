#include "ArchivoBmp.h"
#include "CodigosMotor.h"
#include "HuellasMotor.h"
#include "MotorHuella.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace portiva;
using namespace portiva::motor;

namespace {

struct Registro {
    std::vector<std::string> eventos;
    std::vector<std::uint8_t> ultima;
    int ancho = 0, alto = 0, resolucion = 0;
};

void escuchar(MotorHuella& m, Registro& r) {
    m.SensorConectado = [&r](const std::string& id) { r.eventos.push_back("conectado " + id); };
    m.SensorDesconectado = [&r](const std::string& id) {
        r.eventos.push_back("desconectado " + id);
    };
    m.DedoPuesto = [&r](const std::string& id) { r.eventos.push_back("puesto " + id); };
    m.DedoRetirado = [&r](const std::string& id) { r.eventos.push_back("retirado " + id); };
    m.ImagenCapturada = [&r](const std::string& id, int ancho, int alto,
                             const std::vector<std::uint8_t>& img, int res) {
        r.eventos.push_back("imagen " + id);
        r.ultima = img;
        r.ancho = ancho;
        r.alto = alto;
        r.resolucion = res;
    };
}

class Captura : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("portiva_captura_" + std::to_string(::getpid()) + "_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // Written beside the folder and renamed in, as the demo does.
    void dejarEnLector(const std::string& nombre, const fpgen::ImagenGris& img) {
        const auto temporal = dir_ / ("tmp_" + nombre);
        ASSERT_EQ(ArchivoBmp::escribir(temporal, {img.ancho, img.alto, img.dpi, img.pixeles}),
                  codigo::Ok);
        std::filesystem::rename(temporal, lector() / nombre);
    }
    std::filesystem::path lector() const { return dir_ / "LectorSimulado"; }
    std::filesystem::path dir_;
};

} // namespace

TEST_F(Captura, AnImageLoadedFromFileArrivesAsACaptureFromFile) {
    MotorHuella m;
    Registro r;
    escuchar(m, r);
    m.Inicializar();
    const auto& img = prueba::impresion(2, 0);
    ASSERT_EQ(ArchivoBmp::escribir(dir_ / "dedo.bmp", {img.ancho, img.alto, 1000, img.pixeles}),
              codigo::Ok);
    EXPECT_EQ(m.CargarImagen(dir_ / "dedo.bmp", 500), codigo::NoPermitidoAhora);
    ASSERT_EQ(m.IniciarCapturas(), codigo::Ok);
    m.Sondear();
    EXPECT_EQ(r.eventos, (std::vector<std::string>{"conectado File"}));
    r.eventos.clear();

    ASSERT_EQ(m.CargarImagen(dir_ / "dedo.bmp", 500), codigo::Ok);
    EXPECT_TRUE(r.eventos.empty()) << "delivered at the next poll, not during the load";
    EXPECT_EQ(m.Sondear(), 1);
    EXPECT_EQ(r.eventos, (std::vector<std::string>{"imagen File"}));
    EXPECT_EQ(r.ancho, img.ancho);
    EXPECT_EQ(r.alto, img.alto);
    EXPECT_EQ(r.resolucion, 1000);
    EXPECT_EQ(r.ultima, img.pixeles);
    EXPECT_EQ(m.Sondear(), 0) << "nothing twice";

    EXPECT_EQ(m.CargarImagen(dir_ / "falta.bmp", 500), codigo::NombreArchivoNoValido);
    EXPECT_EQ(m.CargarImagen(dir_ / "dedo.png", 500), codigo::ExtensionDesconocida);
    EXPECT_EQ(m.CargarImagen(dir_ / "dedo.bmp", 3), codigo::FueraDeLimite);
    std::ofstream(dir_ / "roto.bmp") << "BM no es un bitmap";
    EXPECT_EQ(m.CargarImagen(dir_ / "roto.bmp", 500), codigo::TipoArchivoNoValido);
    EXPECT_EQ(m.Sondear(), 0);
    EXPECT_EQ(m.IniciarCaptura("Inexistente"), codigo::SensorNoValido);
}

TEST_F(Captura, SimulatedReaderConnectsCapturesAndDisconnectsWithItsFolder) {
    MotorHuella m(lector());
    Registro r;
    escuchar(m, r);
    m.Inicializar();
    m.IniciarCapturas();
    m.Sondear();
    EXPECT_EQ(r.eventos, (std::vector<std::string>{"conectado File"}));
    r.eventos.clear();

    std::filesystem::create_directories(lector());
    dejarEnLector("a.bmp", prueba::impresion(0, 0));
    m.Sondear();
    EXPECT_EQ(r.eventos, (std::vector<std::string>{"conectado Simulado"}));
    EXPECT_TRUE(std::filesystem::exists(lector() / "a.bmp"))
        << "not captured before capture starts";
    r.eventos.clear();

    ASSERT_EQ(m.IniciarCaptura("Simulado"), codigo::Ok);
    dejarEnLector("b.bmp", prueba::impresion(1, 0));
    m.Sondear();
    EXPECT_EQ(r.eventos, (std::vector<std::string>{"puesto Simulado", "imagen Simulado",
                                                   "retirado Simulado"}));
    EXPECT_EQ(r.ultima, prueba::impresion(0, 0).pixeles) << "files are taken in name order";
    EXPECT_FALSE(std::filesystem::exists(lector() / "a.bmp"));
    r.eventos.clear();
    m.Sondear();
    EXPECT_EQ(r.ultima, prueba::impresion(1, 0).pixeles);
    EXPECT_FALSE(std::filesystem::exists(lector() / "b.bmp"));

    // A broken file is set aside, not retried, not lost.
    std::ofstream(lector() / "c.bmp") << "basura";
    r.eventos.clear();
    m.Sondear();
    EXPECT_TRUE(r.eventos.empty());
    EXPECT_TRUE(std::filesystem::exists(lector() / "c.bmp.invalido"));

    ASSERT_EQ(m.DetenerCaptura("Simulado"), codigo::Ok);
    EXPECT_EQ(m.DetenerCaptura("Simulado"), codigo::SensorNoCaptura);
    dejarEnLector("d.bmp", prueba::impresion(2, 0));
    m.Sondear();
    EXPECT_TRUE(std::filesystem::exists(lector() / "d.bmp"));

    std::filesystem::remove_all(lector());
    m.Sondear();
    EXPECT_EQ(r.eventos.back(), "desconectado Simulado");
}

TEST_F(Captura, HandlersMayPollAgainAndEachEventComesOnce) {
    MotorHuella m(lector());
    std::filesystem::create_directories(lector());
    std::vector<std::string> vistos;
    int profundidad = 0;
    m.SensorConectado = [&](const std::string& id) {
        vistos.push_back(id);
        m.IniciarCaptura(id);
        // What the station's door pulse does: pump events, so the timer polls again.
        if (profundidad++ == 0)
            m.Sondear();
    };
    m.ImagenCapturada = [&](const std::string& id, int, int, const std::vector<std::uint8_t>&,
                            int) { vistos.push_back("imagen " + id); };
    m.Inicializar();
    m.IniciarCapturas();
    dejarEnLector("a.bmp", prueba::impresion(0, 0));
    m.Sondear();
    m.Sondear();
    EXPECT_EQ(vistos, (std::vector<std::string>{"File", "Simulado", "imagen Simulado"}));

    // Stopping the capture layer from a handler ends the delivery cleanly.
    m.ImagenCapturada = [&](const std::string&, int, int, const std::vector<std::uint8_t>&, int) {
        m.DetenerCapturas();
    };
    dejarEnLector("b.bmp", prueba::impresion(1, 0));
    EXPECT_NO_THROW(m.Sondear());
    EXPECT_EQ(m.Sondear(), 0);
}
