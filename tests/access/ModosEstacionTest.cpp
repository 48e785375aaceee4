#include "CodigoAcceso.h"
#include "EstacionPrueba.h"
#include "EventoComm.h"

#include <gtest/gtest.h>

namespace portiva::prueba {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

const QString kB3 = QStringLiteral(
    "El dispositivo de apertura no ha sido detectado, asegurese de que esta correctamente "
    "conectado y los drivers instalados. Gracias");
const QString kB2 = QStringLiteral(
    "Ha fallado el intento de conexion con el dispositivo de apertura. Asegurese de que esta "
    "correctamente conectado e intentelo de nuevo desde el menu.");
const QString kB4 = QStringLiteral(
    "El Lector de Huella no ha sido detectado, asegurese de que esta correctamente conectado y "
    "los drivers instalados. Gracias");
const QString kB5 = QStringLiteral(
    "Se ha establecido una conexion con el Lector de la Huella, el lector esta listo.");
const QString kB6 = QStringLiteral("Se ha perdido la conexion con el Lector de la Huella. "
                                   "Compruebe las conexiones e intentelo de nuevo. Gracias.");
const QString kPreguntaEnlace =
    QStringLiteral("Se ha perdido la comunicacion con el sistema de apertura, revise las "
                   "conexiones.\r\nPulse 'Si' para intentar conectar de nuevo o 'No' para "
                   "descartar.");

class ModosEstacionTest : public ::testing::Test {
protected:
    ModosEstacionTest() { e.modos().tmrBlink().stop(); }

    // Board on COM4, found at start-up, station under fingerprint control; traffic forgotten.
    SimuladorRele& Arrancar() {
        SimuladorRele& placa = e.placaEn(4);
        // The reader timeout runs only where a test fires it.
        e.modos().tmrDetectarLector().setInterval(3600 * 1000);
        IniciarRele(e.modos());
        e.modos().EntrarEnControlPorHuella();
        EXPECT_TRUE(EsperarBytes(placa, 4, EsperaGenerosa));
        placa.olvidar();
        e.pantalla.limpiar();
        e.msgBox.limpiar();
        return placa;
    }

    // The state byte the board received last, waiting for it to arrive.
    std::uint8_t UltimoByte(SimuladorRele& placa, std::size_t bytes) {
        EXPECT_TRUE(EsperarBytes(placa, bytes, EsperaGenerosa));
        const Bytes recibidos = placa.bytesRecibidos();
        EXPECT_EQ(recibidos.size(), bytes);
        return recibidos.empty() ? 0 : recibidos.back();
    }

    EstacionPrueba e;
};

TEST_F(ModosEstacionTest, ArranqueConPlacaEscribeLineaSinGloboNiOrden) {
    SimuladorRele& placa = e.placaEn(6);
    placa.ponerVersion(3);
    IniciarRele(e.modos());
    EXPECT_EQ(e.pantalla.log, QStringList{QStringLiteral(
                                  "10:30:00 -> Interface de Apertura detectado en puerto serie "
                                  "6. Version 3.0.")});
    EXPECT_TRUE(e.pantalla.globos.empty());
    ASSERT_TRUE(EsperarBytes(placa, 2, EsperaGenerosa));
    EXPECT_EQ(placa.bytesRecibidos(), (Bytes{90, 110}));

    e.modos().EntrarEnControlPorHuella();
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::ControlPorHuella);
    EXPECT_EQ(e.pantalla.resultados, std::vector<int>{8});
    ASSERT_EQ(e.pantalla.info.size(), 1u);
    EXPECT_EQ(e.pantalla.info[0].texto, QStringLiteral("Sistema de Apertura por Huella"));
    EXPECT_FALSE(e.modos().LectorDetectado());
    EXPECT_TRUE(e.modos().tmrDetectarLector().isActive());
    EXPECT_EQ(UltimoByte(placa, 4), 2);
}

TEST_F(ModosEstacionTest, ArranqueSinPlacaAvisaConGlobo) {
    IniciarRele(e.modos());
    EXPECT_EQ(e.pantalla.log,
              QStringList{QStringLiteral("10:30:00 -> Error: Interface de Apertura no detectado")});
    ASSERT_EQ(e.pantalla.globos.size(), 1u);
    EXPECT_EQ(e.pantalla.globos[0].icono, IconoVentana);
    EXPECT_EQ(e.pantalla.globos[0].titulo, QStringLiteral("Control de Accesos: Error"));
    EXPECT_EQ(e.pantalla.globos[0].texto, kB3);
    EXPECT_EQ(e.pantalla.globos[0].flags, 2);
}

