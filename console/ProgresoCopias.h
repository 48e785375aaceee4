#pragma once

#include "Entorno.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QProgressDialog;
class QWidget;

namespace portiva {

// Runs a backup, compaction or restore of the database menu on a thread of its own, so that
// the window keeps drawing and handling its timers while the copy goes on: the procedure
// touches no widget, and its message boxes are shown on the window's thread (the procedure
// waits for the answer). While it runs a busy dialog, application-modal so the window takes no
// input, shows that the station is working: at once, or when the work has taken more than
// RetrasoMs. One procedure at a time.
class ProgresoCopias : public QObject {
public:
    static constexpr int RetrasoMs = 1000;

    // `entorno` is the window's; the backups are given entorno() instead.
    ProgresoCopias(QWidget* padre, Entorno& entorno);
    // A procedure still running is waited for; a box it asks for from then on is not shown.
    ~ProgresoCopias() override;
    ProgresoCopias(const ProgresoCopias&) = delete;
    ProgresoCopias& operator=(const ProgresoCopias&) = delete;

    // The window's environment with its message boxes brought to the window's thread, from
    // whichever thread they are asked for; the dialog goes before any box shows.
    Entorno& entorno() { return entornoCopias_; }

    // Starts `procedimiento` on its own thread and returns at once; `alTerminar` then runs on
    // the window's thread with its answer. False, with nothing started, while one runs.
    bool ejecutar(std::function<bool()> procedimiento, bool dialogoEnseguida,
                  std::function<void(bool)> alTerminar);
    // True from ejecutar until alTerminar has run.
    bool enCurso() const { return enCurso_; }
    bool visible() const { return !dialogo_.isNull(); }
    // Closes the dialog.
    void fin();

private:
    // The window's boxes, asked for from any thread.
    class MsgBoxVentana final : public MsgBox {
    public:
        explicit MsgBoxVentana(ProgresoCopias& progreso) : progreso_(progreso) {}
        Respuesta operator()(const QString& texto, int estilo, const QString& titulo) override;

    private:
        ProgresoCopias& progreso_;
    };

    void mostrar();

    QWidget* padre_;
    MsgBox& msgBoxVentana_;
    MsgBoxVentana msgBox_{*this};
    Entorno entornoCopias_;
    QTimer retraso_;
    QPointer<QProgressDialog> dialogo_;
    std::thread hilo_;
    bool enCurso_ = false;
    // A box the procedure waits for, answered on the window's thread.
    std::mutex mutex_;
    std::condition_variable respondida_;
    bool cerrando_ = false;
};

} // namespace portiva
