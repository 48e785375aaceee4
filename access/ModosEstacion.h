#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

namespace portiva {

class CapturaSensores;
class MsgBox;
class PantallaAcceso;
class PreguntaPuerta;
class PuertoSerie;
class RegistroEventos;
class RelayBoard;
class Torno;

// The station's modes and the supervision of its devices: the popup menu's mode commands, the
// reader's plug and unplug events, the reader-detection timeout after start-up, the relay
// board's connection at start-up and on demand, the serial port's communication events (a
// lost link among them) and the blinking of the result picture in states 5, 6 and 7.
class ModosEstacion final : public QObject {
    Q_OBJECT

public:
    static constexpr int IntervaloParpadeoMs = 750;
    static constexpr int EsperaLectorMs = 5000;
    // Sensor id of images loaded from a file.
    static inline const QString SensorArchivo = QStringLiteral("File");

    ModosEstacion(Torno& torno, RelayBoard& rele, PuertoSerie& puerto, PantallaAcceso& pantalla,
                  RegistroEventos& registro, MsgBox& msgBox, CapturaSensores& captura,
                  QObject* parent = nullptr, PreguntaPuerta* preguntas = nullptr);
    ~ModosEstacion() override;

    // Relay board detection at start-up. The scan runs on the event loop (each port that
    // opens is given 50 ms to answer); `hecho` is called when it has ended and its log line is
    // written. Relay bytes sent meanwhile go out after it.
    void InitRelayInterface(std::function<void()> hecho = {});
    // Relay board detection on demand; sends the current state's byte when found.
    void ReconnectRelayInterface(std::function<void()> hecho = {});

    // Start-up, once the engine runs: fingerprint control (state 8, picture 8, byte 2), status
    // line "Sistema de Apertura por Huella", no reader yet, detection timeout started.
    void EntrarEnControlPorHuella();

    // Popup menu "Dispositivo de Apertura".
    void mnuReconnetRelay_Click(std::function<void()> hecho = {});
    void mnuDoReady_Click();
    void mnuDoNoReady_Closed_Click();
    void mnuDoNoReady_Open_Click();

    // The button "Apertura Manual".
    void cmdAperturaManual_Click();

    // The fingerprint engine's reader events.
    void MotorHuellaCtrl_SensorConnected(const QString& idSensor);
    void MotorHuellaCtrl_SensorDisconnected(const QString& idSensor);

    void tmrBlink_Timer();
    void tmrDetectarLector_Timer();

    // The serial port's communication event (connected to PuertoSerie::OnComm).
    void MSComm_OnComm();

    bool LectorDetectado() const { return lectorDetectado_; }
    void PonerLectorDetectado(bool detectado) { lectorDetectado_ = detectado; }
    bool Parpadeo() const { return parpadeo_; }

    QTimer& tmrBlink() { return tmrBlink_; }
    QTimer& tmrDetectarLector() { return tmrDetectarLector_; }

private:
    struct EventoPendiente {
        int evento;
        std::uint64_t sesion;
    };

    void FijarDispositivo(int estado, const QString& palabra);
    void Fijar(int estado, const QString& palabra);
    void AtenderEventoComm(int evento);
    void AtenderPendientes();
    void EnlacePerdido();
    void LectorNoDetectado();

    Torno& torno_;
    RelayBoard& rele_;
    PuertoSerie& puerto_;
    PantallaAcceso& pantalla_;
    RegistroEventos& registro_;
    MsgBox& msgBox_;
    // The two questions (fixing the door, the lost link) are asked through this and answered
    // later; with no seam given, as modal boxes of `msgBox_`.
    std::unique_ptr<PreguntaPuerta> preguntaPropia_;
    PreguntaPuerta& preguntas_;
    CapturaSensores& captura_;

    QTimer tmrBlink_;
    QTimer tmrDetectarLector_;
    bool lectorDetectado_ = false;
    bool parpadeo_ = false;
    int estadoTickAnterior_ = 0;

    // While the lost-link question waits for its answer, further events wait here and are
    // handled once it is answered (those of a port session closed meanwhile are dropped).
    bool atendiendoComm_ = false;
    std::deque<EventoPendiente> pendientes_;
};

} // namespace portiva
