// The serial line's break, framing, overrun and parity errors, from the kernel's counts: what
// the station shows and writes as they grow, through a source that feeds the counts.

#include "ErroresLinea.h"
#include "EstacionPrueba.h"
#include "EventoComm.h"
#include "PuertaAsincrona.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <deque>

namespace portiva::prueba {
namespace {

using namespace std::chrono_literals;
using Estado = FuenteContadores::Estado;

class FuenteGuion final : public FuenteContadores {
public:
    Lectura Leer(int descriptor) override {
        descriptores.push_back(descriptor);
        if (lecturas.empty())
            return {Estado::Leidos, ultima};
        Lectura l = lecturas.front();
        lecturas.pop_front();
        if (l.estado == Estado::Leidos)
            ultima = l.contadores;
        return l;
    }
    void poner(ContadoresLinea c) { lecturas.push_back({Estado::Leidos, c}); }

    std::deque<Lectura> lecturas;
    ContadoresLinea ultima;
    std::vector<int> descriptores;
};

class ErroresLineaTest : public ::testing::Test {
protected:
    ErroresLineaTest() {
        e.modos().tmrBlink().stop();
        e.modos().tmrDetectarLector().setInterval(3600 * 1000);
    }

    void Conectar() {
        e.placaEn(4);
        IniciarRele(e.modos());
        ASSERT_TRUE(e.rele().IsPortOpen());
        e.msgBox.limpiar();
        e.pantalla.limpiar();
    }
    // Lets the queued communication events reach the station's handler.
    void Entregar() {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
    QStringList Lineas(const QString& parte) const { return e.pantalla.log.filter(parte); }
    QStringList Cajas() const {
        QStringList t;
        for (const auto& m : e.msgBox.mostrados)
            t << m.texto;
        return t;
    }

    EstacionPrueba e;
    FuenteGuion fuente;
};

TEST_F(ErroresLineaTest, LosErroresQueCrecenMuestranSuCajaYSuLineaPorClase) {
    Conectar();
    // Silence 0: every reading that grows is told.
    VigilanteLinea v(e.puerto(), e.acceso.registro(), &fuente, 3600 * 1000, 0);
    const int estado = e.torno().AccesoActual();
    ContadoresLinea c;
    c.paridad = 40; // from before this session: not news
    c.trama = 7;
    fuente.poner(c);
    v.Sondear();
    Entregar();
    EXPECT_TRUE(Cajas().isEmpty());

    c.rotura = 1;
    c.trama = 9;
    c.desbordamiento = 3;
    c.paridad = 41;
    c.entradaLlena = 5;
    fuente.poner(c);
    v.Sondear();
    Entregar();
    EXPECT_EQ(Cajas(), (QStringList{"comBreak", "comEventFrame", "comEventOverrun",
                                    "comEventRxParity", "comEventRxOver"}));
    for (const auto& m : e.msgBox.mostrados) {
        EXPECT_EQ(m.estilo, 0) << "OK only";
        EXPECT_TRUE(m.titulo.isEmpty()) << "the default title";
    }
    EXPECT_EQ(Lineas("errores de trama en la linea serie").size(), 1);
    EXPECT_EQ(
        Lineas(" -> Error: Interface de Apertura, 2 errores de trama en la linea serie.").size(), 1)
        << e.pantalla.log.join('\n').toStdString();
    EXPECT_EQ(Lineas("1 errores de paridad").size(), 1);
    EXPECT_EQ(Lineas("5 errores de desbordamiento del bufer de entrada").size(), 1);
    // The station's state is left as it was.
    EXPECT_EQ(e.torno().AccesoActual(), estado);
    EXPECT_TRUE(e.rele().IsPortOpen());
    EXPECT_EQ(fuente.descriptores.back(), e.puerto().Descriptor());
}

TEST_F(ErroresLineaTest, UnaLineaRuidosaNoAmontonaCajas) {
    Conectar();
    VigilanteLinea v(e.puerto(), e.acceso.registro(), &fuente, 3600 * 1000, 3600 * 1000);
    ContadoresLinea c;
    fuente.poner(c);
    v.Sondear();
    for (int n = 1; n <= 5; ++n) {
        c.paridad = static_cast<std::uint32_t>(n * 10);
        fuente.poner(c);
        v.Sondear();
    }
    Entregar();
    // One box and one line; the later errors wait to be told with the next box.
    EXPECT_EQ(Cajas(), QStringList{"comEventRxParity"});
    EXPECT_EQ(Lineas("errores de paridad").size(), 1);
    EXPECT_EQ(Lineas("10 errores de paridad").size(), 1);
}

TEST_F(ErroresLineaTest, CadaSesionDelPuertoEmpiezaDeCero) {
    Conectar();
    VigilanteLinea v(e.puerto(), e.acceso.registro(), &fuente, 3600 * 1000, 0);
    ContadoresLinea c;
    fuente.poner(c);
    v.Sondear();
    // The port closed and opened again: the driver's counts may have moved meanwhile.
    ASSERT_TRUE(e.rele().ClosePort());
    v.Sondear();
    EXPECT_TRUE(fuente.descriptores.size() == 1) << "a closed port is not read";
    ASSERT_TRUE(prueba::Conectar(e.rele()));
    c.trama = 12;
    fuente.poner(c);
    v.Sondear();
    Entregar();
    EXPECT_TRUE(Cajas().isEmpty());
    c.trama = 13;
    fuente.poner(c);
    v.Sondear();
    Entregar();
    EXPECT_EQ(Cajas(), QStringList{"comEventFrame"});
}

TEST_F(ErroresLineaTest, UnPuertoSinContadoresSeDiceUnaVez) {
    Conectar();
    // The driver keeps no counts (ENOTTY or EINVAL from the kernel, as for many USB adapters).
    VigilanteLinea v(e.puerto(), e.acceso.registro(), &fuente, 3600 * 1000, 0);
    fuente.lecturas.push_back({Estado::NoDisponible, {}});
    fuente.lecturas.push_back({Estado::NoDisponible, {}});
    v.Sondear();
    v.Sondear();
    // Said of the port's own path, here the link COM4 to the board's terminal.
    const QStringList lineas = Lineas("no informa de errores");
    ASSERT_EQ(lineas.size(), 1) << e.pantalla.log.join('\n').toStdString();
    EXPECT_TRUE(lineas[0].endsWith(
        QStringLiteral(" -> Interface de Apertura: el puerto %1 no informa de errores de "
                       "paridad, trama, break ni desbordamiento.")
            .arg(e.puerto().RutaPuerto(4))))
        << lineas[0].toStdString();
    Entregar();
    EXPECT_TRUE(Cajas().isEmpty());
}

// The kernel's own answer for a pseudo-terminal (the simulated board): it keeps no counts, and
// having no wire it has no line errors to miss: nothing is said.
TEST_F(ErroresLineaTest, ElTerminalDeUnaPlacaSimuladaNoSeNombra) {
    Conectar();
    VigilanteLinea real(e.puerto(), e.acceso.registro(), nullptr, 3600 * 1000, 0);
    real.Sondear();
    EXPECT_TRUE(Lineas("no informa").isEmpty());
    FuenteContadoresKernel kernel;
    EXPECT_EQ(kernel.Leer(e.puerto().Descriptor()).estado, Estado::SinLinea);
}

} // namespace
} // namespace portiva::prueba
