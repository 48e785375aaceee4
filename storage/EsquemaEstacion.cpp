#include "EsquemaEstacion.h"

#include "Conexion.h"
#include "Recordset.h"

namespace portiva {

const QString& EsquemaEstacion::tablaClientes() {
    static const QString nombre = QStringLiteral("ClientesDB");
    return nombre;
}

const QString& EsquemaEstacion::tablaServicios() {
    static const QString nombre = QStringLiteral("ServiciosDB");
    return nombre;
}

const QStringList& EsquemaEstacion::camposClientes() {
    static const QStringList campos = {
        QStringLiteral("ID"),
        QStringLiteral("fldCodigo"),
        QStringLiteral("fldNombre"),
        QStringLiteral("fldNomFiscal"),
        QStringLiteral("fldFechaInscripcion"),
        QStringLiteral("fldFechaInicio"),
        QStringLiteral("fldFechaCaducidad"),
        QStringLiteral("fldServContratado"),
        QStringLiteral("fldPrecio"),
        QStringLiteral("fldFotoPath"),
        QStringLiteral("fldStuffSiNo"),
        QStringLiteral("fldTemplate"),
    };
    return campos;
}

const QStringList& EsquemaEstacion::camposServicios() {
    static const QStringList campos = {
        QStringLiteral("ID"),           QStringLiteral("fldServicio"), QStringLiteral("fldPrecio"),
        QStringLiteral("fldIntervalo"), QStringLiteral("fldNumero"),
    };
    return campos;
}

namespace {

ErrorDB falta(const QString& que) {
    return {ErrorDB::NoEsBaseDeDatos,
            QStringLiteral("El archivo no es una base de datos de la estación: %1.").arg(que)};
}

Resultado comprobarTabla(Conexion& conexion, const QString& tabla, const QStringList& campos) {
    Recordset rs;
    if (auto r = rs.Open(QStringLiteral("SELECT name, pk, type FROM pragma_table_info(?)"),
                         conexion, {tabla});
        !r)
        return r;
    if (rs.RecordCount() == 0)
        return falta(QStringLiteral("falta la tabla %1").arg(tabla));
    QStringList presentes;
    bool idEsClave = false;
    // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
    for (; !rs.Eof(); (void)rs.MoveNext()) {
        const QString nombre = rs.valorEn(0).toString();
        presentes << nombre.toLower();
        if (nombre.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0 &&
            rs.valorEn(1).toInt() == 1 &&
            rs.valorEn(2).toString().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
            idEsClave = true;
    }
    for (const QString& campo : campos)
        if (!presentes.contains(campo.toLower()))
            return falta(QStringLiteral("falta el campo %1 en la tabla %2").arg(campo, tabla));
    if (!idEsClave)
        return falta(
            QStringLiteral("el campo ID no es la clave numérica de la tabla %1").arg(tabla));
    return {};
}

} // namespace

Resultado EsquemaEstacion::comprobar(Conexion& conexion) {
    if (auto r = comprobarTabla(conexion, tablaClientes(), camposClientes()); !r)
        return r;
    return comprobarTabla(conexion, tablaServicios(), camposServicios());
}

} // namespace portiva
