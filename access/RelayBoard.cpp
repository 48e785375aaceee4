#include "RelayBoard.h"

#include "Bombeo.h"
#include "MsgBox.h"
#include "PuertoSerie.h"

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
    if (!puerto_.PortOpen())
        return false;
    puerto_.setPortOpen(false);
    return true;
}

bool RelayBoard::Pedir(std::uint8_t orden, int bytesRespuesta, QByteArray& respuesta) {
    respuesta.clear();
    if (puerto_.PortOpen())
        puerto_.setInBufferCount(0);
    if (!puerto_.Output(QByteArray(1, static_cast<char>(orden))))
        return false;
    bombeo_.procesarEventos();
    bombeo_.dormir(EsperaRespuestaMs);
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

bool RelayBoard::GetStatusByte(std::uint8_t& estado) {
    QByteArray respuesta;
    if (!Pedir(OrdenLeerEstado, 1, respuesta))
        return false;
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
    if (!puerto_.PortOpen())
        return;
    if (!puerto_.Output(QByteArray(1, static_cast<char>(OrdenApagarTodo))))
        MostrarError("AllOff");
}

} // namespace portiva
