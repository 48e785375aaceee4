#pragma once

namespace portiva {

// One pass of the event queue on the user-interface thread, for a long desk operation that
// wants the screen to follow (a progress bar, a list being filled). Nothing waits or sleeps
// here: the door's own waits are timers and do not depend on these passes.
class Bombeo {
public:
    virtual ~Bombeo() = default;
    virtual void procesarEventos() = 0;
    // True while an event runs inside procesarEventos(): what would pull the station down under
    // the operation that passed the queue must wait its turn.
    virtual bool DentroDeUnaEspera() const = 0;
};

// QCoreApplication::processEvents.
class BombeoQt final : public Bombeo {
public:
    void procesarEventos() override;
    bool DentroDeUnaEspera() const override { return profundidad_ > 0; }

private:
    int profundidad_ = 0;
};

} // namespace portiva
