#include "CodigoAcceso.h"
#include "EstacionPrueba.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

namespace portiva::prueba {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

const QString kAperturaFallida =
    QStringLiteral("10:30:00 ->       Apertura Fallida : Interface de Apertura sin conexion.");

class TornoTest : public ::testing::Test {
protected:
    TornoTest() {
        // Blink ticks are driven by hand where a test needs them.
        e.modos().tmrBlink().stop();
    }

    // Board on COM4, connected, resting under fingerprint control, traffic so far forgotten.
    SimuladorRele& ConectarPlaca() {
        SimuladorRele& placa = e.placaEn(4);
        EXPECT_TRUE(Conectar(e.rele()));
        e.torno().PonerAccesoActual(CodigoAcceso::ControlPorHuella);
        e.torno().ActRelayBoard(CodigoAcceso::ControlPorHuella);
        EXPECT_TRUE(EsperarBytes(placa, 4, EsperaGenerosa));
        placa.olvidar();
        e.pantalla.limpiar();
        return placa;
    }

    void CrearSonidos() {
        QDir(e.carpeta.ruta()).mkdir(QStringLiteral("Sonidos"));
        for (int i = 0; i <= 4; ++i) {
            QFile f(e.carpeta.archivo(QStringLiteral("Sonidos/%1.wav").arg(i)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }

    EstacionPrueba e;
};

TEST_F(TornoTest, ClienteAdmitidoPulsaRelesUnoYSeisYVuelveAlByteAnterior) {
    SimuladorRele& placa = ConectarPlaca();
    CrearSonidos();

    EXPECT_TRUE(Abrir(e.torno(), CodigoAcceso::ClientePermitido));

    ASSERT_TRUE(EsperarBytes(placa, 5, EsperaGenerosa));
    EXPECT_EQ(placa.bytesRecibidos(), (Bytes{91, 92, 33, 92, 2}));
    const auto escrituras = EscriturasDeEstado(placa.recibidos());
    ASSERT_EQ(escrituras.size(), 2u);
    const long duracion = Milisegundos(escrituras[1].momento - escrituras[0].momento);
    EXPECT_GE(duracion, 450);
    EXPECT_LT(duracion, 3000);
    EXPECT_EQ(placa.estado(), 2);

    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::ClientePermitido);
    EXPECT_EQ(e.sonido.rutas, QStringList{e.carpeta.archivo("Sonidos/2.wav")});
    EXPECT_EQ(e.pantalla.resultados, std::vector<int>{2});
    ASSERT_EQ(e.pantalla.globos.size(), 1u);
    EXPECT_EQ(e.pantalla.globos[0].icono, 2);
    EXPECT_TRUE(e.pantalla.globos[0].titulo.isEmpty());
    EXPECT_TRUE(e.pantalla.globos[0].texto.isEmpty());
    EXPECT_EQ(e.pantalla.globos[0].flags, 0);
    EXPECT_EQ(e.torno().ContAperturas(2), 1);
    EXPECT_EQ(e.pantalla.contadores[2], 1);
    EXPECT_TRUE(e.pantalla.log.isEmpty());
}

TEST_F(TornoTest, RechazoPulsaSoloElReleSiete) {
    SimuladorRele& placa = ConectarPlaca();
    EXPECT_TRUE(Abrir(e.torno(), CodigoAcceso::ClienteDenegado));
    ASSERT_TRUE(EsperarBytes(placa, 5, EsperaGenerosa));
    EXPECT_EQ(placa.bytesRecibidos(), (Bytes{91, 92, 64, 92, 2}));
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::ClienteDenegado);
}

TEST_F(TornoTest, CadaTipoTieneSuMascara) {
    SimuladorRele& placa = ConectarPlaca();
    const std::pair<int, std::uint8_t> casos[] = {{0, 9}, {1, 17}, {2, 33}, {3, 64}, {4, 128}};
    for (auto [tipo, mascara] : casos) {
        placa.olvidar();
        Abrir(e.torno(), tipo);
        ASSERT_TRUE(EsperarBytes(placa, 5, EsperaGenerosa));
        EXPECT_EQ(placa.bytesRecibidos(), (Bytes{91, 92, mascara, 92, 2})) << tipo;
    }
}

TEST_F(TornoTest, FijoAbiertoOCerradoNoHaceNada) {
    SimuladorRele& placa = ConectarPlaca();
    CrearSonidos();
    for (int fijo : {CodigoAcceso::FijoAbierto, CodigoAcceso::FijoCerrado}) {
        e.torno().PonerAccesoActual(fijo);
        for (int tipo = 0; tipo <= 4; ++tipo)
            EXPECT_FALSE(Abrir(e.torno(), tipo));
        EXPECT_EQ(e.torno().AccesoActual(), fijo);
    }
    EXPECT_TRUE(e.sonido.rutas.isEmpty());
    EXPECT_TRUE(e.pantalla.resultados.empty());
    EXPECT_TRUE(e.pantalla.globos.empty());
    EXPECT_TRUE(e.pantalla.contadores.empty());
    EXPECT_TRUE(e.pantalla.log.isEmpty());
    EXPECT_FALSE(EsperarBytes(placa, 1, 100ms));
}

// Without a board the door does not open: the log says so, and an opening is neither
// counted nor shown as a success (the closed-door picture follows the type's); a refusal is
// still counted and shown as such.
TEST_F(TornoTest, PuertoCerradoNoSeMuestraComoApertura) {
    e.torno().PonerAccesoActual(CodigoAcceso::ControlPorHuella);
    EXPECT_FALSE(Abrir(e.torno(), CodigoAcceso::Personal));
    EXPECT_TRUE(e.torno().AperturaFallida());
    EXPECT_FALSE(Abrir(e.torno(), CodigoAcceso::HuellaDesconocida));
    EXPECT_EQ(e.pantalla.log, QStringList({kAperturaFallida, kAperturaFallida}));
    EXPECT_EQ(e.torno().ContAperturas(1), 0);
    EXPECT_EQ(e.torno().ContAperturas(4), 1);
    EXPECT_EQ(e.pantalla.contadores.count(1), 0u);
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::HuellaDesconocida);
    EXPECT_EQ(e.pantalla.resultados, (std::vector<int>{1, Torno::ImagenNoAbierta, 4}));
    ASSERT_EQ(e.pantalla.globos.size(), 3u);
    EXPECT_EQ(e.pantalla.globos[1].icono, Torno::ImagenNoAbierta);
}

TEST_F(TornoTest, TotalDeHoySumaManualesPersonalYAdmitidos) {
    ConectarPlaca();
    for (int i = 0; i < 3; ++i)
        Abrir(e.torno(), CodigoAcceso::ClientePermitido);
    for (int i = 0; i < 2; ++i)
        Abrir(e.torno(), CodigoAcceso::ClienteDenegado);
    AperturaManual(e.modos(), e.torno());
    EXPECT_EQ(e.pantalla.totalHoy, 4);
    EXPECT_EQ(e.pantalla.contadores[2], 3);
    EXPECT_EQ(e.pantalla.contadores[3], 2);
    EXPECT_EQ(e.pantalla.contadores[0], 1);
    EXPECT_EQ(e.torno().ContAperturas(5), 0);
}

TEST_F(TornoTest, SonidoApagadoOFicheroAusente) {
    ConectarPlaca();
    e.torno().PonerSonidoActivo(false);
    CrearSonidos();
    Abrir(e.torno(), CodigoAcceso::Personal);
    EXPECT_TRUE(e.sonido.rutas.isEmpty());
    EXPECT_EQ(e.torno().ContAperturas(1), 1);

    e.torno().PonerSonidoActivo(true);
    QFile::remove(e.carpeta.archivo("Sonidos/3.wav"));
    EXPECT_FALSE(e.torno().PlaySonido(3));
    EXPECT_TRUE(e.sonido.rutas.isEmpty());
    e.sonido.resultado = false;
    EXPECT_FALSE(e.torno().PlaySonido(1));
    e.sonido.resultado = true;
    EXPECT_TRUE(e.torno().PlaySonido(1));
}

TEST_F(TornoTest, ActRelayBoardEnviaElByteDeReposoDeCadaEstado) {
    SimuladorRele& placa = ConectarPlaca();
    const std::pair<int, std::uint8_t> casos[] = {{0, 2}, {1, 2},  {2, 2},  {3, 2},
                                                  {4, 2}, {5, 4},  {6, 4},  {7, 5},
                                                  {8, 2}, {11, 4}, {12, 4}, {13, 5}};
    Bytes esperados;
    for (auto [estado, byte] : casos) {
        e.torno().ActRelayBoard(estado);
        esperados.push_back(92);
        esperados.push_back(byte);
    }
    ASSERT_TRUE(EsperarBytes(placa, esperados.size(), EsperaGenerosa));
    EXPECT_EQ(placa.bytesRecibidos(), esperados);
    EXPECT_TRUE(e.torno().TornoAbierto());
    EXPECT_TRUE(e.rele().ClosePort());
    EXPECT_FALSE(e.torno().TornoNormal());
    EXPECT_FALSE(e.torno().TornoBloqueado());
    EXPECT_FALSE(e.torno().TornoAbierto());
}

TEST_F(TornoTest, PlacaMudaAlPedirEstadoNoPulsaPeroCambiaElEstado) {
    SimuladorRele& placa = ConectarPlaca();
    placa.ponerModo(ModoRespuesta::Ninguna);
    EXPECT_FALSE(Abrir(e.torno(), CodigoAcceso::Personal));
    EXPECT_EQ(placa.bytesRecibidos(), Bytes{91});
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::Personal);
    // The door did not open: said in the log, not passed off as a success.
    EXPECT_TRUE(e.torno().AperturaFallida());
    EXPECT_EQ(e.pantalla.log,
              QStringList{QStringLiteral(
                  "10:30:00 ->       Apertura Fallida : Interface de Apertura sin respuesta.")});
    EXPECT_TRUE(e.msgBox.mostrados.empty());

