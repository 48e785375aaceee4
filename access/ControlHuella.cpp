#include "ControlHuella.h"

#include "ControlAcceso.h"
#include "EnlaceCapturaSensores.h"
#include "Entorno.h"

#include <QDir>

namespace portiva {

ControlHuella::ControlHuella(const Entorno& entorno, DbClientes& db, ControlAcceso& acceso,
                             PantallaAcceso& pantallaAcceso, PantallaHuella& pantallaHuella,
                             const QString& carpetaPrograma, EnlaceCapturaSensores* enlace,
                             unsigned hilosBusqueda)
    : huella_(acceso.registro(), entorno.msgBox, pantallaHuella, acceso.modos(),
              QDir(carpetaPrograma).filePath(carpetaLectorSimulado())),
      flujo_(db, huella_, acceso.torno(), acceso.registro(), pantallaAcceso, pantallaHuella,
             entorno.msgBox, entorno.reloj, hilosBusqueda),
      enlace_(enlace) {
    huella_.PonerReceptorImagen([this](const QString& idSensor, int ancho, int alto,
                                       const std::vector<std::uint8_t>& imagen, int resolucion) {
        flujo_.MotorHuellaCtrl_ImageCaptured(idSensor, ancho, alto, imagen, resolucion);
    });
    if (enlace_ != nullptr)
        enlace_->Conectar(&huella_);
}

ControlHuella::~ControlHuella() {
    if (enlace_ != nullptr && enlace_->Destino() == &huella_)
        enlace_->Conectar(nullptr);
    huella_.PonerReceptorImagen(nullptr);
}

} // namespace portiva
