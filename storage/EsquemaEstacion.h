#pragma once

#include "Resultado.h"

#include <QStringList>

namespace portiva {

class Conexion;

// The two tables a station database must hold, with their fields. The station never creates or
// alters them; it only checks, before using a file, that they are there.
class EsquemaEstacion {
public:
    static const QString& tablaClientes();
    static const QString& tablaServicios();
    static const QStringList& camposClientes();
    static const QStringList& camposServicios();

    // Reads the schema (nothing is written): both tables, every field (any case), and `ID` as
    // the integer key of each. Error 3343 with the missing piece named, or the engine's error
    // (a file that is not a database).
    static Resultado comprobar(Conexion& conexion);
};

} // namespace portiva