TEST_F(ModosEstacionTest, ReconexionDesdeElMenu) {
    e.torno().PonerAccesoActual(CodigoAcceso::FijoAbierto);
    Reconectar(e.modos());
    EXPECT_EQ(e.pantalla.log,
              QStringList{QStringLiteral(
                  "10:30:00 -> Error: Interface de Apertura , fallo en la reconexión")});
    ASSERT_EQ(e.pantalla.globos.size(), 1u);
    EXPECT_EQ(e.pantalla.globos[0].icono, IconoVentana);
    EXPECT_EQ(e.pantalla.globos[0].titulo, QStringLiteral("Control de Accesos: Error"));
    EXPECT_EQ(e.pantalla.globos[0].texto, kB2);
    EXPECT_EQ(e.pantalla.globos[0].flags, 2);

    e.pantalla.limpiar();
    SimuladorRele& placa = e.placaEn(7);
    Reconectar(e.modos());
    EXPECT_EQ(e.pantalla.log, QStringList{QStringLiteral(
                                  "10:30:00 -> Interface de Apertura detectado en puerto serie "
                                  "7. Version 1.0.")});
    ASSERT_EQ(e.pantalla.globos.size(), 1u);
    EXPECT_EQ(e.pantalla.globos[0].icono, IconoVentana);
    EXPECT_EQ(e.pantalla.globos[0].titulo, QStringLiteral("Control de Accesos"));
    EXPECT_EQ(e.pantalla.globos[0].texto,
              QStringLiteral("Interface de Apertura detectado en puerto serie 7. Version 1.0. "
                             "Exito en la conexion."));
    EXPECT_EQ(e.pantalla.globos[0].flags, 1);
    // The current state's byte follows the connection.
    EXPECT_EQ(UltimoByte(placa, 4), 5);

    // With the port open the command never disconnects nor scans.
    e.pantalla.limpiar();
    placa.olvidar();
    Reconectar(e.modos());
    EXPECT_TRUE(e.pantalla.log.isEmpty());
    EXPECT_TRUE(e.rele().IsPortOpen());
    EXPECT_FALSE(EsperarBytes(placa, 1, 100ms));
}

TEST_F(ModosEstacionTest, FijarPreguntaYSoloConSiCambia) {
    SimuladorRele& placa = Arrancar();
    e.modos().mnuDoNoReady_Closed_Click(); // the script answers No
    ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
    EXPECT_EQ(e.msgBox.ultimo().texto,
              QStringLiteral("Esta seguro de querer fijar el Dispositivo de Apertura en CERRADO?"));
    EXPECT_EQ(e.msgBox.ultimo().estilo, 52);
    EXPECT_EQ(e.msgBox.ultimo().titulo, QStringLiteral("Fijar Dispositivo de Apertura"));
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::ControlPorHuella);
    EXPECT_TRUE(e.pantalla.log.isEmpty());

    e.msgBox.responder(Respuesta::Si);
    e.modos().mnuDoNoReady_Closed_Click();
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::FijoCerrado);
    ASSERT_EQ(e.pantalla.info.size(), 1u);
    EXPECT_EQ(e.pantalla.info[0].texto, QStringLiteral("Fijado Disp. Apertura en CERRADO!"));
    EXPECT_TRUE(e.pantalla.info[0].rojo);
    EXPECT_EQ(e.pantalla.log,
              QStringList{QStringLiteral("10:30:00 -> Fijado Disp. Apertura en CERRADO!")});
    ASSERT_EQ(e.pantalla.globos.size(), 1u);
    EXPECT_EQ(e.pantalla.globos[0].icono, 6);
    EXPECT_EQ(e.pantalla.globos[0].flags, 0);
    EXPECT_TRUE(e.pantalla.globos[0].titulo.isEmpty());
    EXPECT_EQ(e.pantalla.aperturaManual, std::vector<bool>{false});
    EXPECT_TRUE(e.pantalla.resultados.empty()); // left to the next blink tick
    EXPECT_EQ(UltimoByte(placa, 2), 4);

    e.msgBox.responder(Respuesta::Si);
    e.modos().mnuDoNoReady_Open_Click();
    EXPECT_EQ(e.msgBox.ultimo().texto,
              QStringLiteral("Esta seguro de querer fijar el Dispositivo de Apertura en ABIERTO?"));
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::FijoAbierto);
    EXPECT_EQ(e.pantalla.log.last(),
              QStringLiteral("10:30:00 -> Fijado Disp. Apertura en ABIERTO!"));
    EXPECT_EQ(e.pantalla.globos.back().icono, 7);
    EXPECT_EQ(UltimoByte(placa, 4), 5);
}

