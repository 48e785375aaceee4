#include "PuertoSerie.h"

#include "EventoComm.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>

#include <limits>

namespace portiva {

namespace {

constexpr int kPuertoMaximo = 255;

QString Texto(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QSerialPort::FlowControl ControlDeFlujo(int handshaking) {
    switch (handshaking) {
    case 1:
        return QSerialPort::SoftwareControl;
    case 2:
    case 3:
        return QSerialPort::HardwareControl;
    default:
        return QSerialPort::NoFlowControl;
    }
}

} // namespace

PuertoSerie::PuertoSerie(QString carpetaPrograma, QString prefijoDispositivo, QObject* parent)
    : QObject(parent), carpetaPrograma_(std::move(carpetaPrograma)),
      prefijoDispositivo_(std::move(prefijoDispositivo)) {
    connect(&serie_, &QSerialPort::errorOccurred, this, &PuertoSerie::AlError);
    connect(&serie_, &QSerialPort::readyRead, this, &PuertoSerie::AlRecibir);
    connect(&serie_, &QSerialPort::bytesWritten, this, &PuertoSerie::AlEnviar);
}

PuertoSerie::~PuertoSerie() {
    maniobrando_ = true;
    abierto_ = false;
    if (serie_.isOpen())
        serie_.close();
}

bool PuertoSerie::Fallo(int numero, const QString& descripcion) {
    error_ = {numero, descripcion};
    return false;
}

QString PuertoSerie::RutaPuerto(int puerto) const {
    if (!carpetaPrograma_.isEmpty()) {
        const QString enCarpeta =
            QDir(carpetaPrograma_).filePath(QStringLiteral("COM%1").arg(puerto));
        const QFileInfo info(enCarpeta);
        // A link counts even when it points nowhere: the device it names is then missing.
        if (info.exists() || info.isSymLink())
            return enCarpeta;
    }
    return prefijoDispositivo_ + QString::number(puerto - 1);
}

bool PuertoSerie::setCommPort(int puerto) {
    if (abierto_)
        return Fallo(ErrorSerie::PuertoYaAbierto, Texto("El puerto ya está abierto"));
    if (puerto < 1 || puerto > kPuertoMaximo)
        return Fallo(ErrorSerie::PuertoNoValido, Texto("Número de puerto no válido"));
    commPort_ = puerto;
    return true;
}

bool PuertoSerie::setSettings(const QString& texto) {
    const auto configuracion = ConfiguracionPuerto::Interpretar(texto);
    if (!configuracion)
        return Fallo(ErrorSerie::ValorNoValido, Texto("Valor de propiedad no válido"));
    configuracion_ = *configuracion;
    if (!abierto_ || perdido_)
        return true;
    maniobrando_ = true;
    const bool aceptada = serie_.setBaudRate(configuracion_.baudios) &&
                          serie_.setParity(configuracion_.paridad) &&
                          serie_.setDataBits(configuracion_.bitsDatos) &&
                          serie_.setStopBits(configuracion_.bitsParada);
    maniobrando_ = false;
    if (!aceptada)
        return Fallo(ErrorSerie::ConfiguracionRechazada,
                     Texto("El dispositivo no acepta la configuración"));
    return true;
}

bool PuertoSerie::setInputMode(int modo) {
    if (modo != 0 && modo != 1)
        return Fallo(ErrorSerie::ValorNoValido, Texto("Valor de propiedad no válido"));
    inputMode_ = modo;
    return true;
}

bool PuertoSerie::setInputLen(int bytes) {
    if (bytes < 0)
        return Fallo(ErrorSerie::ValorNoValido, Texto("Valor de propiedad no válido"));
    inputLen_ = bytes;
    return true;
}

bool PuertoSerie::setHandshaking(int modo) {
    if (modo < 0 || modo > 3)
        return Fallo(ErrorSerie::ValorNoValido, Texto("Valor de propiedad no válido"));
    handshaking_ = modo;
    if (abierto_ && !perdido_) {
        maniobrando_ = true;
        const bool aceptado = serie_.setFlowControl(ControlDeFlujo(handshaking_));
        maniobrando_ = false;
        if (!aceptado)
            return Fallo(ErrorSerie::ConfiguracionRechazada,
                         Texto("El dispositivo no acepta la configuración"));
    }
    return true;
}

bool PuertoSerie::setRThreshold(int bytes) {
    if (bytes < 0)
        return Fallo(ErrorSerie::ValorNoValido, Texto("Valor de propiedad no válido"));
    rThreshold_ = bytes;
    return true;
}

bool PuertoSerie::setSThreshold(int bytes) {
    if (bytes < 0)
        return Fallo(ErrorSerie::ValorNoValido, Texto("Valor de propiedad no válido"));
    sThreshold_ = bytes;
    return true;
}

bool PuertoSerie::setInBufferSize(int bytes) {
    if (abierto_)
        return Fallo(ErrorSerie::PuertoYaAbierto, Texto("El puerto ya está abierto"));
    if (bytes < 1)
        return Fallo(ErrorSerie::ValorNoValido, Texto("Valor de propiedad no válido"));
    inBufferSize_ = bytes;
    return true;
}

bool PuertoSerie::setOutBufferSize(int bytes) {
    if (abierto_)
        return Fallo(ErrorSerie::PuertoYaAbierto, Texto("El puerto ya está abierto"));
    if (bytes < 1)
        return Fallo(ErrorSerie::ValorNoValido, Texto("Valor de propiedad no válido"));
    outBufferSize_ = bytes;
    return true;
}

void PuertoSerie::AplicarConfiguracion() {
    serie_.setBaudRate(configuracion_.baudios);
    serie_.setParity(configuracion_.paridad);
    serie_.setDataBits(configuracion_.bitsDatos);
    serie_.setStopBits(configuracion_.bitsParada);
    serie_.setFlowControl(ControlDeFlujo(handshaking_));
    // One byte over the capacity tells an overflow from a buffer that is merely full.
    serie_.setReadBufferSize(inBufferSize_ + 1);
}

bool PuertoSerie::setPortOpen(bool abrir) {
    if (!abrir) {
        if (!abierto_)
            return true;
        maniobrando_ = true;
        abierto_ = false;
        perdido_ = false;
        desbordado_ = false;
        if (serie_.isOpen())
            serie_.close();
        serie_.clearError();
        maniobrando_ = false;
        return true;
    }

    if (abierto_)
        return Fallo(ErrorSerie::PuertoYaAbierto, Texto("El puerto ya está abierto"));
    maniobrando_ = true;
    serie_.setPortName(RutaPuerto(commPort_));
    AplicarConfiguracion();
    const bool abierto = serie_.open(QIODevice::ReadWrite);
    const QSerialPort::SerialPortError motivo = serie_.error();
    serie_.clearError();
    maniobrando_ = false;
    if (!abierto) {
        switch (motivo) {
        case QSerialPort::DeviceNotFoundError:
            return Fallo(ErrorSerie::PuertoNoValido, Texto("Número de puerto no válido"));
        case QSerialPort::OpenError:
            return Fallo(ErrorSerie::PuertoYaAbierto, Texto("El puerto ya está abierto"));
        case QSerialPort::UnsupportedOperationError:
            return Fallo(ErrorSerie::ConfiguracionRechazada,
                         Texto("El dispositivo no acepta la configuración"));
        default:
            return Fallo(ErrorSerie::HardwareNoDisponible,
                         Texto("El hardware no está disponible (bloqueado por otro "
                               "dispositivo)"));
        }
    }
    abierto_ = true;
    perdido_ = false;
    desbordado_ = false;
    commEvent_ = EventoComm::Ninguno;
    ++sesion_;
    return true;
}

void PuertoSerie::LeerPendiente() {
    if (!serie_.isOpen() || perdido_)
        return;
    // Takes what the device already holds without waiting; a timeout here only means that
    // nothing was waiting.
    const bool antes = maniobrando_;
    maniobrando_ = true;
    serie_.waitForReadyRead(0);
    if (serie_.error() == QSerialPort::TimeoutError)
        serie_.clearError();
    maniobrando_ = antes;
    // A real failure during that read is the lost device; report it as the port would.
    const QSerialPort::SerialPortError error = serie_.error();
    if (error != QSerialPort::NoError) {
        serie_.clearError();
        AlError(error);
    }
}

void PuertoSerie::RearmarDesbordamiento() {
    if (serie_.bytesAvailable() <= inBufferSize_)
        desbordado_ = false;
}

int PuertoSerie::InBufferCount() {
    if (!abierto_)
        return 0;
    LeerPendiente();
    const qint64 n = serie_.isOpen() ? serie_.bytesAvailable() : 0;
    return static_cast<int>(std::min<qint64>(n, std::numeric_limits<int>::max()));
}

bool PuertoSerie::setInBufferCount(int bytes) {
    if (bytes != 0)
        return Fallo(ErrorSerie::ValorNoValido, Texto("Valor de propiedad no válido"));
    if (!abierto_)
        return Fallo(ErrorSerie::PuertoNoAbierto, Texto("El dispositivo no está abierto"));
    if (serie_.isOpen() && !perdido_) {
        LeerPendiente();
        if (serie_.isOpen() && !perdido_) {
            maniobrando_ = true;
            serie_.clear(QSerialPort::Input);
            serie_.readAll();
            serie_.clearError();
            maniobrando_ = false;
        }
    }
    desbordado_ = false;
    return true;
}

bool PuertoSerie::Output(const QByteArray& datos) {
    if (!abierto_)
        return Fallo(ErrorSerie::PuertoNoAbierto, Texto("El dispositivo no está abierto"));
    if (perdido_ || !serie_.isOpen())
        return Fallo(ErrorSerie::ErrorEscritura,
                     Texto("Error escribiendo en el dispositivo: el dispositivo no responde"));
    if (serie_.bytesToWrite() + datos.size() > outBufferSize_) {
        LanzarEvento(EventoComm::SalidaLlena);
        return Fallo(ErrorSerie::ErrorEscritura, Texto("Búfer de transmisión lleno"));
    }
    if (serie_.write(datos) != datos.size())
        return Fallo(ErrorSerie::ErrorEscritura, Texto("Error escribiendo en el dispositivo"));
    serie_.flush();
    // A failing write reports the lost device synchronously through AlError.
    if (perdido_)
        return Fallo(ErrorSerie::ErrorEscritura,
                     Texto("Error escribiendo en el dispositivo: el dispositivo no responde"));
    return true;
}

QByteArray PuertoSerie::Input() {
    if (!abierto_) {
        Fallo(ErrorSerie::PuertoNoAbierto, Texto("El dispositivo no está abierto"));
        return {};
    }
    if (perdido_ || !serie_.isOpen())
        return {};
    const qint64 pedidos = inputLen_ > 0 ? inputLen_ : std::numeric_limits<qint64>::max();
    if (serie_.bytesAvailable() < pedidos)
        LeerPendiente();
    if (!serie_.isOpen())
        return {};
    const QByteArray leidos =
        serie_.read(inputLen_ > 0 ? static_cast<qint64>(inputLen_) : serie_.bytesAvailable());
    RearmarDesbordamiento();
    return leidos;
}

int PuertoSerie::Descriptor() const {
    if (!abierto_ || perdido_ || !serie_.isOpen())
        return -1;
    return static_cast<int>(serie_.handle());
}

void PuertoSerie::LanzarEvento(int evento) {
    const std::uint64_t sesion = sesion_;
    QMetaObject::invokeMethod(
        this,
        [this, evento, sesion] {
            if (!abierto_ || sesion_ != sesion)
                return;
            commEvent_ = evento;
            emit OnComm();
        },
        Qt::QueuedConnection);
}

void PuertoSerie::AlError(QSerialPort::SerialPortError error) {
    if (!abierto_ || perdido_ || maniobrando_)
        return;
    const int evento = EventoDeErrorSerie(error);
    if (evento == EventoComm::Ninguno)
        return;
    if (evento == EventoComm::SalidaLlena) {
        // The device is gone: stop using it (from the event loop, not inside QSerialPort's
        // own notification) and tell the owner once.
        perdido_ = true;
        const std::uint64_t sesion = sesion_;
        QMetaObject::invokeMethod(
            this,
            [this, sesion] {
                if (sesion_ == sesion && perdido_ && serie_.isOpen()) {
                    maniobrando_ = true;
                    serie_.close();
                    serie_.clearError();
                    maniobrando_ = false;
                }
            },
            Qt::QueuedConnection);
    }
    LanzarEvento(evento);
}

void PuertoSerie::AlRecibir() {
    if (!abierto_ || perdido_)
        return;
    const qint64 esperando = serie_.bytesAvailable();
    if (esperando > inBufferSize_ && !desbordado_) {
        desbordado_ = true;
        LanzarEvento(EventoComm::EntradaLlena);
    }
    if (rThreshold_ > 0 && esperando >= rThreshold_)
        LanzarEvento(EventoComm::Recepcion);
}

void PuertoSerie::AlEnviar() {
    if (!abierto_ || perdido_)
        return;
    if (sThreshold_ > 0 && serie_.bytesToWrite() < sThreshold_)
        LanzarEvento(EventoComm::Envio);
}

} // namespace portiva
