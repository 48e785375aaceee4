#pragma once

#include "LectorHuellas.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace portiva::motor {

// The readers the engine knows and the queue of their events. Runs only on the station's
// thread: `sondear` asks every reader for its connection state and its events, and
// `siguiente` hands them out one at a time, so an event handler may poll again (the station's
// door pulse pumps its event loop) without losing or repeating anything.
class CapaCaptura {
public:
    void agregar(std::unique_ptr<LectorHuellas> lector);
    LectorHuellas* buscar(const std::string& id);

    int iniciar();
    int detener();
    bool activa() const { return activa_; }

    void sondear();
    std::optional<EventoLector> siguiente();

private:
    struct Entrada {
        std::unique_ptr<LectorHuellas> lector;
        bool avisadoConectado = false;
    };
    std::vector<Entrada> lectores_;
    std::deque<EventoLector> cola_;
    bool activa_ = false;
};

} // namespace portiva::motor
