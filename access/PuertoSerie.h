#pragma once

#include "ConfiguracionPuerto.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <cstdint>

namespace portiva {

// A run-time error of a serial port operation: its number and description, as the station
// writes them into its error messages ("Error " & number & " (" & description & ")").
struct ErrorPuerto {
    int numero = 0;
    QString descripcion;
};

// Run-time error numbers of the serial layer.
namespace ErrorSerie {
constexpr int ValorNoValido = 380;           // a property was given a value it does not take
constexpr int PuertoNoValido = 8002;         // the port does not exist
constexpr int PuertoYaAbierto = 8005;        // opening or renumbering a port that is open
constexpr int HardwareNoDisponible = 8010;   // the device is busy or not accessible
constexpr int PuertoNoAbierto = 8012;        // reading or writing a closed port
constexpr int ConfiguracionRechazada = 8015; // the device refused the line settings
constexpr int ErrorEscritura = 8021;         // the bytes could not be handed to the device
} // namespace ErrorSerie

// The station's serial port, driven through the properties of a classic serial-port control
// over QSerialPort.
//
// Port "COMn" is the path <program folder>/COMn when that entry is present (a symlink the
// installer makes to the real device, or the demo's pseudo-terminal), else the device
// `prefijoDispositivo` followed by n-1 ("/dev/ttyS3" for COM4).
//
// Setters report failure by their result and leave the number and description in
// UltimoError(). Communication events are delivered from the event loop, never inside a call
// of this class: OnComm() is emitted, and CommEvent() tells which event it was. Events that
// were pending when the port was closed are dropped.
//
// When the device is lost (the port reports a read, write or resource error), the port
// raises event 1010 once, stops using the device, and still reads as open until the owner
// closes it; reads then give nothing and writes fail.
class PuertoSerie final : public QObject {
    Q_OBJECT

public:
    explicit PuertoSerie(QString carpetaPrograma,
                         QString prefijoDispositivo = QStringLiteral("/dev/ttyS"),
                         QObject* parent = nullptr);
    ~PuertoSerie() override;

    // COM port number, 1 to 255. Cannot change while the port is open.
    int CommPort() const { return commPort_; }
    bool setCommPort(int puerto);

    // Line settings, "19200,N,8,2". A text that is not valid settings is refused (380).
    QString Settings() const { return configuracion_.Texto(); }
    bool setSettings(const QString& texto);

    // 0 text, 1 binary. Either way Input() gives the received bytes unchanged.
    int InputMode() const { return inputMode_; }
    bool setInputMode(int modo);

    // Bytes taken by one Input(); 0 takes everything waiting.
    int InputLen() const { return inputLen_; }
    bool setInputLen(int bytes);

    // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 RTS/CTS (hardware control wins; both at once is not
    // available).
    int Handshaking() const { return handshaking_; }
    bool setHandshaking(int modo);

    // Receive event (2) when at least this many bytes wait; 0 raises none.
    int RThreshold() const { return rThreshold_; }
    bool setRThreshold(int bytes);

    // Send event (1) when fewer than this many bytes remain to send; 0 raises none.
    int SThreshold() const { return sThreshold_; }
    bool setSThreshold(int bytes);

    // Capacity of the input buffer. More bytes than this waiting at once raise event 1008
    // (once, until the input is read or emptied); the surplus waits in the device.
    int InBufferSize() const { return inBufferSize_; }
    bool setInBufferSize(int bytes);

    // Capacity of the output buffer: a write that does not fit raises 1010 and is refused.
    int OutBufferSize() const { return outBufferSize_; }
    bool setOutBufferSize(int bytes);

    bool PortOpen() const { return abierto_; }
    bool setPortOpen(bool abrir);

    // Bytes waiting in the input. Setting it to 0 discards them, in the device as well.
    int InBufferCount();
    bool setInBufferCount(int bytes);

    // Writes the bytes; false (and UltimoError) when the port is closed, the device is gone or
    // the bytes could not be handed over.
    bool Output(const QByteArray& datos);

    // Takes up to InputLen bytes from the input; empty when nothing waits. On a closed port:
    // empty, with error 8012.
    QByteArray Input();

    // The event that raised the last OnComm().
    int CommEvent() const { return commEvent_; }

    const ErrorPuerto& UltimoError() const { return error_; }

    // Device path that "COMn" stands for.
    QString RutaPuerto(int puerto) const;

    // Changes each time the port is opened; identifies the session an event belongs to.
    std::uint64_t Sesion() const { return sesion_; }

    // The open device's descriptor, -1 when the port is closed or its device lost.
    int Descriptor() const;
    // Raises `evento` for the open port, from the event loop as the port's own events are
    // (for line errors found outside Qt, which does not report them).
    void AvisarEvento(int evento) { LanzarEvento(evento); }

signals:
    void OnComm();

private:
    bool Fallo(int numero, const QString& descripcion);
    void AplicarConfiguracion();
    void LeerPendiente();
    void RearmarDesbordamiento();
    void LanzarEvento(int evento);
    void AlError(QSerialPort::SerialPortError error);
    void AlRecibir();
    void AlEnviar();

    QString carpetaPrograma_;
    QString prefijoDispositivo_;
    QSerialPort serie_;
    ConfiguracionPuerto configuracion_;
    int commPort_ = 1;
    int inputMode_ = 0;
    int inputLen_ = 0;
    int handshaking_ = 0;
    int rThreshold_ = 0;
    int sThreshold_ = 0;
    int inBufferSize_ = 1024;
    int outBufferSize_ = 512;
    bool abierto_ = false;
    bool perdido_ = false;
    bool desbordado_ = false;
    bool maniobrando_ = false; // our own open/close/settings calls: their errors are ours
    int commEvent_ = 0;
    std::uint64_t sesion_ = 0;
    ErrorPuerto error_;
};

} // namespace portiva
