#include "ConfiguracionPuerto.h"

#include <QStringList>

namespace portiva {

namespace {

std::optional<QSerialPort::Parity> LeerParidad(const QString& texto) {
    if (texto.size() != 1)
        return std::nullopt;
    switch (texto.at(0).toUpper().toLatin1()) {
    case 'N':
        return QSerialPort::NoParity;
    case 'E':
        return QSerialPort::EvenParity;
    case 'O':
        return QSerialPort::OddParity;
    case 'M':
        return QSerialPort::MarkParity;
    case 'S':
        return QSerialPort::SpaceParity;
    default:
        return std::nullopt;
    }
}

QChar LetraParidad(QSerialPort::Parity paridad) {
    switch (paridad) {
    case QSerialPort::EvenParity:
        return QLatin1Char('E');
    case QSerialPort::OddParity:
        return QLatin1Char('O');
    case QSerialPort::MarkParity:
        return QLatin1Char('M');
    case QSerialPort::SpaceParity:
        return QLatin1Char('S');
    default:
        return QLatin1Char('N');
    }
}

std::optional<QSerialPort::StopBits> LeerParada(const QString& texto) {
    if (texto == QLatin1String("1"))
        return QSerialPort::OneStop;
    if (texto == QLatin1String("1.5"))
        return QSerialPort::OneAndHalfStop;
    if (texto == QLatin1String("2"))
        return QSerialPort::TwoStop;
    return std::nullopt;
}

QString TextoParada(QSerialPort::StopBits parada) {
    switch (parada) {
    case QSerialPort::OneAndHalfStop:
        return QStringLiteral("1.5");
    case QSerialPort::TwoStop:
        return QStringLiteral("2");
    default:
        return QStringLiteral("1");
    }
}

bool SoloCifras(const QString& texto) {
    if (texto.isEmpty())
        return false;
    for (QChar c : texto)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

std::optional<ConfiguracionPuerto> ConfiguracionPuerto::Interpretar(const QString& texto) {
    const QStringList partes = texto.split(QLatin1Char(','));
    if (partes.size() != 4)
        return std::nullopt;
    const QString baudios = partes[0].trimmed();
    if (!SoloCifras(baudios) || baudios.size() > 8)
        return std::nullopt;
    const int valorBaudios = baudios.toInt();
    if (valorBaudios <= 0)
        return std::nullopt;
    const auto paridad = LeerParidad(partes[1].trimmed());
    const QString datos = partes[2].trimmed();
    if (!paridad || !SoloCifras(datos) || datos.size() != 1)
        return std::nullopt;
    const int valorDatos = datos.toInt();
    if (valorDatos < 5 || valorDatos > 8)
        return std::nullopt;
    const auto parada = LeerParada(partes[3].trimmed());
    if (!parada)
        return std::nullopt;

    ConfiguracionPuerto c;
    c.baudios = valorBaudios;
    c.paridad = *paridad;
    c.bitsDatos = static_cast<QSerialPort::DataBits>(valorDatos);
    c.bitsParada = *parada;
    return c;
}

QString ConfiguracionPuerto::Texto() const {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(baudios)
        .arg(LetraParidad(paridad))
        .arg(static_cast<int>(bitsDatos))
        .arg(TextoParada(bitsParada));
}

} // namespace portiva
