// The write side of the recordset: the edit buffer and AddNew/Update/CancelUpdate/Delete,
// each written through to the table by ID and kept equal to it in the snapshot.
#include "Recordset.h"

#include "ValorCampo.h"

#include "Conexion.h"
#include "EnlaceSqlite.h"
#include "SentenciaSql.h"
#include "ValoresSql.h"

#include <QStringList>
#include <cmath>
#include <cstring>
#include <limits>
#include <sqlite3.h>
#include <utility>

namespace portiva {

// --- writes --------------------------------------------------------------------------------

QString Recordset::nombreCitado(const QString& nombre) const {
    QString n = nombre;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

void Recordset::guardarCelda(Celda& c, const QVariant& valor) {
    c = Celda();
    if (valor.isNull())
        return;
    switch (valor.typeId()) {
    case QMetaType::Bool:
        c.tipo = SQLITE_INTEGER;
        c.entero = valor.toBool() ? 1 : 0;
        return;
    case QMetaType::LongLong:
    case QMetaType::Int:
        c.tipo = SQLITE_INTEGER;
        c.entero = valor.toLongLong();
        return;
    case QMetaType::Double:
        c.tipo = SQLITE_FLOAT;
        c.real = valor.toDouble();
        return;
    default:
        break;
    }
    QByteArray bytes;
    if (valor.typeId() == QMetaType::QByteArray) {
        c.tipo = SQLITE_BLOB;
        bytes = valor.toByteArray();
    } else {
        c.tipo = SQLITE_TEXT;
        if (valor.typeId() == QMetaType::QDate)
            bytes = valores_sql::textoFecha(valor.toDate()).toUtf8();
        else if (valor.typeId() == QMetaType::QDateTime)
            bytes = valores_sql::textoFecha(valor.toDateTime()).toUtf8();
        else
            bytes = valor.toString().toUtf8();
    }
    c.desde = static_cast<qint64>(datos_.size());
    c.largo = static_cast<int>(bytes.size());
    datos_.insert(datos_.end(), bytes.constData(), bytes.constData() + bytes.size());
}

void Recordset::descartarEdicion() {
    if (edicion_ == Edicion::Nueva) {
        quitarFila(filas_ - 1);
        actual_ = antesDeNueva_;
        borrada_ = borradaAntesDeNueva_;
    }
    edicion_ = Edicion::Ninguna;
    pendientes_.clear();
}

void Recordset::quitarFila(long fila) {
    const auto n = static_cast<std::ptrdiff_t>(columnas_.size());
    auto inicio = celdas_.begin() + static_cast<std::ptrdiff_t>(fila) * n;
    celdas_.erase(inicio, inicio + n);
    --filas_;
}

Resultado Recordset::releerFila(long fila, qint64 id) {
    QStringList nombres;
    std::vector<int> indices;
    for (int i = 0; i < FieldCount(); ++i)
        if (columnas_[i].tabla == tabla_ && !columnas_[i].origen.isEmpty()) {
            nombres << nombreCitado(columnas_[i].origen);
            indices.push_back(i);
        }
    if (indices.empty())
        return {};
    SentenciaSql sentencia(*enlace_);
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                            .arg(nombres.join(QLatin1String(", ")), nombreCitado(tabla_));
    if (auto r = sentencia.preparar(sql, {QVariant::fromValue<qlonglong>(id)}); !r)
        return r;
    const int paso = sentencia.paso();
    if (paso != SQLITE_ROW)
        return paso == SQLITE_DONE
                   ? ErrorDB{ErrorDB::RegistroNoLocalizado,
                             QStringLiteral("No se encuentra el registro en la tabla %1.")
                                 .arg(tabla_)}
                   : enlace_->error(paso);
    sqlite3_stmt* st = sentencia.st();
    for (int k = 0; k < static_cast<int>(indices.size()); ++k)
        celda(fila, indices[k]) = leerCelda(st, k, diferible(indices[k]), datos_);
    return {};
}

Resultado Recordset::actualizarFila() {
    QStringList asignaciones;
    QVariantList parametros;
    for (const auto& [indice, valor] : pendientes_) {
        asignaciones << nombreCitado(columnas_[indice].origen) + QLatin1String(" = ?");
        parametros << valor;
    }
    const Celda& id = celda(actual_, indiceID_);
    if (id.tipo != SQLITE_INTEGER)
        return ErrorDB{ErrorDB::RegistroNoLocalizado,
                       QStringLiteral("El registro no tiene un ID con el que localizarlo.")};
    parametros << QVariant::fromValue<qlonglong>(id.entero);
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                            .arg(nombreCitado(tabla_), asignaciones.join(QLatin1String(", ")),
                                 nombreCitado(columnas_[indiceID_].origen));
    SentenciaSql sentencia(*enlace_);
    if (auto r = sentencia.preparar(sql, parametros); !r)
        return r;
    const int paso = sentencia.paso();
    if (paso != SQLITE_DONE)
        return enlace_->error(paso);
    if (sqlite3_changes(enlace_->db()) == 0)
        return ErrorDB{
            ErrorDB::RegistroNoLocalizado,
            QStringLiteral("No se encuentra el registro ID=%1 para actualizarlo.").arg(id.entero)};
    // Show what the table now holds; should the read fail, what was written.
    for (const auto& [indice, valor] : pendientes_)
        guardarCelda(celda(actual_, indice), valor);
    // The row was just written; a failed re-read keeps the values written, which are the stored
    // ones.
    (void)releerFila(actual_, id.entero);
    return {};
}

Resultado Recordset::insertarFila() {
    QStringList nombres, marcas;
    QVariantList parametros;
    for (const auto& [indice, valor] : pendientes_) {
        nombres << nombreCitado(columnas_[indice].origen);
        marcas << QStringLiteral("?");
        parametros << valor;
    }
    const QString sql =
        nombres.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(nombreCitado(tabla_))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(nombreCitado(tabla_), nombres.join(QLatin1String(", ")),
                       marcas.join(QLatin1String(", ")));
    SentenciaSql sentencia(*enlace_);
    if (auto r = sentencia.preparar(sql, parametros); !r)
        return r;
    const int paso = sentencia.paso();
    if (paso != SQLITE_DONE)
        return enlace_->error(paso);
    const qint64 id = sqlite3_last_insert_rowid(enlace_->db());
    for (const auto& [indice, valor] : pendientes_)
        guardarCelda(celda(actual_, indice), valor);
    if (indiceID_ >= 0) {
        Celda& c = celda(actual_, indiceID_);
        c = Celda();
        c.tipo = SQLITE_INTEGER;
        c.entero = id;
    }
    // The row was just written; a failed re-read keeps the values written, which are the stored
    // ones.
    (void)releerFila(actual_, id);
    return {};
}

Resultado Recordset::Update() {
    if (auto r = comprobarAbierto(); !r)
        return r;
    if (edicion_ == Edicion::Ninguna)
        return {};
    if (!enlace_ || !enlace_->abierto()) {
        descartarEdicion();
        return EnlaceSqlite::cerrado();
    }
    Resultado r = edicion_ == Edicion::Nueva ? insertarFila()
                  : pendientes_.empty()      ? Resultado()
                                             : actualizarFila();
    if (!r) {
        descartarEdicion();
        return r;
    }
    edicion_ = Edicion::Ninguna;
    pendientes_.clear();
    return {};
}

Resultado Recordset::CancelUpdate() {
    if (auto r = comprobarAbierto(); !r)
        return r;
    descartarEdicion();
    return {};
}

Resultado Recordset::AddNew() {
    if (auto r = antesDeMover(); !r)
        return r;
    if (tabla_.isEmpty())
        return ErrorDB{ErrorDB::NoActualizable,
                       QStringLiteral("Este recordset no admite añadir registros.")};
    antesDeNueva_ = actual_;
    borradaAntesDeNueva_ = borrada_;
    celdas_.resize(celdas_.size() + columnas_.size());
    ++filas_;
    actual_ = filas_ - 1;
    borrada_ = false;
    edicion_ = Edicion::Nueva;
    pendientes_.clear();
    return {};
}

Resultado Recordset::Delete() {
    if (auto r = comprobarAbierto(); !r)
        return r;
    if (!hayFilaActual())
        return sinFilaActual();
    if (edicion_ == Edicion::Nueva) {
        // A row not yet stored: deleting it just drops it.
        const long fila = actual_;
        descartarEdicion();
        actual_ = fila;
        borrada_ = true;
        return {};
    }
    if (indiceID_ < 0)
        return ErrorDB{ErrorDB::NoActualizable,
                       QStringLiteral("Este recordset no admite borrar registros.")};
    edicion_ = Edicion::Ninguna;
    pendientes_.clear();
    if (!enlace_ || !enlace_->abierto())
        return EnlaceSqlite::cerrado();
    const Celda& id = celda(actual_, indiceID_);
    if (id.tipo != SQLITE_INTEGER)
        return ErrorDB{ErrorDB::RegistroNoLocalizado,
                       QStringLiteral("El registro no tiene un ID con el que localizarlo.")};
    SentenciaSql sentencia(*enlace_);
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                            .arg(nombreCitado(tabla_), nombreCitado(columnas_[indiceID_].origen));
    if (auto r = sentencia.preparar(sql, {QVariant::fromValue<qlonglong>(id.entero)}); !r)
        return r;
    const int paso = sentencia.paso();
    if (paso != SQLITE_DONE)
        return enlace_->error(paso);
    // Gone from the table (also when someone else removed it first): gone from the snapshot.
    quitarFila(actual_);
    borrada_ = true;
    return {};
}

} // namespace portiva
