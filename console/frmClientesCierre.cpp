// The main window's closing: the questions before it closes, the shutdown in its order (settings,
// engine, door, database, the exit backup), a stop asked for by a signal, and a close that
// arrives while a backup or the door's pulse is under way.

#include "DbClientes.h"
#include "Entorno.h"
#include "HuellaFicha.h"
#include "IniFile.h"
#include "ProgresoCopias.h"
#include "PuertaEstacion.h"
#include "RecordsetVacio.h"
#include "SaltoDeLinea.h"
#include "frmClientes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>

namespace portiva {

bool frmClientes::Form_QueryUnload() {
    if (estado_.ModoEdicion) {
        entorno_.msgBox(QStringLiteral("Esta editando un registro, termine con la edicion antes de "
                                       "salir. Gracias"),
                        EstiloMsg::Informacion, QStringLiteral("Salir de Portiva..."));
        return true;
    }
    if (!RecordsetVacio(db_->rsClientes()) && !estado_.CompactarAlSalir &&
        !ajustes_.CopiaSegAlSalir) {
        const Respuesta r = entorno_.msgBox(
            QStringLiteral("Desea realizar una copia de seguridad de la Base de Datos antes de "
                           "salir?") +
                SaltoDeLinea +
                QStringLiteral("           (pulse cancelar si desea volver al programa)"),
            EstiloMsg::SiNoCancelarPregunta, QStringLiteral("Cerrar Portiva..."));
        if (r == Respuesta::Cancelar)
            return true;
        if (r == Respuesta::Si)
            estado_.CopiaSegEstaVez = true;
    }
    return false;
}

void frmClientes::Form_Unload() {
    if (descargada_)
        return;
    descargada_ = true;
    const QString titulo = QStringLiteral("Cerrando Portiva...");
    const auto error = [&](const ErrorDB& e) {
        entorno_.msgBox(e.texto() + QStringLiteral(" cerrando el programa"), EstiloMsg::Exclamacion,
                        titulo);
    };

    paso(QStringLiteral("GuardarConfiguracion"));
    if (!ini_->GuardarConfiguracion()) {
        // The file keeps what it held; the operator is told, and the shutdown goes on so that
        // the engine, the database and the exit backup are still taken care of.
        error(ErrorDB{75, QStringLiteral("no se pudo escribir el archivo de configuracion %1; "
                                         "los ajustes de esta sesion no se han guardado")
                              .arg(IniFile::nombreArchivo())});
    }
    paso(QStringLiteral("FinalizarHuella"));
    huella_->FinalizarHuella();
    // The door stops before the files close: what it has under way ends (the relays back at
    // rest), its port closes and its connection to the database with it, its last lines are
    // posted to the log.
    paso(QStringLiteral("PararPuerta"));
    if (!puerta_->Parar())
        qWarning("Portiva: la puerta no termino a tiempo; se detuvo tal como estaba.");

    paso(QStringLiteral("CerrarDB"));
    const bool conClientes = !RecordsetVacio(db_->rsClientes());
    if (const Resultado r = db_->CerrarDB(); !r) {
        error(r.error());
        hide();
        emit cerrado();
        return;
    }
    if (conClientes) {
        if (estado_.CompactarAlSalir) {
            paso(QStringLiteral("CompactarBaseDatos"));
            CopiaSeguridadAlSalir(true);
        } else if (estado_.CopiaSegEstaVez || ajustes_.CopiaSegAlSalir) {
            paso(QStringLiteral("CopiaSeguridad"));
            CopiaSeguridadAlSalir(false);
        }
    }
    CerrarDialogos();
    paso(QStringLiteral("RemoveBallonIcon"));
    globos_.OcultarBalloon();
    RemoveBallonIcon();
    hide();
    emit cerrado();
}

void frmClientes::TerminarPorSenal() {
    if (descargada_)
        return;
    // Nobody is there to answer: an open menu or dialog is closed as if cancelled, so that the
    // code waiting on it goes on before the shutdown runs under it.
    QWidget* abierto = QApplication::activePopupWidget();
    if (!abierto)
        abierto = QApplication::activeModalWidget();
    if (abierto) {
        abierto->close();
        QTimer::singleShot(IntervaloCierreAplazadoMs, this, &frmClientes::TerminarPorSenal);
        return;
    }
    if (cargando_) {
        // Inside a start-up box: Form_Load ends the start-up and takes the stop up then; a
        // further box it shows meanwhile is closed at the next try.
        pararTrasCargar_ = true;
        QTimer::singleShot(IntervaloCierreAplazadoMs, this, [this] {
            if (cargando_)
                TerminarPorSenal();
        });
        return;
    }
    if (progreso_->enCurso() || PuertaOcupada()) {
        QTimer::singleShot(IntervaloCierreAplazadoMs, this, &frmClientes::TerminarPorSenal);
        return;
    }
    Form_Unload();
}

bool frmClientes::PuertaOcupada() {
    return puerta_->estado().ocupada;
}

void frmClientes::closeEvent(QCloseEvent* evento) {
    if (descargada_) {
        evento->accept();
        return;
    }
    // A close that arrives while a backup or restore runs, or while the door pulses, would
    // close the database and the engine under what still runs, or leave the relays on: it is
    // taken up again once that is over.
    if (progreso_->enCurso() || PuertaOcupada()) {
        evento->ignore();
        QTimer::singleShot(IntervaloCierreAplazadoMs, this, &QWidget::close);
        return;
    }
    if (Form_QueryUnload()) {
        evento->ignore();
        return;
    }
    Form_Unload();
    evento->accept();
}

} // namespace portiva
