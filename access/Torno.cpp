#include "Torno.h"

#include "Bombeo.h"
#include "CodigoAcceso.h"
#include "FileExists.h"
#include "PantallaAcceso.h"
#include "RegistroEventos.h"
#include "RelayBoard.h"
#include "ReproductorSonido.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

namespace portiva {

namespace {

// States the station modes set; an access never leaves the station in one of them.
constexpr bool EsEstadoDeModo(int estado) {
    return estado >= CodigoAcceso::LectorNoDetectado && estado <= CodigoAcceso::ControlPorHuella;
}

} // namespace

Torno::Torno(RelayBoard& rele, PantallaAcceso& pantalla, ReproductorSonido& sonido,
             RegistroEventos& registro, Bombeo& bombeo, QString carpetaPrograma)
    : rele_(rele), pantalla_(pantalla), sonido_(sonido), registro_(registro), bombeo_(bombeo),
      carpetaPrograma_(std::move(carpetaPrograma)) {}

long Torno::ContAperturas(int tipoDeAcceso) const {
    if (tipoDeAcceso < 0 || tipoDeAcceso >= static_cast<int>(contAperturas_.size()))
        return 0;
    return contAperturas_[static_cast<std::size_t>(tipoDeAcceso)];
}

bool Torno::AbrirTorno(int tipoDeAcceso) {
    aperturaFallida_ = false;
    if (EsEstadoFijo(accesoActual_) || !EsTipoDeAcceso(tipoDeAcceso))
        return false;
    const int estadoAntes = accesoActual_;

    if (sonidoActivo_)
        PlaySonido(tipoDeAcceso);
    pantalla_.MostrarResultado(tipoDeAcceso);
    pantalla_.ShowBallon(tipoDeAcceso, QString(), QString(), Globo::Ninguno);
    ActContAperturas(tipoDeAcceso);

    bool abierto = false;
    if (rele_.IsPortOpen()) {
        abierto = PulseTorno(MascaraPulso(tipoDeAcceso));
        // A board that stopped answering (or refused the write) did not open the door: the
        // operator is told instead of seeing a success that never reached the turnstile.
        aperturaFallida_ = !abierto;
        if (aperturaFallida_)
            registro_.EscribirDetalle(
                QStringLiteral("Apertura Fallida : Interface de Apertura sin respuesta."));
    } else {
        registro_.EscribirDetalle(
            QStringLiteral("Apertura Fallida : Interface de Apertura sin conexion."));
    }

    // The pulse pumps events: a mode command (fixed open or closed, fingerprint control, a
    // reader plugged or unplugged) may have run inside it. The pulse's restore then wrote the
    // old resting byte over the mode's, so the mode stays and its byte is sent again; the
    // access does not overwrite the operator's choice.
    if (accesoActual_ != estadoAntes && EsEstadoDeModo(accesoActual_))
        ActRelayBoard(accesoActual_);
    else
        accesoActual_ = tipoDeAcceso;
    return abierto;
}

void Torno::ActContAperturas(int tipoDeAcceso) {
    if (tipoDeAcceso < 0 || tipoDeAcceso >= static_cast<int>(contAperturas_.size()))
        return;
    ++contAperturas_[static_cast<std::size_t>(tipoDeAcceso)];
    const long totalHoy = contAperturas_[CodigoAcceso::AperturaManual] +
                          contAperturas_[CodigoAcceso::Personal] +
                          contAperturas_[CodigoAcceso::ClientePermitido];
    pantalla_.MostrarContAperturas(tipoDeAcceso, ContAperturas(tipoDeAcceso), totalHoy);
}

void Torno::ActRelayBoard(int estado) {
    switch (ByteReposo(estado)) {
    case 4:
        TornoBloqueado();
        break;
    case 5:
        TornoAbierto();
        break;
    default:
        TornoNormal();
        break;
    }
}

bool Torno::PlaySonido(int tipoDeAcceso) {
    const QString ruta =
        QDir(carpetaPrograma_).filePath(QStringLiteral("Sonidos/%1.wav").arg(tipoDeAcceso));
    if (!FileExists(ruta))
        return false;
    return sonido_.Reproducir(ruta);
}

bool Torno::PulseTorno(int mascara) {
    std::uint8_t anterior = 0;
    if (!rele_.IsPortOpen() || !rele_.GetStatusByte(anterior))
        return false;
    if (!rele_.SetStatusByte(static_cast<std::uint8_t>(mascara & 0xFF)))
        return false;

    // The end of the pulse must not wait on whatever runs inside the pumps below: a popup
    // menu, a message box or a file picker opened there runs its own event loop until the
    // operator closes it. A timer fires inside any such loop, so it puts the resting byte back
    // at 500 ms; when the pulse's own wait ends first, the wait writes it and the timer is
    // stopped. Either way the byte goes out once.
    QElapsedTimer transcurrido;
    transcurrido.start();
    bool restaurado = false;
    bool escrito = false;
    const auto restaurar = [&] {
        if (restaurado)
            return;
        restaurado = true;
        escrito = rele_.SetStatusByte(anterior);
    };
    QTimer fin;
    fin.setSingleShot(true);
    fin.setTimerType(Qt::PreciseTimer);
    QObject::connect(&fin, &QTimer::timeout, restaurar);
    fin.start(DuracionPulsoMs);

    bombeo_.procesarEventos();
    if (!restaurado) {
        const auto resta = DuracionPulsoMs - transcurrido.elapsed();
        if (resta > 0)
            bombeo_.dormir(static_cast<int>(resta));
    }
    bombeo_.procesarEventos();
    fin.stop();
    restaurar();
    return escrito;
}

void Torno::AdelantarPulso() {
    if (EsEstadoFijo(accesoActual_) || !rele_.IsPortOpen())
        return;
    // Without the request sent ahead the pulse simply asks at its own time.
    (void)rele_.AdelantarEstado();
}

void Torno::OlvidarPulso() {
    rele_.OlvidarEstado();
}

bool Torno::EscribirReposo(std::uint8_t estado) {
    if (!rele_.IsPortOpen())
        return false;
    return rele_.SetStatusByte(estado);
}

bool Torno::TornoNormal() {
    return EscribirReposo(2);
}

bool Torno::TornoBloqueado() {
    return EscribirReposo(4);
}

bool Torno::TornoAbierto() {
    return EscribirReposo(5);
}

void Torno::cmdAperturaManual_Click(QTimer& tmrBlink) {
    if (EsEstadoFijo(accesoActual_))
        return;
    tmrBlink.stop();
    pantalla_.InfoHuella(QStringLiteral("Apertura manual del torno"), false);
    registro_.Escribir(QStringLiteral("Apertura Manual del Torno"));
    AbrirTorno(CodigoAcceso::AperturaManual);
    tmrBlink.start();
}

} // namespace portiva
