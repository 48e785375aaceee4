#pragma once

#include "Buzon.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QEventLoop;

namespace portiva {

struct FinLlamada;

// The thread the door lives on, with its own event loop, or no thread of its own ("en linea":
// the door then lives on the thread that made this object, as the window's unit tests want).
//
// Everything of the door is made, called and destroyed on that thread: `Construir` runs there,
// `Enviar` queues a call there, and `contexto()` is the mailbox that lives there, for calls
// handed in by others (and the QObject for the door's own timers). The door never waits on its
// caller; the caller waits on the door only in `Ejecutar` and `Unir`, with a limit.
//
// A std::thread running a Qt event loop: its start and join are seen by the thread checker,
// which cannot see QThread's own.
class HiloPuerta {
public:
    enum class Modo { HiloPropio, EnLinea };

    explicit HiloPuerta(Modo modo = Modo::HiloPropio);
    // Ends the thread's loop and joins it if that was not done.
    ~HiloPuerta();
    HiloPuerta(const HiloPuerta&) = delete;
    HiloPuerta& operator=(const HiloPuerta&) = delete;

    bool propio() const { return propio_; }
    // The mailbox that lives on the door's thread; calls handed to it run there.
    Buzon* contexto() const { return contexto_.get(); }
    // True when called on the door's thread.
    bool enHilo() const;

    // Starts the thread and runs `construir` on it; returns once it has run. Start-up only:
    // the window has nothing to show before the door exists.
    void Construir(const std::function<void()>& construir);

    // Queues `accion` on the door's thread, after what is queued there already. On line it
    // runs at once. Dropped once the thread has ended.
    void Enviar(std::function<void()> accion) const;

    // Runs `accion` on the door's thread and waits for it, at most `esperaMs`. True when it
    // ran within that time; when it did not, it still runs later, so it must own what it uses.
    // For the few desk questions that need the door's answer at once (a setting read back at
    // shutdown, the database closed before a restore): the door never waits on the caller,
    // so the wait is the time the door needs to finish what it is doing.
    bool Ejecutar(std::function<void()> accion, int esperaMs) const;

    // Ends the door's event loop once the call that asks it returns (door's thread), and
    // joins the thread from another one, waiting at most `esperaMs`; false when it did not
    // end in time. On line both do nothing.
    void Salir() const;
    bool Unir(int esperaMs);

private:
    bool propio_;
    std::thread hilo_;
    std::unique_ptr<Buzon> contexto_;
    // The door's loop (door's thread only).
    QEventLoop* bucle_ = nullptr;
    std::atomic<bool> enMarcha_{false};
    // Marked by the thread as its very last step.
    std::shared_ptr<FinLlamada> terminado_;
};

} // namespace portiva
