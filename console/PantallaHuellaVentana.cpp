#include "PantallaHuellaVentana.h"

#include "frmClientes.h"

#include <QCheckBox>
#include <QImage>

namespace portiva {

bool PantallaHuellaVentana::chkAutoAnalizar() const {
    return ventana_.columna().chkAutoAnalizar->isChecked();
}

bool PantallaHuellaVentana::chkAutoIdentify() const {
    return ventana_.columna().chkAutoIdentify->isChecked();
}

bool PantallaHuellaVentana::chkMostrarHuella() const {
    return ventana_.columna().chkMostrarHuella->isChecked();
}

bool PantallaHuellaVentana::chkMostrarAnalisis() const {
    return ventana_.columna().chkMostrarAnalisis->isChecked();
}

bool PantallaHuellaVentana::chkMostrarIdentificacion() const {
    return ventana_.columna().chkMostrarIdentificacion->isChecked();
}

bool PantallaHuellaVentana::chkInformacionAmpliada() const {
    return ventana_.columna().chkInformacionAmpliada->isChecked();
}

void PantallaHuellaVentana::MostrarCapturaHuella(const motor::ImagenRGB& imagen) {
    const qsizetype esperado = qsizetype(imagen.ancho) * imagen.alto * 3;
    if (imagen.ancho < 1 || imagen.alto < 1 || qsizetype(imagen.bytes.size()) < esperado)
        return;
    // The engine's buffer is only lent: the picture is copied out of it.
    const QImage vista(imagen.bytes.data(), imagen.ancho, imagen.alto, imagen.ancho * 3,
                       QImage::Format_RGB888);
    ventana_.MostrarCapturaHuella(vista.copy());
}

bool PantallaHuellaVentana::InfoDesplegada() const {
    return ventana_.estado().InfoDesplegada;
}

void PantallaHuellaVentana::DesplegarInfo(bool valor) {
    ventana_.DesplegarInfo(valor);
}

void PantallaHuellaVentana::gotoRecordNum(qint16 posicion) {
    ventana_.gotoRecordNum(posicion);
}

bool PantallaHuellaVentana::RestaurandoDB() const {
    return ventana_.estado().RestaurandoDB;
}

} // namespace portiva
