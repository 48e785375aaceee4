#pragma once

#include "AltaHuella.h"
#include "DBHuella.h"
#include "DisponibilidadLector.h"
#include "FlujoHuella.h"

#include <QString>

namespace portiva {

class ControlAcceso;
class Conexion;
class EnlaceCapturaSensores;
class PantallaAcceso;
class PantallaHuella;
struct Entorno;

// The fingerprint side of one station, wired together: the engine adapter (DBHuella, whose
// simulated reader watches "<program folder>/LectorSimulado") and the capture flow
// (FlujoHuella), over the member database, the door and station modes of ControlAcceso and the
// window. Reader events reach the station modes, captured images the flow. The console owns
// one for the whole run, built after ControlAcceso and destroyed before it.
//
// The station modes start and stop capture through the CapturaSensores that ControlAcceso was
// given; when that is an EnlaceCapturaSensores, pass it here and it is pointed at the engine
// adapter while this object lives.
class ControlHuella {
public:
    ControlHuella(const Entorno& entorno, Conexion& cn, ControlAcceso& acceso,
                  PantallaAcceso& pantallaAcceso, PantallaHuella& pantallaHuella,
                  const QString& carpetaPrograma, EnlaceCapturaSensores* enlace = nullptr,
                  unsigned hilosBusqueda = 0);
    ~ControlHuella();
    ControlHuella(const ControlHuella&) = delete;
    ControlHuella& operator=(const ControlHuella&) = delete;

    // Name of the simulated reader's folder inside the program folder.
    static QString carpetaLectorSimulado() { return QStringLiteral("LectorSimulado"); }

    DBHuella& huella() { return huella_; }
    const DBHuella& huella() const { return huella_; }
    FlujoHuella& flujo() { return flujo_; }
    const FlujoHuella& flujo() const { return flujo_; }
    AltaHuella& alta() { return alta_; }
    DisponibilidadLector& disponibilidad() { return disponibilidad_; }

private:
    DBHuella huella_;
    FlujoHuella flujo_;
    AltaHuella alta_;
    DisponibilidadLector disponibilidad_;
    EnlaceCapturaSensores* enlace_;
};

} // namespace portiva
