#include "EventoComm.h"

namespace portiva {

int EventoDeErrorSerie(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
    case QSerialPort::DeviceNotFoundError:
        return EventoComm::SalidaLlena;
    case QSerialPort::UnsupportedOperationError:
        return EventoComm::ErrorConfiguracion;
    default:
        return EventoComm::Ninguno;
    }
}

} // namespace portiva
