#include "OperacionesArchivo.h"

#include "EsquemaEstacion.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sqlite3.h>
#include <unistd.h>

namespace portiva {

namespace {

ErrorDB errorSistema(const QString& que, const QString& ruta) {
    const int codigo = errno;
    return ErrorDB{codigo, QStringLiteral("%1 %2: %3")
                               .arg(que, QFileInfo(ruta).fileName(),
                                    QString::fromLocal8Bit(std::strerror(codigo)))};
}

QByteArray nativo(const QString& ruta) {
    return QFile::encodeName(ruta);
}

struct CerrarSqlite {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using BaseSqlite = std::unique_ptr<sqlite3, CerrarSqlite>;

ErrorDB errorSqlite(sqlite3* db, int codigo) {
    return ErrorDB{codigo, db ? QString::fromUtf8(sqlite3_errmsg(db))
                              : QString::fromUtf8(sqlite3_errstr(codigo))};
}

// Read-only unless `escritura`: a database left with a hot journal by a crash needs a
// read-write connection to be rolled back before it can be read.
ResultadoDe<BaseSqlite> abrir(const QString& ruta, bool escritura) {
    if (!QFileInfo(ruta).isFile())
        return ErrorDB{SQLITE_CANTOPEN,
                       QStringLiteral("no existe el archivo %1").arg(QFileInfo(ruta).fileName())};
    sqlite3* crudo = nullptr;
    const int rc =
        sqlite3_open_v2(nativo(ruta).constData(), &crudo,
                        escritura ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, nullptr);
    BaseSqlite db(crudo);
    if (rc != SQLITE_OK)
        return errorSqlite(db.get(), rc);
    sqlite3_busy_timeout(db.get(), 5000);
    return BaseSqlite(std::move(db));
}

ResultadoDe<BaseSqlite> abrirSoloLectura(const QString& ruta) {
    return abrir(ruta, false);
}

// The names of a table's columns, lower-cased; empty when the table is not there.
ResultadoDe<QSet<QString>> columnas(sqlite3* db, const QString& tabla) {
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = "PRAGMA table_info(\"" + tabla.toUtf8() + "\")";
    int rc = sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
    if (rc != SQLITE_OK)
        return errorSqlite(db, rc);
    QSet<QString> nombres;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        nombres.insert(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))).toLower());
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        return errorSqlite(db, rc);
    return nombres;
}

Resultado comprobarTabla(sqlite3* db, const QString& tabla, const QStringList& campos) {
    const auto hay = columnas(db, tabla);
    if (!hay)
        return hay.error();
    if (hay.valor().isEmpty())
        return ErrorDB{ErrorDB::NoEsBaseDeDatos, QStringLiteral("falta la tabla %1").arg(tabla)};
    for (const QString& campo : campos)
        if (!hay.valor().contains(campo.toLower()))
            return ErrorDB{ErrorDB::NoEsBaseDeDatos,
                           QStringLiteral("falta el campo %1 de la tabla %2").arg(campo, tabla)};
    return {};
}

} // namespace

Resultado ComprobarBaseEstacion(const QString& ruta) {
    if (QFileInfo(ruta).isFile() && QFileInfo(ruta).size() == 0)
        return ErrorDB{ErrorDB::NoEsBaseDeDatos, QStringLiteral("el archivo esta vacio")};
    auto abierta = abrirSoloLectura(ruta);
    if (!abierta)
        return abierta.error();
    sqlite3* db = abierta.valor().get();
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &st, nullptr);
    if (rc != SQLITE_OK)
        return errorSqlite(db, rc);
    rc = sqlite3_step(st);
    QString respuesta;
    if (rc == SQLITE_ROW)
        respuesta = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    if (rc != SQLITE_ROW)
        return errorSqlite(db, rc);
    if (respuesta != QLatin1String("ok"))
        return ErrorDB{SQLITE_CORRUPT,
                       QStringLiteral("el archivo esta dañado (%1)").arg(respuesta)};
    if (auto r =
            comprobarTabla(db, EsquemaEstacion::tablaClientes(), EsquemaEstacion::camposClientes());
        !r)
        return r;
    return comprobarTabla(db, EsquemaEstacion::tablaServicios(),
                          EsquemaEstacion::camposServicios());
}

