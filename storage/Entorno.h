#pragma once

#include "MsgBox.h"
#include "Reloj.h"

#include <QString>

namespace portiva {

// What every module of the station is given instead of reaching for globals: the program
// folder (all paths are relative to it), the message boxes and the clock.
struct Entorno {
    QString carpetaPrograma;
    MsgBox& msgBox;
    Reloj& reloj;
};

} // namespace portiva
