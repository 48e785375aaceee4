#include "EnlaceSqlite.h"

#include "Reloj.h"
#include "TextoSinMayusculas.h"

#include <sqlite3.h>

namespace portiva {

namespace {

// DATE(): the station clock's local date as ISO text, in place of SQLite's UTC date().
void funcionDate(sqlite3_context* contexto, int, sqlite3_value**) {
    const auto* enlace = static_cast<const EnlaceSqlite*>(sqlite3_user_data(contexto));
    const QByteArray& texto = enlace->fechaDeHoy();
    sqlite3_result_text(contexto, texto.constData(), static_cast<int>(texto.size()), SQLITE_STATIC);
}

int entero(sqlite3* db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    int valor = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        valor = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    return valor;
}

} // namespace

EnlaceSqlite::EnlaceSqlite(sqlite3* db, Reloj& reloj) : db_(db), reloj_(reloj) {
    tomarFecha();
    sqlite3_create_function(db_, "DATE", 0, SQLITE_UTF8, this, &funcionDate, nullptr, nullptr);
    RegistrarTextoSinMayusculas(db_);
}

void EnlaceSqlite::tomarFecha() {
    hoy_ = reloj_.hoy().toString(Qt::ISODate).toUtf8();
}

EnlaceSqlite::~EnlaceSqlite() {
    cerrar();
}

void EnlaceSqlite::cerrar() {
    if (!db_)
        return;
    // The last connection leaves the file with the rollback journal, its log folded in, so the
    // file at rest needs nothing beside it (another medium, an older program, a copy by hand).
    // While any other connection or program holds the file this fails at once and changes
    // nothing; the last of them closes it.
    if (entero(db_, "SELECT 1 FROM pragma_journal_mode() WHERE journal_mode = 'wal'") == 1 &&
        sqlite3_db_readonly(db_, "main") == 0) {
        sqlite3_busy_timeout(db_, 0);
        sqlite3_exec(db_, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

ErrorDB EnlaceSqlite::error(int codigo) const {
    ErrorDB e;
    e.numero = codigo;
    e.descripcion =
        db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString::fromUtf8(sqlite3_errstr(codigo));
    return e;
}

ErrorDB EnlaceSqlite::cerrado() {
    return {ErrorDB::ObjetoCerrado,
            QStringLiteral("La operación no se permite si la conexión está cerrada.")};
}

const QSet<QString>& EnlaceSqlite::columnasSiNo() {
    if (!db_)
        return columnasSiNo_;
    const int version = entero(db_, "PRAGMA schema_version");
    if (version == versionEsquema_)
        return columnasSiNo_;
    versionEsquema_ = version;
    columnasSiNo_.clear();
    sqlite3_stmt* st = nullptr;
    const char* sql =
        "SELECT p.name, p.type FROM sqlite_master AS m, pragma_table_info(m.name) AS p"
        " WHERE m.type = 'table'";
    if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            const auto* nombre = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            const auto* tipo = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
            if (nombre && tipo && QByteArray(tipo).toUpper().contains("BOOL"))
                columnasSiNo_.insert(QString::fromUtf8(nombre).toLower());
        }
    }
    sqlite3_finalize(st);
    return columnasSiNo_;
}

} // namespace portiva
