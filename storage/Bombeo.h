#pragma once

namespace portiva {

// Waiting on the user-interface thread: pump the event queue, sleep, pump again. Other events
// (a timer tick, a captured image) really run inside such a wait.
class Bombeo {
public:
    virtual ~Bombeo() = default;
    virtual void procesarEventos() = 0;
    virtual void dormir(int ms) = 0;
    // True while an event runs inside procesarEventos(), that is inside someone's wait (a door
    // pulse, a relay request): what would pull the station down under it must wait its turn.
    virtual bool DentroDeUnaEspera() const = 0;
};

// QCoreApplication::processEvents and a plain sleep of the thread.
class BombeoQt final : public Bombeo {
public:
    void procesarEventos() override;
    void dormir(int ms) override;
    bool DentroDeUnaEspera() const override { return profundidad_ > 0; }

private:
    int profundidad_ = 0;
};

} // namespace portiva
