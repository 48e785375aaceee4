#include "VersionDatos.h"

#include "Conexion.h"
#include "EnlaceSqlite.h"

#include <sqlite3.h>

namespace portiva {

ResultadoDe<VersionDatos> LeerVersionDatos(Conexion& cn) {
    const auto enlace = cn.enlace();
    if (!enlace || !enlace->abierto())
        return EnlaceSqlite::cerrado();
    sqlite3* db = enlace->db();
    sqlite3_stmt* st = nullptr;
    int codigo = sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &st, nullptr);
    if (codigo != SQLITE_OK)
        return enlace->error(codigo);
    codigo = sqlite3_step(st);
    if (codigo != SQLITE_ROW) {
        ErrorDB e = enlace->error(codigo);
        sqlite3_finalize(st);
        return e;
    }
    VersionDatos v;
    v.otros = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    v.propios = sqlite3_total_changes64(db);
    return v;
}

bool EsBloqueo(const ErrorDB& error) {
    const long primario = error.numero & 0xFF;
    return primario == SQLITE_BUSY || primario == SQLITE_LOCKED;
}

SinEsperaBloqueo::SinEsperaBloqueo(Conexion& cn) : cn_(cn) {
    if (const auto enlace = cn_.enlace(); enlace && enlace->abierto())
        sqlite3_busy_timeout(enlace->db(), 0);
}

SinEsperaBloqueo::~SinEsperaBloqueo() {
    if (const auto enlace = cn_.enlace(); enlace && enlace->abierto())
        sqlite3_busy_timeout(enlace->db(), Conexion::EsperaBloqueoMs);
}

} // namespace portiva
