#pragma once

#include <QSerialPort>
#include <QString>

#include <optional>

namespace portiva {

// The line settings of a serial port as one text, "baud,parity,data bits,stop bits", for
// instance "19200,N,8,2". Parity is one of N, E, O, M, S (none, even, odd, mark, space); data
// bits 5 to 8; stop bits 1, 1.5 or 2.
struct ConfiguracionPuerto {
    qint32 baudios = 9600;
    QSerialPort::Parity paridad = QSerialPort::NoParity;
    QSerialPort::DataBits bitsDatos = QSerialPort::Data8;
    QSerialPort::StopBits bitsParada = QSerialPort::OneStop;

    // The settings of the text, or nothing when the text is not a valid settings text.
    static std::optional<ConfiguracionPuerto> Interpretar(const QString& texto);
    // The settings written back as text, in the form Interpretar reads.
    QString Texto() const;

    bool operator==(const ConfiguracionPuerto&) const = default;
};

} // namespace portiva
