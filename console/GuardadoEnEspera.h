#pragma once

#include "Resultado.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

namespace portiva {

class Conexion;

// A record save that another program's lock on the member database holds up. Before the save
// the file is tried without waiting; while another program holds it, the window keeps
// working: the busy cursor shows, the caller greys its save and undo buttons, and the file is
// tried again every IntervaloMs until it is free (then the save runs) or the limit has passed
// (then the operator is told that nothing was saved, and the edit goes on with every box as it
// was typed). The save itself also runs under the busy cursor.
class GuardadoEnEspera : public QObject {
    Q_OBJECT
public:
    struct Enlace {
        // Whether the file is free for a write now, without waiting: ok when free; a lock
        // error (EsBloqueo) while another program holds it.
        std::function<Resultado()> sondear;
        // The save (checks, then the write); it tells the operator its own outcome.
        std::function<void()> guardar;
        // The wait begins (true) or ends (false).
        std::function<void(bool)> esperando;
        // The lock outlasted the wait: nothing was saved.
        std::function<void()> bloqueada;
    };

    GuardadoEnEspera(Enlace enlace, int limiteMs, QObject* padre = nullptr);
    ~GuardadoEnEspera() override;

    // The save button: saves now, or waits for the file as above. Nothing while waiting.
    void Guardar();
    bool Esperando() const { return temporizador_.isActive(); }
    void setLimiteMs(int limiteMs) { limiteMs_ = limiteMs; }

    // Whether the file is free for a write, tried without waiting on another program's lock.
    static Resultado Sondear(Conexion& cn);
    // What the operator is told when the lock outlasts the wait.
    static QString TextoBloqueo(const QString& archivo);

    static constexpr int IntervaloMs = 250;

private:
    void intentar();
    void terminarEspera();

    Enlace enlace_;
    int limiteMs_;
    QTimer temporizador_;
    QElapsedTimer desde_;
    bool cursor_ = false;
};

} // namespace portiva