Resultado SoltarRegistroAnticipado(const QString& ruta) {
    const QString registro = ruta + QStringLiteral("-wal");
    const QString indice = ruta + QStringLiteral("-shm");
    const auto quedan = [&] { return QFileInfo::exists(registro) || QFileInfo::exists(indice); };
    if (!quedan())
        return {};
    const auto quitar = [&]() -> Resultado {
        for (const QString& f : {registro, indice})
            if (::unlink(nativo(f).constData()) != 0 && errno != ENOENT)
                return errorSistema(QStringLiteral("no se pudo borrar"), f);
        return {};
    };
    if (!QFileInfo::exists(ruta))
        return quitar();
    const ErrorDB ocupada{SQLITE_BUSY,
                          QStringLiteral("otro programa tiene abierta la base de datos %1; "
                                         "cierrelo e intentelo de nuevo")
                              .arg(QFileInfo(ruta).fileName())};
    {
        auto abierta = abrir(ruta, true);
        if (!abierta)
            return abierta.error();
        sqlite3* db = abierta.valor().get();
        sqlite3_busy_timeout(db, 0);
        // A read takes the shared lock that every connection to a logged file keeps while it is
        // open (and plays a log left by a crash); leaving the log then needs all of them gone.
        int rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return (rc & 0xFF) == SQLITE_BUSY ? Resultado(ocupada) : Resultado(errorSqlite(db, rc));
        sqlite3_stmt* st = nullptr;
        QByteArray modo;
        rc = sqlite3_prepare_v2(db, "PRAGMA journal_mode = DELETE", -1, &st, nullptr);
        if (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW)
            modo = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
        if (modo.isEmpty())
            return (rc & 0xFF) == SQLITE_BUSY ? Resultado(ocupada) : Resultado(errorSqlite(db, rc));
        if (modo.toLower() != "delete")
            return ocupada;
    }
    // Every connection is gone and the log is in the file: an index left beside it is stale.
    if (QFileInfo::exists(registro))
        return ocupada;
    return quitar();
}

Resultado OperacionesArchivoPosix::instantanea(const QString& origen, const QString& destino,
                                               const std::function<void()>& avance) {
    auto abierta = abrir(origen, true);
    if (!abierta)
        abierta = abrirSoloLectura(origen);
    if (!abierta)
        return abierta.error();
    sqlite3* db = abierta.valor().get();
    if (avance)
        sqlite3_progress_handler(
            db, 20000,
            [](void* f) {
                (*static_cast<const std::function<void()>*>(f))();
                return 0;
            },
            const_cast<std::function<void()>*>(&avance));
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, "VACUUM INTO ?", -1, &st, nullptr);
    if (rc != SQLITE_OK)
        return errorSqlite(db, rc);
    const QByteArray destinoUtf8 = destino.toUtf8();
    sqlite3_bind_text(st, 1, destinoUtf8.constData(), -1, SQLITE_TRANSIENT);
    rc = sqlite3_step(st);
    sqlite3_finalize(st);
    sqlite3_progress_handler(db, 0, nullptr, nullptr);
    if (rc != SQLITE_DONE) {
        const ErrorDB e = errorSqlite(db, rc);
        ::unlink(nativo(destino).constData());
        return e;
    }
    return {};
}

Resultado OperacionesArchivoPosix::sincronizar(const QString& ruta) {
    const int fd = ::open(nativo(ruta).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errorSistema(QStringLiteral("no se pudo abrir"), ruta);
    const int rc = ::fsync(fd);
    const ErrorDB e =
        rc != 0 ? errorSistema(QStringLiteral("no se pudo escribir en el disco"), ruta) : ErrorDB{};
    ::close(fd);
    if (rc != 0)
        return e;
    return {};
}

Resultado OperacionesArchivoPosix::sincronizarCarpeta(const QString& carpeta) {
    const int fd = ::open(nativo(carpeta).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errorSistema(QStringLiteral("no se pudo abrir la carpeta"), carpeta);
    const int rc = ::fsync(fd);
    const ErrorDB e = rc != 0
                          ? errorSistema(QStringLiteral("no se pudo escribir la carpeta"), carpeta)
                          : ErrorDB{};
    ::close(fd);
    if (rc != 0)
        return e;
    return {};
}

Resultado OperacionesArchivoPosix::reemplazar(const QString& origen, const QString& destino) {
    if (::rename(nativo(origen).constData(), nativo(destino).constData()) != 0)
        return errorSistema(QStringLiteral("no se pudo renombrar"), origen);
    return {};
}

Resultado OperacionesArchivoPosix::renombrarSinReemplazar(const QString& origen,
                                                          const QString& destino) {
    if (::link(nativo(origen).constData(), nativo(destino).constData()) != 0)
        return errorSistema(QStringLiteral("no se pudo crear"), destino);
    if (::unlink(nativo(origen).constData()) != 0)
        return errorSistema(QStringLiteral("no se pudo borrar"), origen);
    return {};
}

Resultado OperacionesArchivoPosix::borrar(const QString& ruta) {
    if (::unlink(nativo(ruta).constData()) != 0 && errno != ENOENT)
        return errorSistema(QStringLiteral("no se pudo borrar"), ruta);
    return {};
}

} // namespace portiva
