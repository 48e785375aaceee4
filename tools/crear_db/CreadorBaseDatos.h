#pragma once

#include "Resultado.h"

#include <QDate>
#include <QString>
#include <QVariantMap>
#include <vector>

namespace portiva {

// Makes station databases ("Portiva.mdb", an SQLite file): an empty one with both tables, or a
// demo one with a few services and members. The station itself never creates tables; the
// installer, the demo and the tests use this.
class CreadorBaseDatos {
public:
    // The CREATE TABLE statements of the station's two tables.
    static QString esquemaSql();

    // A new file with both tables and no rows. Refuses a path that already exists.
    static Resultado CrearVacia(const QString& ruta);

    // A new file with services of "d" and "m" intervals and members around the given day:
    // staff with expired and with empty dates, allowed members, an expired one, one whose
    // expiry is that day, one not yet started. No fingerprint templates.
    static Resultado CrearDemo(const QString& ruta, const QDate& hoy);

    // Adds rows to a table of an existing file in one transaction; each map gives field names
    // and values (QDate/QDateTime as ISO text, bool as 0/1, QByteArray as BLOB, null as Null).
    static Resultado Insertar(const QString& ruta, const QString& tabla,
                              const std::vector<QVariantMap>& filas);
};

} // namespace portiva
