#include "Torno.h"

#include "CodigoAcceso.h"
#include "FileExists.h"
#include "PantallaAcceso.h"
#include "RegistroEventos.h"
#include "RelayBoard.h"
#include "ReproductorSonido.h"

#include <QDir>
#include <QTimer>

#include <utility>

namespace portiva {

namespace {

// States the station modes set; an access never leaves the station in one of them.
constexpr bool EsEstadoDeModo(int estado) {
    return estado >= CodigoAcceso::LectorNoDetectado && estado <= CodigoAcceso::ControlPorHuella;
}

} // namespace

Torno::Torno(RelayBoard& rele, PantallaAcceso& pantalla, ReproductorSonido& sonido,
             RegistroEventos& registro, QString carpetaPrograma)
    : rele_(rele), pantalla_(pantalla), sonido_(sonido), registro_(registro),
      carpetaPrograma_(std::move(carpetaPrograma)) {
    finPulso_.setSingleShot(true);
    finPulso_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&finPulso_, &QTimer::timeout, [this] { FinPulso(); });
}

long Torno::ContAperturas(int tipoDeAcceso) const {
    if (tipoDeAcceso < 0 || tipoDeAcceso >= static_cast<int>(contAperturas_.size()))
        return 0;
    return contAperturas_[static_cast<std::size_t>(tipoDeAcceso)];
}

void Torno::AbrirTorno(int tipoDeAcceso, AlAbrir hecho) {
    cola_.push_back({tipoDeAcceso, std::move(hecho)});
    if (!actuando_)
        Siguiente();
}

void Torno::Siguiente() {
    if (actuando_ || cola_.empty())
        return;
    // While the board is being looked for, the port's state is not settled yet.
    if (rele_.Buscando()) {
        actuando_ = true;
        rele_.CuandoLibre([this] {
            actuando_ = false;
            Siguiente();
        });
        return;
    }
    Acceso acceso = std::move(cola_.front());
    cola_.pop_front();
    Actuar(acceso.tipo, std::move(acceso.hecho));
}

void Torno::Actuar(int tipoDeAcceso, AlAbrir hecho) {
    aperturaFallida_ = false;
    if (EsEstadoFijo(accesoActual_) || !EsTipoDeAcceso(tipoDeAcceso)) {
        if (hecho)
            hecho(false);
        Siguiente();
        return;
    }
    actuando_ = true;
    const int estadoAntes = accesoActual_;

    if (sonidoActivo_)
        PlaySonido(tipoDeAcceso);
    pantalla_.MostrarResultado(tipoDeAcceso);
    pantalla_.ShowBallon(tipoDeAcceso, QString(), QString(), Globo::Ninguno);

    if (!rele_.IsPortOpen()) {
        registro_.EscribirDetalle(
            QStringLiteral("Apertura Fallida : Interface de Apertura sin conexion."));
        Actuado(tipoDeAcceso, estadoAntes, false, hecho);
        return;
    }
    PulseTorno(MascaraPulso(tipoDeAcceso), [this, tipoDeAcceso, estadoAntes, hecho](bool abierto) {
        // A board that stopped answering (or refused the write) did not open the door.
        if (!abierto)
            registro_.EscribirDetalle(
                QStringLiteral("Apertura Fallida : Interface de Apertura sin respuesta."));
        Actuado(tipoDeAcceso, estadoAntes, abierto, hecho);
    });
}

void Torno::Actuado(int tipoDeAcceso, int estadoAntes, bool abierto, const AlAbrir& hecho) {
    aperturaFallida_ = !abierto;
    const bool apertura = tipoDeAcceso <= CodigoAcceso::ClientePermitido;
    if (abierto || !apertura) {
        ActContAperturas(tipoDeAcceso);
    } else {
        // The turnstile did not open: no green picture and no count for a passage that never
        // happened.
        pantalla_.MostrarResultado(ImagenNoAbierta);
        pantalla_.ShowBallon(ImagenNoAbierta, QString(), QString(), Globo::Ninguno);
    }

    // A mode command (fixed open or closed, fingerprint control, a reader plugged or
    // unplugged) may have run during the pulse. The pulse's restore then wrote the old resting
    // byte over the mode's, so the mode stays and its byte is sent again; the access does not
    // overwrite the operator's choice.
    if (accesoActual_ != estadoAntes && EsEstadoDeModo(accesoActual_))
        ActRelayBoard(accesoActual_);
    else
        accesoActual_ = tipoDeAcceso;
    actuando_ = false;
    if (hecho)
        hecho(abierto);
    Siguiente();
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

void Torno::PulseTorno(int mascara, AlAbrir hecho) {
    if (!rele_.IsPortOpen()) {
        hecho(false);
        return;
    }
    rele_.GetStatusByte([this, mascara, hecho](bool leido, std::uint8_t anterior) {
        if (!leido || !rele_.SetStatusByte(static_cast<std::uint8_t>(mascara & 0xFF))) {
            hecho(false);
            return;
        }
        // The byte read before goes back when the door's own timer ends the pulse, whatever
        // the window is doing meanwhile.
        antesDelPulso_ = anterior;
        alFinPulso_ = hecho;
        finPulso_.start(duracionPulsoMs_);
    });
}

void Torno::FinPulso() {
    auto hecho = std::exchange(alFinPulso_, nullptr);
    const bool escrito = rele_.SetStatusByte(antesDelPulso_);
    if (hecho)
        hecho(escrito);
}

void Torno::AdelantarPulso() {
    if (Actuando() || EsEstadoFijo(accesoActual_) || !rele_.IsPortOpen() || rele_.Esperando())
        return;
    // Without the request sent ahead the pulse simply asks at its own time.
    (void)rele_.AdelantarEstado();
}

void Torno::OlvidarPulso() {
    rele_.OlvidarEstado();
}

bool Torno::EscribirReposo(std::uint8_t estado) {
    if (rele_.Buscando()) {
        // Sent once the scan has ended, when it found the board.
        rele_.CuandoLibre([this, estado] {
            if (rele_.IsPortOpen())
                rele_.SetStatusByte(estado);
        });
        return false;
    }
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
    const QString texto = QStringLiteral("Apertura manual del torno");
    pantalla_.InfoHuella(texto, false);
    registro_.Escribir(QStringLiteral("Apertura Manual del Torno"));
    AbrirTorno(CodigoAcceso::AperturaManual, [this, texto, &tmrBlink](bool) {
        if (aperturaFallida_)
            pantalla_.InfoHuella(texto + QStringLiteral(" - Apertura Fallida"), true);
        tmrBlink.start();
    });
}

} // namespace portiva