TEST_F(ModosEstacionTest, ControlPorHuellaConYSinLector) {
    SimuladorRele& placa = Arrancar();
    e.torno().PonerAccesoActual(CodigoAcceso::FijoCerrado);
    e.modos().mnuDoReady_Click();
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::LectorNoDetectado);
    EXPECT_EQ(e.pantalla.resultados, std::vector<int>{5});
    EXPECT_EQ(e.pantalla.log,
              QStringList{QStringLiteral("10:30:00 -> Error: Lector huella no detectado.")});
    ASSERT_EQ(e.pantalla.info.size(), 1u);
    EXPECT_EQ(e.pantalla.info[0].texto, QStringLiteral("Lector de la huella no detectado"));
    EXPECT_TRUE(e.pantalla.info[0].rojo);
    ASSERT_EQ(e.pantalla.globos.size(), 1u);
    EXPECT_EQ(e.pantalla.globos[0].icono, 5);
    EXPECT_EQ(e.pantalla.globos[0].titulo, QStringLiteral("Control de Accesos: Error"));
    EXPECT_EQ(e.pantalla.globos[0].texto, kB4);
    EXPECT_EQ(e.pantalla.globos[0].flags, 2);
    EXPECT_EQ(e.pantalla.aperturaManual, std::vector<bool>{true});
    EXPECT_EQ(UltimoByte(placa, 2), 4);
    EXPECT_TRUE(e.msgBox.mostrados.empty());

    e.pantalla.limpiar();
    e.modos().PonerLectorDetectado(true);
    e.modos().mnuDoReady_Click();
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::ControlPorHuella);
    EXPECT_EQ(e.pantalla.resultados, std::vector<int>{8});
    EXPECT_EQ(e.pantalla.log,
              QStringList{QStringLiteral("10:30:00 -> Sistema de Apertura por Huella")});
    ASSERT_EQ(e.pantalla.info.size(), 1u);
    EXPECT_FALSE(e.pantalla.info[0].rojo);
    ASSERT_EQ(e.pantalla.globos.size(), 1u);
    EXPECT_EQ(e.pantalla.globos[0].icono, 8);
    EXPECT_EQ(e.pantalla.globos[0].flags, 0);
    EXPECT_EQ(e.pantalla.aperturaManual, std::vector<bool>{true});
    EXPECT_EQ(UltimoByte(placa, 4), 2);
}

TEST_F(ModosEstacionTest, LectorConectadoYDesconectado) {
    SimuladorRele& placa = Arrancar();
    e.modos().MotorHuellaCtrl_SensorConnected(QStringLiteral("USB-1"));
    EXPECT_TRUE(e.modos().LectorDetectado());
    EXPECT_FALSE(e.modos().tmrDetectarLector().isActive());
    EXPECT_EQ(e.pantalla.log,
              QStringList{QStringLiteral("10:30:00 -> Lector huella USB-1 conectado.")});
    EXPECT_EQ(e.pantalla.resultados, std::vector<int>{8});
    ASSERT_EQ(e.pantalla.globos.size(), 1u);
    EXPECT_EQ(e.pantalla.globos[0].icono, 8);
    EXPECT_EQ(e.pantalla.globos[0].titulo, QStringLiteral("Control de Accesos:"));
    EXPECT_EQ(e.pantalla.globos[0].texto, kB5);
    EXPECT_EQ(e.pantalla.globos[0].flags, 1);
    EXPECT_TRUE(e.pantalla.info.empty());
    EXPECT_EQ(e.captura.iniciadas, QStringList{QStringLiteral("USB-1")});
    EXPECT_EQ(UltimoByte(placa, 2), 2);

    e.pantalla.limpiar();
    e.modos().MotorHuellaCtrl_SensorDisconnected(QStringLiteral("USB-1"));
    EXPECT_FALSE(e.modos().LectorDetectado());
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::LectorNoDetectado);
    EXPECT_EQ(e.pantalla.log,
              QStringList{QStringLiteral("10:30:00 -> Lector huella USB-1 desconectado.")});
    EXPECT_EQ(e.pantalla.resultados, std::vector<int>{5});
    ASSERT_EQ(e.pantalla.globos.size(), 1u);
    EXPECT_EQ(e.pantalla.globos[0].icono, 5);
    EXPECT_EQ(e.pantalla.globos[0].titulo, QStringLiteral("Control de Accesos:"));
    EXPECT_EQ(e.pantalla.globos[0].texto, kB6);
    EXPECT_EQ(e.pantalla.globos[0].flags, 2);
    EXPECT_EQ(e.captura.detenidas, QStringList{QStringLiteral("USB-1")});
    EXPECT_FALSE(e.modos().tmrDetectarLector().isActive());
    EXPECT_EQ(UltimoByte(placa, 4), 4);
}

