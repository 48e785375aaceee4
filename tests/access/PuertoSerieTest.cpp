#include "PuertoSerie.h"
#include "CarpetaTemporal.h"
#include "EventoComm.h"
#include "ReleSimulado.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <unistd.h>

namespace portiva::prueba {
namespace {

using namespace std::chrono_literals;

class PuertoSerieTest : public ::testing::Test {
protected:
    PuertoSerieTest() : puerto(carpeta.ruta(), carpeta.archivo("sin-dispositivos/ttyS")) {}

    SimuladorRele& Placa(int n = 4) {
        placa = PlacaEnPuerto(carpeta.ruta(), n);
        if (!placa)
            ADD_FAILURE() << "no pseudo-terminal";
        return *placa;
    }

    bool Abrir(int n = 4) {
        puerto.setSettings(QStringLiteral("19200,N,8,2"));
        puerto.setInputLen(1);
        puerto.setCommPort(n);
        return puerto.setPortOpen(true);
    }

    // The bytes the port has received so far, read with InputLen 0.
    QByteArray LeerTodo() {
        puerto.setInputLen(0);
        QByteArray todo = puerto.Input();
        puerto.setInputLen(1);
        return todo;
    }

    CarpetaTemporal carpeta;
    std::unique_ptr<SimuladorRele> placa;
    PuertoSerie puerto;
};

TEST_F(PuertoSerieTest, ComResuelveAEnlaceDeLaCarpetaODispositivo) {
    EXPECT_EQ(puerto.RutaPuerto(4), carpeta.archivo("sin-dispositivos/ttyS3"));
    ASSERT_EQ(::symlink("/nonexistent/pts/99", carpeta.archivo("COM5").toLocal8Bit().constData()),
              0);
    // A link counts even when its device is gone.
    EXPECT_EQ(puerto.RutaPuerto(5), carpeta.archivo("COM5"));
    EXPECT_EQ(puerto.RutaPuerto(1), carpeta.archivo("sin-dispositivos/ttyS0"));

    PuertoSerie sinCarpeta(QString{});
    EXPECT_EQ(sinCarpeta.RutaPuerto(4), QStringLiteral("/dev/ttyS3"));
}

TEST_F(PuertoSerieTest, PuertoInexistenteNoAbreYDiceNumeroDeError) {
    EXPECT_FALSE(Abrir(5));
    EXPECT_FALSE(puerto.PortOpen());
    EXPECT_EQ(puerto.UltimoError().numero, ErrorSerie::PuertoNoValido);
    EXPECT_FALSE(puerto.UltimoError().descripcion.isEmpty());
    EXPECT_FALSE(puerto.setCommPort(0));
    EXPECT_FALSE(puerto.setCommPort(256));
}

// Something in the program folder named like a port that is no serial device.
TEST_F(PuertoSerieTest, ArchivoQueNoEsPuertoNoAbre) {
    QFile archivo(carpeta.archivo("COM4"));
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    archivo.write("not a port");
    archivo.close();
    EXPECT_FALSE(Abrir(4));
    EXPECT_FALSE(puerto.PortOpen());
    EXPECT_NE(puerto.UltimoError().numero, 0);
    ASSERT_TRUE(QDir(carpeta.ruta()).mkdir(QStringLiteral("COM5")));
    EXPECT_FALSE(Abrir(5));
    EXPECT_FALSE(puerto.PortOpen());
}

TEST_F(PuertoSerieTest, PropiedadesRechazanValoresFueraDeRango) {
    EXPECT_FALSE(puerto.setSettings(QStringLiteral("19200,Q,8,2")));
    EXPECT_EQ(puerto.UltimoError().numero, ErrorSerie::ValorNoValido);
    EXPECT_EQ(puerto.Settings(), QStringLiteral("9600,N,8,1"));
    EXPECT_TRUE(puerto.setSettings(QStringLiteral("19200,N,8,2")));
    EXPECT_EQ(puerto.Settings(), QStringLiteral("19200,N,8,2"));
    EXPECT_FALSE(puerto.setInputMode(2));
    EXPECT_FALSE(puerto.setHandshaking(4));
    EXPECT_FALSE(puerto.setInputLen(-1));
    EXPECT_FALSE(puerto.setRThreshold(-1));
    EXPECT_FALSE(puerto.setInBufferCount(3));
}

TEST_F(PuertoSerieTest, EscribeYLeeBytesExactos) {
    SimuladorRele& p = Placa();
    ASSERT_TRUE(Abrir());
    EXPECT_TRUE(puerto.PortOpen());

    QByteArray orden;
    orden.append(char(92));
    orden.append(char(0x80));
    ASSERT_TRUE(puerto.Output(orden));
    ASSERT_TRUE(EsperarBytes(p, 2, EsperaGenerosa));
    EXPECT_EQ(p.bytesRecibidos(), (std::vector<std::uint8_t>{92, 0x80}));

    ASSERT_TRUE(p.enviar({0x00, 0xFF, 0x5A}));
    ASSERT_TRUE(EsperarHasta([&] { return puerto.InBufferCount() == 3; }));
    EXPECT_EQ(puerto.Input(), QByteArray(1, '\0'));
    EXPECT_EQ(puerto.Input(), QByteArray(1, char(0xFF)));
    EXPECT_EQ(puerto.Input(), QByteArray(1, char(0x5A)));
    EXPECT_TRUE(puerto.Input().isEmpty());
}

TEST_F(PuertoSerieTest, VaciarEntradaDescartaLoRecibido) {
    SimuladorRele& p = Placa();
    ASSERT_TRUE(Abrir());
    ASSERT_TRUE(p.enviar({1, 2, 3, 4}));
    ASSERT_TRUE(EsperarHasta([&] { return puerto.InBufferCount() == 4; }));
    EXPECT_TRUE(puerto.setInBufferCount(0));
    EXPECT_EQ(puerto.InBufferCount(), 0);
    EXPECT_TRUE(puerto.Input().isEmpty());
}

TEST_F(PuertoSerieTest, AbiertoNoCambiaDePuertoNiSeAbreDosVeces) {
    Placa();
    ASSERT_TRUE(Abrir());
    EXPECT_FALSE(puerto.setCommPort(5));
    EXPECT_EQ(puerto.UltimoError().numero, ErrorSerie::PuertoYaAbierto);
    EXPECT_EQ(puerto.CommPort(), 4);
    EXPECT_FALSE(puerto.setPortOpen(true));
    EXPECT_EQ(puerto.UltimoError().numero, ErrorSerie::PuertoYaAbierto);
    EXPECT_TRUE(puerto.setPortOpen(false));
    EXPECT_FALSE(puerto.PortOpen());
    EXPECT_TRUE(puerto.setPortOpen(false));
    // The port can be opened again.
    EXPECT_TRUE(puerto.setPortOpen(true));
}

TEST_F(PuertoSerieTest, CerradoNoEscribeNiLee) {
    EXPECT_FALSE(puerto.Output(QByteArray(1, 'Z')));
    EXPECT_EQ(puerto.UltimoError().numero, ErrorSerie::PuertoNoAbierto);
    EXPECT_TRUE(puerto.Input().isEmpty());
    EXPECT_EQ(puerto.UltimoError().numero, ErrorSerie::PuertoNoAbierto);
    EXPECT_EQ(puerto.InBufferCount(), 0);
}

TEST_F(PuertoSerieTest, DispositivoPerdidoDaUnSoloEvento1010) {
    SimuladorRele& p = Placa();
    ASSERT_TRUE(Abrir());
    std::vector<int> comm;
    QObject::connect(&puerto, &PuertoSerie::OnComm, [&] { comm.push_back(puerto.CommEvent()); });

    p.desenchufar();
    ASSERT_TRUE(EsperarHasta([&] { return !comm.empty(); }));
    EXPECT_EQ(comm.front(), EventoComm::SalidaLlena);
    // Keep pumping a while: the gone device raises no further events.
    EsperarHasta([] { return false; }, 300);
    EXPECT_EQ(comm, std::vector<int>{EventoComm::SalidaLlena});

    // Still open until its owner closes it; writing fails, reading gives nothing.
    EXPECT_TRUE(puerto.PortOpen());
    EXPECT_FALSE(puerto.Output(QByteArray(1, '[')));
    EXPECT_EQ(puerto.UltimoError().numero, ErrorSerie::ErrorEscritura);
    EXPECT_TRUE(puerto.Input().isEmpty());
    EXPECT_TRUE(puerto.setPortOpen(false));
    EXPECT_FALSE(puerto.setPortOpen(true));
}

TEST_F(PuertoSerieTest, EscribirEnDispositivoPerdidoFallaYAvisa) {
    SimuladorRele& p = Placa();
    ASSERT_TRUE(Abrir());
    std::vector<int> comm;
    QObject::connect(&puerto, &PuertoSerie::OnComm, [&] { comm.push_back(puerto.CommEvent()); });
    p.desenchufar();
    // No event loop has run yet: the write itself finds the device gone.
    EXPECT_FALSE(puerto.Output(QByteArray(1, '[')));
    ASSERT_TRUE(EsperarHasta([&] { return !comm.empty(); }));
    EXPECT_EQ(comm, std::vector<int>{EventoComm::SalidaLlena});
}

TEST_F(PuertoSerieTest, EventosPendientesDeUnPuertoCerradoSeDescartan) {
    SimuladorRele& p = Placa();
    ASSERT_TRUE(Abrir());
    QSignalSpy eventos(&puerto, &PuertoSerie::OnComm);
    p.desenchufar();
    EXPECT_FALSE(puerto.Output(QByteArray(1, '[')));
    puerto.setPortOpen(false);
    EsperarHasta([] { return false; }, 200);
    EXPECT_EQ(eventos.count(), 0);
}

TEST_F(PuertoSerieTest, EntradaDesbordadaDaEvento1008UnaVezPorEpisodio) {
    SimuladorRele& p = Placa();
    ASSERT_TRUE(puerto.setInBufferSize(16));
    ASSERT_TRUE(Abrir());
    std::vector<int> comm;
    QObject::connect(&puerto, &PuertoSerie::OnComm, [&] { comm.push_back(puerto.CommEvent()); });

    ASSERT_TRUE(p.enviar(std::vector<std::uint8_t>(40, 0xAA)));
    ASSERT_TRUE(EsperarHasta([&] { return !comm.empty(); }));
    ASSERT_TRUE(p.enviar(std::vector<std::uint8_t>(40, 0xAA)));
    EsperarHasta([] { return false; }, 200);
    EXPECT_EQ(comm, std::vector<int>{EventoComm::EntradaLlena});
    // No more than the capacity (and the byte that told the overflow) is kept.
    EXPECT_LE(puerto.InBufferCount(), 17);

    // Once emptied, a new overflow is told again.
    ASSERT_TRUE(puerto.setInBufferCount(0));
    ASSERT_TRUE(p.enviar(std::vector<std::uint8_t>(40, 0x55)));
    ASSERT_TRUE(EsperarHasta([&] { return comm.size() == 2; }));
    EXPECT_EQ(comm.back(), EventoComm::EntradaLlena);
}

TEST_F(PuertoSerieTest, UmbralDeRecepcionDaEvento2) {
    SimuladorRele& p = Placa();
    ASSERT_TRUE(Abrir());
    ASSERT_TRUE(puerto.setRThreshold(2));
    std::vector<int> comm;
    QObject::connect(&puerto, &PuertoSerie::OnComm, [&] { comm.push_back(puerto.CommEvent()); });
    ASSERT_TRUE(p.enviar({1}));
    EsperarHasta([] { return false; }, 100);
    EXPECT_TRUE(comm.empty());
    ASSERT_TRUE(p.enviar({2}));
    ASSERT_TRUE(EsperarHasta([&] { return !comm.empty(); }));
    EXPECT_EQ(comm.front(), EventoComm::Recepcion);
}

} // namespace
} // namespace portiva::prueba
