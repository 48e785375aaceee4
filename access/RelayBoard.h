#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <functional>

namespace portiva {

class MsgBox;
class PuertoSerie;

// The eight-relay board on a serial port and its one-byte command protocol: 90 asks the
// module id and version (two bytes back), 91 the relay state byte (one byte back), 92 and a
// byte sets the relays, 110 switches them all off. Bit 0 of the state byte is relay 1.
//
// A request writes its command and reads the reply when a 50 ms timer of the board's own thread
// fires; nothing sleeps and nothing pumps events, so the station goes on meanwhile and the
// reply window is counted where the bytes arrive. The answer comes to a callback, from the event
// loop (never inside the call). One request runs at a time; the state request can be sent
// ahead of the moment its answer is needed (AdelantarEstado). Whatever was received before a
// request is discarded first, so stale bytes (noise, a late reply) are never taken for the reply; a
// reply with more bytes than the command answers cannot be told from noise and is refused.
class RelayBoard {
public:
    static constexpr int PrimerPuerto = 4;
    static constexpr int UltimoPuerto = 8;
    static constexpr std::uint8_t IdModuloRele = 8;
    static constexpr int EsperaRespuestaMs = 50;

    static constexpr std::uint8_t OrdenVersion = 90;
    static constexpr std::uint8_t OrdenLeerEstado = 91;
    static constexpr std::uint8_t OrdenEscribirEstado = 92;
    static constexpr std::uint8_t OrdenApagarTodo = 110;

    using AlConectar = std::function<void(bool hallada)>;
    using AlLeerEstado = std::function<void(bool leido, std::uint8_t estado)>;
    using AlLeerVersion =
        std::function<void(bool leida, std::uint8_t idModulo, std::uint8_t version)>;

    RelayBoard(PuertoSerie& puerto, MsgBox& msgBox);

    bool IsPortOpen() const;
    // Line settings the board speaks: text input one byte at a time, 19200 N 8 2, no flow
    // control, no receive or send events.
    void InitPort();
    // Looks for the board on COM4 to COM8, in order; leaves its port open and all relays off.
    // False when the port is already open (nothing is scanned) or no port answered id 8. The
    // answer comes when the scan ends (at once when no port could be opened at all).
    void ConnectBoard(AlConectar hecho);
    // A scan is under way: the port's state is not settled until it ends.
    bool Buscando() const { return buscando_; }
    // Runs `accion` once no scan is under way (at once when none is).
    void CuandoLibre(std::function<void()> accion);
    // Closes the port; false when it was not open.
    bool ClosePort();
    void GetVersion(AlLeerVersion hecho);
    // After AdelantarEstado, collects that request's reply (nothing more is written): it waits
    // what is left of the 50 ms and checks the reply the same way.
    void GetStatusByte(AlLeerEstado hecho);
    // A request waits for its reply.
    bool Esperando() const { return static_cast<bool>(alRecoger_); }
    // Sends the state request now, for a GetStatusByte known to follow with nothing else sent
    // to the board in between, so that the board's 50 ms run while the station does other
    // work: the wire carries the same bytes in the same order. Any other command, closing or
    // scanning the port, or OlvidarEstado drops the request. False when nothing was sent.
    bool AdelantarEstado();
    void OlvidarEstado() { adelantado_ = false; }
    bool EstadoAdelantado() const { return adelantado_; }
    // Sets the relays; false when the port is closed, or (after a message box) when the port
    // refused the write.
    bool SetStatusByte(std::uint8_t estado);
    void AllOff();

    // Port tried last by the scan; after a successful one, the port of the board.
    int RelayPort() const { return relayPort_; }
    std::uint8_t RelayModuleId() const { return relayModuleId_; }
    std::uint8_t RelayVersion() const { return relayVersion_; }

private:
    using AlRecoger = std::function<void(bool recibida, const QByteArray& respuesta)>;

    void Pedir(std::uint8_t orden, int bytesRespuesta, AlRecoger hecho);
    bool Enviar(std::uint8_t orden);
    void Recoger(int bytesRespuesta, int esperaMs, AlRecoger hecho);
    void Recogido();
    void Cancelar();
    void ProbarPuerto(int puerto, AlConectar hecho);
    void FinBusqueda(bool hallada, const AlConectar& hecho);
    void MostrarError(const char* procedimiento);

    PuertoSerie& puerto_;
    MsgBox& msgBox_;
    QTimer espera_;
    int bytesEsperados_ = 0;
    AlRecoger alRecoger_;
    bool buscando_ = false;
    std::deque<std::function<void()>> trasBusqueda_;
    int relayPort_ = 0;
    std::uint8_t relayModuleId_ = 0;
    std::uint8_t relayVersion_ = 0;
    bool adelantado_ = false;
    QElapsedTimer desdeAdelanto_;
};

} // namespace portiva