TEST_F(ModosEstacionTest, ImagenDeArchivoNoCambiaNada) {
    SimuladorRele& placa = Arrancar();
    e.modos().MotorHuellaCtrl_SensorConnected(QStringLiteral("File"));
    e.modos().MotorHuellaCtrl_SensorDisconnected(QStringLiteral("File"));
    EXPECT_FALSE(e.modos().LectorDetectado());
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::ControlPorHuella);
    EXPECT_TRUE(e.modos().tmrDetectarLector().isActive());
    EXPECT_TRUE(e.pantalla.log.isEmpty());
    EXPECT_EQ(e.captura.iniciadas, QStringList{QStringLiteral("File")});
    EXPECT_EQ(e.captura.detenidas, QStringList{QStringLiteral("File")});
    EXPECT_FALSE(EsperarBytes(placa, 1, 100ms));
}

TEST_F(ModosEstacionTest, SinLectorTrasElPlazoPasaAEstadoCinco) {
    SimuladorRele& placa = Arrancar();
    e.modos().tmrDetectarLector_Timer();
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::LectorNoDetectado);
    EXPECT_EQ(e.pantalla.log,
              QStringList{QStringLiteral("10:30:00 -> Error: Lector huella no detectado.")});
    ASSERT_EQ(e.pantalla.info.size(), 1u);
    EXPECT_EQ(e.pantalla.info[0].texto, QStringLiteral("Lector de la huella no detectado"));
    EXPECT_TRUE(e.pantalla.info[0].rojo);
    EXPECT_EQ(e.pantalla.resultados, std::vector<int>{5});
    ASSERT_EQ(e.pantalla.globos.size(), 1u);
    EXPECT_EQ(e.pantalla.globos[0].icono, 5);
    EXPECT_EQ(e.pantalla.globos[0].texto, kB4);
    EXPECT_FALSE(e.modos().tmrDetectarLector().isActive());
    EXPECT_EQ(UltimoByte(placa, 2), 4);
}

TEST_F(ModosEstacionTest, PlazoDelLectorCorreDeVerdadUnaSolaVez) {
    e.modos().tmrDetectarLector().setInterval(30);
    e.modos().EntrarEnControlPorHuella();
    ASSERT_TRUE(
        EsperarHasta([&] { return e.torno().AccesoActual() == CodigoAcceso::LectorNoDetectado; }));
    EsperarHasta([] { return false; }, 200);
    EXPECT_EQ(
        e.pantalla.log.count(QStringLiteral("10:30:00 -> Error: Lector huella no detectado.")), 1);
}

TEST_F(ModosEstacionTest, LectorAntesDelPlazoNuncaDiceQueFalta) {
    e.modos().tmrDetectarLector().setInterval(100);
    e.modos().EntrarEnControlPorHuella();
    e.modos().MotorHuellaCtrl_SensorConnected(QStringLiteral("USB-1"));
    EXPECT_FALSE(e.modos().tmrDetectarLector().isActive());
    EsperarHasta([] { return false; }, 300);
    for (const QString& linea : e.pantalla.log)
        EXPECT_FALSE(linea.contains(QStringLiteral("no detectado"))) << linea.toStdString();
    // Even a late tick finds the reader present.
    e.modos().tmrDetectarLector_Timer();
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::ControlPorHuella);
}

