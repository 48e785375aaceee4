#pragma once

#include "ErrorDB.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <cstddef>

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

    // Takes the clock's date once for the statement about to run: SQL DATE() answers it for
    // every row, as one query sees one today.
    void tomarFecha();
    const QByteArray& fechaDeHoy() const { return hoy_; }

    // How large the last snapshot of a query was, so the next one of the same query reserves
    // its memory at once instead of growing.
    struct Tamano {
        std::size_t celdas = 0;
        std::size_t bytes = 0;
    };
    Tamano tamanoPrevio(const QString& sql) const { return tamanos_.value(sql); }
    void recordarTamano(const QString& sql, Tamano tamano) {
        if (tamanos_.size() >= 64 && !tamanos_.contains(sql))
            tamanos_.clear(); // searches vary their text; keep the memory bounded
        tamanos_.insert(sql, tamano);
    }

private:
    sqlite3* db_;
    Reloj& reloj_;
    QByteArray hoy_;
    QHash<QString, Tamano> tamanos_;
    int versionEsquema_ = -1;
    QSet<QString> columnasSiNo_;
};

} // namespace portiva
