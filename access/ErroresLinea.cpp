#include "ErroresLinea.h"

#include "EventoComm.h"
#include "PuertoSerie.h"
#include "RegistroEventos.h"

#include <cerrno>

#ifdef __linux__
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

namespace portiva {

FuenteContadores::Lectura FuenteContadoresKernel::Leer(int descriptor) {
    Lectura l;
#ifdef __linux__
    // Pseudo-terminal slaves (majors 136 to 143): a simulated board, no wire.
    struct stat st {};
    if (::fstat(descriptor, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 &&
        major(st.st_rdev) <= 143) {
        l.estado = Estado::SinLinea;
        return l;
    }
    serial_icounter_struct c{};
    if (::ioctl(descriptor, TIOCGICOUNT, &c) != 0) {
        l.estado = (errno == ENOTTY || errno == EINVAL) ? Estado::NoDisponible : Estado::Fallo;
        return l;
    }
    l.estado = Estado::Leidos;
    l.contadores.rotura = static_cast<std::uint32_t>(c.brk);
    l.contadores.trama = static_cast<std::uint32_t>(c.frame);
    l.contadores.desbordamiento = static_cast<std::uint32_t>(c.overrun);
    l.contadores.paridad = static_cast<std::uint32_t>(c.parity);
    l.contadores.entradaLlena = static_cast<std::uint32_t>(c.buf_overrun);
#else
    (void)descriptor;
    l.estado = Estado::NoDisponible;
#endif
    return l;
}

const std::array<VigilanteLinea::Clase, 5> VigilanteLinea::Clases = {{
    {EventoComm::Break, &ContadoresLinea::rotura, "de break"},
    {EventoComm::ErrorTrama, &ContadoresLinea::trama, "de trama"},
    {EventoComm::Desbordamiento, &ContadoresLinea::desbordamiento, "de desbordamiento"},
    {EventoComm::ErrorParidad, &ContadoresLinea::paridad, "de paridad"},
    {EventoComm::EntradaLlena, &ContadoresLinea::entradaLlena,
     "de desbordamiento del bufer de entrada"},
}};

VigilanteLinea::VigilanteLinea(PuertoSerie& puerto, RegistroEventos& registro,
                               FuenteContadores* fuente, int intervaloMs, int silencioMs,
                               QObject* parent)
    : QObject(parent), puerto_(puerto), registro_(registro),
      propia_(fuente ? nullptr : std::make_unique<FuenteContadoresKernel>()),
      fuente_(fuente ? *fuente : *propia_), silencioMs_(silencioMs) {
    temporizador_.setInterval(intervaloMs);
    connect(&temporizador_, &QTimer::timeout, this, &VigilanteLinea::Sondear);
    temporizador_.start();
}

void VigilanteLinea::Sondear() {
    const int descriptor = puerto_.Descriptor();
    if (!puerto_.PortOpen() || descriptor < 0) {
        conBase_ = false;
        return;
    }
    if (conBase_ && sesion_ != puerto_.Sesion())
        conBase_ = false;
    const FuenteContadores::Lectura l = fuente_.Leer(descriptor);
    if (l.estado == FuenteContadores::Estado::NoDisponible) {
        const QString ruta = puerto_.RutaPuerto(puerto_.CommPort());
        if (!sinContadores_.contains(ruta)) {
            sinContadores_.insert(ruta);
            registro_.Escribir(
                QStringLiteral("Interface de Apertura: el puerto %1 no informa de errores de "
                               "paridad, trama, break ni desbordamiento.")
                    .arg(ruta));
        }
        return;
    }
    if (l.estado != FuenteContadores::Estado::Leidos)
        return; // a pseudo-terminal, or a failed reading (a lost device is the port's own event)
    if (!conBase_) {
        // The counts run from the device's setup: only what grows from now on is news.
        conBase_ = true;
        sesion_ = puerto_.Sesion();
        base_ = l.contadores;
        retenidos_.fill(0);
        return;
    }
    for (std::size_t i = 0; i < Clases.size(); ++i) {
        const Clase& c = Clases[i];
        const std::uint32_t antes = base_.*c.campo;
        const std::uint32_t ahora = l.contadores.*c.campo;
        // Counters wrap around; a count that went back is the driver starting again.
        retenidos_[i] += ahora >= antes ? ahora - antes : ahora;
        if (retenidos_[i] == 0)
            continue;
        if (ultimo_[i].isValid() && ultimo_[i].elapsed() < silencioMs_)
            continue;
        registro_.Escribir(QStringLiteral("Error: Interface de Apertura, %1 errores %2 en la "
                                          "linea serie.")
                               .arg(retenidos_[i])
                               .arg(QString::fromLatin1(c.nombre)));
        retenidos_[i] = 0;
        ultimo_[i].start();
        puerto_.AvisarEvento(c.evento);
    }
    base_ = l.contadores;
}

} // namespace portiva
