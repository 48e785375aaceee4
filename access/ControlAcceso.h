#pragma once

#include "ErroresLinea.h"
#include "ModosEstacion.h"
#include "PuertoSerie.h"
#include "RegistroEventos.h"
#include "RelayBoard.h"
#include "Torno.h"

#include <QString>

namespace portiva {

struct Entorno;
class PreguntaPuerta;

// The access layer wired together for one station: serial port, relay board, event log, door
// and station modes, over the window (PantallaAcceso), the sound player and the engine's
// capture control the console hands in. The console owns one for the whole run. The station
// modes ask their two questions through `preguntas` (answered later), or, without it, as
// modal boxes of the environment's MsgBox.
class ControlAcceso {
public:
    ControlAcceso(const Entorno& entorno, PantallaAcceso& pantalla, ReproductorSonido& sonido,
                  CapturaSensores& captura,
                  QString prefijoDispositivo = QStringLiteral("/dev/ttyS"),
                  PreguntaPuerta* preguntas = nullptr);

    PuertoSerie& puerto() { return puerto_; }
    RelayBoard& rele() { return rele_; }
    RegistroEventos& registro() { return registro_; }
    Torno& torno() { return torno_; }
    ModosEstacion& modos() { return modos_; }
    VigilanteLinea& vigilanteLinea() { return vigilanteLinea_; }

private:
    PuertoSerie puerto_;
    RelayBoard rele_;
    RegistroEventos registro_;
    Torno torno_;
    ModosEstacion modos_;
    // The line errors the kernel counts on the board's port.
    VigilanteLinea vigilanteLinea_;
};

} // namespace portiva
