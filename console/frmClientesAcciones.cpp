// The operator's record actions: edit, new, save, undo, delete and the move buttons, with the
// two procedures that end an edit (GuardarCliente and DeshacerCambiosDB).

#include "frmClientes.h"

#include "BotonImagen.h"
#include "DbClientes.h"
#include "Entorno.h"
#include "GuardadoEnEspera.h"
#include "RecordsetVacio.h"
#include "ValidacionCliente.h"
#include "VersionDatos.h"

#include <QPushButton>

namespace portiva {

namespace {

const QString AccionGuardar = QStringLiteral("guardando los datos en la base de datos.");
const QString TituloGuardar = QStringLiteral("Guardando los datos...");
// How long a save waits for another program to let go of the database before it gives up.
constexpr int EsperaGuardadoMs = 15000;

} // namespace

Resultado frmClientes::GuardarCliente() {
    // A box that cannot be copied has been pointed out to the operator: nothing is stored and
    // the edit goes on, so the typed text is not lost.
    if (!TextToRecordSet())
        return {};
    if (Resultado r = db_->rsClientes().Update(); !r)
        return r;
    estado_.RegistroNuevo = false;
    // The boxes show what was stored, as it will read back.
    RecordSetToText();
    InfoCaducidadDB();
    ActTemplateSiNo();
    EditMode(false);
    setChkInformacionAmpliada(estado_.InfoAmpliadaPrevia);
    db_->ActContadores();
    return {};
}

Resultado frmClientes::DeshacerCambiosDB() {
    Recordset& rs = db_->rsClientes();
    if (estado_.RegistroNuevo) {
        // The row added by New is taken out of the table again, and the row shown before it
        // comes back.
        if (Resultado r = rs.Delete(); !r)
            return r;
        estado_.RegistroNuevo = false;
        // A failed write leaves the snapshot equal to the table; the caller shows the stored row.
        (void)rs.Update();
        if (RecordsetVacio(rs)) {
            InitTextBoxes();
        } else {
            // Repositioning on a snapshot that holds rows: a move within its range cannot fail.
            (void)rs.MoveFirst();
            if (estado_.PosicionPrevia > 1)
                // Repositioning on a snapshot that holds rows: a move within its range cannot fail.
                (void)rs.Move(estado_.PosicionPrevia - 1);
            RecordSetToText();
        }
    } else {
        // The edits lived only in the boxes and the enrolled template: show the row again.
        (void)rs.CancelUpdate();
        RecordSetToText();
    }
    InfoCaducidadDB();
    ActNavegador();
    EditMode(false);
    setChkInformacionAmpliada(estado_.InfoAmpliadaPrevia);
    db_->ActContadores();
    return {};
}

bool frmClientes::DatosOK() {
    return validacion_->DatosOK();
}

void frmClientes::imgEditarCliente_Click() {
    if (RecordsetVacio(db_->rsClientes())) {
        const Respuesta r = entorno_.msgBox(
            QStringLiteral("No se pueden editar registros, la base de datos esta vacia ¿Desea "
                           "añadir un registro nuevo?"),
            EstiloMsg::SiNoExclamacion, QStringLiteral("Editando registro de la Base de Datos..."));
        if (r == Respuesta::Si)
            imgNuevoCliente_Click();
        return;
    }
    estado_.InfoAmpliadaPrevia = chkInformacionAmpliada();
    setChkInformacionAmpliada(0);
    EditMode(true);
}

void frmClientes::imgNuevoCliente_Click() {
    if (const Resultado r = db_->NuevoCliente(); !r)
        MostrarErrorRegistro(r.error(), AccionGuardar, TituloGuardar);
}

void frmClientes::CrearGuardado() {
    GuardadoEnEspera::Enlace enlace;
    enlace.sondear = [this] { return GuardadoEnEspera::Sondear(db_->cnClientes()); };
    enlace.guardar = [this] { GuardarAhora(); };
    enlace.esperando = [this](bool espera) {
        // While the file is awaited the edit can be neither saved again nor undone, nor left
        // by a move (which saves too).
        info_.imgGuardarCliente->setEnabled(!espera);
        info_.imgDeshacerEdicion->setEnabled(!espera);
        for (QPushButton* mover : info_.cmdMover)
            mover->setEnabled(!espera);
    };
    enlace.bloqueada = [this] {
        entorno_.msgBox(GuardadoEnEspera::TextoBloqueo(DbClientes::nombreArchivo()),
                        EstiloMsg::Exclamacion, TituloGuardar);
    };
    guardado_ = std::make_unique<GuardadoEnEspera>(std::move(enlace), EsperaGuardadoMs);
}

void frmClientes::imgGuardarCliente_Click() {
    guardado_->Guardar();
}

void frmClientes::GuardarAhora() {
    // A save that waited for the file finds the edit still on, as the wait kept it.
    if (!estado_.ModoEdicion || !DatosOK())
        return;
    if (const Resultado r = GuardarCliente(); !r) {
        if (EsBloqueo(r.error()))
            entorno_.msgBox(GuardadoEnEspera::TextoBloqueo(DbClientes::nombreArchivo()),
                            EstiloMsg::Exclamacion, TituloGuardar);
        else
            MostrarErrorRegistro(r.error(), AccionGuardar, TituloGuardar);
    }
}

void frmClientes::imgDeshacerEdicion_Click() {
    if (const Resultado r = DeshacerCambiosDB(); !r)
        MostrarErrorRegistro(r.error(), AccionGuardar, TituloGuardar);
}

void frmClientes::imgBorrarCliente_Click() {
    db_->BorrarCliente();
}

void frmClientes::cmdMover_Click(int Index) {
    // While editing, the move only saves or undoes the edit (the question is the database's).
    const bool editando = estado_.ModoEdicion;
    if (const Resultado r = db_->Desplazar(Index); !r) {
        if (editando)
            MostrarErrorRegistro(r.error(), AccionGuardar, TituloGuardar);
        else
            MostrarErrorRegistro(r.error(),
                                 QStringLiteral("cargando los valores de la Base de Datos en las "
                                                "cajas de texto."),
                                 QStringLiteral("Mostrando los datos del Cliente actual..."));
    }
}

} // namespace portiva
