// The door on a thread of its own: its calls to the window arrive as queued calls, in order, on
// the window's thread; its questions are answered later without holding it; the window's
// thread may be busy while the door opens the turnstile.
#include "HiloPuerta.h"
#include "Buzon.h"
#include "CodigoAcceso.h"
#include "ControlAcceso.h"
#include "Entorno.h"
#include "EstacionPrueba.h"
#include "PantallaPrueba.h"
#include "PantallasDiferidas.h"
#include "PreguntaPuerta.h"
#include "PuertaAsincrona.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

using namespace portiva;
using namespace portiva::prueba;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A PantallaAcceso that notes on which thread each call came.
class PantallaConHilo final : public PantallaAcceso {
public:
    void EscribirLog(const QString& linea) override {
        anotar();
        log.append(linea);
    }
    void MostrarResultado(int indice) override {
        anotar();
        log.append(QStringLiteral("resultado %1").arg(indice));
    }
    void ShowBallon(int icono, const QString&, const QString&, int) override {
        anotar();
        log.append(QStringLiteral("bandeja %1").arg(icono));
    }
    void InfoHuella(const QString& texto, bool) override {
        anotar();
        log.append(QStringLiteral("info ") + texto);
    }
    void HabilitarAperturaManual(bool) override { anotar(); }
    void MostrarContAperturas(int tipo, long valor, long) override {
        anotar();
        log.append(QStringLiteral("contador %1 %2").arg(tipo).arg(valor));
    }
    void anotar() {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            fueraDelHilo = true;
    }
    QStringList log;
    bool fueraDelHilo = false;
};

} // namespace

TEST(HiloPuerta, EveryCallOfTheDoorReachesTheWindowInOrderOnItsThread) {
    PantallaConHilo ventana;
    Buzon contextoVentana;
    HiloPuerta hilo;
    std::unique_ptr<PantallaAccesoDiferida> diferida;
    hilo.Construir(
        [&] { diferida = std::make_unique<PantallaAccesoDiferida>(ventana, contextoVentana); });
    QStringList esperado;
    for (int i = 0; i < 2000; ++i) {
        esperado.append(QStringLiteral("linea %1").arg(i));
        if (i % 100 == 0)
            esperado.append(QStringLiteral("contador 2 %1").arg(i));
    }
    std::atomic<bool> enElHilo{false};
    hilo.Enviar([&] {
        enElHilo = hilo.enHilo();
        for (int i = 0; i < 2000; ++i) {
            diferida->EscribirLog(QStringLiteral("linea %1").arg(i));
            if (i % 100 == 0)
                diferida->MostrarContAperturas(2, i, i);
        }
    });
    ASSERT_TRUE(EsperarHasta([&] { return ventana.log.size() >= esperado.size(); }));
    EXPECT_TRUE(enElHilo);
    EXPECT_EQ(ventana.log, esperado);
    EXPECT_FALSE(ventana.fueraDelHilo);
    hilo.Enviar([&] {
        diferida.reset();
        hilo.Salir();
    });
    EXPECT_TRUE(hilo.Unir(20000));
}

TEST(HiloPuerta, AQuestionIsAnsweredLaterWhileTheDoorGoesOn) {
    MsgBoxGuion msgBox;
    Buzon contextoVentana;
    HiloPuerta hilo;
    std::unique_ptr<MsgBoxDiferido> diferido;
    hilo.Construir([&] {
        diferido = std::make_unique<MsgBoxDiferido>(msgBox, contextoVentana, *hilo.contexto());
    });
    // The door asks, then goes on counting on its own timer; the operator answers only once
    // the door has counted three times.
    std::atomic<int> cuenta{0};
    std::optional<Respuesta> respuesta;
    std::atomic<bool> respondidaEnElHilo{false};
    std::atomic<int> cuentaAlResponder{-1};
    // The information box the door posts next is shown (and answered) while the question is
    // still open: the question gets the second answer.
    msgBox.responder(Respuesta::Aceptar);
    msgBox.responder(Respuesta::Si);
    msgBox.alMostrar = [&](const MsgBoxGuion::Mostrado& m) {
        if (m.titulo == QStringLiteral("Fijar Dispositivo de Apertura"))
            EsperarHasta([&] { return cuenta >= 3; });
    };
    QTimer* tic = nullptr; // made on the door's thread, a child of its context
    hilo.Enviar([&] {
        diferido->Preguntar(QStringLiteral("Seguro?"), EstiloMsg::SiNoExclamacion,
                            QStringLiteral("Fijar Dispositivo de Apertura"), [&](Respuesta r) {
                                respondidaEnElHilo = hilo.enHilo();
                                cuentaAlResponder = cuenta.load();
                                respuesta = r;
                            });
        // A box that only informs does not wait either.
        EXPECT_EQ((*diferido)(QStringLiteral("comBreak"), EstiloMsg::Ok), Respuesta::Aceptar);
        tic = new QTimer(hilo.contexto());
        QObject::connect(tic, &QTimer::timeout, [&] { ++cuenta; });
        tic->start(5);
    });
    ASSERT_TRUE(EsperarHasta([&] { return cuentaAlResponder >= 0; }));
    EXPECT_TRUE(respondidaEnElHilo);
    EXPECT_GE(cuentaAlResponder, 3);
    ASSERT_EQ(msgBox.mostrados.size(), 2u);
    EXPECT_EQ(msgBox.mostrados[0].titulo, QStringLiteral("Fijar Dispositivo de Apertura"));
    EXPECT_EQ(msgBox.mostrados[1].texto, QStringLiteral("comBreak"));
    hilo.Enviar([&] {
        tic->stop();
        EXPECT_EQ(respuesta, Respuesta::Si);
        diferido.reset();
        hilo.Salir();
    });
    EXPECT_TRUE(hilo.Unir(20000));
}

