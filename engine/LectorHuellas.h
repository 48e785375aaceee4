#pragma once

#include "Imagenes.h"

#include <deque>
#include <string>

namespace portiva::motor {

// Something a reader has to tell the station. Connection changes are found by the capture
// layer itself (it asks every reader whether it is connected); readers only report fingers
// and images.
struct EventoLector {
    enum class Tipo { Conectado, Desconectado, DedoPuesto, DedoRetirado, Imagen };
    Tipo tipo = Tipo::Conectado;
    std::string sensor;
    ImagenGris imagen; // only for Tipo::Imagen
};

// A fingerprint reader as the capture layer sees it. A reader may run a thread of its own;
// then `conectado` must be safe to call from the station's thread, and `sondear` hands over
// what the thread queued. Nothing is delivered to the station except through `sondear`.
class LectorHuellas {
public:
    virtual ~LectorHuellas() = default;

    virtual const std::string& id() const = 0;
    virtual bool conectado() = 0;
    virtual int iniciarCaptura() = 0; // 0 or an engine error code
    virtual int detenerCaptura() = 0;
    virtual bool capturando() const = 0;
    // Appends the finger and image events that happened since the last call.
    virtual void sondear(std::deque<EventoLector>& cola) = 0;
};

} // namespace portiva::motor
