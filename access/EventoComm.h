#pragma once

#include <QSerialPort>

namespace portiva {

// Communication events of the serial port, as the station's handler reads them from
// PuertoSerie::CommEvent().
namespace EventoComm {
constexpr int Ninguno = 0;
constexpr int Envio = 1;                 // the output buffer fell below SThreshold
constexpr int Recepcion = 2;             // RThreshold bytes or more wait in the input
constexpr int Break = 1001;              // break received
constexpr int ErrorTrama = 1004;         // framing error
constexpr int Desbordamiento = 1006;     // port overrun
constexpr int EntradaLlena = 1008;       // receive buffer overflow
constexpr int ErrorParidad = 1009;       // parity error
constexpr int SalidaLlena = 1010;        // transmit buffer full; also the device was lost
constexpr int ErrorConfiguracion = 1011; // the port's settings could not be set or read
} // namespace EventoComm

// The communication event an error reported by QSerialPort on an open port stands for.
//
// Qt 6 no longer reports parity, framing, break or overrun errors: 1001, 1004, 1006 and 1009
// come from the kernel's counts instead (VigilanteLinea, ErroresLinea.h). A read, write or resource
// error, or the device no longer found, means the link to the device is gone: 1010, which the
// station treats as a lost link. A setting the port refuses is 1011. Errors that belong to opening
// the port (permission, open), timeouts of our own zero-time reads and unknown errors raise no
// event. 1008 is not a QSerialPort error: PuertoSerie raises it itself when its input buffer
// overflows.
int EventoDeErrorSerie(QSerialPort::SerialPortError error);

} // namespace portiva
