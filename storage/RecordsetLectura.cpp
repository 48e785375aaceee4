// The read side of the recordset: field names and types, and the current row's values (a
// deferred binary value is read from its table by the row's ID).
#include "Recordset.h"

#include "EnlaceSqlite.h"
#include "SentenciaSql.h"
#include "ValoresSql.h"

#include <sqlite3.h>

namespace portiva {

// --- fields --------------------------------------------------------------------------------

QString Recordset::FieldName(int indice) const {
    if (indice < 0 || indice >= FieldCount())
        return {};
    return columnas_[indice].nombre;
}

Recordset::TipoCampo Recordset::FieldType(int indice) const {
    if (indice < 0 || indice >= FieldCount())
        return TipoCampo::Otro;
    return columnas_[indice].tipo;
}

int Recordset::IndiceCampo(const QString& nombre) const {
    for (int i = 0; i < FieldCount(); ++i)
        if (columnas_[i].nombre.compare(nombre, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const Recordset::Celda& Recordset::celda(long fila, int indice) const {
    return celdas_[static_cast<size_t>(fila) * columnas_.size() + static_cast<size_t>(indice)];
}

Recordset::Celda& Recordset::celda(long fila, int indice) {
    return celdas_[static_cast<size_t>(fila) * columnas_.size() + static_cast<size_t>(indice)];
}

QVariant Recordset::convertir(const Celda& c, TipoCampo tipo,
                              const std::vector<char>& datos) const {
    switch (c.tipo) {
    case SQLITE_INTEGER:
        if (tipo == TipoCampo::SiNo)
            return c.entero != 0;
        if (tipo == TipoCampo::Real)
            return static_cast<double>(c.entero);
        return c.entero;
    case SQLITE_FLOAT:
        if (tipo == TipoCampo::SiNo)
            return c.real != 0.0;
        return c.real;
    case SQLITE_TEXT: {
        const QString texto = QString::fromUtf8(datos.data() + c.desde, c.largo);
        if (tipo == TipoCampo::Fecha)
            return valores_sql::leerFecha(texto);
        return texto;
    }
    case SQLITE_BLOB:
        return QByteArray(datos.data() + c.desde, c.largo);
    default:
        return {};
    }
}

QVariant Recordset::valorEn(int indice) const {
    if (!hayFilaActual() || indice < 0 || indice >= FieldCount())
        return {};
    if (auto p = pendientes_.find(indice); p != pendientes_.end())
        return p->second;
    const Celda& c = celda(actual_, indice);
    if (esDiferida(c))
        return leerDiferida(indice).valor_o(QVariant());
    return convertir(c, columnas_[indice].tipo, datos_);
}

bool Recordset::esNuloEn(int indice) const {
    if (hayFilaActual() && indice >= 0 && indice < FieldCount() && !pendientes_.count(indice) &&
        esDiferida(celda(actual_, indice)))
        return false;
    return valorEn(indice).isNull();
}

QByteArrayView Recordset::bytesEn(int indice) const {
    if (!hayFilaActual() || indice < 0 || indice >= FieldCount())
        return {};
    const Celda& c = celda(actual_, indice);
    if (esDiferida(c)) {
        const ResultadoDe<QVariant> v = leerDiferida(indice);
        if (!v.ok() || v.valor().typeId() != QMetaType::QByteArray)
            return {};
        return QByteArrayView(diferida_.data(), static_cast<qsizetype>(diferida_.size()));
    }
    if (c.tipo != SQLITE_TEXT && c.tipo != SQLITE_BLOB)
        return {};
    return QByteArrayView(datos_.data() + c.desde, c.largo);
}

qsizetype Recordset::largoEn(int indice) const {
    if (!hayFilaActual() || indice < 0 || indice >= FieldCount())
        return 0;
    const Celda& c = celda(actual_, indice);
    if (c.tipo != SQLITE_TEXT && c.tipo != SQLITE_BLOB)
        return 0;
    return c.largo;
}

ResultadoDe<QVariant> Recordset::leerDiferida(int indice) const {
    diferida_.clear();
    if (!enlace_ || !enlace_->abierto())
        return EnlaceSqlite::cerrado();
    const Celda& id = celda(actual_, indiceID_);
    if (id.tipo != SQLITE_INTEGER)
        return QVariant();
    SentenciaSql sentencia(*enlace_);
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                            .arg(nombreCitado(columnas_[indice].origen), nombreCitado(tabla_),
                                 nombreCitado(columnas_[indiceID_].origen));
    if (auto r = sentencia.preparar(sql, {QVariant::fromValue<qlonglong>(id.entero)}); !r)
        return r.error();
    const int paso = sentencia.paso();
    if (paso == SQLITE_DONE)
        return QVariant(); // removed from the table since the snapshot was read
    if (paso != SQLITE_ROW)
        return enlace_->error(paso);
    const Celda c = leerCelda(sentencia.st(), 0, false, diferida_);
    return convertir(c, columnas_[indice].tipo, diferida_);
}

ResultadoDe<int> Recordset::campoEnFilaActual(const QString& campo) const {
    if (auto r = comprobarAbierto(); !r)
        return r.error();
    const int i = IndiceCampo(campo);
    if (i < 0)
        return ErrorDB{ErrorDB::CampoNoEncontrado,
                       QStringLiteral("No se encontró el campo \"%1\".").arg(campo)};
    if (!hayFilaActual())
        return sinFilaActual();
    return i;
}

ResultadoDe<QVariant> Recordset::Valor(const QString& campo) const {
    const auto campoActual = campoEnFilaActual(campo);
    if (!campoActual)
        return campoActual.error();
    const int i = campoActual.valor();
    if (!pendientes_.count(i) && esDiferida(celda(actual_, i)))
        return leerDiferida(i);
    return valorEn(i);
}

} // namespace portiva
