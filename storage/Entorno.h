#pragma once

#include "Bombeo.h"
#include "MsgBox.h"
#include "Reloj.h"

#include <QString>

namespace portiva {

// What every module of the station is given instead of reaching for globals: the program
// folder (all paths are relative to it), the message boxes, the clock and the event pump.
struct Entorno {
    QString carpetaPrograma;
    MsgBox& msgBox;
    Reloj& reloj;
    Bombeo& bombeo;
};

} // namespace portiva
