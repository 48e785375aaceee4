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
// local date. Writes are durable: each statement commits with synchronous FULL.
//
// A station file is put in write-ahead-log mode (UsarRegistroAnticipado) once it is known to be
// the station's: readers and writers of other connections and programs then stop blocking each
// other, and a reader sees the last committed state. The log ("<file>-wal", with its index
// "<file>-shm") lives beside the file while it is open; the last connection to close folds it
// into the file and, when it can, leaves the file with the rollback journal again, so that a
// file at rest is one self-contained file as before.
class Conexion {
public:
    // How long a call waits for a lock another program holds on the file.
    static constexpr int EsperaBloqueoMs = 1000;

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

    // Switches the open file to write-ahead logging. This writes the file's header, so it is
    // called only on a file known to be a station database. Where the log cannot work (a
    // read-only file or folder, a medium without shared memory) the connection stays with the
    // rollback journal and the answer says so in one line for the log; empty when the log is on.
    [[nodiscard]] QString UsarRegistroAnticipado();
    // True when the open connection writes through the write-ahead log.
    bool RegistroAnticipado() const;

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