TEST_F(ModosEstacionTest, FijoAbiertoYLectorDesenchufadoSueltaLaPuerta) {
    SimuladorRele& placa = Arrancar();
    e.msgBox.responder(Respuesta::Si);
    e.modos().mnuDoNoReady_Open_Click();
    EXPECT_EQ(UltimoByte(placa, 2), 5);
    e.modos().MotorHuellaCtrl_SensorDisconnected(QStringLiteral("USB-1"));
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::LectorNoDetectado);
    EXPECT_EQ(UltimoByte(placa, 4), 4);
    // Out of the fixed state the manual opening is possible again.
    EXPECT_EQ(e.pantalla.aperturaManual, (std::vector<bool>{false, true}));
}

TEST_F(ModosEstacionTest, FijoCerradoYLectorEnchufadoVuelveAlControl) {
    SimuladorRele& placa = Arrancar();
    e.msgBox.responder(Respuesta::Si);
    e.modos().mnuDoNoReady_Closed_Click();
    EXPECT_EQ(UltimoByte(placa, 2), 4);
    e.modos().MotorHuellaCtrl_SensorConnected(QStringLiteral("USB-1"));
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::ControlPorHuella);
    EXPECT_EQ(UltimoByte(placa, 4), 2);
    EXPECT_EQ(e.pantalla.aperturaManual, (std::vector<bool>{false, true}));
}

TEST_F(ModosEstacionTest, ParpadeoAlternaLasImagenesDeLosEstadosFijos) {
    e.torno().PonerAccesoActual(CodigoAcceso::FijoCerrado);
    for (int i = 0; i < 4; ++i)
        e.modos().tmrBlink_Timer();
    EXPECT_EQ(e.pantalla.resultados, (std::vector<int>{12, 6, 12, 6}));

    e.pantalla.limpiar();
    e.torno().PonerAccesoActual(CodigoAcceso::ControlPorHuella);
    e.modos().tmrBlink_Timer();
    e.torno().PonerAccesoActual(CodigoAcceso::ClientePermitido);
    e.modos().tmrBlink_Timer();
    EXPECT_TRUE(e.pantalla.resultados.empty());
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::ClientePermitido);
}

TEST_F(ModosEstacionTest, AperturaManualEnEstadoCincoVuelveACinco) {
    SimuladorRele& placa = Arrancar();
    e.modos().tmrDetectarLector_Timer();
    e.modos().tmrBlink_Timer();
    EXPECT_EQ(UltimoByte(placa, 2), 4);
    placa.olvidar();
    e.pantalla.limpiar();

    AperturaManual(e.modos(), e.torno());
    ASSERT_TRUE(EsperarBytes(placa, 5, EsperaGenerosa));
    EXPECT_EQ(placa.bytesRecibidos(), (Bytes{91, 92, 9, 92, 4}));
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::AperturaManual);
    e.modos().tmrBlink().stop();

    e.pantalla.resultados.clear();
    e.modos().tmrBlink_Timer();
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::LectorNoDetectado);
    e.modos().tmrBlink_Timer();
    EXPECT_EQ(e.pantalla.resultados.size(), 2u);
    EXPECT_TRUE(e.pantalla.resultados[0] == 5 || e.pantalla.resultados[0] == 11);
    EXPECT_NE(e.pantalla.resultados[0], e.pantalla.resultados[1]);
    // No relay byte is sent by the blink: the pulse already restored it.
    EXPECT_FALSE(EsperarBytes(placa, 6, 100ms));
}

TEST_F(ModosEstacionTest, TemporizadorDeParpadeoCorreSolo) {
    // The timers as the station makes them: the blink every 750 ms; the reader detection
    // once, 5000 ms after the start-up enables it.
    EXPECT_EQ(e.modos().tmrBlink().interval(), 750);
    EXPECT_FALSE(e.modos().tmrBlink().isSingleShot());
    EXPECT_EQ(e.modos().tmrDetectarLector().interval(), 5000);
    EXPECT_TRUE(e.modos().tmrDetectarLector().isSingleShot());
    EXPECT_FALSE(e.modos().tmrDetectarLector().isActive());

    e.torno().PonerAccesoActual(CodigoAcceso::FijoAbierto);
    e.modos().tmrBlink().setInterval(20);
    e.modos().tmrBlink().start();
    ASSERT_TRUE(EsperarHasta([&] { return e.pantalla.resultados.size() >= 3; }));
    EXPECT_NE(e.pantalla.resultados[0], e.pantalla.resultados[1]);
}

