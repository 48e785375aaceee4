// The door pulse's state request sent while the comparisons run: the board receives the same
// bytes in the same order as when the pulse asks at its own time, for every decision, and the
// reply is checked the same way.
#include "EstacionHuellaPrueba.h"
#include "EstacionPrueba.h"

#include "CodigoAcceso.h"

#include <gtest/gtest.h>

namespace portiva::prueba {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

TEST(PulsoAdelantadoTest, LaPlacaRecibeLaPeticionYLaRespuestaSeRecogeDespues) {
    EstacionPrueba e;
    SimuladorRele& placa = e.placaEn(4);
    ASSERT_TRUE(Conectar(e.rele()));
    ASSERT_TRUE(e.rele().SetStatusByte(6));
    ASSERT_TRUE(EsperarSilencio(placa));
    placa.olvidar();

    ASSERT_TRUE(e.rele().AdelantarEstado());
    EXPECT_TRUE(EsperarBytes(placa, 1, EsperaGenerosa));
    EXPECT_EQ(placa.bytesRecibidos(), Bytes({91}));
    // Collected once the reply is in, however long after the request (the comparisons may
    // take longer than the board).
    EXPECT_TRUE(EsperarHasta([&] { return e.puerto().InBufferCount() == 1; }));
    std::uint8_t estado = 0;
    EXPECT_TRUE(LeerEstado(e.rele(), estado));
    EXPECT_EQ(estado, 6);
    EXPECT_FALSE(e.rele().EstadoAdelantado());
    // Collected, not asked again.
    ASSERT_TRUE(EsperarSilencio(placa));
    EXPECT_EQ(placa.bytesRecibidos(), Bytes({91}));

    // Any other command in between drops the request: the state is asked afresh, and the
    // dropped request's reply is discarded like any stale byte.
    placa.olvidar();
    ASSERT_TRUE(e.rele().AdelantarEstado());
    EXPECT_TRUE(EsperarHasta([&] { return e.puerto().InBufferCount() == 1; }));
    ASSERT_TRUE(e.rele().SetStatusByte(9));
    EXPECT_FALSE(e.rele().EstadoAdelantado());
    EXPECT_TRUE(LeerEstado(e.rele(), estado));
    EXPECT_EQ(estado, 9);
    ASSERT_TRUE(EsperarSilencio(placa));
    EXPECT_EQ(placa.bytesRecibidos(), Bytes({91, 92, 9, 91}));

    // So does closing the port; a closed port sends nothing ahead.
    ASSERT_TRUE(e.rele().AdelantarEstado());
    ASSERT_TRUE(e.rele().ClosePort());
    EXPECT_FALSE(e.rele().EstadoAdelantado());
    EXPECT_FALSE(e.rele().AdelantarEstado());
    EXPECT_FALSE(LeerEstado(e.rele(), estado));
}

TEST(PulsoAdelantadoTest, LaRespuestaAdelantadaPasaLasMismasComprobaciones) {
    EstacionPrueba e;
    SimuladorRele& placa = e.placaEn(4);
    ASSERT_TRUE(Conectar(e.rele()));
    std::uint8_t estado = 0;

    // Noise inside the reply: refused.
    placa.ponerRuidoAntesDeRespuesta({0x33});
    ASSERT_TRUE(e.rele().AdelantarEstado());
    EXPECT_FALSE(LeerEstado(e.rele(), estado));
    placa.ponerRuidoAntesDeRespuesta({});

    // Noise arriving after the request, before the reply is collected: refused.
    ASSERT_TRUE(e.rele().AdelantarEstado());
    ASSERT_TRUE(EsperarBytes(placa, 1, EsperaGenerosa));
    EXPECT_TRUE(EsperarHasta([&] { return e.puerto().InBufferCount() == 1; }));
    ASSERT_TRUE(placa.enviar({0x5A}));
    EXPECT_TRUE(EsperarHasta([&] { return e.puerto().InBufferCount() == 2; }));
    EXPECT_FALSE(LeerEstado(e.rele(), estado));

    // A mute board: no state, no message.
    placa.ponerModo(ModoRespuesta::Ninguna);
    ASSERT_TRUE(e.rele().AdelantarEstado());
    EXPECT_FALSE(LeerEstado(e.rele(), estado));
    EXPECT_TRUE(e.msgBox.mostrados.empty());

    // Answering again: taken.
    placa.ponerModo(ModoRespuesta::Normal);
    ASSERT_TRUE(e.rele().SetStatusByte(12));
    ASSERT_TRUE(e.rele().AdelantarEstado());
    EXPECT_TRUE(EsperarHasta([&] { return e.puerto().InBufferCount() == 1; }));
    EXPECT_TRUE(LeerEstado(e.rele(), estado));
    EXPECT_EQ(estado, 12);
}

class PuertaAdelantadaTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QDate hoy = e.reloj.hoy();
        e.base.clientes(
            {EstacionHuellaPrueba::ConHuella(Cliente("p", {}, {}, true), 3),
             EstacionHuellaPrueba::ConHuella(Cliente("v", hoy.addDays(-9), hoy.addDays(30)), 4),
             EstacionHuellaPrueba::ConHuella(Cliente("c", hoy.addDays(-90), hoy.addDays(-1)), 5)});
        e.Arrancar();
        placa = &e.Placa();
    }

    // The bytes the board received for one capture, and those it had when the door showed
    // the access (before the pulse).
    struct Trafico {
        Bytes todo;
        Bytes alMostrar;
        int tipo = -1;
    };
    Trafico Capturar(int dedo, bool esperarPeticion) {
        Trafico t;
        e.pantalla.alMostrarResultado = [&](int tipo) {
            t.tipo = tipo;
            if (esperarPeticion)
                placa->esperarBytes(1, EsperaGenerosa);
            t.alMostrar = placa->bytesRecibidos();
        };
        placa->olvidar();
        e.Capturar(dedo);
        EXPECT_TRUE(EsperarBytes(*placa, 5, EsperaGenerosa));
        EXPECT_TRUE(EsperarSilencio(*placa));
        t.todo = placa->bytesRecibidos();
        e.pantalla.alMostrarResultado = nullptr;
        return t;
    }

    EstacionHuellaPrueba e;
    SimuladorRele* placa = nullptr;
};

