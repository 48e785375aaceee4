#include "ModosEstacion.h"

#include "CapturaSensores.h"
#include "CodigoAcceso.h"
#include "EventoComm.h"
#include "MsgBox.h"
#include "PantallaAcceso.h"
#include "PreguntaPuerta.h"
#include "PuertoSerie.h"
#include "RegistroEventos.h"
#include "RelayBoard.h"
#include "Torno.h"

namespace portiva {

namespace {

const QString kTituloControl = QStringLiteral("Control de Accesos");
const QString kTituloError = QStringLiteral("Control de Accesos: Error");
const QString kTituloLector = QStringLiteral("Control de Accesos:");

const QString kGloboReleNoReconectado = QStringLiteral(
    "Ha fallado el intento de conexion con el dispositivo de apertura. Asegurese de que esta "
    "correctamente conectado e intentelo de nuevo desde el menu.");
const QString kGloboReleNoDetectado = QStringLiteral(
    "El dispositivo de apertura no ha sido detectado, asegurese de que esta correctamente "
    "conectado y los drivers instalados. Gracias");
const QString kGloboLectorNoDetectado = QStringLiteral(
    "El Lector de Huella no ha sido detectado, asegurese de que esta correctamente conectado y "
    "los drivers instalados. Gracias");
const QString kGloboLectorConectado = QStringLiteral(
    "Se ha establecido una conexion con el Lector de la Huella, el lector esta listo.");
const QString kGloboLectorDesconectado =
    QStringLiteral("Se ha perdido la conexion con el Lector de la Huella. Compruebe las "
                   "conexiones e intentelo de nuevo. Gracias.");

const QString kSistemaPorHuella = QStringLiteral("Sistema de Apertura por Huella");
const QString kLectorNoDetectado = QStringLiteral("Lector de la huella no detectado");
const QString kLogLectorNoDetectado = QStringLiteral("Error: Lector huella no detectado.");

QString TextoReleDetectado(const RelayBoard& rele) {
    return QStringLiteral("Interface de Apertura detectado en puerto serie %1. Version %2.0.")
        .arg(rele.RelayPort())
        .arg(rele.RelayVersion());
}

} // namespace

ModosEstacion::ModosEstacion(Torno& torno, RelayBoard& rele, PuertoSerie& puerto,
                             PantallaAcceso& pantalla, RegistroEventos& registro, MsgBox& msgBox,
                             CapturaSensores& captura, QObject* parent, PreguntaPuerta* preguntas)
    : QObject(parent), torno_(torno), rele_(rele), puerto_(puerto), pantalla_(pantalla),
      registro_(registro), msgBox_(msgBox),
      preguntaPropia_(preguntas ? nullptr : std::make_unique<PreguntaModal>(msgBox)),
      preguntas_(preguntas ? *preguntas : *preguntaPropia_), captura_(captura), tmrBlink_(this),
      tmrDetectarLector_(this) {
    tmrBlink_.setInterval(IntervaloParpadeoMs);
    connect(&tmrBlink_, &QTimer::timeout, this, &ModosEstacion::tmrBlink_Timer);
    tmrBlink_.start();

    tmrDetectarLector_.setInterval(EsperaLectorMs);
    tmrDetectarLector_.setSingleShot(true);
    connect(&tmrDetectarLector_, &QTimer::timeout, this, &ModosEstacion::tmrDetectarLector_Timer);

    connect(&puerto_, &PuertoSerie::OnComm, this, &ModosEstacion::MSComm_OnComm);
}

ModosEstacion::~ModosEstacion() = default;

void ModosEstacion::InitRelayInterface(std::function<void()> hecho) {
    rele_.ConnectBoard([this, hecho = std::move(hecho)](bool hallada) {
        if (hallada) {
            registro_.Escribir(TextoReleDetectado(rele_));
        } else {
            registro_.Escribir(QStringLiteral("Error: Interface de Apertura no detectado"));
            pantalla_.ShowBallon(IconoVentana, kTituloError, kGloboReleNoDetectado, Globo::Aviso);
        }
        if (hecho)
            hecho();
    });
}

void ModosEstacion::ReconnectRelayInterface(std::function<void()> hecho) {
    rele_.ConnectBoard([this, hecho = std::move(hecho)](bool hallada) {
        if (hallada) {
            const QString texto = TextoReleDetectado(rele_);
            registro_.Escribir(texto);
            pantalla_.ShowBallon(IconoVentana, kTituloControl,
                                 texto + QStringLiteral(" Exito en la conexion."),
                                 Globo::Informacion);
            torno_.ActRelayBoard(torno_.AccesoActual());
        } else {
            registro_.Escribir(
                QStringLiteral("Error: Interface de Apertura , fallo en la reconexión"));
            pantalla_.ShowBallon(IconoVentana, kTituloError, kGloboReleNoReconectado, Globo::Aviso);
        }
        if (hecho)
            hecho();
    });
}

void ModosEstacion::EntrarEnControlPorHuella() {
    torno_.PonerAccesoActual(CodigoAcceso::ControlPorHuella);
    pantalla_.MostrarResultado(CodigoAcceso::ControlPorHuella);
    torno_.ActRelayBoard(CodigoAcceso::ControlPorHuella);
    pantalla_.InfoHuella(kSistemaPorHuella, false);
    lectorDetectado_ = false;
    tmrDetectarLector_.start();
}

void ModosEstacion::mnuReconnetRelay_Click(std::function<void()> hecho) {
    if (!rele_.IsPortOpen() && !rele_.Buscando()) {
        ReconnectRelayInterface(std::move(hecho));
        return;
    }
    if (hecho)
        hecho();
}

void ModosEstacion::mnuDoReady_Click() {
    if (lectorDetectado_) {
        torno_.PonerAccesoActual(CodigoAcceso::ControlPorHuella);
        pantalla_.MostrarResultado(CodigoAcceso::ControlPorHuella);
        pantalla_.InfoHuella(kSistemaPorHuella, false);
        pantalla_.ShowBallon(CodigoAcceso::ControlPorHuella, QString(), QString(), Globo::Ninguno);
        registro_.Escribir(kSistemaPorHuella);
        torno_.ActRelayBoard(CodigoAcceso::ControlPorHuella);
    } else {
        torno_.PonerAccesoActual(CodigoAcceso::LectorNoDetectado);
        pantalla_.MostrarResultado(CodigoAcceso::LectorNoDetectado);
        registro_.Escribir(kLogLectorNoDetectado);
        pantalla_.InfoHuella(kLectorNoDetectado, true);
        pantalla_.ShowBallon(CodigoAcceso::LectorNoDetectado, kTituloError, kGloboLectorNoDetectado,
                             Globo::Aviso);
        torno_.ActRelayBoard(CodigoAcceso::LectorNoDetectado);
    }
    pantalla_.HabilitarAperturaManual(true);
}

void ModosEstacion::FijarDispositivo(int estado, const QString& palabra) {
    const QString pregunta =
        QStringLiteral("Esta seguro de querer fijar el Dispositivo de Apertura en %1?")
            .arg(palabra);
    // The door goes on while the operator thinks; the state is fixed when "Si" comes.
    preguntas_.Preguntar(pregunta, EstiloMsg::SiNoExclamacion,
                         QStringLiteral("Fijar Dispositivo de Apertura"),
                         [this, estado, palabra](Respuesta r) {
                             if (r == Respuesta::Si)
                                 Fijar(estado, palabra);
                         });
}

void ModosEstacion::Fijar(int estado, const QString& palabra) {
    const QString aviso = QStringLiteral("Fijado Disp. Apertura en %1!").arg(palabra);
    torno_.PonerAccesoActual(estado);
    pantalla_.InfoHuella(aviso, true);
    registro_.Escribir(aviso);
    torno_.ActRelayBoard(estado);
    pantalla_.ShowBallon(estado, QString(), QString(), Globo::Ninguno);
    pantalla_.HabilitarAperturaManual(false);
}

void ModosEstacion::mnuDoNoReady_Closed_Click() {
    FijarDispositivo(CodigoAcceso::FijoCerrado, QStringLiteral("CERRADO"));
}

void ModosEstacion::mnuDoNoReady_Open_Click() {
    FijarDispositivo(CodigoAcceso::FijoAbierto, QStringLiteral("ABIERTO"));
}

void ModosEstacion::cmdAperturaManual_Click() {
    torno_.cmdAperturaManual_Click(tmrBlink_);
}

void ModosEstacion::MotorHuellaCtrl_SensorConnected(const QString& idSensor) {
    if (idSensor != SensorArchivo) {
        const bool estabaFijo = EsEstadoFijo(torno_.AccesoActual());
        lectorDetectado_ = true;
        tmrDetectarLector_.stop();
        registro_.Escribir(QStringLiteral("Lector huella %1 conectado.").arg(idSensor));
        torno_.PonerAccesoActual(CodigoAcceso::ControlPorHuella);
        pantalla_.MostrarResultado(CodigoAcceso::ControlPorHuella);
        pantalla_.ShowBallon(CodigoAcceso::ControlPorHuella, kTituloLector, kGloboLectorConectado,
                             Globo::Informacion);
        torno_.ActRelayBoard(CodigoAcceso::ControlPorHuella);
        // Leaving a fixed state: the manual opening works again, as in every other state.
        if (estabaFijo)
            pantalla_.HabilitarAperturaManual(true);
    }
    captura_.IniciarCaptura(idSensor);
}

void ModosEstacion::MotorHuellaCtrl_SensorDisconnected(const QString& idSensor) {
    if (idSensor != SensorArchivo) {
        const bool estabaFijo = EsEstadoFijo(torno_.AccesoActual());
        lectorDetectado_ = false;
        registro_.Escribir(QStringLiteral("Lector huella %1 desconectado.").arg(idSensor));
        torno_.PonerAccesoActual(CodigoAcceso::LectorNoDetectado);
        pantalla_.MostrarResultado(CodigoAcceso::LectorNoDetectado);
        pantalla_.ShowBallon(CodigoAcceso::LectorNoDetectado, kTituloLector,
                             kGloboLectorDesconectado, Globo::Aviso);
        torno_.ActRelayBoard(CodigoAcceso::LectorNoDetectado);
        if (estabaFijo)
            pantalla_.HabilitarAperturaManual(true);
    }
    captura_.DetenerCaptura(idSensor);
}

void ModosEstacion::LectorNoDetectado() {
    const bool estabaFijo = EsEstadoFijo(torno_.AccesoActual());
    registro_.Escribir(kLogLectorNoDetectado);
    pantalla_.InfoHuella(kLectorNoDetectado, true);
    torno_.PonerAccesoActual(CodigoAcceso::LectorNoDetectado);
    torno_.ActRelayBoard(CodigoAcceso::LectorNoDetectado);
    pantalla_.MostrarResultado(CodigoAcceso::LectorNoDetectado);
    pantalla_.ShowBallon(CodigoAcceso::LectorNoDetectado, kTituloError, kGloboLectorNoDetectado,
                         Globo::Aviso);
    if (estabaFijo)
        pantalla_.HabilitarAperturaManual(true);
}

void ModosEstacion::tmrDetectarLector_Timer() {
    if (!lectorDetectado_)
        LectorNoDetectado();
    tmrDetectarLector_.stop();
}

void ModosEstacion::tmrBlink_Timer() {
    const int estado = torno_.AccesoActual();
    if (estado == CodigoAcceso::AperturaManual && EsEstadoIntermitente(estadoTickAnterior_))
        torno_.PonerAccesoActual(estadoTickAnterior_);

    const int actual = torno_.AccesoActual();
    if (EsEstadoIntermitente(actual))
        pantalla_.MostrarResultado(parpadeo_ ? actual
                                             : actual + CodigoAcceso::DesplazamientoParpadeo);

    estadoTickAnterior_ = actual;
    parpadeo_ = !parpadeo_;
}

void ModosEstacion::MSComm_OnComm() {
    const int evento = puerto_.CommEvent();
    if (atendiendoComm_) {
        pendientes_.push_back({evento, puerto_.Sesion()});
        return;
    }
    AtenderEventoComm(evento);
    AtenderPendientes();
}

void ModosEstacion::AtenderPendientes() {
    while (!atendiendoComm_ && !pendientes_.empty()) {
        const EventoPendiente pendiente = pendientes_.front();
        pendientes_.pop_front();
        if (puerto_.PortOpen() && puerto_.Sesion() == pendiente.sesion)
            AtenderEventoComm(pendiente.evento);
    }
}

void ModosEstacion::AtenderEventoComm(int evento) {
    atendiendoComm_ = true;
    switch (evento) {
    case EventoComm::Break:
        msgBox_(QStringLiteral("comBreak"), EstiloMsg::Ok);
        break;
    case EventoComm::ErrorTrama:
        msgBox_(QStringLiteral("comEventFrame"), EstiloMsg::Ok);
        break;
    case EventoComm::Desbordamiento:
        msgBox_(QStringLiteral("comEventOverrun"), EstiloMsg::Ok);
        break;
    case EventoComm::EntradaLlena:
        msgBox_(QStringLiteral("comEventRxOver"), EstiloMsg::Ok);
        break;
    case EventoComm::ErrorParidad:
        msgBox_(QStringLiteral("comEventRxParity"), EstiloMsg::Ok);
        break;
    case EventoComm::ErrorConfiguracion:
        msgBox_(QStringLiteral("comEventDCB"), EstiloMsg::Ok);
        break;
    case EventoComm::SalidaLlena:
        // The question keeps further events waiting until it is answered.
        EnlacePerdido();
        return;
    default:
        break;
    }
    atendiendoComm_ = false;
}

void ModosEstacion::EnlacePerdido() {
    if (!rele_.ClosePort())
        msgBox_(QStringLiteral(
                    "Fallo desconectando el sistema de apertura para su posterior reconexion."),
                EstiloMsg::Informacion, QStringLiteral("Info"));
    registro_.Escribir(QStringLiteral("Error: Interface de Apertura,  conexion perdida."));
    const QString pregunta =
        QStringLiteral("Se ha perdido la comunicacion con el sistema de apertura, revise las "
                       "conexiones.\r\nPulse 'Si' para intentar conectar de nuevo o 'No' para "
                       "descartar.");
    preguntas_.Preguntar(pregunta, EstiloMsg::SiNoInformacion, QStringLiteral("Error apertura..."),
                         [this](Respuesta r) {
                             if (r == Respuesta::Si) {
                                 // What waits in the event queue runs first, then the scan.
                                 QTimer::singleShot(0, this, [this] { ReconnectRelayInterface(); });
                             } else {
                                 registro_.Escribir(QStringLiteral(
                                     "Error: Interface de Apertura, descartada reconexion."));
                             }
                             atendiendoComm_ = false;
                             AtenderPendientes();
                         });
}

} // namespace portiva
