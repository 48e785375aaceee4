#include "CreadorBaseDatos.h"

#include "Conexion.h"
#include "Reloj.h"

#include <QFile>
#include <QStringList>
#include <sqlite3.h>

namespace portiva {

namespace {

// Runs the statements one after the other in one transaction; nothing is kept when one fails.
Resultado enTransaccion(Conexion& cn,
                        const std::vector<std::pair<QString, QVariantList>>& sentencias) {
    if (auto r = cn.Execute(QStringLiteral("BEGIN")); !r)
        return r;
    for (const auto& [sql, parametros] : sentencias)
        if (auto r = cn.Execute(sql, parametros); !r) {
            // Rolling back after a failure: the first error is the one reported.
            (void)cn.Execute(QStringLiteral("ROLLBACK"));
            return r;
        }
    return cn.Execute(QStringLiteral("COMMIT"));
}

Resultado abrir(Conexion& cn, const QString& ruta) {
    cn.setConnectionString(ruta);
    return cn.Open();
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
    // An empty file is an empty SQLite database; NewOnly never replaces an existing file.
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return ErrorDB{
            SQLITE_CANTOPEN,
            QStringLiteral("No se puede crear \"%1\": %2").arg(ruta, archivo.errorString())};
    archivo.close();
    std::vector<std::pair<QString, QVariantList>> sentencias;
    for (const QString& sql : esquemaSql().split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!sql.trimmed().isEmpty())
            sentencias.push_back({sql, {}});
    RelojSistema reloj;
    Resultado r;
    {
        Conexion cn(reloj);
        r = abrir(cn, ruta);
        if (r)
            r = enTransaccion(cn, sentencias);
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
    if (auto r = Insertar(ruta, QStringLiteral("ServiciosDB"), servicios); !r)
        return r;
    return Insertar(ruta, QStringLiteral("ClientesDB"), clientes);
}

Resultado CreadorBaseDatos::Insertar(const QString& ruta, const QString& tabla,
                                     const std::vector<QVariantMap>& filas) {
    std::vector<std::pair<QString, QVariantList>> sentencias;
    sentencias.reserve(filas.size());
    for (const QVariantMap& fila : filas) {
        QStringList nombres, marcas;
        QVariantList valores;
        for (auto it = fila.begin(); it != fila.end(); ++it) {
            nombres << QLatin1Char('"') + it.key() + QLatin1Char('"');
            marcas << QStringLiteral("?");
            valores << it.value();
        }
        sentencias.push_back({nombres.isEmpty()
                                  ? QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(tabla)
                                  : QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                        .arg(tabla, nombres.join(QLatin1String(", ")),
                                             marcas.join(QLatin1String(", "))),
                              valores});
    }
    RelojSistema reloj;
    Conexion cn(reloj);
    if (auto r = abrir(cn, ruta); !r)
        return r;
    return enTransaccion(cn, sentencias);
}

} // namespace portiva