TEST_F(PuertaAdelantadaTest, CadaDecisionPoneEnLaLineaLoMismoQueElPulsoQuePregunta) {
    // Each finger's access type and the relays of its pulse: staff 1 and 5 (17), a member
    // allowed 1 and 6 (33), an expired member 7 alone (64), an unknown finger 8 alone (128);
    // then fingerprint control's resting byte 2 (relay 2) comes back.
    struct Caso {
        int dedo;
        int tipo;
        std::uint8_t mascara;
    };
    for (const Caso c : {Caso{3, 1, 17}, Caso{4, 2, 33}, Caso{5, 3, 64}, Caso{6, 4, 128}}) {
        const Trafico t = Capturar(c.dedo, true);
        ASSERT_EQ(t.tipo, c.tipo) << "dedo " << c.dedo;
        const Bytes esperado = {91, 92, c.mascara, 92, 2};
        EXPECT_EQ(t.todo, esperado) << "dedo " << c.dedo;
        // The request was on the wire before the door acted.
        EXPECT_EQ(t.alMostrar, Bytes({91})) << "dedo " << c.dedo;

        // The same as the pulse gives when it asks at its own time.
        placa->olvidar();
        EXPECT_TRUE(Pulsar(e.acceso.torno(), c.mascara));
        EXPECT_TRUE(EsperarSilencio(*placa));
        EXPECT_EQ(placa->bytesRecibidos(), esperado) << "dedo " << c.dedo;
    }
    EXPECT_FALSE(e.acceso.rele().EstadoAdelantado());
}

TEST_F(PuertaAdelantadaTest, SinPulsoNadaSeAdelanta) {
    // The record form jumps to the member first: the request waits for the pulse.
    e.ventana.informacionAmpliada = true;
    Trafico t = Capturar(4, false);
    EXPECT_TRUE(t.alMostrar.empty());
    // A member allowed: relays 1 and 6, then the resting byte 2.
    EXPECT_EQ(t.tipo, 2);
    EXPECT_EQ(t.todo, Bytes({91, 92, 33, 92, 2}));
    e.ventana.informacionAmpliada = false;

    // The door held open: no pulse, nothing on the wire.
    e.acceso.torno().PonerAccesoActual(CodigoAcceso::FijoAbierto);
    placa->olvidar();
    e.Capturar(4);
    EXPECT_TRUE(EsperarSilencio(*placa));
    EXPECT_TRUE(placa->bytesRecibidos().empty());
    EXPECT_FALSE(e.acceso.rele().EstadoAdelantado());
}

} // namespace
} // namespace portiva::prueba