    // Once the board answers again the next access pulses and nothing more is logged.
    placa.ponerModo(ModoRespuesta::Normal);
    placa.olvidar();
    e.pantalla.log.clear();
    EXPECT_TRUE(Abrir(e.torno(), CodigoAcceso::Personal));
    EXPECT_FALSE(e.torno().AperturaFallida());
    EXPECT_TRUE(e.pantalla.log.isEmpty());
    ASSERT_TRUE(EsperarBytes(placa, 5, EsperaGenerosa));
    EXPECT_EQ(placa.estado(), 2);
}

// The operator opens something modal (a popup menu, a message box, a file picker) inside the
// pulse: its own event loop runs until it is closed, and the relays still come back to rest at
// the end of the pulse, while it is open, not when it closes.
TEST_F(TornoTest, VentanaModalDuranteElPulsoNoRetieneLosReles) {
    SimuladorRele& placa = ConectarPlaca();
    bool restoDentroDelModal = false;
    e.DuranteElPulso([&] {
        QEventLoop modal;
        QTimer cerrar;
        cerrar.setSingleShot(true);
        QObject::connect(&cerrar, &QTimer::timeout, &modal, &QEventLoop::quit);
        // Closed as soon as the resting byte is in, or after a long while if it never comes.
        QTimer vigilar;
        QObject::connect(&vigilar, &QTimer::timeout, &modal, [&] {
            if (placa.bytesRecibidos().size() >= 5) {
                restoDentroDelModal = true;
                modal.quit();
            }
        });
        vigilar.start(5);
        cerrar.start(8000);
        modal.exec();
    });
    EXPECT_TRUE(Abrir(e.torno(), CodigoAcceso::Personal));
    EXPECT_TRUE(restoDentroDelModal);
    ASSERT_TRUE(EsperarBytes(placa, 5, EsperaGenerosa));
    EXPECT_EQ(placa.bytesRecibidos(), (Bytes{91, 92, 17, 92, 2}));
    const auto escrituras = EscriturasDeEstado(placa.recibidos());
    ASSERT_EQ(escrituras.size(), 2u);
    EXPECT_GE(Milisegundos(escrituras[1].momento - escrituras[0].momento), 450);
    EXPECT_EQ(placa.estado(), 2);
    // Nothing written twice once the modal loop has closed and the pulse has ended.
    EXPECT_TRUE(EsperarSilencio(placa));
    EXPECT_EQ(placa.bytesRecibidos().size(), 5u);
}

