#include "ComandosBaseDatos.h"

#include "AjustesEstacion.h"
#include "CopiasSeguridad.h"
#include "FileExists.h"
#include "MsgBox.h"
#include "SaltoDeLinea.h"
#include "SelectorArchivos.h"

#include <QDir>

namespace portiva {

namespace {
const QString TituloRestaurar = QStringLiteral("Restaurar Copia de Seguridad...");
} // namespace

ComandosBaseDatos::ComandosBaseDatos(MsgBox& msgBox, CopiasSeguridad& copias,
                                     AjustesEstacion& ajustes, bool& compactarAlSalir,
                                     SelectorArchivos& selector, Ventana ventana)
    : msgBox_(msgBox), copias_(copias), ajustes_(ajustes), compactarAlSalir_(compactarAlSalir),
      selector_(selector), ventana_(std::move(ventana)) {}

bool ComandosBaseDatos::ocupada() {
    if (!copias_.Ocupado() && !(ventana_.enCurso && ventana_.enCurso()))
        return false;
    msgBox_(QStringLiteral("Se esta realizando una copia o restauracion de la base de datos; "
                           "inténtelo de nuevo cuando termine. Gracias"),
            EstiloMsg::Informacion, QStringLiteral("Base de Datos"));
    return true;
}

bool ComandosBaseDatos::ejecutar(std::function<bool()> procedimiento, bool dialogoEnseguida,
                                 std::function<void(bool)> alTerminar) {
    if (ventana_.ejecutar)
        return ventana_.ejecutar(std::move(procedimiento), dialogoEnseguida, std::move(alTerminar));
    const bool ok = procedimiento();
    if (alTerminar)
        alTerminar(ok);
    return true;
}

void ComandosBaseDatos::mnuDoCopyDB_Click() {
    if (ocupada())
        return;
    // The backup reports its own outcome to the operator in its boxes.
    (void)ejecutar([this] { return copias_.CopiaSeguridad(); }, false, {});
}

void ComandosBaseDatos::mnuDoCopyDBOnEnd_Click() {
    ajustes_.CopiaSegAlSalir = !ajustes_.CopiaSegAlSalir;
}

void ComandosBaseDatos::mnuDoCompactDB_Click() {
    compactarAlSalir_ = !compactarAlSalir_;
    if (compactarAlSalir_)
        msgBox_(QStringLiteral("Se compactará la Base de Datos al cerrar el programa. Gracias."),
                EstiloMsg::Informacion, QStringLiteral("Compactar Base de Datos"));
}

void ComandosBaseDatos::mnuDoRestoreDB_Click() {
    if (ocupada())
        return;
    if (ventana_.modoEdicion && ventana_.modoEdicion()) {
        msgBox_(QStringLiteral("Esta editando un registro, termine con la edición e inténtelo de "
                               "nuevo más tarde. Gracias"),
                EstiloMsg::Informacion, TituloRestaurar);
        return;
    }
    if (ajustes_.RestaurarAlIniciar) {
        const Respuesta r = msgBox_(
            QStringLiteral("Existe una retauracion de Copia de Seguridad programada del archivo ") +
                CopiasSeguridad::NombreArchivo(ajustes_.NombreDBRestaurar) + SaltoDeLinea +
                QStringLiteral(" la proxima vez que inicie el programa. ¿Desea cancelar esta "
                               "restauración?"),
            EstiloMsg::SiNoInformacion, TituloRestaurar);
        if (r == Respuesta::Si) {
            ajustes_.RestaurarAlIniciar = false;
            ajustes_.NombreDBRestaurar.clear();
        }
        return;
    }
    const Respuesta cuando = msgBox_(
        QStringLiteral("Restaurar una Copia de Seguridad implica interrumpir el Control de "
                       "Accesos. ") +
            SaltoDeLinea +
            QStringLiteral("¿Desea restaurar la copia la proxima vez que inicie el programa en "
                           "lugar de ahora?") +
            SaltoDeLinea + SaltoDeLinea +
            QStringLiteral("(pulse cancelar para volver al programa y realizar la restauracion "
                           "en otro momento)"),
        EstiloMsg::SiNoCancelarPregunta, TituloRestaurar);
    if (cuando == Respuesta::Cancelar)
        return;
    const QString elegido = SelectDBToRestore();
    if (!FileExists(elegido)) {
        msgBox_(QStringLiteral("No se realizara la restauracion de la Copia de Seguridad"),
                EstiloMsg::Informacion, QStringLiteral("Restaurar Copia de Seguridad"));
        return;
    }
    // A file that cannot be restored is refused now, not at the next start.
    if (!copias_.ComprobarCopiaElegida(elegido, TituloRestaurar))
        return;
    ajustes_.NombreDBRestaurar = elegido;
    if (cuando == Respuesta::Si)
        ajustes_.RestaurarAlIniciar = true;
    else
        RestaurarAhora();
}

QString ComandosBaseDatos::SelectDBToRestore() {
    return selector_.abrir(
        QDir(ventana_.carpetaPrograma).filePath(CopiasSeguridad::carpetaCopias()),
        QStringLiteral("Bases de Datos (*.mdb)|*.mdb"), 1, ventana_.padre);
}

void ComandosBaseDatos::RestaurarAhora() {
    const auto marcar = [this](bool valor) {
        if (ventana_.marcarRestaurando)
            ventana_.marcarRestaurando(valor);
    };
    marcar(true);
    if (ventana_.cerrarBaseDatos && !ventana_.cerrarBaseDatos()) {
        marcar(false);
        return;
    }
    const auto despues = [this, marcar](bool restaurada) {
        ajustes_.RestaurarAlIniciar = false;
        if (restaurada)
            emit baseDeDatosSustituida();
        if (ventana_.reabrirBaseDatos)
            ventana_.reabrirBaseDatos();
        marcar(false);
    };
    const QString archivo = ajustes_.NombreDBRestaurar;
    // The database is closed: the dialog shows at once, so nothing at the desk reaches for it.
    if (!ejecutar([this, archivo] { return copias_.RestaurarDB(archivo); }, true, despues))
        despues(false);
}

} // namespace portiva