// The transitions of the station end to end, with the relay byte each one leaves on the board.
TEST_F(ModosEstacionTest, TablaDeTransiciones) {
    SimuladorRele& placa = Arrancar();
    std::size_t bytes = 0;
    auto paso = [&](const char* que, int estado, int byte, std::size_t nuevos) {
        bytes += nuevos;
        EXPECT_EQ(e.torno().AccesoActual(), estado) << que;
        if (byte >= 0)
            EXPECT_EQ(UltimoByte(placa, bytes), byte) << que;
        else
            EXPECT_FALSE(EsperarBytes(placa, bytes + 1, 50ms)) << que;
    };

    e.modos().MotorHuellaCtrl_SensorConnected(QStringLiteral("A"));
    paso("lector enchufado", 8, 2, 2);
    Abrir(e.torno(), CodigoAcceso::Personal);
    paso("acceso", 1, 2, 5);
    e.modos().MotorHuellaCtrl_SensorDisconnected(QStringLiteral("A"));
    paso("lector desenchufado", 5, 4, 2);
    e.msgBox.responder(Respuesta::Si);
    e.modos().mnuDoNoReady_Closed_Click();
    paso("fijar cerrado", 6, 4, 2);
    Abrir(e.torno(), CodigoAcceso::ClientePermitido);
    paso("acceso con la puerta fija", 6, -1, 0);
    e.msgBox.responder(Respuesta::Si);
    e.modos().mnuDoNoReady_Open_Click();
    paso("fijar abierto", 7, 5, 2);
    e.modos().mnuDoReady_Click();
    paso("control por huella sin lector", 5, 4, 2);
    e.modos().tmrBlink_Timer();
    AperturaManual(e.modos(), e.torno());
    e.modos().tmrBlink().stop();
    paso("apertura manual en 5", 0, 4, 5);
    e.modos().tmrBlink_Timer();
    paso("tic del parpadeo", 5, -1, 0);
    e.modos().tmrDetectarLector_Timer();
    paso("plazo del lector", 5, 4, 2);
    e.modos().MotorHuellaCtrl_SensorConnected(QStringLiteral("A"));
    paso("lector enchufado", 8, 2, 2);
    e.msgBox.responder(Respuesta::Si);
    e.modos().mnuDoNoReady_Open_Click();
    e.modos().mnuDoReady_Click();
    paso("control por huella con lector", 8, 2, 4);
}

TEST_F(ModosEstacionTest, EnlacePerdidoYNoDejaElPuertoCerrado) {
    SimuladorRele& placa = Arrancar();
    placa.desenchufar();
    ASSERT_TRUE(EsperarHasta([&] { return !e.msgBox.mostrados.empty(); }));
    ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
    EXPECT_EQ(e.msgBox.ultimo().texto, kPreguntaEnlace);
    EXPECT_EQ(e.msgBox.ultimo().estilo, 68);
    EXPECT_EQ(e.msgBox.ultimo().titulo, QStringLiteral("Error apertura..."));
    EXPECT_FALSE(e.rele().IsPortOpen());
    EXPECT_EQ(e.pantalla.log,
              QStringList({QStringLiteral("10:30:00 -> Error: Interface de Apertura,  conexion "
                                          "perdida."),
                           QStringLiteral("10:30:00 -> Error: Interface de Apertura, descartada "
                                          "reconexion.")}));
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::ControlPorHuella);

    // Nothing more is raised, and the next access says the opening failed.
    EsperarHasta([] { return false; }, 200);
    EXPECT_EQ(e.msgBox.mostrados.size(), 1u);
    e.pantalla.limpiar();
    Abrir(e.torno(), CodigoAcceso::ClientePermitido);
    EXPECT_EQ(e.pantalla.log,
              QStringList{QStringLiteral(
                  "10:30:00 ->       Apertura Fallida : Interface de Apertura sin conexion.")});
}

// The board pulled out while a door pulse runs: the pulse cannot restore the relays, the
// lost-link question comes once, and "No" leaves the station without a board.
TEST_F(ModosEstacionTest, DesenchufadaDuranteElPulso) {
    SimuladorRele& placa = Arrancar();
    e.DuranteElPulso([&] {
        EsperarBytes(placa, 3, EsperaGenerosa); // the board takes the pulse, then is pulled out
        placa.desenchufar();
    });
    EXPECT_FALSE(Abrir(e.torno(), CodigoAcceso::ClientePermitido));
    ASSERT_TRUE(EsperarHasta([&] {
        for (const auto& m : e.msgBox.mostrados)
            if (m.texto == kPreguntaEnlace)
                return true;
        return false;
    }));
    EsperarHasta([] { return false; }, 200);
    int preguntas = 0;
    for (const auto& m : e.msgBox.mostrados) {
        if (m.texto == kPreguntaEnlace)
            ++preguntas;
        else
            EXPECT_TRUE(m.texto.endsWith(
                QStringLiteral(") in procedure SetStatusByte of Módulo RelayBoard")))
                << m.texto.toStdString();
    }
    EXPECT_EQ(preguntas, 1);
    EXPECT_FALSE(e.rele().IsPortOpen());
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::ClientePermitido);
    EXPECT_EQ(placa.bytesRecibidos(), (Bytes{91, 92, 33}));
}

