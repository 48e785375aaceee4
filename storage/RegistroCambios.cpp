#include "RegistroCambios.h"

#include "Conexion.h"
#include "EnlaceSqlite.h"

#include <sqlite3.h>

#include <QString>

#include <memory>
#include <unordered_set>

namespace portiva::registro_cambios {

namespace {

constexpr const char* kTabla = "CambiosClientesDB";
constexpr const char* kDisparadores[] = {"CambiosClientesDB_Alta", "CambiosClientesDB_Cambio",
                                         "CambiosClientesDB_Baja"};

// The table and its three triggers; each trigger keeps the newest MaximoEntradas entries.
QByteArray SqlCrear() {
    const QString poda = QStringLiteral("DELETE FROM CambiosClientesDB WHERE Orden <= "
                                        "(SELECT MAX(Orden) FROM CambiosClientesDB) - %1;")
                             .arg(MaximoEntradas);
    return QStringLiteral(
               "CREATE TABLE IF NOT EXISTS CambiosClientesDB ("
               "Orden INTEGER PRIMARY KEY AUTOINCREMENT, ID INTEGER);"
               "CREATE TRIGGER IF NOT EXISTS CambiosClientesDB_Alta AFTER INSERT ON ClientesDB "
               "BEGIN INSERT INTO CambiosClientesDB (ID) VALUES (NEW.ID); %1 END;"
               "CREATE TRIGGER IF NOT EXISTS CambiosClientesDB_Cambio AFTER UPDATE ON ClientesDB "
               "BEGIN INSERT INTO CambiosClientesDB (ID) VALUES (OLD.ID); "
               "INSERT INTO CambiosClientesDB (ID) SELECT NEW.ID WHERE NEW.ID IS NOT OLD.ID; %1 "
               "END;"
               "CREATE TRIGGER IF NOT EXISTS CambiosClientesDB_Baja AFTER DELETE ON ClientesDB "
               "BEGIN INSERT INTO CambiosClientesDB (ID) VALUES (OLD.ID); %1 END;")
        .arg(poda)
        .toUtf8();
}

// One statement, finalised on every path.
class Consulta {
public:
    Consulta(sqlite3* db, const char* sql) {
        codigo_ = sqlite3_prepare_v2(db, sql, -1, &st_, nullptr);
    }
    ~Consulta() { sqlite3_finalize(st_); }
    Consulta(const Consulta&) = delete;
    Consulta& operator=(const Consulta&) = delete;
    int codigo() const { return codigo_; }
    sqlite3_stmt* st() const { return st_; }

private:
    sqlite3_stmt* st_ = nullptr;
    int codigo_ = SQLITE_OK;
};

ResultadoDe<std::shared_ptr<EnlaceSqlite>> Abierto(Conexion& cn) {
    auto enlace = cn.enlace();
    if (!enlace || !enlace->abierto())
        return EnlaceSqlite::cerrado();
    return enlace;
}

} // namespace

Resultado Preparar(Conexion& cn) {
    const auto enlace = Abierto(cn);
    if (!enlace)
        return enlace.error();
    sqlite3* db = (*enlace)->db();
    // All or nothing: a file never keeps a log with some of its triggers missing.
    const bool propia = sqlite3_get_autocommit(db) != 0;
    if (propia) {
        if (const int c = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            c != SQLITE_OK)
            return (*enlace)->error(c);
    }
    const int codigo = sqlite3_exec(db, SqlCrear().constData(), nullptr, nullptr, nullptr);
    if (codigo != SQLITE_OK) {
        ErrorDB e = (*enlace)->error(codigo);
        if (propia)
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return e;
    }
    if (propia) {
        if (const int c = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr); c != SQLITE_OK) {
            ErrorDB e = (*enlace)->error(c);
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            return e;
        }
    }
    return {};
}

