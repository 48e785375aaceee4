#pragma once

#include "HuellaEstacion.h"

namespace portiva {

// The fingerprint side the station uses when the window is given none: the station's own
// engine, with the simulated reader watching <program folder>/LectorSimulado.
const FabricaHuella& FabricaHuellaPredeterminada();

} // namespace portiva
