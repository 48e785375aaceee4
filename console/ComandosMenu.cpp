#include "ComandosMenu.h"

#include "HuellaEstacion.h"
#include "MsgBox.h"
#include "NavegadorWeb.h"
#include "SelectorArchivos.h"

namespace portiva {

ComandosMenu::ComandosMenu(MsgBox& msgBox, HuellaEstacion& huella, SelectorArchivos& selector,
                           NavegadorWeb& navegador, std::function<void(const QString&)> escribirLog,
                           QWidget* padre)
    : msgBox_(msgBox), huella_(huella), selector_(selector), navegador_(navegador),
      escribirLog_(std::move(escribirLog)), padre_(padre) {}

void ComandosMenu::menuImgSave_Click() {
    if (!huella_.HayImagenCaptura()) {
        msgBox_(QStringLiteral("There is no image to save."), EstiloMsg::Ok);
        return;
    }
    const QString elegido = selector_.guardar(
        QString(), QStringLiteral("BMP files (*.bmp)|*.bmp|All files (*.*)|*.*"), 1, padre_);
    if (elegido.isEmpty())
        return;
    if (huella_.GuardarImagen(elegido) != 0 && escribirLog_)
        escribirLog_(QStringLiteral("Guardando Archivo: Error!"));
}

void ComandosMenu::mnuVisitWebPage_Click() {
    // A desktop without a browser changes nothing for the station.
    (void)navegador_.abrir(paginaWeb());
}

void ComandosMenu::menuVersion_Click() {
    int mayor = 0, menor = 0;
    huella_.VersionMotor(mayor, menor);
    msgBox_(QStringLiteral("Portiva version 1.0\r\n\r\nMotorHuella version %1.%2.")
                .arg(mayor)
                .arg(menor),
            EstiloMsg::Informacion, QStringLiteral("Portiva"));
}

} // namespace portiva