TEST_F(ModosEstacionTest, EnlacePerdidoYSiReconectaYEnviaElEstado) {
    SimuladorRele& vieja = Arrancar();
    e.msgBox.responder(Respuesta::Si);
    e.torno().PonerAccesoActual(CodigoAcceso::FijoAbierto);
    // The board comes back on another port.
    SimuladorRele& nueva = e.placaEn(5);
    vieja.desenchufar();
    ASSERT_TRUE(EsperarHasta([&] {
        return !e.rele().Buscando() && e.rele().IsPortOpen() && e.rele().RelayPort() == 5;
    }));
    EXPECT_EQ(e.pantalla.log.last(), QStringLiteral("10:30:00 -> Interface de Apertura "
                                                    "detectado en puerto serie 5. Version 1.0."));
    ASSERT_EQ(e.pantalla.globos.size(), 1u);
    EXPECT_EQ(e.pantalla.globos[0].flags, 1);
    EXPECT_EQ(UltimoByte(nueva, 4), 5);
    EXPECT_EQ(e.torno().AccesoActual(), CodigoAcceso::FijoAbierto);
}

// A lost-link event that comes when the port is already closed says it could not close it,
// then asks as usual.
TEST_F(ModosEstacionTest, EnlacePerdidoConElPuertoYaCerradoLoDice) {
    SimuladorRele& placa = Arrancar();
    placa.desenchufar();
    ASSERT_TRUE(EsperarHasta([&] { return !e.msgBox.mostrados.empty(); }));
    ASSERT_EQ(e.puerto().CommEvent(), EventoComm::SalidaLlena);
    e.msgBox.limpiar();
    e.pantalla.limpiar();

    e.modos().MSComm_OnComm();
    ASSERT_EQ(e.msgBox.mostrados.size(), 2u);
    EXPECT_EQ(
        e.msgBox.mostrados[0].texto,
        QStringLiteral("Fallo desconectando el sistema de apertura para su posterior reconexion."));
    EXPECT_EQ(e.msgBox.mostrados[0].estilo, 64);
    EXPECT_EQ(e.msgBox.mostrados[0].titulo, QStringLiteral("Info"));
    EXPECT_EQ(e.msgBox.mostrados[1].texto, kPreguntaEnlace);
    EXPECT_EQ(e.pantalla.log.size(), 2);
}

TEST_F(ModosEstacionTest, OtrosEventosMuestranSuNombreUnoTrasOtro) {
    SimuladorRele& placa = Arrancar();
    e.rele().ClosePort();
    ASSERT_TRUE(e.puerto().setInBufferSize(8));
    ASSERT_TRUE(Conectar(e.rele()));
    // While the first box is open the same event arrives again: it waits for the box to close.
    int anidados = 0;
    bool abierta = false;
    e.msgBox.alMostrar = [&](const MsgBoxGuion::Mostrado&) {
        if (abierta)
            ++anidados;
        abierta = true;
        if (e.msgBox.mostrados.size() == 1)
            e.modos().MSComm_OnComm();
        abierta = false;
    };
    ASSERT_TRUE(placa.enviar(std::vector<std::uint8_t>(64, 0x11)));
    ASSERT_TRUE(EsperarHasta([&] { return e.msgBox.mostrados.size() >= 2; }));
    EXPECT_EQ(anidados, 0);
    for (const auto& m : e.msgBox.mostrados) {
        EXPECT_EQ(m.texto, QStringLiteral("comEventRxOver"));
        EXPECT_EQ(m.estilo, 0);
        EXPECT_TRUE(m.titulo.isEmpty());
    }
    EXPECT_TRUE(e.rele().IsPortOpen());
    EXPECT_TRUE(e.pantalla.log.isEmpty());
}

} // namespace
} // namespace portiva::prueba
