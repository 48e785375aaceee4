// The window's side of the door: the commands it queues to the door's thread and what it
// sends the door of the window's state.

#include "ControlAcceso.h"
#include "PantallaHuellaVentana.h"
#include "PuertaEstacion.h"
#include "frmClientes.h"

#include <QAction>
#include <QCheckBox>

namespace portiva {

ControlAcceso& frmClientes::acceso() {
    return puerta_->acceso();
}

void frmClientes::setRestaurandoDB(bool valor) {
    estado_.RestaurandoDB = valor;
    PublicarOpcionesHuella();
}

void frmClientes::PublicarOpcionesHuella() {
    if (!puerta_)
        return;
    OpcionesPantallaHuella o;
    o.autoAnalizar = pantallaHuella_->chkAutoAnalizar();
    o.autoIdentify = pantallaHuella_->chkAutoIdentify();
    o.mostrarHuella = pantallaHuella_->chkMostrarHuella();
    o.mostrarAnalisis = pantallaHuella_->chkMostrarAnalisis();
    o.mostrarIdentificacion = pantallaHuella_->chkMostrarIdentificacion();
    o.informacionAmpliada = pantallaHuella_->chkInformacionAmpliada();
    o.infoDesplegada = estado_.InfoDesplegada;
    o.restaurandoDB = estado_.RestaurandoDB;
    puerta_->PonerOpciones(o);
}

void frmClientes::ControlPorHuella() {
    puerta_->Enviar([p = puerta_.get()] {
        ModosEstacion& modos = p->acceso().modos();
        const bool lectorYaConectado = modos.LectorDetectado();
        modos.EntrarEnControlPorHuella();
        if (lectorYaConectado) {
            modos.PonerLectorDetectado(true);
            modos.tmrDetectarLector().stop();
        }
    });
}

void frmClientes::conectarPuerta() {
    // The station modes of the popup menu: commands queued to the door.
    PuertaEstacion* puerta = puerta_.get();
    connect(menu_.mnuReconnetRelay, &QAction::triggered, this, [puerta] {
        puerta->Enviar([puerta] { puerta->acceso().modos().mnuReconnetRelay_Click(); });
    });
    connect(menu_.mnuDoReady, &QAction::triggered, this, [puerta] {
        puerta->Enviar([puerta] { puerta->acceso().modos().mnuDoReady_Click(); });
    });
    connect(menu_.mnuDoNoReady_Closed, &QAction::triggered, this, [puerta] {
        puerta->Enviar([puerta] { puerta->acceso().modos().mnuDoNoReady_Closed_Click(); });
    });
    connect(menu_.mnuDoNoReady_Open, &QAction::triggered, this, [puerta] {
        puerta->Enviar([puerta] { puerta->acceso().modos().mnuDoNoReady_Open_Click(); });
    });
    // What the door's flow reads of the window is sent to it whenever it changes.
    for (QCheckBox* caja : {columna_.chkAutoAnalizar, columna_.chkAutoIdentify,
                            columna_.chkMostrarHuella, columna_.chkMostrarAnalisis,
                            columna_.chkMostrarIdentificacion, columna_.chkInformacionAmpliada})
        connect(caja, &QCheckBox::stateChanged, this, &frmClientes::PublicarOpcionesHuella);
    PublicarOpcionesHuella();
}

} // namespace portiva
