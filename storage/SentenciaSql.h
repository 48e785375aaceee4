#pragma once

#include "Resultado.h"

#include <QString>
#include <QVariantList>

struct sqlite3_stmt;

namespace portiva {

class EnlaceSqlite;

// One prepared SQLite statement, finalised when it goes out of scope. Internal to the
// recordset layer.
class SentenciaSql {
public:
    explicit SentenciaSql(EnlaceSqlite& enlace) : enlace_(enlace) {}
    ~SentenciaSql();
    SentenciaSql(const SentenciaSql&) = delete;
    SentenciaSql& operator=(const SentenciaSql&) = delete;

    // Prepares the (already translated) SQL and binds the parameters to its "?" in order.
    Resultado preparar(const QString& sql, const QVariantList& parametros = {});
    // The same for SQL in the Jet dialect, translated first (DialectoJet.h).
    Resultado prepararJet(const QString& sqlJet, const QVariantList& parametros);
    // sqlite3_step's code.
    int paso();
    sqlite3_stmt* st() const { return st_; }

private:
    EnlaceSqlite& enlace_;
    sqlite3_stmt* st_ = nullptr;
};

} // namespace portiva
