// The window's database commands and the remaining menu commands: they are built here with
// what they need from the window, and the window's own handlers forward to them.

#include "BuscadorClientes.h"
#include "ComandosBaseDatos.h"
#include "ComandosMenu.h"
#include "CopiasSeguridad.h"
#include "DbClientes.h"
#include "IniFile.h"
#include "NavegadorWeb.h"
#include "ProgresoCopias.h"
#include "PuertaEstacion.h"
#include "RegistroEventos.h"
#include "frmClientes.h"

#include <QAction>
#include <QDir>
#include <QTreeWidget>

namespace portiva {

void frmClientes::construirComandos(const ServiciosConsola& servicios) {
    // The backups may run on a thread of their own: their boxes come back to this one.
    progreso_ = std::make_unique<ProgresoCopias>(this, entorno_);
    copias_ = std::make_unique<CopiasSeguridad>(progreso_->entorno(), operacionesArchivo_);

    ComandosBaseDatos::Ventana ventana;
    ventana.padre = this;
    ventana.carpetaPrograma = entorno_.carpetaPrograma;
    ventana.modoEdicion = [this] { return estado_.ModoEdicion; };
    ventana.cerrarBaseDatos = [this] {
        // The door lets go of the file first. It answers once what it is doing is over (an
        // identification, a wait for a locked file), well within the limit; a door that does
        // not answer in time keeps the file, and the restore is not done.
        if (!puerta_->CerrarConexion(PuertaEstacion::EsperaCierreConexionMs)) {
            entorno_.msgBox(QStringLiteral("La puerta no ha soltado la base de datos a tiempo."),
                            EstiloMsg::Exclamacion,
                            QStringLiteral("Restaurar Copia de Seguridad..."));
            return false;
        }
        if (const Resultado r = db_->CerrarDB(); !r) {
            entorno_.msgBox(r.error().texto() + QStringLiteral(" cerrando la base de datos"),
                            EstiloMsg::Exclamacion,
                            QStringLiteral("Restaurar Copia de Seguridad..."));
            return false;
        }
        return true;
    };
    // A database that cannot be opened is reported by InitAndShowDBData itself.
    ventana.reabrirBaseDatos = [this] {
        if (InitAndShowDBData())
            puerta_->AbrirConexion(db_->cnClientes().ConnectionString());
    };
    ventana.marcarRestaurando = [this](bool valor) { setRestaurandoDB(valor); };
    ventana.ejecutar = [this](std::function<bool()> procedimiento, bool enseguida,
                              std::function<void(bool)> alTerminar) {
        return progreso_->ejecutar(std::move(procedimiento), enseguida, std::move(alTerminar));
    };
    ventana.enCurso = [this] { return progreso_->enCurso(); };
    comandosDb_ = std::make_unique<ComandosBaseDatos>(entorno_.msgBox, *copias_, ajustes_,
                                                      estado_.CompactarAlSalir, selectorArchivos_,
                                                      std::move(ventana));

    NavegadorWeb* navegador = servicios.navegador;
    if (!navegador) {
        navegadorPropio_ = std::make_unique<NavegadorWebQt>();
        navegador = navegadorPropio_.get();
    }
    comandosMenu_ = std::make_unique<ComandosMenu>(
        entorno_.msgBox, *huella_, selectorArchivos_, *navegador,
        [this](const QString& linea) { registro_->Escribir(linea); }, this);
}

void frmClientes::conectarComandos() {
    connect(menu_.menuImgSave, &QAction::triggered, this, &frmClientes::menuImgSave_Click);
    connect(menu_.mnuDoCopyDB, &QAction::triggered, this, &frmClientes::mnuDoCopyDB_Click);
    connect(menu_.mnuDoCopyDBOnEnd, &QAction::triggered, this,
            &frmClientes::mnuDoCopyDBOnEnd_Click);
    connect(menu_.mnuDoCompactDB, &QAction::triggered, this, &frmClientes::mnuDoCompactDB_Click);
    connect(menu_.mnuDoRestoreDB, &QAction::triggered, this, &frmClientes::mnuDoRestoreDB_Click);
    connect(menu_.mnuVisitWebPage, &QAction::triggered, this, &frmClientes::mnuVisitWebPage_Click);
    connect(menu_.menuVersion, &QAction::triggered, this, &frmClientes::menuVersion_Click);
    connect(comandosDb_.get(), &ComandosBaseDatos::baseDeDatosSustituida, this,
            &frmClientes::baseDeDatosSustituida);
    // The rows found in the old database are not offered any more.
    connect(this, &frmClientes::baseDeDatosSustituida, this,
            [this] { buscador_->lista().Vaciar(); });
}

void frmClientes::RestaurarAlCargar() {
    setRestaurandoDB(true);
    copias_->RestaurarAlCargar(ajustes_, ini_->rutaArchivo());
    estado_.RestaurarAlIniciar = false;
    setRestaurandoDB(false);
}

void frmClientes::CopiaSeguridadAlSalir(bool compactar) {
    if (compactar)
        // The backup reports its own outcome to the operator in its boxes.
        (void)copias_->CompactarBaseDatos();
    else
        // The backup reports its own outcome to the operator in its boxes.
        (void)copias_->CopiaSeguridad();
}

void frmClientes::menuImgSave_Click() {
    comandosMenu_->menuImgSave_Click();
}
void frmClientes::mnuDoCopyDB_Click() {
    comandosDb_->mnuDoCopyDB_Click();
}
void frmClientes::mnuDoCopyDBOnEnd_Click() {
    comandosDb_->mnuDoCopyDBOnEnd_Click();
}
void frmClientes::mnuDoCompactDB_Click() {
    comandosDb_->mnuDoCompactDB_Click();
}
void frmClientes::mnuDoRestoreDB_Click() {
    comandosDb_->mnuDoRestoreDB_Click();
}
QString frmClientes::SelectDBToRestore() {
    return comandosDb_->SelectDBToRestore();
}
void frmClientes::mnuVisitWebPage_Click() {
    comandosMenu_->mnuVisitWebPage_Click();
}
void frmClientes::menuVersion_Click() {
    comandosMenu_->menuVersion_Click();
}

} // namespace portiva