// Noise waiting on the line is never restored onto the relays after a pulse.
TEST_F(TornoTest, RuidoPrevioNoSeRestauraComoEstado) {
    SimuladorRele& placa = ConectarPlaca();
    ASSERT_TRUE(placa.enviar({0xFF, 0x01}));
    ASSERT_TRUE(EsperarHasta([&] { return e.puerto().InBufferCount() == 2; }));
    placa.olvidar();
    EXPECT_TRUE(Abrir(e.torno(), CodigoAcceso::Personal));
    ASSERT_TRUE(EsperarBytes(placa, 5, EsperaGenerosa));
    EXPECT_EQ(placa.bytesRecibidos(), (Bytes{91, 92, 17, 92, 2}));
    EXPECT_EQ(placa.estado(), 2);
}

// Noise mixed with the status reply: no pulse at all rather than a wrong byte restored.
TEST_F(TornoTest, RuidoEnLaRespuestaNoPulsa) {
    SimuladorRele& placa = ConectarPlaca();
    placa.ponerRuidoAntesDeRespuesta({0xFF});
    EXPECT_FALSE(Abrir(e.torno(), CodigoAcceso::ClientePermitido));
    EXPECT_FALSE(EsperarBytes(placa, 2, 200ms));
    EXPECT_EQ(placa.estado(), 2);
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::ClientePermitido);
}

