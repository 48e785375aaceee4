#include "HuellaMotor.h"

namespace portiva {

HuellaMotor::HuellaMotor(const ContextoHuella& c)
    : control_(c.entorno, c.conexion, c.acceso, c.pantalla, c.pantallaHuella, c.carpetaPrograma),
      huella_(control_.huella()) {}

void HuellaMotor::IniciarHuella() {
    // A failure is logged by the adapter; the station runs on without capture.
    (void)huella_.IniciarHuella();
}

void HuellaMotor::FinalizarHuella() {
    huella_.FinalizarHuella();
}

void HuellaMotor::cmdAnalizarHuella_Click() {
    control_.flujo().cmdAnalizarHuella_Click();
}

void HuellaMotor::cmdIndentificarHuellaDB_Click() {
    control_.flujo().cmdIndentificarHuellaDB_Click();
}

void HuellaMotor::cmdAddTemplateDB_Click(qint32 id, std::function<void(bool)> hecho) {
    const bool enrolada = control_.alta().cmdAddTemplateDB_Click(id);
    if (hecho)
        hecho(enrolada);
}

void HuellaMotor::cmdVerificarHuellaDB_Click(bool modoEdicion, qint32 id,
                                             const QVariant& guardada) {
    control_.alta().cmdVerificarHuellaDB_Click(modoEdicion, id, guardada);
}

int HuellaMotor::CargarImagen(const QString& ruta) {
    // 500: the image file format code of the station (a bitmap).
    return huella_.MotorHuellaCtrl().CargarImagen(ruta.toStdString(), 500);
}

bool HuellaMotor::HayImagenCaptura() const {
    const ImagenHuella& imagen = huella_.ImagenCaptura;
    return imagen.Width >= 1 && imagen.Height >= 1 && imagen.Completa();
}

int HuellaMotor::GuardarImagen(const QString& ruta) {
    // 501: the image file format code of a saved raw capture (a bitmap).
    const ImagenHuella& imagen = huella_.ImagenCaptura;
    return huella_.MotorHuellaCtrl().GuardarImagen(imagen.RawImage.data(), imagen.Width,
                                                   imagen.Height, ruta.toStdString(), 501);
}

void HuellaMotor::VersionMotor(int& mayor, int& menor) const {
    std::uint8_t a = 0, b = 0;
    huella_.MotorHuellaCtrl().Version(a, b);
    mayor = a;
    menor = b;
}

void HuellaMotor::CargarTemplateCliente(QByteArrayView guardada) {
    huella_.TemplateCliente = PlantillaHuella::DesdeGuardada(guardada.toByteArray());
}

QByteArray HuellaMotor::TemplateClienteGuardable() const {
    const PlantillaHuella& p = control_.huella().TemplateCliente;
    return p.Size > 0 ? p.Data : QByteArray();
}

bool HuellaMotor::Ocupada() const {
    return control_.flujo().Pendiente();
}

} // namespace portiva
