#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>

namespace portiva {

class PuertoSerie;
class RegistroEventos;

// The kernel's counts of line errors on an open serial port, since the device was set up.
struct ContadoresLinea {
    std::uint32_t rotura = 0;         // breaks received
    std::uint32_t trama = 0;          // framing errors
    std::uint32_t desbordamiento = 0; // the UART's own buffer overrun
    std::uint32_t paridad = 0;        // parity errors
    std::uint32_t entradaLlena = 0;   // the kernel's input buffer overrun
};

// Where the counts come from. On Linux, the TIOCGICOUNT request on the port's descriptor; a
// driver that keeps no counts (many USB adapters) answers ENOTTY or EINVAL. A pseudo-terminal
// (a simulated board) has no line at all.
class FuenteContadores {
public:
    enum class Estado { Leidos, NoDisponible, SinLinea, Fallo };
    struct Lectura {
        Estado estado = Estado::Fallo;
        ContadoresLinea contadores;
    };
    virtual ~FuenteContadores() = default;
    virtual Lectura Leer(int descriptor) = 0;
};

class FuenteContadoresKernel final : public FuenteContadores {
public:
    Lectura Leer(int descriptor) override;
};

// Raises the serial port's break, framing, overrun, parity and input-overflow events (1001,
// 1004, 1006, 1009, 1008) from the kernel's counts, which Qt does not report: every
// `intervalo` the counts of the open port are read, the first reading of each port session is
// the base, and a count that grew raises its event on the port (the station's handler shows its
// box) and writes a log line with how many errors came. While the same event was raised less
// than `silencio` ago it is not raised again: the errors are kept and told with the next one,
// so a noisy line does not pile up boxes. A port whose driver keeps no counts is said once in
// the log, by its path (a pseudo-terminal, which has no line, is not).
class VigilanteLinea final : public QObject {
    Q_OBJECT

public:
    static constexpr int IntervaloMs = 1000;
    static constexpr int SilencioMs = 30000;

    // `fuente`: null for the kernel's.
    VigilanteLinea(PuertoSerie& puerto, RegistroEventos& registro,
                   FuenteContadores* fuente = nullptr, int intervaloMs = IntervaloMs,
                   int silencioMs = SilencioMs, QObject* parent = nullptr);

    // One look at the counts (the timer calls it).
    void Sondear();

private:
    struct Clase {
        int evento;
        std::uint32_t ContadoresLinea::*campo;
        const char* nombre;
    };
    static const std::array<Clase, 5> Clases;

    PuertoSerie& puerto_;
    RegistroEventos& registro_;
    std::unique_ptr<FuenteContadores> propia_;
    FuenteContadores& fuente_;
    int silencioMs_;
    QTimer temporizador_;
    bool conBase_ = false;
    std::uint64_t sesion_ = 0;
    ContadoresLinea base_;
    std::array<std::uint32_t, 5> retenidos_{};
    std::array<QElapsedTimer, 5> ultimo_;
    QSet<QString> sinContadores_;
};

} // namespace portiva
