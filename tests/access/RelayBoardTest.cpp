#include "EstacionPrueba.h"

#include <gtest/gtest.h>

namespace portiva::prueba {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

class RelayBoardTest : public ::testing::Test {
protected:
    EstacionPrueba e;
};

TEST_F(RelayBoardTest, InitPortPoneLaLineaDeLaPlaca) {
    e.rele().InitPort();
    EXPECT_EQ(e.puerto().Settings(), QStringLiteral("19200,N,8,2"));
    EXPECT_EQ(e.puerto().InputMode(), 0);
    EXPECT_EQ(e.puerto().InputLen(), 1);
    EXPECT_EQ(e.puerto().Handshaking(), 0);
    EXPECT_EQ(e.puerto().RThreshold(), 0);
    EXPECT_EQ(e.puerto().SThreshold(), 0);
}

TEST_F(RelayBoardTest, EncuentraLaPlacaEnCom6TrasCom4YCom5) {
    SimuladorRele& mudo = e.placaEn(4);
    mudo.ponerModo(ModoRespuesta::Ninguna);
    SimuladorRele& otro = e.placaEn(5);
    otro.ponerIdModulo(3);
    SimuladorRele& buena = e.placaEn(6);
    buena.ponerVersion(2);
    buena.ponerEstado(0xFF);

    ASSERT_TRUE(Conectar(e.rele()));
    EXPECT_TRUE(e.rele().IsPortOpen());
    EXPECT_EQ(e.rele().RelayPort(), 6);
    EXPECT_EQ(e.rele().RelayModuleId(), 8);
    EXPECT_EQ(e.rele().RelayVersion(), 2);
    EXPECT_EQ(e.puerto().CommPort(), 6);

    EXPECT_EQ(mudo.bytesRecibidos(), Bytes{90});
    EXPECT_EQ(otro.bytesRecibidos(), Bytes{90});
    ASSERT_TRUE(EsperarBytes(buena, 2, EsperaGenerosa));
    EXPECT_EQ(buena.bytesRecibidos(), (Bytes{90, 110}));
    EXPECT_EQ(buena.estado(), 0);
    EXPECT_TRUE(e.msgBox.mostrados.empty());
}

TEST_F(RelayBoardTest, PlacaQueRespondeUnSoloByteNoSeAcepta) {
    SimuladorRele& corta = e.placaEn(4);
    corta.ponerModo(ModoRespuesta::UnByte);
    EXPECT_FALSE(Conectar(e.rele()));
    EXPECT_FALSE(e.rele().IsPortOpen());
    EXPECT_EQ(corta.bytesRecibidos(), Bytes{90});
    EXPECT_EQ(e.rele().RelayPort(), 8);
}

TEST_F(RelayBoardTest, OtroModuloNoSeAceptaYElBarridoSigue) {
    SimuladorRele& otro = e.placaEn(4);
    otro.ponerIdModulo(9);
    SimuladorRele& buena = e.placaEn(8);
    ASSERT_TRUE(Conectar(e.rele()));
    EXPECT_EQ(e.rele().RelayPort(), 8);
    EXPECT_EQ(otro.bytesRecibidos(), Bytes{90});
    ASSERT_TRUE(EsperarBytes(buena, 2, EsperaGenerosa));
}

TEST_F(RelayBoardTest, SinPlacaNingunPuertoQuedaAbierto) {
    EXPECT_FALSE(Conectar(e.rele()));
    EXPECT_FALSE(e.rele().IsPortOpen());
    EXPECT_FALSE(e.rele().ClosePort());
    EXPECT_TRUE(e.msgBox.mostrados.empty());
}

TEST_F(RelayBoardTest, ConectarConElPuertoAbiertoNoHaceNada) {
    SimuladorRele& buena = e.placaEn(5);
    ASSERT_TRUE(Conectar(e.rele()));
    e.placaEn(4);
    ASSERT_TRUE(EsperarBytes(buena, 2, EsperaGenerosa));
    buena.olvidar();
    EXPECT_FALSE(Conectar(e.rele()));
    EXPECT_TRUE(e.rele().IsPortOpen());
    EXPECT_EQ(e.rele().RelayPort(), 5);
    EXPECT_EQ(e.placas[4]->bytesRecibidos(), Bytes{});
    EXPECT_EQ(buena.bytesRecibidos(), Bytes{});
}

TEST_F(RelayBoardTest, EscribirEstadoPoneDosBytesEnLaLinea) {
    SimuladorRele& placa = e.placaEn(4);
    ASSERT_TRUE(Conectar(e.rele()));
    ASSERT_TRUE(EsperarBytes(placa, 2, EsperaGenerosa));
    placa.olvidar();
    EXPECT_TRUE(e.rele().SetStatusByte(128));
    ASSERT_TRUE(EsperarBytes(placa, 2, EsperaGenerosa));
    EXPECT_EQ(placa.bytesRecibidos(), (Bytes{92, 128}));
    EXPECT_EQ(placa.estado(), 128);

    std::uint8_t estado = 0;
    EXPECT_TRUE(LeerEstado(e.rele(), estado));
    EXPECT_EQ(estado, 128);
    e.rele().AllOff();
    ASSERT_TRUE(EsperarBytes(placa, 4, EsperaGenerosa));
    EXPECT_EQ(placa.bytesRecibidos(), (Bytes{92, 128, 91, 110}));
    EXPECT_EQ(placa.estado(), 0);
}

TEST_F(RelayBoardTest, PuertoCerradoNoEscribeNiPregunta) {
    EXPECT_FALSE(e.rele().SetStatusByte(2));
    std::uint8_t estado = 7;
    EXPECT_FALSE(LeerEstado(e.rele(), estado));
    EXPECT_EQ(estado, 7);
    std::uint8_t id = 0, version = 0;
    EXPECT_FALSE(LeerVersion(e.rele(), id, version));
    e.rele().AllOff();
    EXPECT_TRUE(e.msgBox.mostrados.empty());
}

TEST_F(RelayBoardTest, PlacaMudaAlEstadoDaFalsoSinMensaje) {
    SimuladorRele& placa = e.placaEn(4);
    ASSERT_TRUE(Conectar(e.rele()));
    placa.ponerModo(ModoRespuesta::Ninguna);
    std::uint8_t estado = 0;
    EXPECT_FALSE(LeerEstado(e.rele(), estado));
    EXPECT_TRUE(e.msgBox.mostrados.empty());
}

// Garbage on the line: what waited before a request is discarded, so the reply is read right.
TEST_F(RelayBoardTest, RuidoAntesDeLaPeticionSeDescarta) {
    SimuladorRele& placa = e.placaEn(4);
    ASSERT_TRUE(Conectar(e.rele()));
    ASSERT_TRUE(e.rele().SetStatusByte(2));
    ASSERT_TRUE(placa.enviar({0xFF, 0x21, 0x00, 0x5A}));
    EXPECT_TRUE(EsperarHasta([&] { return e.puerto().InBufferCount() == 4; }));

    std::uint8_t estado = 0;
    EXPECT_TRUE(LeerEstado(e.rele(), estado));
    EXPECT_EQ(estado, 2);
    ASSERT_TRUE(placa.enviar({8, 8, 8}));
    EXPECT_TRUE(EsperarHasta([&] { return e.puerto().InBufferCount() == 3; }));
    std::uint8_t id = 0, version = 0;
    EXPECT_TRUE(LeerVersion(e.rele(), id, version));
    EXPECT_EQ(id, 8);
    EXPECT_EQ(version, 1);
}

// Noise inside the reply cannot be told from the reply: the request fails, nothing is taken.
TEST_F(RelayBoardTest, RuidoDentroDeLaRespuestaLaInvalida) {
    SimuladorRele& placa = e.placaEn(4);
    ASSERT_TRUE(Conectar(e.rele()));
    placa.ponerRuidoAntesDeRespuesta({0x33});
    std::uint8_t estado = 0;
    EXPECT_FALSE(LeerEstado(e.rele(), estado));
    std::uint8_t id = 0, version = 0;
    EXPECT_FALSE(LeerVersion(e.rele(), id, version));
    // The surplus was discarded: once the line is clean the next request works.
    placa.ponerRuidoAntesDeRespuesta({});
    EXPECT_TRUE(LeerEstado(e.rele(), estado));
    EXPECT_EQ(estado, 0);
}

TEST_F(RelayBoardTest, RespuestaTardiaNoSeTomaPorLaSiguiente) {
    SimuladorRele& placa = e.placaEn(4);
    ASSERT_TRUE(Conectar(e.rele()));
    ASSERT_TRUE(e.rele().SetStatusByte(17));
    placa.ponerRetardo(200ms);
    std::uint8_t estado = 0;
    EXPECT_FALSE(LeerEstado(e.rele(), estado));
    // The late byte arrives now, before the next request, and is thrown away.
    EXPECT_TRUE(EsperarHasta([&] { return e.puerto().InBufferCount() == 1; }));
    placa.ponerRetardo(0ms);
    ASSERT_TRUE(e.rele().SetStatusByte(4));
    EXPECT_TRUE(LeerEstado(e.rele(), estado));
    EXPECT_EQ(estado, 4);
}

TEST_F(RelayBoardTest, PlacaDesenchufadaEscribirMuestraElError) {
    SimuladorRele& placa = e.placaEn(4);
    ASSERT_TRUE(Conectar(e.rele()));
    placa.desenchufar();
    EXPECT_FALSE(e.rele().SetStatusByte(2));
    ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
    EXPECT_TRUE(e.msgBox.ultimo().texto.startsWith(QStringLiteral("Error 8021 (")));
    EXPECT_TRUE(e.msgBox.ultimo().texto.endsWith(
        QStringLiteral(") in procedure SetStatusByte of Módulo RelayBoard")));
    EXPECT_EQ(e.msgBox.ultimo().estilo, 0);
    EXPECT_TRUE(e.msgBox.ultimo().titulo.isEmpty());

    e.rele().AllOff();
    ASSERT_EQ(e.msgBox.mostrados.size(), 2u);
    EXPECT_TRUE(e.msgBox.ultimo().texto.endsWith(
        QStringLiteral(") in procedure AllOff of Módulo RelayBoard")));

    // Reading is trapped silently.
    std::uint8_t estado = 0;
    EXPECT_FALSE(LeerEstado(e.rele(), estado));
    EXPECT_EQ(e.msgBox.mostrados.size(), 2u);
    EXPECT_TRUE(e.rele().ClosePort());
}

} // namespace
} // namespace portiva::prueba
