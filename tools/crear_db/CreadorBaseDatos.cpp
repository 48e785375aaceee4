#include "CreadorBaseDatos.h"

#include "ValoresSql.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <sqlite3.h>

namespace portiva {

namespace {

// An SQLite handle closed on every way out.
class Archivo {
public:
    ~Archivo() { sqlite3_close_v2(db); }
    ErrorDB error(int codigo) const {
        return {codigo, db ? QString::fromUtf8(sqlite3_errmsg(db))
                           : QString::fromUtf8(sqlite3_errstr(codigo))};
    }
    sqlite3* db = nullptr;
};

Resultado ejecutar(Archivo& archivo, const QString& sql) {
    char* mensaje = nullptr;
    const int codigo =
        sqlite3_exec(archivo.db, sql.toUtf8().constData(), nullptr, nullptr, &mensaje);
    sqlite3_free(mensaje);
    if (codigo != SQLITE_OK)
        return archivo.error(codigo);
    return {};
}

Resultado abrir(Archivo& archivo, const QString& ruta, bool crear) {
    const int flags = SQLITE_OPEN_READWRITE | (crear ? SQLITE_OPEN_CREATE : 0);
    const int codigo =
        sqlite3_open_v2(QFile::encodeName(ruta).constData(), &archivo.db, flags, nullptr);
    if (codigo != SQLITE_OK)
        return archivo.error(codigo);
    return ejecutar(archivo, QStringLiteral("PRAGMA synchronous = FULL"));
}

Resultado insertar(Archivo& archivo, const QString& tabla, const std::vector<QVariantMap>& filas) {
    if (auto r = ejecutar(archivo, QStringLiteral("BEGIN")); !r)
        return r;
    for (const QVariantMap& fila : filas) {
        QStringList nombres, marcas;
        for (auto it = fila.begin(); it != fila.end(); ++it) {
            nombres << QLatin1Char('"') + it.key() + QLatin1Char('"');
            marcas << QStringLiteral("?");
        }
        const QString sql = nombres.isEmpty()
                                ? QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(tabla)
                                : QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                      .arg(tabla, nombres.join(QLatin1String(", ")),
                                           marcas.join(QLatin1String(", ")));
        sqlite3_stmt* st = nullptr;
        int codigo = sqlite3_prepare_v2(archivo.db, sql.toUtf8().constData(), -1, &st, nullptr);
        int i = 1;
        for (auto it = fila.begin(); codigo == SQLITE_OK && it != fila.end(); ++it)
            codigo = valores_sql::enlazar(st, i++, it.value());
        if (codigo == SQLITE_OK)
            codigo = sqlite3_step(st) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(archivo.db);
        const ErrorDB error = archivo.error(codigo);
        sqlite3_finalize(st);
        if (codigo != SQLITE_OK) {
            (void)ejecutar(archivo, QStringLiteral("ROLLBACK"));
            return error;
        }
    }
    return ejecutar(archivo, QStringLiteral("COMMIT"));
}

QVariantMap servicio(const char* nombre, double precio, const char* intervalo, double numero) {
    return {{QStringLiteral("fldServicio"), QString::fromUtf8(nombre)},
            {QStringLiteral("fldPrecio"), precio},
            {QStringLiteral("fldIntervalo"), QString::fromLatin1(intervalo)},
            {QStringLiteral("fldNumero"), numero}};
}

QVariantMap cliente(const char* codigo, const char* nombre, QVariant inicio, QVariant caducidad,
                    const char* servicio, QVariant precio, bool personal) {
    return {{QStringLiteral("fldCodigo"), QString::fromUtf8(codigo)},
            {QStringLiteral("fldNombre"), QString::fromUtf8(nombre)},
            {QStringLiteral("fldNomFiscal"), QString::fromUtf8(nombre)},
            {QStringLiteral("fldFechaInscripcion"), inicio.isNull() ? QVariant() : inicio},
            {QStringLiteral("fldFechaInicio"), inicio},
            {QStringLiteral("fldFechaCaducidad"), caducidad},
            {QStringLiteral("fldServContratado"), QString::fromUtf8(servicio)},
            {QStringLiteral("fldPrecio"), precio},
            {QStringLiteral("fldFotoPath"), QStringLiteral("")},
            {QStringLiteral("fldStuffSiNo"), personal}};
}

} // namespace

QString CreadorBaseDatos::esquemaSql() {
    // Text compares as Jet does, without regard to case; dates are ISO text (TEXT affinity,
    // recognised by their declared type); yes/no is 0/1; templates are BLOBs; ID numbers rows
    // in the order they were added and is never reused.
    return QStringLiteral("CREATE TABLE ClientesDB (\n"
                          "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                          "  fldCodigo TEXT COLLATE NOCASE,\n"
                          "  fldNombre TEXT COLLATE NOCASE,\n"
                          "  fldNomFiscal TEXT COLLATE NOCASE,\n"
                          "  fldFechaInscripcion DATETEXT,\n"
                          "  fldFechaInicio DATETEXT,\n"
                          "  fldFechaCaducidad DATETEXT,\n"
                          "  fldServContratado TEXT COLLATE NOCASE,\n"
                          "  fldPrecio REAL,\n"
                          "  fldFotoPath TEXT COLLATE NOCASE,\n"
                          "  fldStuffSiNo BOOLEAN DEFAULT 0,\n"
                          "  fldTemplate BLOB\n"
                          ");\n"
                          "CREATE TABLE ServiciosDB (\n"
                          "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                          "  fldServicio TEXT COLLATE NOCASE,\n"
                          "  fldPrecio REAL,\n"
                          "  fldIntervalo TEXT COLLATE NOCASE,\n"
                          "  fldNumero REAL\n"
                          ");\n");
}

Resultado CreadorBaseDatos::CrearVacia(const QString& ruta) {
    if (QFileInfo::exists(ruta))
        return ErrorDB{SQLITE_CANTOPEN,
                       QStringLiteral("El archivo \"%1\" ya existe; no se sobrescribe.").arg(ruta)};
    Resultado r;
    {
        Archivo archivo;
        r = abrir(archivo, ruta, true);
        if (r)
            r = ejecutar(archivo,
                         QStringLiteral("BEGIN; ") + esquemaSql() + QStringLiteral("COMMIT;"));
    }
    if (!r)
        QFile::remove(ruta); // nothing half-made left behind
    return r;
}

Resultado CreadorBaseDatos::CrearDemo(const QString& ruta, const QDate& hoy) {
    if (auto r = CrearVacia(ruta); !r)
        return r;
    const std::vector<QVariantMap> servicios = {
        servicio("Mensual", 30, "m", 1),
        servicio("Trimestral", 80, "m", 3),
        servicio("Bono 15 dias", 18, "d", 15),
        servicio("Sesion suelta", 5, "d", 1),
    };
    const auto d = [&](int dias) { return QVariant(hoy.addDays(dias)); };
    const std::vector<QVariantMap> clientes = {
        cliente("P001", "Marta Gil (monitora)", d(-400), d(-35), "", QVariant(), true),
        cliente("P002", "Luis Prieto (recepcion)", QVariant(), QVariant(), "", QVariant(), true),
        cliente("A001", "Ana Torres", d(-10), d(20), "Mensual", 30.0, false),
        cliente("A002", "Jorge Ruiz", d(-45), d(47), "Trimestral", 80.0, false),
        cliente("A003", "Lucia Moreno", d(0), d(1), "Sesion suelta", 5.0, false),
        cliente("B001", "Pedro Sanz", d(-60), d(-30), "Mensual", 30.0, false),
        cliente("B002", "Elena Castro", d(-30), d(0), "Mensual", 30.0, false),
        cliente("C001", "Raul Ortega", d(1), d(16), "Bono 15 dias", 18.0, false),
    };
    Archivo archivo;
    Resultado r = abrir(archivo, ruta, false);
    if (r)
        r = insertar(archivo, QStringLiteral("ServiciosDB"), servicios);
    if (r)
        r = insertar(archivo, QStringLiteral("ClientesDB"), clientes);
    return r;
}

Resultado CreadorBaseDatos::Insertar(const QString& ruta, const QString& tabla,
                                     const std::vector<QVariantMap>& filas) {
    if (!QFileInfo(ruta).isFile())
        return ErrorDB{SQLITE_CANTOPEN, QStringLiteral("No existe el archivo \"%1\".").arg(ruta)};
    Archivo archivo;
    if (auto r = abrir(archivo, ruta, false); !r)
        return r;
    return insertar(archivo, tabla, filas);
}

} // namespace portiva