// The whole door (port, board, turnstile, modes) made and run on its own thread, the window's
// thread blocked outright while three accesses are acted on: every pulse goes out complete and
// in order, and what the door showed arrives afterwards, in order.
TEST(HiloPuerta, TheDoorPulsesWhileTheWindowsThreadIsBlocked) {
    CarpetaTemporal carpeta;
    MsgBoxGuion msgBox;
    RelojFijo reloj;
    PantallaConHilo ventana;
    SonidoPrueba sonido;
    CapturaPrueba captura;
    Buzon contextoVentana;
    auto placa = PlacaEnPuerto(carpeta.ruta(), 4);
    ASSERT_NE(placa, nullptr);

    HiloPuerta hilo;
    std::unique_ptr<MsgBoxDiferido> msgBoxPuerta;
    std::unique_ptr<PantallaAccesoDiferida> pantalla;
    std::unique_ptr<SonidoDiferido> sonidoPuerta;
    std::unique_ptr<Entorno> entorno;
    std::unique_ptr<ControlAcceso> acceso;
    hilo.Construir([&] {
        msgBoxPuerta = std::make_unique<MsgBoxDiferido>(msgBox, contextoVentana, *hilo.contexto());
        pantalla = std::make_unique<PantallaAccesoDiferida>(ventana, contextoVentana);
        sonidoPuerta = std::make_unique<SonidoDiferido>(sonido, contextoVentana);
        entorno = std::make_unique<Entorno>(Entorno{carpeta.ruta(), *msgBoxPuerta, reloj});
        acceso = std::make_unique<ControlAcceso>(*entorno, *pantalla, *sonidoPuerta, captura,
                                                 carpeta.archivo("sin-dispositivos/ttyS"),
                                                 msgBoxPuerta.get());
    });
    std::atomic<bool> conectada{false};
    hilo.Enviar([&] { acceso->modos().InitRelayInterface([&] { conectada = true; }); });
    ASSERT_TRUE(EsperarHasta([&] { return conectada.load(); }));
    hilo.Enviar([&] { acceso->torno().ActRelayBoard(CodigoAcceso::ControlPorHuella); });
    ASSERT_TRUE(EsperarHasta([&] { return placa->estado() == 2; }));
    placa->olvidar();

    // Three accesses asked for, then the window's thread does nothing until the board has
    // seen all three pulses end (or a generous limit passes).
    hilo.Enviar([&] {
        acceso->torno().AbrirTorno(CodigoAcceso::Personal);
        acceso->torno().AbrirTorno(CodigoAcceso::ClientePermitido);
        acceso->torno().AbrirTorno(CodigoAcceso::HuellaDesconocida);
    });
    QSemaphore listo;
    std::atomic<bool> completos{false};
    std::thread vigia([&] {
        const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < limite && placa->bytesRecibidos().size() < 15)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        completos = placa->bytesRecibidos().size() >= 15;
        listo.release();
    });
    listo.acquire();
    vigia.join();
    EXPECT_TRUE(completos);
    EXPECT_EQ(placa->bytesRecibidos(),
              (Bytes{91, 92, 17, 92, 2, 91, 92, 33, 92, 2, 91, 92, 128, 92, 2}));
    const std::vector<long> pulsos = LargosDePulso(placa->recibidos());
    ASSERT_EQ(pulsos.size(), 3u);
    for (const long pulso : pulsos) {
        EXPECT_GE(pulso, 450);
        EXPECT_LT(pulso, 5000);
    }
    // The counts come to the window once it runs again, in the order of the accesses.
    ASSERT_TRUE(EsperarHasta([&] { return ventana.log.contains(QStringLiteral("contador 4 1")); }));
    const qsizetype personal = ventana.log.indexOf(QStringLiteral("contador 1 1"));
    const qsizetype cliente = ventana.log.indexOf(QStringLiteral("contador 2 1"));
    const qsizetype desconocido = ventana.log.indexOf(QStringLiteral("contador 4 1"));
    EXPECT_GE(personal, 0);
    EXPECT_LT(personal, cliente);
    EXPECT_LT(cliente, desconocido);
    EXPECT_FALSE(ventana.fueraDelHilo);

    hilo.Enviar([&] {
        acceso.reset();
        entorno.reset();
        sonidoPuerta.reset();
        pantalla.reset();
        msgBoxPuerta.reset();
        hilo.Salir();
    });
    EXPECT_TRUE(hilo.Unir(20000));
}

