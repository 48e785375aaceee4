#pragma once

#include "SimuladorRele.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QString>
#include <QThread>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace portiva::prueba {

using simulador::ModoRespuesta;
using simulador::SimuladorRele;

// A simulated relay board linked as <carpeta>/COM<puerto>; null when no pseudo-terminal could
// be made.
inline std::unique_ptr<SimuladorRele> PlacaEnPuerto(const QString& carpeta, int puerto) {
    auto placa = std::make_unique<SimuladorRele>();
    if (!placa->valido())
        return nullptr;
    const QString enlace = QDir(carpeta).filePath(QStringLiteral("COM%1").arg(puerto));
    if (!placa->enlazar(enlace.toStdString()))
        return nullptr;
    return placa;
}

// How long a test waits for something that must happen (bytes reaching the simulated board, a
// condition coming true): a minute, so that a loaded machine (a parallel build, the sanitizer
// runs) never fails a test that is right; a passing test never waits that long. Waits for
// something that must NOT happen keep their own short limits.
inline constexpr std::chrono::milliseconds EsperaGenerosa{60000};

// Pumps the event loop until the condition holds or the time is up.
inline bool EsperarHasta(const std::function<bool()>& condicion,
                         int limiteMs = static_cast<int>(EsperaGenerosa.count())) {
    QDeadlineTimer plazo(limiteMs);
    while (!condicion()) {
        if (plazo.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// Waits, pumping events (the door's reply windows and pulse ends are timers of this thread),
// until the board has received at least `n` bytes since it last forgot them.
inline bool EsperarBytes(const simulador::SimuladorRele& placa, std::size_t n,
                         std::chrono::milliseconds limite) {
    return EsperarHasta([&] { return placa.bytesRecibidos().size() >= n; },
                        static_cast<int>(limite.count()));
}

// Waits (pumping events) until the board has received nothing new for `quietoMs`, so traffic
// still on its way (a resting byte sent by an event) is in before a test forgets it.
inline bool EsperarSilencio(const simulador::SimuladorRele& placa, int quietoMs = 300,
                            int limiteMs = static_cast<int>(EsperaGenerosa.count())) {
    QDeadlineTimer plazo(limiteMs);
    std::size_t antes = placa.bytesRecibidos().size();
    QDeadlineTimer quieto(quietoMs);
    while (!quieto.hasExpired()) {
        if (plazo.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
        const std::size_t ahora = placa.bytesRecibidos().size();
        if (ahora != antes) {
            antes = ahora;
            quieto.setRemainingTime(quietoMs);
        }
    }
    return true;
}

// The write-state commands (92 and a byte) in the bytes a board received, with their times.
struct EscrituraEstado {
    simulador::Reloj::time_point momento;
    std::uint8_t estado;
};

inline std::vector<EscrituraEstado>
EscriturasDeEstado(const std::vector<simulador::ByteRecibido>& recibidos) {
    std::vector<EscrituraEstado> escrituras;
    for (std::size_t i = 0; i + 1 < recibidos.size(); ++i)
        if (recibidos[i].valor == 92) {
            escrituras.push_back({recibidos[i + 1].momento, recibidos[i + 1].valor});
            ++i;
        }
    return escrituras;
}

inline long Milisegundos(simulador::Reloj::duration d) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

// The lengths of the pulses among what the board received: the time from each state write to
// the next (mask, then the byte back at rest), in milliseconds.
inline std::vector<long> LargosDePulso(const std::vector<simulador::ByteRecibido>& recibidos) {
    const std::vector<EscrituraEstado> escrituras = EscriturasDeEstado(recibidos);
    std::vector<long> largos;
    for (std::size_t i = 0; i + 1 < escrituras.size(); i += 2)
        largos.push_back(Milisegundos(escrituras[i + 1].momento - escrituras[i].momento));
    return largos;
}

} // namespace portiva::prueba
