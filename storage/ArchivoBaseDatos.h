#pragma once

#include "ErrorDB.h"

#include <QString>
#include <optional>
#include <sys/types.h>

namespace portiva {

// What the station tells about the member database file itself, apart from its content.

// Why the file could not be used, in the operator's words: "no es una base de datos", "esta
// bloqueada por otro programa", the missing table or field, ...
QString MotivoAperturaDB(const ErrorDB& error);

// A warning when changes to the file could not be saved (the file, or the folder where SQLite
// keeps its journal beside it, cannot be written); empty when they can.
QString AvisoSoloLecturaDB(const QString& ruta);

// Which file is under a name (device and inode), to notice it was removed or replaced.
struct IdentidadArchivo {
    dev_t dispositivo = 0;
    ino_t nodo = 0;
    bool operator==(const IdentidadArchivo&) const = default;
    // None when nothing is under the name.
    static std::optional<IdentidadArchivo> de(const QString& ruta);
};

} // namespace portiva
