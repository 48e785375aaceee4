#pragma once

#include <QFile>
#include <QStringList>
#include <sqlite3.h>

namespace portiva::prueba {

// The member codes of a database file in table order, read with SQLite directly and read-only,
// as the plain sqlite3 tool reads it; empty when unreadable.
inline QStringList codigos(const QString& ruta) {
    QStringList salida;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(ruta).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT fldCodigo FROM ClientesDB ORDER BY ID", -1, &st,
                               nullptr) == SQLITE_OK) {
            while (sqlite3_step(st) == SQLITE_ROW)
                salida << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            sqlite3_finalize(st);
        }
    }
    sqlite3_close(db);
    return salida;
}

} // namespace portiva::prueba
