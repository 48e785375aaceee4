#include "SenalesParada.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace portiva {

namespace {

// The only state a signal handler may touch: the write end of the pipe.
volatile std::sig_atomic_t extremoEscritura = -1;
int extremos[2] = {-1, -1};
struct sigaction anteriorTerm {};
struct sigaction anteriorInt {};

extern "C" void AlRecibirSenal(int) {
    const int fd = extremoEscritura;
    if (fd < 0)
        return;
    const char byte = 1;
    // Async-signal-safe; a full pipe already holds a pending stop.
    [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
}

} // namespace

SenalesParada::SenalesParada(std::function<void()> alParar, QObject* padre)
    : QObject(padre), alParar_(std::move(alParar)) {
    if (extremos[0] >= 0)
        return; // another instance owns the signals
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, extremos) != 0) {
        extremos[0] = extremos[1] = -1;
        return;
    }
    extremoEscritura = extremos[1];
    notificador_ = std::make_unique<QSocketNotifier>(extremos[0], QSocketNotifier::Read);
    connect(notificador_.get(), &QSocketNotifier::activated, this, &SenalesParada::leer);

    struct sigaction accion {};
    accion.sa_handler = AlRecibirSenal;
    sigemptyset(&accion.sa_mask);
    accion.sa_flags = SA_RESTART;
    activas_ = ::sigaction(SIGTERM, &accion, &anteriorTerm) == 0 &&
               ::sigaction(SIGINT, &accion, &anteriorInt) == 0;
}

SenalesParada::~SenalesParada() {
    if (!notificador_)
        return;
    ::sigaction(SIGTERM, &anteriorTerm, nullptr);
    ::sigaction(SIGINT, &anteriorInt, nullptr);
    extremoEscritura = -1;
    notificador_.reset();
    ::close(extremos[0]);
    ::close(extremos[1]);
    extremos[0] = extremos[1] = -1;
}

void SenalesParada::leer() {
    char bytes[16];
    while (::read(extremos[0], bytes, sizeof bytes) > 0) {
    }
    if (alParar_)
        alParar_();
}

} // namespace portiva
