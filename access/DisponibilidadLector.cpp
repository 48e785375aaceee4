#include "DisponibilidadLector.h"

#include "CodigoAcceso.h"
#include "ModosEstacion.h"
#include "PantallaAcceso.h"
#include "Torno.h"

namespace portiva {

DisponibilidadLector::DisponibilidadLector(Torno& torno, PantallaAcceso& pantalla, QObject* parent)
    : QObject(parent), torno_(torno), pantalla_(pantalla) {}

void DisponibilidadLector::LectorConectado(const QString& idSensor) {
    if (idSensor == ModosEstacion::SensorArchivo)
        return;
    disponible_ = true;
    if (torno_.AccesoActual() == CodigoAcceso::ControlPorHuella)
        pantalla_.InfoHuella(QStringLiteral("Sistema de Apertura por Huella"), false);
    emit CambioDisponibilidad(true, idSensor);
}

void DisponibilidadLector::LectorDesconectado(const QString& idSensor) {
    if (idSensor == ModosEstacion::SensorArchivo)
        return;
    disponible_ = false;
    pantalla_.InfoHuella(QStringLiteral("Lector de la huella no detectado"), true);
    emit CambioDisponibilidad(false, idSensor);
}

} // namespace portiva
