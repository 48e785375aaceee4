#include "RelayBoard.h"

#include "MsgBox.h"
#include "PuertoSerie.h"

#include <algorithm>
#include <utility>

namespace portiva {

RelayBoard::RelayBoard(PuertoSerie& puerto, MsgBox& msgBox) : puerto_(puerto), msgBox_(msgBox) {
    espera_.setSingleShot(true);
    espera_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&espera_, &QTimer::timeout, [this] { Recogido(); });
}

bool RelayBoard::IsPortOpen() const {
    return puerto_.PortOpen();
}

void RelayBoard::InitPort() {
    puerto_.setInputMode(0);
    puerto_.setSettings(QStringLiteral("19200,N,8,2"));
    puerto_.setHandshaking(0);
    puerto_.setRThreshold(0);
    puerto_.setSThreshold(0);
    puerto_.setInputLen(1);
}

void RelayBoard::ConnectBoard(AlConectar hecho) {
    adelantado_ = false;
    InitPort();
    if (puerto_.PortOpen() || buscando_) {
        hecho(false);
        return;
    }
    buscando_ = true;
    ProbarPuerto(PrimerPuerto, std::move(hecho));
}

void RelayBoard::ProbarPuerto(int puerto, AlConectar hecho) {
    for (; puerto <= UltimoPuerto; ++puerto) {
        relayPort_ = puerto;
        puerto_.setCommPort(puerto);
        puerto_.setPortOpen(true); // a missing or busy port simply stays closed
        if (!puerto_.PortOpen())
            continue;
        GetVersion([this, puerto, hecho](bool leida, std::uint8_t id, std::uint8_t version) {
            if (leida) {
                relayModuleId_ = id;
                relayVersion_ = version;
            }
            if (leida && id == IdModuloRele) {
                AllOff();
                FinBusqueda(true, hecho);
                return;
            }
            puerto_.setPortOpen(false);
            ProbarPuerto(puerto + 1, hecho);
        });
        return;
    }
    FinBusqueda(false, hecho);
}

void RelayBoard::FinBusqueda(bool hallada, const AlConectar& hecho) {
    buscando_ = false;
    hecho(hallada);
    while (!buscando_ && !trasBusqueda_.empty()) {
        auto accion = std::move(trasBusqueda_.front());
        trasBusqueda_.pop_front();
        accion();
    }
}

void RelayBoard::CuandoLibre(std::function<void()> accion) {
    if (buscando_)
        trasBusqueda_.push_back(std::move(accion));
    else
        accion();
}

bool RelayBoard::ClosePort() {
    adelantado_ = false;
    if (!puerto_.PortOpen())
        return false;
    // A request under way finds the port closed when its window ends, and fails then.
    puerto_.setPortOpen(false);
    return true;
}

void RelayBoard::Pedir(std::uint8_t orden, int bytesRespuesta, AlRecoger hecho) {
    if (!Enviar(orden)) {
        hecho(false, QByteArray());
        return;
    }
    Recoger(bytesRespuesta, EsperaRespuestaMs, std::move(hecho));
}

void RelayBoard::Cancelar() {
    if (!alRecoger_)
        return;
    espera_.stop();
    auto hecho = std::exchange(alRecoger_, nullptr);
    hecho(false, QByteArray());
}

bool RelayBoard::Enviar(std::uint8_t orden) {
    adelantado_ = false;
    // A new request replaces one still waiting: its reply could no longer be told apart.
    Cancelar();
    if (puerto_.PortOpen())
        puerto_.setInBufferCount(0);
    return puerto_.Output(QByteArray(1, static_cast<char>(orden)));
}

void RelayBoard::Recoger(int bytesRespuesta, int esperaMs, AlRecoger hecho) {
    bytesEsperados_ = bytesRespuesta;
    alRecoger_ = std::move(hecho);
    espera_.start(std::max(0, esperaMs));
}

void RelayBoard::Recogido() {
    if (!alRecoger_)
        return;
    auto hecho = std::exchange(alRecoger_, nullptr);
    QByteArray respuesta;
    // Something run meanwhile may have closed the port.
    if (!puerto_.PortOpen()) {
        hecho(false, respuesta);
        return;
    }
    for (int i = 0; i < bytesEsperados_; ++i) {
        const QByteArray c = puerto_.Input();
        if (c.isEmpty()) {
            hecho(false, respuesta);
            return;
        }
        respuesta.append(c.left(1));
    }
    if (puerto_.InBufferCount() > 0) {
        puerto_.setInBufferCount(0);
        hecho(false, respuesta);
        return;
    }
    hecho(true, respuesta);
}

void RelayBoard::GetVersion(AlLeerVersion hecho) {
    Pedir(OrdenVersion, 2, [hecho = std::move(hecho)](bool recibida, const QByteArray& r) {
        if (!recibida) {
            hecho(false, 0, 0);
            return;
        }
        hecho(true, static_cast<std::uint8_t>(r.at(0)), static_cast<std::uint8_t>(r.at(1)));
    });
}

bool RelayBoard::AdelantarEstado() {
    if (!puerto_.PortOpen() || !Enviar(OrdenLeerEstado))
        return false;
    adelantado_ = true;
    desdeAdelanto_.start();
    return true;
}

void RelayBoard::GetStatusByte(AlLeerEstado hecho) {
    auto alRecibir = [hecho = std::move(hecho)](bool recibida, const QByteArray& r) {
        hecho(recibida, recibida ? static_cast<std::uint8_t>(r.at(0)) : std::uint8_t{0});
    };
    if (adelantado_) {
        adelantado_ = false;
        // The same window from the moment the request went out; the same checks on its reply
        // (anything more than the one byte since the request is refused as noise).
        if (!puerto_.PortOpen()) {
            alRecibir(false, QByteArray());
            return;
        }
        const qint64 resta = EsperaRespuestaMs - desdeAdelanto_.elapsed();
        Recoger(1, static_cast<int>(std::max<qint64>(0, resta)), std::move(alRecibir));
        return;
    }
    Pedir(OrdenLeerEstado, 1, std::move(alRecibir));
}

void RelayBoard::MostrarError(const char* procedimiento) {
    const ErrorPuerto& e = puerto_.UltimoError();
    msgBox_(QStringLiteral("Error %1 (%2) in procedure %3 of Módulo RelayBoard")
                .arg(e.numero)
                .arg(e.descripcion, QString::fromLatin1(procedimiento)),
            EstiloMsg::Ok);
}

bool RelayBoard::SetStatusByte(std::uint8_t estado) {
    adelantado_ = false;
    if (!puerto_.PortOpen())
        return false;
    QByteArray orden;
    orden.append(static_cast<char>(OrdenEscribirEstado));
    orden.append(static_cast<char>(estado));
    if (!puerto_.Output(orden)) {
        MostrarError("SetStatusByte");
        return false;
    }
    return true;
}

void RelayBoard::AllOff() {
    adelantado_ = false;
    if (!puerto_.PortOpen())
        return;
    if (!puerto_.Output(QByteArray(1, static_cast<char>(OrdenApagarTodo))))
        MostrarError("AllOff");
}

} // namespace portiva
