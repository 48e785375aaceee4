#pragma once

#include "LectorFprint.h"
#include "LectorHuellas.h"

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
class NucleoFprint {
public:
    NucleoFprint(AvisoLector aviso, int ranuras);
    ~NucleoFprint();
    NucleoFprint(const NucleoFprint&) = delete;
    NucleoFprint& operator=(const NucleoFprint&) = delete;

    struct Ocupante {
        std::string id;
        std::uint64_t generacion = 0;
    };
    // Runs GLib's ready work unless a GLib loop is already dispatching on this thread.
    void bombear();
    // The open device in `ranura`, if any.
    std::optional<Ocupante> ocupante(int ranura);
    void capturar(int ranura, bool si);
    void tomarEventos(int ranura, std::uint64_t generacion, std::deque<EventoLector>& cola);
    // Hands the pending log lines to the notice callback.
    void entregarAvisos();

    struct Dispositivo; // defined in the source

private:
    friend struct Glib;

    AvisoLector aviso_;
    int ranuras_;
    struct Ranura {
        std::optional<Ocupante> ocupante;
        bool quiere = false;
        std::deque<EventoLector> eventos;
    };
    std::vector<Ranura> estado_;
    std::vector<std::string> avisos_;
    std::uint64_t generacion_ = 0;
    std::unique_ptr<Glib> glib_;
};

} // namespace portiva::motor
