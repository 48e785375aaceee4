#include "RelayBoard.h"

#include "Bombeo.h"
#include "MsgBox.h"
#include "PuertoSerie.h"

#include <algorithm>

namespace portiva {

RelayBoard::RelayBoard(PuertoSerie& puerto, MsgBox& msgBox, Bombeo& bombeo)
    : puerto_(puerto), msgBox_(msgBox), bombeo_(bombeo) {}

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

bool RelayBoard::ConnectBoard() {
    adelantado_ = false;
    InitPort();
    if (puerto_.PortOpen())
        return false;
    for (int puerto = PrimerPuerto; puerto <= UltimoPuerto; ++puerto) {
        relayPort_ = puerto;
        puerto_.setCommPort(puerto);
        puerto_.setPortOpen(true); // a missing or busy port simply stays closed
        if (!puerto_.PortOpen())
            continue;
        if (GetVersion(relayModuleId_, relayVersion_) && relayModuleId_ == IdModuloRele) {
            AllOff();
            return true;
        }
        puerto_.setPortOpen(false);
    }
    return false;
}

bool RelayBoard::ClosePort() {
    adelantado_ = false;
    if (!puerto_.PortOpen())
        return false;
    puerto_.setPortOpen(false);
    return true;
}

bool RelayBoard::Pedir(std::uint8_t orden, int bytesRespuesta, QByteArray& respuesta) {
    respuesta.clear();
    if (!Enviar(orden))
        return false;
    return Recoger(bytesRespuesta, EsperaRespuestaMs, respuesta);
}

bool RelayBoard::Enviar(std::uint8_t orden) {
    adelantado_ = false;
    if (puerto_.PortOpen())
        puerto_.setInBufferCount(0);
    return puerto_.Output(QByteArray(1, static_cast<char>(orden)));
}

bool RelayBoard::Recoger(int bytesRespuesta, int esperaMs, QByteArray& respuesta) {
    respuesta.clear();
    bombeo_.procesarEventos();
    if (esperaMs > 0)
        bombeo_.dormir(esperaMs);
    bombeo_.procesarEventos();
    // An event run inside the wait may have closed the port.
    if (!puerto_.PortOpen())
        return false;
    for (int i = 0; i < bytesRespuesta; ++i) {
        const QByteArray c = puerto_.Input();
        if (c.isEmpty())
            return false;
        respuesta.append(c.left(1));
    }
    if (puerto_.InBufferCount() > 0) {
        puerto_.setInBufferCount(0);
        return false;
    }
    return true;
}

bool RelayBoard::GetVersion(std::uint8_t& idModulo, std::uint8_t& version) {
    QByteArray respuesta;
    if (!Pedir(OrdenVersion, 2, respuesta))
        return false;
    idModulo = static_cast<std::uint8_t>(respuesta.at(0));
    version = static_cast<std::uint8_t>(respuesta.at(1));
    return true;
}

bool RelayBoard::AdelantarEstado() {
    if (!puerto_.PortOpen() || !Enviar(OrdenLeerEstado))
        return false;
    adelantado_ = true;
    desdeAdelanto_.start();
    return true;
}

bool RelayBoard::GetStatusByte(std::uint8_t& estado) {
    QByteArray respuesta;
    if (adelantado_) {
        adelantado_ = false;
        // The same wait from the moment the request went out; the same checks on its reply
        // (anything more than the one byte since the request is refused as noise).
        const qint64 resta = EsperaRespuestaMs - desdeAdelanto_.elapsed();
        if (!puerto_.PortOpen() ||
            !Recoger(1, static_cast<int>(std::max<qint64>(0, resta)), respuesta))
            return false;
    } else if (!Pedir(OrdenLeerEstado, 1, respuesta)) {
        return false;
    }
    estado = static_cast<std::uint8_t>(respuesta.at(0));
    return true;
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
