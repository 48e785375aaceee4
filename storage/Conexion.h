#pragma once

#include "Resultado.h"

#include <QString>
#include <QVariantList>
#include <memory>

namespace portiva {

class EnlaceSqlite;
class Reloj;

// The one connection to the member database file (an SQLite file, whatever its name says).
// The connection string is either a plain path or "...;Data Source=<path>;..." as the station
// writes it. Open never creates a file and never writes to it: a missing file is an error, a
// file that is not a database fails at the first query. SQL DATE() answers the given clock's
// local date. Writes are durable: each statement commits with synchronous FULL and SQLite's
// default rollback journal.
class Conexion {
public:
    // How long a call waits for a lock another program holds on the file.
    static constexpr int EsperaBloqueoMs = 3000;

    explicit Conexion(Reloj& reloj);
    ~Conexion();
    Conexion(const Conexion&) = delete;
    Conexion& operator=(const Conexion&) = delete;

    void setConnectionString(const QString& texto) { connectionString_ = texto; }
    const QString& ConnectionString() const { return connectionString_; }
    // The file the connection string names.
    QString rutaArchivo() const;

    // Errors: already open (3705), file missing or not openable (SQLite's code).
    Resultado Open();
    // 1 when open, 0 when closed.
    int State() const;
    // Errors: already closed (3704).
    Resultado Close();

    // Runs a statement that returns no rows (for instance "VACUUM INTO ?"), Jet dialect as in
    // Recordset::Open, with "?" placeholders bound to the parameters in order.
    Resultado Execute(const QString& sql, const QVariantList& parametros = {});

    // The open link, for the recordsets opened on this connection; null when closed.
    std::shared_ptr<EnlaceSqlite> enlace() const { return enlace_; }

private:
    Reloj& reloj_;
    QString connectionString_;
    std::shared_ptr<EnlaceSqlite> enlace_;
};

} // namespace portiva
