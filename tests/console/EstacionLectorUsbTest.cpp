// The whole station through its real window on a USB reader: libfprint's virtual imaging
// device stands for the reader (FP_VIRTUAL_IMAGE, set before the station starts), synthetic
// prints are sent to it, identified against a real member database file, and the relay board
// on a pseudo-terminal must get the door's bytes.

#include "ControlAcceso.h"
#include "EmisorVirtual.h"
#include "GeneradorHuellas.h"
#include "MotorHuella.h"
#include "PlantillaPrueba.h"
#include "ReleSimulado.h"
#include "VentanaPrueba.h"

#include <QLabel>
#include <QListWidget>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

using namespace portiva;
using namespace portiva::prueba;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint64_t Semilla = fpgen::semillaPruebas;

class EstacionLectorUsb : public VentanaPrueba {
protected:
    void SetUp() override {
        ASSERT_TRUE(carpeta.valida() && conBase);
        ASSERT_TRUE(motor.Inicializar() >= 0);
        const QDate hoy = reloj.hoy();
        QVariantMap fila =
            Cliente(QStringLiteral("A1"), hoy, hoy.addDays(1), false, QStringLiteral("Alba"));
        fila.insert(QStringLiteral("fldTemplate"), plantilla(2, 0));
        ASSERT_TRUE(CreadorBaseDatos::Insertar(carpeta.archivo(QStringLiteral("Portiva.mdb")),
                                               QStringLiteral("ClientesDB"), {fila})
                        .ok());
        placa = PlacaEnPuerto(carpeta.ruta(), 4);
        ASSERT_NE(placa, nullptr);

        // No simulated reader folder: the only reader is libfprint's.
        socket = carpeta.archivo(QStringLiteral("lector.sock")).toStdString();
        ::setenv("FP_VIRTUAL_IMAGE", socket.c_str(), 1);
        ServiciosConsola s = servicios();
        s.fabricaHuella = {};
        ventana = std::make_unique<frmClientes>(s);
        ASSERT_TRUE(arrancar());
        ASSERT_TRUE(EsperarHasta([&] { return ventana->puerta().estado().lectorDetectado; }));
        ASSERT_TRUE(EsperarHasta([&] { return placa->estado() == 2; }));
        emisor = std::make_unique<EmisorVirtual>(socket);
    }
    void TearDown() override {
        emisor.reset();
        ventana.reset();
        ::unsetenv("FP_VIRTUAL_IMAGE");
    }

    QByteArray plantilla(int dedo, int impresion) {
        return PlantillaComoSeGuarda(motor, generador.impresion(Semilla, dedo, impresion));
    }

    Bytes dedoEnElLector(int dedo) {
        const fpgen::ImagenGris img = generador.impresion(Semilla, dedo, 1);
        placa->olvidar();
        emisor->imagen(img.ancho, img.alto, img.pixeles);
        EXPECT_TRUE(EsperarHasta([&] { return placa->bytesRecibidos().size() >= 5; }));
        return placa->bytesRecibidos();
    }

    bool enElRegistro(const QString& texto) {
        auto* log = control<QListWidget>("lbLog");
        for (int i = 0; i < log->count(); ++i)
            if (log->item(i)->text().contains(texto))
                return true;
        return false;
    }

    motor::MotorHuella motor;
    fpgen::GeneradorHuellas generador;
    std::unique_ptr<SimuladorRele> placa;
    std::string socket;
    std::unique_ptr<EmisorVirtual> emisor;
};

TEST_F(EstacionLectorUsb, UnaHuellaDelLectorUsbAbreLaPuertaYUnaDesconocidaNo) {
    EXPECT_TRUE(enElRegistro(QStringLiteral(" -> Lector huella virtual_image:0 conectado.")));
    // A member within their dates: the passage relay.
    EXPECT_EQ(dedoEnElLector(2), (Bytes{91, 92, 33, 92, 2}));
    // An unknown finger: type 4, its relay byte.
    EXPECT_EQ(dedoEnElLector(17), (Bytes{91, 92, 128, 92, 2}));
    EXPECT_EQ(control<QLabel>("lblInfoHuella")->text(), QStringLiteral(" Desconocida!"));
}

TEST_F(EstacionLectorUsb, ElLectorQuitadoPoneLaEstacionEnApertura) {
    placa->olvidar();
    emisor->orden(-5, 0); // the reader is unplugged
    ASSERT_TRUE(EsperarHasta([&] { return !ventana->puerta().estado().lectorDetectado; }));
    EXPECT_TRUE(enElRegistro(QStringLiteral(" -> Lector huella virtual_image:0 desconectado.")));
    EXPECT_TRUE(EsperarHasta([&] { return placa->estado() == 4; }));
}

// The reader's socket deleted while the station runs: within 5 s the station is out of
// fingerprint control (relay byte 4), the status line and a balloon say the reader is lost, and
// the log says when and why; the reader comes back by itself and the station with it.
TEST_F(EstacionLectorUsb, SinSocketDelLectorLaEstacionLoDiceYVuelveSola) {
    placa->olvidar();
    bandeja.llamadas.clear();
    std::filesystem::remove(socket);
    const auto quitado = std::chrono::steady_clock::now();
    ASSERT_TRUE(EsperarHasta([&] { return placa->estado() == 4; }, 20000));
    EXPECT_LT(std::chrono::steady_clock::now() - quitado, std::chrono::seconds(5));
    EXPECT_EQ(ventana->puerta().estado().accesoActual, 5);
    EXPECT_EQ(control<QLabel>("lblInfoHuella")->text(),
              QStringLiteral("Lector de la huella no detectado"));
    bool globo = false;
    for (const auto& l : bandeja.llamadas)
        globo = globo || (l.que == QStringLiteral("globo") &&
                          l.texto.startsWith(QStringLiteral("Se ha perdido la conexion")));
    EXPECT_TRUE(globo);
    EXPECT_TRUE(enElRegistro(QStringLiteral(" -> Lector huella virtual_image:0 desconectado.")));
    EXPECT_TRUE(enElRegistro(QStringLiteral(
        " -> Error: Lector huella virtual_image:0 no disponible: ha desaparecido su socket")));

    // Back: libfprint listens on the socket again once the reader is reopened.
    ASSERT_TRUE(EsperarHasta([&] { return placa->estado() == 2; }, 30000));
    EXPECT_EQ(control<QLabel>("lblInfoHuella")->text(),
              QStringLiteral("Sistema de Apertura por Huella"));
    EXPECT_TRUE(enElRegistro(QStringLiteral(" -> Lector huella virtual_image:0 disponible de "
                                            "nuevo.")));
    emisor = std::make_unique<EmisorVirtual>(socket);
    EXPECT_EQ(dedoEnElLector(2), (Bytes{91, 92, 33, 92, 2})) << [&] {
        std::string t;
        auto* log = control<QListWidget>("lbLog");
        for (int i = 0; i < log->count(); ++i)
            t += log->item(i)->text().toStdString() + "\n";
        return t;
    }();
}

} // namespace
