#include "ControlAcceso.h"

#include "Entorno.h"

namespace portiva {

ControlAcceso::ControlAcceso(const Entorno& entorno, PantallaAcceso& pantalla,
                             ReproductorSonido& sonido, CapturaSensores& captura,
                             QString prefijoDispositivo, PreguntaPuerta* preguntas)
    : puerto_(entorno.carpetaPrograma, std::move(prefijoDispositivo)),
      rele_(puerto_, entorno.msgBox), registro_(pantalla, entorno.reloj),
      torno_(rele_, pantalla, sonido, registro_, entorno.carpetaPrograma),
      modos_(torno_, rele_, puerto_, pantalla, registro_, entorno.msgBox, captura, nullptr,
             preguntas),
      vigilanteLinea_(puerto_, registro_) {}

} // namespace portiva
