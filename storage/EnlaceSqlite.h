#pragma once

#include "ErrorDB.h"

#include <QSet>
#include <QString>

struct sqlite3;

namespace portiva {

class Reloj;

// The open SQLite handle behind a Conexion. Recordsets keep a shared pointer to it, so a
// recordset that outlives its connection's Close sees a closed link instead of a dangling
// handle. Internal to the recordset layer.
class EnlaceSqlite {
public:
    EnlaceSqlite(sqlite3* db, Reloj& reloj);
    ~EnlaceSqlite();
    EnlaceSqlite(const EnlaceSqlite&) = delete;
    EnlaceSqlite& operator=(const EnlaceSqlite&) = delete;

    sqlite3* db() const { return db_; }
    bool abierto() const { return db_ != nullptr; }
    void cerrar();

    // The error SQLite holds for its last call, with the code given.
    ErrorDB error(int codigo) const;
    static ErrorDB cerrado();

    // Names (lower case) of the yes/no columns of every table, read from the schema when it
    // changed since the last call.
    const QSet<QString>& columnasSiNo();

private:
    sqlite3* db_;
    int versionEsquema_ = -1;
    QSet<QString> columnasSiNo_;
};

} // namespace portiva