// A board line full of garbage while accesses come: some pulses are refused, none writes a
// garbage byte onto the relays, nothing breaks, and the relays end at rest.
TEST_F(TornoTest, RuidoContinuoNuncaLlegaALosReles) {
    SimuladorRele& placa = ConectarPlaca();
    std::atomic<bool> parar{false};
    std::thread ruido([&] {
        std::mt19937 azar(12345);
        while (!parar) {
            std::vector<std::uint8_t> bytes(1 + azar() % 4);
            for (auto& b : bytes)
                b = static_cast<std::uint8_t>(azar());
            placa.enviar(bytes);
            std::this_thread::sleep_for(std::chrono::milliseconds(10 + azar() % 80));
        }
    });
    int admitidosAbiertos = 0;
    for (int i = 0; i < 6; ++i)
        e.torno().AbrirTorno(i % 2 == 0 ? CodigoAcceso::ClientePermitido
                                        : CodigoAcceso::ClienteDenegado,
                             [&, i](bool abierto) {
                                 if (abierto && i % 2 == 0)
                                     ++admitidosAbiertos;
                             });
    EXPECT_TRUE(EsperarPuerta(e.torno()));
    parar = true;
    ruido.join();

    for (const EscrituraEstado& escritura : EscriturasDeEstado(placa.recibidos()))
        EXPECT_TRUE(escritura.estado == 33 || escritura.estado == 64 || escritura.estado == 2)
            << int(escritura.estado);
    EXPECT_EQ(placa.estado(), 2);
    // Only the admissions whose pulse went out are counted.
    EXPECT_EQ(e.torno().ContAperturas(CodigoAcceso::ClientePermitido), admitidosAbiertos);
    EXPECT_TRUE(e.rele().IsPortOpen());
}

TEST_F(TornoTest, DentroDelPulsoSeVeElEstadoAnterior) {
    ConectarPlaca();
    int visto = -1;
    e.DuranteElPulso([&] { visto = e.torno().AccesoActual(); });
    EXPECT_TRUE(Abrir(e.torno(), CodigoAcceso::Personal));
    EXPECT_EQ(visto, CodigoAcceso::ControlPorHuella);
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::Personal);
}

// A mode chosen while a pulse runs is kept, and its resting byte ends on the relays.
TEST_F(TornoTest, ModoElegidoDuranteElPulsoNoSePierde) {
    SimuladorRele& placa = ConectarPlaca();
    e.DuranteElPulso([&] {
        e.msgBox.responder(Respuesta::Si);
        e.modos().mnuDoNoReady_Open_Click();
    });

    Abrir(e.torno(), CodigoAcceso::ClientePermitido);
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::FijoAbierto);
    ASSERT_TRUE(EsperarBytes(placa, 9, EsperaGenerosa));
    EXPECT_EQ(placa.bytesRecibidos(), (Bytes{91, 92, 33, 92, 5, 92, 2, 92, 5}));
    EXPECT_EQ(placa.estado(), 5);
}

TEST_F(TornoTest, AperturaManual) {
    SimuladorRele& placa = ConectarPlaca();
    AperturaManual(e.modos(), e.torno());
    ASSERT_TRUE(EsperarBytes(placa, 5, EsperaGenerosa));
    EXPECT_EQ(placa.bytesRecibidos(), (Bytes{91, 92, 9, 92, 2}));
    ASSERT_EQ(e.pantalla.info.size(), 1u);
    EXPECT_EQ(e.pantalla.info[0].texto, QStringLiteral("Apertura manual del torno"));
    EXPECT_FALSE(e.pantalla.info[0].rojo);
    EXPECT_EQ(e.pantalla.log, QStringList{QStringLiteral("10:30:00 -> Apertura Manual del Torno")});
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::AperturaManual);
    EXPECT_TRUE(e.modos().tmrBlink().isActive());

    // Held fixed: the button does nothing.
    for (int fijo : {CodigoAcceso::FijoCerrado, CodigoAcceso::FijoAbierto}) {
        placa.olvidar();
        e.pantalla.limpiar();
        e.modos().tmrBlink().stop();
        e.torno().PonerAccesoActual(fijo);
        AperturaManual(e.modos(), e.torno());
        EXPECT_TRUE(e.pantalla.log.isEmpty());
        EXPECT_TRUE(e.pantalla.info.empty());
        EXPECT_FALSE(e.modos().tmrBlink().isActive());
        EXPECT_FALSE(EsperarBytes(placa, 1, 50ms));
    }
}

TEST_F(TornoTest, TipoFueraDeRangoNoActua) {
    e.torno().PonerAccesoActual(CodigoAcceso::ControlPorHuella);
    EXPECT_FALSE(Abrir(e.torno(), 5));
    EXPECT_FALSE(Abrir(e.torno(), -1));
    EXPECT_TRUE(e.pantalla.resultados.empty());
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::ControlPorHuella);
}

} // namespace
} // namespace portiva::prueba
