#include "Conexion.h"

#include "EnlaceSqlite.h"
#include "SentenciaSql.h"

#include <QFileInfo>
#include <QStringList>
#include <sqlite3.h>

namespace portiva {

Conexion::Conexion(Reloj& reloj) : reloj_(reloj) {}

Conexion::~Conexion() = default;

QString Conexion::rutaArchivo() const {
    if (!connectionString_.contains(QLatin1Char('=')))
        return connectionString_.trimmed();
    const QStringList partes = connectionString_.split(QLatin1Char(';'));
    for (const QString& parte : partes) {
        const auto igual = parte.indexOf(QLatin1Char('='));
        if (igual < 0)
            continue;
        if (parte.left(igual).trimmed().compare(QLatin1String("Data Source"),
                                                Qt::CaseInsensitive) == 0)
            return parte.mid(igual + 1).trimmed();
    }
    return {};
}

Resultado Conexion::Open() {
    if (State() == 1)
        return ErrorDB{ErrorDB::ObjetoAbierto,
                       QStringLiteral("La operación no se permite si la conexión está abierta.")};
    const QString ruta = rutaArchivo();
    if (ruta.isEmpty() || !QFileInfo(ruta).isFile())
        return ErrorDB{
            SQLITE_CANTOPEN,
            QStringLiteral("No se encuentra el archivo de base de datos \"%1\".").arg(ruta)};
    sqlite3* db = nullptr;
    // Read-write, never create; no journal-mode change and no write on open. One thread uses
    // the connection, so SQLite need not lock it on every call.
    const int codigo = sqlite3_open_v2(
        QFile::encodeName(ruta).constData(), &db,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE, nullptr);
    if (codigo != SQLITE_OK) {
        ErrorDB e{codigo, QStringLiteral("No se puede abrir el archivo de base de datos \"%1\": %2")
                              .arg(ruta, QString::fromUtf8(sqlite3_errstr(codigo)))};
        sqlite3_close_v2(db);
        return e;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, EsperaBloqueoMs);
    // Connection settings only: nothing here touches the file. The page cache holds the tables'
    // pages, not the templates: a read of every template passes through once (the system
    // keeps the file's pages), and each page held here is memory the station keeps.
    sqlite3_exec(db, "PRAGMA synchronous = FULL; PRAGMA cache_size = -8192;", nullptr, nullptr,
                 nullptr);
    enlace_ = std::make_shared<EnlaceSqlite>(db, reloj_);
    return {};
}

int Conexion::State() const {
    return enlace_ && enlace_->abierto() ? 1 : 0;
}

Resultado Conexion::Close() {
    if (State() == 0)
        return EnlaceSqlite::cerrado();
    enlace_->cerrar();
    enlace_.reset();
    return {};
}

namespace {

// The journal mode a PRAGMA journal_mode statement answers, lower-cased; empty on an error.
QByteArray modoDiario(sqlite3* db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    QByteArray modo;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        modo = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))).toLower();
    sqlite3_finalize(st);
    return modo;
}

} // namespace

QString Conexion::UsarRegistroAnticipado() {
    if (State() == 0)
        return EnlaceSqlite::cerrado().texto();
    sqlite3* db = enlace_->db();
    const QByteArray modo = modoDiario(db, "PRAGMA journal_mode = WAL");
    if (modo == "wal")
        return {};
    const QString nombre = QFileInfo(rutaArchivo()).fileName();
    QString porque;
    if (modo.isEmpty())
        porque = QString::fromUtf8(sqlite3_errmsg(db));
    else if (sqlite3_db_readonly(db, "main") == 1 ||
             !QFileInfo(QFileInfo(rutaArchivo()).absolutePath()).isWritable())
        porque = QStringLiteral("el archivo o su carpeta son de solo lectura");
    else
        porque = QStringLiteral("el sistema de archivos no admite la memoria compartida que "
                                "necesita");
    return QStringLiteral("La base de datos %1 no puede usar el registro de escritura anticipada "
                          "(%2): se usa el diario de siempre, y otro programa que escriba en ella "
                          "puede hacer esperar a la puerta.")
        .arg(nombre, porque);
}

bool Conexion::RegistroAnticipado() const {
    return State() == 1 && modoDiario(enlace_->db(), "PRAGMA journal_mode") == "wal";
}

Resultado Conexion::Execute(const QString& sql, const QVariantList& parametros) {
    if (State() == 0)
        return EnlaceSqlite::cerrado();
    SentenciaSql sentencia(*enlace_);
    if (auto r = sentencia.prepararJet(sql, parametros); !r)
        return r;
    for (;;) {
        const int paso = sentencia.paso();
        if (paso == SQLITE_DONE)
            return {};
        if (paso != SQLITE_ROW)
            return enlace_->error(paso);
    }
}

} // namespace portiva