namespace {

// Questions kept until the test answers them.
class PreguntasPendientes final : public PreguntaPuerta {
public:
    void Preguntar(const QString& texto, int, const QString& titulo,
                   std::function<void(Respuesta)> alResponder) override {
        textos.append(titulo + QStringLiteral(": ") + texto);
        pendientes.push_back(std::move(alResponder));
    }
    void responder(Respuesta r) {
        auto f = std::move(pendientes.front());
        pendientes.erase(pendientes.begin());
        f(r);
    }
    QStringList textos;
    std::vector<std::function<void(Respuesta)>> pendientes;
};

} // namespace

// "Fijar a Abierto" asks first; the door keeps working while the question is open, and fixes
// the state only when "Si" comes.
TEST(HiloPuerta, FixingTheDoorWaitsForTheAnswerWithoutHoldingTheDoor) {
    CarpetaTemporal carpeta;
    MsgBoxGuion msgBox;
    RelojFijo reloj;
    Entorno entorno{carpeta.ruta(), msgBox, reloj};
    PantallaPrueba pantalla;
    SonidoPrueba sonido;
    CapturaPrueba captura;
    PreguntasPendientes preguntas;
    auto placa = PlacaEnPuerto(carpeta.ruta(), 4);
    ASSERT_NE(placa, nullptr);
    ControlAcceso acceso(entorno, pantalla, sonido, captura,
                         carpeta.archivo("sin-dispositivos/ttyS"), &preguntas);
    ASSERT_TRUE(Conectar(acceso.rele()));
    acceso.torno().PonerAccesoActual(CodigoAcceso::ControlPorHuella);

    acceso.modos().mnuDoNoReady_Open_Click();
    ASSERT_EQ(preguntas.textos,
              QStringList{QStringLiteral("Fijar Dispositivo de Apertura: Esta seguro de querer "
                                         "fijar el Dispositivo de Apertura en ABIERTO?")});
    EXPECT_EQ(acceso.torno().AccesoActual(), CodigoAcceso::ControlPorHuella);
    placa->olvidar();
    // An access while the operator thinks: acted on at once.
    EXPECT_TRUE(Abrir(acceso.torno(), CodigoAcceso::ClientePermitido));
    ASSERT_TRUE(EsperarHasta([&] { return placa->bytesRecibidos().size() >= 5; }));
    EXPECT_EQ(placa->bytesRecibidos(), (Bytes{91, 92, 33, 92, 0}));

    placa->olvidar();
    preguntas.responder(Respuesta::Si);
    EXPECT_EQ(acceso.torno().AccesoActual(), CodigoAcceso::FijoAbierto);
    EXPECT_TRUE(
        pantalla.log.last().endsWith(QStringLiteral(" -> Fijado Disp. Apertura en ABIERTO!")))
        << qPrintable(pantalla.log.last());
    ASSERT_TRUE(EsperarHasta([&] { return placa->bytesRecibidos().size() >= 2; }));
    EXPECT_EQ(placa->bytesRecibidos(), (Bytes{92, 5}));

    // "No" to the other question changes nothing.
    acceso.modos().mnuDoNoReady_Closed_Click();
    preguntas.responder(Respuesta::No);
    EXPECT_EQ(acceso.torno().AccesoActual(), CodigoAcceso::FijoAbierto);
}