ResultadoDe<Estado> Leer(Conexion& cn) {
    const auto enlace = Abierto(cn);
    if (!enlace)
        return enlace.error();
    sqlite3* db = (*enlace)->db();
    Estado estado;
    {
        Consulta q(db, "SELECT type, name FROM sqlite_master WHERE tbl_name IN "
                       "('CambiosClientesDB', 'ClientesDB')");
        if (q.codigo() != SQLITE_OK)
            return (*enlace)->error(q.codigo());
        int encontrados = 0;
        int paso = SQLITE_ROW;
        while ((paso = sqlite3_step(q.st())) == SQLITE_ROW) {
            const QByteArray tipo(reinterpret_cast<const char*>(sqlite3_column_text(q.st(), 0)));
            const QByteArray nombre(reinterpret_cast<const char*>(sqlite3_column_text(q.st(), 1)));
            if (tipo == "table" && nombre == kTabla)
                ++encontrados;
            for (const char* d : kDisparadores)
                if (tipo == "trigger" && nombre == d)
                    ++encontrados;
        }
        if (paso != SQLITE_DONE)
            return (*enlace)->error(paso);
        estado.presente = encontrados == 4;
    }
    if (!estado.presente)
        return estado;
    Consulta q(db, "SELECT Orden, ID FROM CambiosClientesDB ORDER BY Orden DESC LIMIT 1");
    if (q.codigo() != SQLITE_OK)
        return (*enlace)->error(q.codigo());
    const int paso = sqlite3_step(q.st());
    if (paso == SQLITE_ROW) {
        estado.ultima = sqlite3_column_int64(q.st(), 0);
        estado.idUltima = sqlite3_column_int64(q.st(), 1);
    } else if (paso != SQLITE_DONE) {
        return (*enlace)->error(paso);
    }
    return estado;
}

ResultadoDe<Cambios> Desde(Conexion& cn, qint64 desde, qint64 idEnDesde) {
    const auto enlace = Abierto(cn);
    if (!enlace)
        return enlace.error();
    Consulta q((*enlace)->db(),
               "SELECT Orden, ID FROM CambiosClientesDB WHERE Orden >= ? ORDER BY Orden");
    if (q.codigo() != SQLITE_OK)
        return (*enlace)->error(q.codigo());
    sqlite3_bind_int64(q.st(), 1, desde);
    Cambios cambios;
    // No entry 0 is ever written: from the start there is nothing to find again.
    bool visto = desde == 0;
    cambios.completos = true;
    cambios.hasta = desde;
    cambios.idHasta = idEnDesde;
    std::unordered_set<qint64> vistos;
    int paso = SQLITE_ROW;
    while ((paso = sqlite3_step(q.st())) == SQLITE_ROW) {
        const qint64 orden = sqlite3_column_int64(q.st(), 0);
        const qint64 id = sqlite3_column_int64(q.st(), 1);
        const bool entero = sqlite3_column_type(q.st(), 1) == SQLITE_INTEGER;
        if (orden == desde) {
            visto = entero && id == idEnDesde;
            continue;
        }
        // Every entry follows the one before; a missing one means changes nobody can name.
        if (orden != cambios.hasta + 1 || !entero)
            cambios.completos = false;
        cambios.hasta = orden;
        cambios.idHasta = id;
        if (vistos.insert(id).second)
            cambios.ids.push_back(id);
    }
    if (paso != SQLITE_DONE)
        return (*enlace)->error(paso);
    if (!visto)
        cambios.completos = false;
    return cambios;
}

ResultadoDe<qint64> VersionEsquema(Conexion& cn) {
    const auto enlace = Abierto(cn);
    if (!enlace)
        return enlace.error();
    Consulta q((*enlace)->db(), "PRAGMA schema_version");
    if (q.codigo() != SQLITE_OK)
        return (*enlace)->error(q.codigo());
    const int paso = sqlite3_step(q.st());
    if (paso != SQLITE_ROW)
        return (*enlace)->error(paso);
    return static_cast<qint64>(sqlite3_column_int64(q.st(), 0));
}

} // namespace portiva::registro_cambios

namespace portiva {

LecturaUnica::LecturaUnica(Conexion& cn) : cn_(cn) {
    const auto enlace = cn_.enlace();
    if (!enlace || !enlace->abierto() || sqlite3_get_autocommit(enlace->db()) == 0)
        return;
    propia_ = sqlite3_exec(enlace->db(), "BEGIN DEFERRED", nullptr, nullptr, nullptr) == SQLITE_OK;
}

LecturaUnica::~LecturaUnica() {
    const auto enlace = cn_.enlace();
    if (propia_ && enlace && enlace->abierto() && sqlite3_get_autocommit(enlace->db()) == 0)
        sqlite3_exec(enlace->db(), "COMMIT", nullptr, nullptr, nullptr);
}

void SoltarCache(Conexion& cn) {
    if (const auto enlace = cn.enlace(); enlace && enlace->abierto())
        sqlite3_db_release_memory(enlace->db());
}

} // namespace portiva
