#include "AltaHuella.h"

#include "Conexion.h"
#include "DBHuella.h"
#include "FlujoHuella.h"
#include "HuellaDuplicada.h"
#include "MsgBox.h"
#include "PantallaHuella.h"
#include "RegistroEventos.h"

namespace portiva {

namespace {

const QString kErrorAnadiendo = QStringLiteral("Error añadiendo la huella a este cliente");
const QString kErrorVerificando = QStringLiteral("Error verificando la huella de este cliente");
const QString kCaptureDeNuevo = QStringLiteral("Capture una huella e intentelo de nuevo. Gracias");
const QString kAnadaDeNuevo =
    QStringLiteral("Añada una huella a este cliente e intentelo de nuevo. Gracias");

} // namespace

AltaHuella::AltaHuella(Conexion& cn, DBHuella& huella, FlujoHuella& flujo,
                       RegistroEventos& registro, MsgBox& msgBox, PantallaHuella& pantalla)
    : cn_(cn), huella_(huella), flujo_(flujo), registro_(registro), msgBox_(msgBox),
      pantalla_(pantalla) {}

void AltaHuella::Aviso(const QString& texto, const QString& segunda, const QString& titulo) {
    msgBox_(texto + QStringLiteral("\r\n") + segunda, EstiloMsg::Informacion, titulo);
}

bool AltaHuella::cmdAddTemplateDB_Click(qint32 id) {
    if (!PlantillaValida(huella_.TemplateCaptura)) {
        Aviso(QStringLiteral("No existe una huella valida que pueda ser añadida a la base de "
                             "datos."),
              kCaptureDeNuevo, kErrorAnadiendo);
        return false;
    }
    const DuplicadosHuella d =
        HuellaDuplicada(flujo_.galeria(), cn_, huella_.MotorHuellaCtrl(), flujo_.busqueda(),
                        registro_, huella_.TemplateCaptura, id);
    if (d.codigo < 0) {
        // Without the check a finger of another member could be enrolled twice.
        registro_.MostrarErrorHuella(d.codigo);
        Aviso(QStringLiteral("No se ha podido comprobar si la huella ya esta presente en la base "
                             "de datos. La huella no se ha añadido."),
              kCaptureDeNuevo, kErrorAnadiendo);
        return false;
    }
    if (!d.lista.isEmpty()) {
        msgBox_(d.lista, EstiloMsg::Informacion,
                QStringLiteral("La huella ya esta presente en la base de datos:"));
        return false;
    }
    huella_.TemplateCliente = huella_.TemplateCaptura;
    return PlantillaValida(huella_.TemplateCliente);
}

void AltaHuella::cmdVerificarHuellaDB_Click(bool modoEdicion, qint32 id, const QVariant& guardada) {
    if (!flujo_.AnalizarHuella()) {
        Aviso(QStringLiteral("No existe una huella valida que pueda ser Verificada."),
              kCaptureDeNuevo, kErrorAnadiendo);
        return;
    }
    if (modoEdicion) {
        if (!PlantillaValida(huella_.TemplateCliente)) {
            Aviso(QStringLiteral("La huella de este cliente de no es valida."), kAnadaDeNuevo,
                  kErrorVerificando);
            return;
        }
        VerificarHuellaDB(huella_.TemplateCliente.Data, id);
        return;
    }
    if (guardada.isNull() || !guardada.isValid()) {
        Aviso(QStringLiteral("La huella de este cliente almacenada en la base de datos no es "
                             "valida."),
              kAnadaDeNuevo, kErrorVerificando);
        return;
    }
    VerificarHuellaDB(guardada.toByteArray(), id);
}

void AltaHuella::VerificarHuellaDB(const QByteArray& plantilla, qint32 id) {
    const PlantillaHuella& captura = huella_.TemplateCaptura;
    if (!PlantillaValida(captura)) {
        Aviso(QStringLiteral("No existe una captura de huella valida con la que comparar la "
                             "huella de la base de datos."),
              kCaptureDeNuevo, kErrorVerificando);
        return;
    }
    int puntuacion = 0;
    const int resultado = huella_.MotorHuellaCtrl().Verificar(
        reinterpret_cast<const std::uint8_t*>(captura.Data.constData()),
        static_cast<int>(captura.Data.size()),
        reinterpret_cast<const std::uint8_t*>(plantilla.constData()),
        static_cast<int>(plantilla.size()), puntuacion, 0);
    if (resultado < 0) {
        Aviso(QStringLiteral("Se ha producido un error el el proceso de verificacion de la "
                             "huella."),
              QStringLiteral("Intentelo de nuevo. Gracias"), kErrorVerificando);
        return;
    }
    if (resultado == 0) {
        registro_.Escribir(QStringLiteral("Verificando Huella con ID=%1. No coincide! [%2%]")
                               .arg(id)
                               .arg(puntuacion));
        return;
    }
    registro_.Escribir(
        QStringLiteral("Verificando Huella con ID=%1. Coincide! [%2%]").arg(id).arg(puntuacion));
    if (pantalla_.chkMostrarIdentificacion())
        huella_.MostrarImagenHuella(true, 0);
}

} // namespace portiva
