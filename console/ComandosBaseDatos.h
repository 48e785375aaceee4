#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace portiva {

struct AjustesEstacion;
class CopiasSeguridad;
class MsgBox;
class SelectorArchivos;

// The database commands of the popup menu: back up now, the two exit toggles and the restore,
// scheduled for the next start or carried out at once. The backup and the immediate restore go
// on after the command returns (Ventana::ejecutar); while one runs, the commands refuse with a
// box.
class ComandosBaseDatos : public QObject {
    Q_OBJECT
public:
    // What the window does for the commands.
    struct Ventana {
        QWidget* padre = nullptr;
        QString carpetaPrograma;
        std::function<bool()> modoEdicion;
        // Closes the database before an immediate restore; false when it could not be closed
        // (the operator has been told).
        std::function<bool()> cerrarBaseDatos;
        // Reopens the database after it and shows its first member.
        std::function<void()> reabrirBaseDatos;
        // Identification refuses while set.
        std::function<void(bool)> marcarRestaurando;
        // Runs a backup or restore and then `alTerminar` with its outcome (ProgresoCopias:
        // on a thread of its own, the window running meanwhile); false when another still runs.
        // Empty: both at once.
        std::function<bool(std::function<bool()> procedimiento, bool dialogoEnseguida,
                           std::function<void(bool)> alTerminar)>
            ejecutar;
        // True while a procedure started by `ejecutar` has not ended.
        std::function<bool()> enCurso;
    };

    ComandosBaseDatos(MsgBox& msgBox, CopiasSeguridad& copias, AjustesEstacion& ajustes,
                      bool& compactarAlSalir, SelectorArchivos& selector, Ventana ventana);

    void mnuDoCopyDB_Click();
    void mnuDoCopyDBOnEnd_Click();
    void mnuDoCompactDB_Click();
    void mnuDoRestoreDB_Click();
    // The picker for a backup file in "Seguridad"; empty when none was chosen.
    QString SelectDBToRestore();
    // Closes the database, restores `NombreDBRestaurar` and reopens it.
    void RestaurarAhora();

signals:
    // The database file was replaced while the station ran: whatever shows rows of the old
    // one (the search result list) must drop them.
    void baseDeDatosSustituida();

private:
    bool ocupada();
    bool ejecutar(std::function<bool()> procedimiento, bool dialogoEnseguida,
                  std::function<void(bool)> alTerminar);

    MsgBox& msgBox_;
    CopiasSeguridad& copias_;
    AjustesEstacion& ajustes_;
    bool& compactarAlSalir_;
    SelectorArchivos& selector_;
    Ventana ventana_;
};

} // namespace portiva
