#pragma once

#include "LectorFprint.h"
#include "LectorHuellas.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace portiva::motor {

struct Glib;

// libfprint's side of the readers. libfprint does its work on GLib's default main context (its
// device discovery and removal are tied to it), so everything here runs on the station's
// thread, never blocking on a device: every device call is asynchronous, and its answer is
// dispatched either by Qt's own GLib event loop (Qt on Debian dispatches GLib's default context
// on the main thread) or, when nothing dispatches GLib, by `bombear`, which the readers call at
// each poll and which only runs what is ready.
//
// Heat. libfprint 1.94 estimates each device's temperature from the time it has spent in an
// action (a pending capture counts from start to end, waiting for a finger included; an idle
// open device does not) and, once its estimate reads hot, cancels the capture with "Device
// disabled to prevent overheating" and refuses every other one until the estimate has cooled,
// minutes later. A door must wait for a finger all day, and an image that reaches libfprint's
// virtual reader, or a finger that rests on a real one, while no capture is pending is not
// taken. So the core keeps the capture pending and, before the device object has spent
// `Opciones::activoAntesDeRenovar` in captures, renews it: every device is closed, libfprint's
// context is dropped and a new one finds the same devices again, which start cold (the same
// thing happens when fprintd, libfprint's own service, exits when idle and starts again). The
// slot keeps its reader through a renewal: the station sees no disconnection.
//
// Availability. A device whose capture fails (other than by a retry, a cancellation or its
// removal), or libfprint's virtual reader whose socket has gone, is reported unavailable (the
// slot reads as empty, so the station sees the reader go) and is recovered by a renewal after a
// pause that grows while it keeps failing; it is available again once a capture has been
// pending for a while without failing. Each change is told through the notice callback.
class NucleoFprint {
public:
    NucleoFprint(AvisoLector aviso, int ranuras, OpcionesFprint opciones = {});
    ~NucleoFprint();
    NucleoFprint(const NucleoFprint&) = delete;
    NucleoFprint& operator=(const NucleoFprint&) = delete;

    struct Ocupante {
        std::string id;
        std::uint64_t generacion = 0;
    };
    // Runs GLib's ready work unless a GLib loop is already dispatching on this thread.
    void bombear();
    // The available device in `ranura`, if any.
    std::optional<Ocupante> ocupante(int ranura);
    void capturar(int ranura, bool si);
    // Hands over the slot's events; an image that waited longer than `Opciones::vidaImagen`
    // (the station did not poll meanwhile) is dropped with a notice.
    void tomarEventos(int ranura, std::uint64_t generacion, std::deque<EventoLector>& cola);
    // Hands the pending log lines to the notice callback.
    void entregarAvisos();
    // Renewals of libfprint's context so far (for tests and the bench).
    int renovaciones() const;

    struct Dispositivo; // defined in NucleoFprintGlib.h

private:
    friend struct Glib;

    using Instante = std::chrono::steady_clock::time_point;
    struct Evento {
        EventoLector evento;
        Instante llegada;
    };

    AvisoLector aviso_;
    int ranuras_;
    OpcionesFprint opciones_;
    struct Ranura {
        std::optional<Ocupante> ocupante;
        bool disponible = true;
        bool quiere = false;
        std::deque<Evento> eventos;
    };
    std::vector<Ranura> estado_;
    std::vector<std::string> avisos_;
    std::uint64_t generacion_ = 0;
    std::unique_ptr<Glib> glib_;
};

} // namespace portiva::motor
