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

namespace {

Recordset::TipoCampo tipoDeclarado(const char* declarado) {
    using T = Recordset::TipoCampo;
    if (!declarado)
        return T::Otro;
    const QByteArray d = QByteArray(declarado).toUpper();
    if (d.contains("BOOL"))
        return T::SiNo;
    if (d.contains("DATE") || d.contains("TIME"))
        return T::Fecha;
    if (d.contains("BLOB") || d.contains("BINARY"))
        return T::Binario;
    if (d.contains("CHAR") || d.contains("TEXT") || d.contains("CLOB"))
        return T::Texto;
    if (d.contains("INT"))
        return T::Entero;
    if (d.contains("REAL") || d.contains("FLOA") || d.contains("DOUB") || d.contains("NUM"))
        return T::Real;
    return T::Otro;
}

ErrorDB tipoIncorrecto(const QString& campo) {
    return {ErrorDB::TipoIncorrecto,
            QStringLiteral("El valor no es del tipo que admite el campo %1.").arg(campo)};
}

} // namespace

// --- Campo ---------------------------------------------------------------------------------

ResultadoDe<QVariant> Recordset::Campo::Value() const {
    return rs_.Valor(nombre_);
}

Resultado Recordset::Campo::setValue(const QVariant& valor) {
    return rs_.PonerValor(nombre_, valor);
}

// --- life ----------------------------------------------------------------------------------

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

Recordset::Recordset(Recordset&& otro) noexcept {
    *this = std::move(otro);
}

Recordset& Recordset::operator=(Recordset&& otro) noexcept {
    if (this == &otro)
        return *this;
    enlace_ = std::move(otro.enlace_);
    columnas_ = std::move(otro.columnas_);
    celdas_ = std::move(otro.celdas_);
    datos_ = std::move(otro.datos_);
    tabla_ = std::move(otro.tabla_);
    pendientes_ = std::move(otro.pendientes_);
    abierto_ = std::exchange(otro.abierto_, false);
    filas_ = std::exchange(otro.filas_, 0);
    actual_ = std::exchange(otro.actual_, 0);
    borrada_ = std::exchange(otro.borrada_, false);
    indiceID_ = std::exchange(otro.indiceID_, -1);
    edicion_ = std::exchange(otro.edicion_, Edicion::Ninguna);
    antesDeNueva_ = std::exchange(otro.antesDeNueva_, 0);
    borradaAntesDeNueva_ = std::exchange(otro.borradaAntesDeNueva_, false);
    diferirBinarios_ = std::exchange(otro.diferirBinarios_, false);
    diferida_ = std::move(otro.diferida_);
    otro.diferida_.clear();
    otro.columnas_.clear();
    otro.celdas_.clear();
    otro.datos_.clear();
    otro.tabla_.clear();
    otro.pendientes_.clear();
    return *this;
}

ErrorDB Recordset::sinFilaActual() {
    return {ErrorDB::SinRegistroActual,
            QStringLiteral("BOF o EOF es verdadero, o el registro actual se ha eliminado; la "
                           "operación requiere un registro actual.")};
}

Resultado Recordset::comprobarAbierto() const {
    if (!abierto_)
        return ErrorDB{ErrorDB::ObjetoCerrado,
                       QStringLiteral("La operación no se permite si el objeto está cerrado.")};
    return {};
}

Resultado Recordset::Open(const QString& sql, Conexion& conexion, const QVariantList& parametros) {
    if (abierto_)
        return ErrorDB{ErrorDB::ObjetoAbierto,
                       QStringLiteral("La operación no se permite si el objeto está abierto.")};
    auto enlace = conexion.enlace();
    if (!enlace || !enlace->abierto())
        return EnlaceSqlite::cerrado();
    SentenciaSql sentencia(*enlace);
    if (auto r = sentencia.prepararJet(sql, parametros); !r)
        return r;
    sqlite3_stmt* st = sentencia.st();

    enlace_ = enlace;
    columnas_.clear();
    tabla_.clear();
    indiceID_ = -1;
    const int n = sqlite3_column_count(st);
    for (int i = 0; i < n; ++i) {
        Columna c;
        c.nombre = QString::fromUtf8(sqlite3_column_name(st, i));
        if (const char* t = sqlite3_column_table_name(st, i))
            c.tabla = QString::fromUtf8(t);
        if (const char* o = sqlite3_column_origin_name(st, i))
            c.origen = QString::fromUtf8(o);
        c.tipo = tipoDeclarado(sqlite3_column_decltype(st, i));
        columnas_.push_back(c);
    }
    // Writes go to the table of the ID column, or of the first column that has a table.
    for (int i = 0; i < n && indiceID_ < 0; ++i)
        if (!columnas_[i].tabla.isEmpty() &&
            columnas_[i].origen.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0) {
            indiceID_ = i;
            tabla_ = columnas_[i].tabla;
        }
    for (int i = 0; i < n && tabla_.isEmpty(); ++i)
        tabla_ = columnas_[i].tabla;

    const EnlaceSqlite::Tamano previo = enlace->tamanoPrevio(sql);
    celdas_.clear();
    datos_.clear();
    celdas_.reserve(previo.celdas);
    datos_.reserve(previo.bytes);
    if (auto r = leerFilas(st); !r) {
        enlace_.reset();
        columnas_.clear();
        return r;
    }
    enlace->recordarTamano(sql, {celdas_.size(), datos_.size()});
    abierto_ = true;
    actual_ = 0;
    borrada_ = false;
    edicion_ = Edicion::Ninguna;
    pendientes_.clear();
    return {};
}

bool Recordset::diferible(int indice) const {
    const Columna& c = columnas_[static_cast<std::size_t>(indice)];
    return diferirBinarios_ && indiceID_ >= 0 && indice != indiceID_ && c.tabla == tabla_ &&
           !c.origen.isEmpty();
}

Recordset::Celda Recordset::leerCelda(sqlite3_stmt* st, int columna, bool diferir,
                                      std::vector<char>& datos) {
    Celda c;
    c.tipo = sqlite3_column_type(st, columna);
    if (diferir && c.tipo == SQLITE_BLOB) {
        c.largo = sqlite3_column_bytes(st, columna);
        c.desde = -1;
        return c;
    }
    switch (c.tipo) {
    case SQLITE_INTEGER:
        c.entero = sqlite3_column_int64(st, columna);
        break;
    case SQLITE_FLOAT:
        c.real = sqlite3_column_double(st, columna);
        break;
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
        const void* p = c.tipo == SQLITE_TEXT
                            ? static_cast<const void*>(sqlite3_column_text(st, columna))
                            : sqlite3_column_blob(st, columna);
        c.largo = sqlite3_column_bytes(st, columna);
        c.desde = static_cast<qint64>(datos.size());
        if (c.largo > 0)
            datos.insert(datos.end(), static_cast<const char*>(p),
                         static_cast<const char*>(p) + c.largo);
        break;
    }
    default:
        break;
    }
    return c;
}

Resultado Recordset::leerFilas(sqlite3_stmt* st) {
    filas_ = 0;
    const int n = static_cast<int>(columnas_.size());
    std::vector<bool> diferir(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        diferir[static_cast<std::size_t>(i)] = diferible(i);
    for (;;) {
        const int paso = sqlite3_step(st);
        if (paso == SQLITE_DONE)
            return {};
        if (paso != SQLITE_ROW) {
            celdas_.clear();
            datos_.clear();
            filas_ = 0;
            return enlace_->error(paso);
        }
        for (int i = 0; i < n; ++i)
            celdas_.push_back(leerCelda(st, i, diferir[static_cast<std::size_t>(i)], datos_));
        ++filas_;
    }
}

Resultado Recordset::Close() {
    if (auto r = comprobarAbierto(); !r)
        return r;
    abierto_ = false;
    enlace_.reset();
    columnas_.clear();
    celdas_.clear();
    datos_.clear();
    filas_ = 0;
    actual_ = 0;
    borrada_ = false;
    edicion_ = Edicion::Ninguna;
    pendientes_.clear();
    diferida_.clear();
    diferida_.shrink_to_fit();
    return {};
}

// --- position ------------------------------------------------------------------------------

bool Recordset::Bof() const {
    return !abierto_ || filas_ == 0 || actual_ < 0;
}

bool Recordset::Eof() const {
    return !abierto_ || filas_ == 0 || actual_ >= filas_;
}

long Recordset::RecordCount() const {
    return abierto_ ? filas_ : -1;
}

long Recordset::AbsolutePosition() const {
    if (!abierto_ || filas_ == 0 || borrada_)
        return -1;
    if (actual_ < 0)
        return -2;
    if (actual_ >= filas_)
        return -3;
    return actual_ + 1;
}

bool Recordset::hayFilaActual() const {
    return abierto_ && !borrada_ && actual_ >= 0 && actual_ < filas_;
}

Resultado Recordset::antesDeMover() {
    if (auto r = comprobarAbierto(); !r)
        return r;
    // A pending edit is stored before the current row changes.
    if (edicion_ == Edicion::Ninguna)
        return {};
    return Update();
}

Resultado Recordset::MoveFirst() {
    if (auto r = antesDeMover(); !r)
        return r;
    borrada_ = false;
    actual_ = 0;
    return {};
}

Resultado Recordset::MoveLast() {
    if (auto r = antesDeMover(); !r)
        return r;
    borrada_ = false;
    actual_ = filas_ > 0 ? filas_ - 1 : 0;
    return {};
}

Resultado Recordset::MoveNext() {
    if (auto r = antesDeMover(); !r)
        return r;
    if (borrada_) {
        // The row after the deleted one has taken its place.
        borrada_ = false;
        actual_ = std::min(std::max(actual_, 0L), filas_);
        return {};
    }
    if (Eof())
        return sinFilaActual();
    ++actual_;
    return {};
}

Resultado Recordset::MovePrevious() {
    if (auto r = antesDeMover(); !r)
        return r;
    if (borrada_) {
        borrada_ = false;
        actual_ = std::min(actual_, filas_) - 1;
        return {};
    }
    if (Bof())
        return sinFilaActual();
    --actual_;
    return {};
}

Resultado Recordset::Move(long filasDesdeLaPrimera) {
    if (auto r = antesDeMover(); !r)
        return r;
    borrada_ = false;
    if (filasDesdeLaPrimera < 0)
        actual_ = -1;
    else
        actual_ = std::min(filasDesdeLaPrimera, filas_);
    return {};
}

// --- writing fields --------------------------------------------------------------------

ResultadoDe<QVariant> Recordset::normalizar(int indice, const QVariant& valor) const {
    const Columna& col = columnas_[indice];
    if (valor.isNull())
        return QVariant();
    const auto tipoValor = valor.typeId();
    switch (col.tipo) {
    case TipoCampo::Fecha:
        if (tipoValor == QMetaType::QDate)
            return valor.toDate().isValid() ? valor
                                            : ResultadoDe<QVariant>(tipoIncorrecto(col.nombre));
        if (tipoValor == QMetaType::QDateTime) {
            const QDateTime m = valor.toDateTime();
            if (!m.isValid())
                return tipoIncorrecto(col.nombre);
            return m.time() == QTime(0, 0) ? QVariant(m.date()) : QVariant(m);
        }
        if (tipoValor == QMetaType::QString) {
            const QVariant f = valores_sql::leerFecha(valor.toString().trimmed());
            if (f.typeId() == QMetaType::QDate || f.typeId() == QMetaType::QDateTime)
                return f;
        }
        return tipoIncorrecto(col.nombre);
    case TipoCampo::SiNo:
        if (tipoValor == QMetaType::Bool)
            return valor;
        if (EsNumero(valor))
            return QVariant(valor.toDouble() != 0.0);
        if (tipoValor == QMetaType::QString) {
            const QString t = valor.toString().trimmed();
            if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
                return QVariant(true);
            if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
                return QVariant(false);
            bool ok = false;
            const double d = t.toDouble(&ok);
            if (ok)
                return QVariant(d != 0.0);
        }
        return tipoIncorrecto(col.nombre);
    case TipoCampo::Real:
    case TipoCampo::Entero: {
        double d = 0;
        if (tipoValor == QMetaType::Bool)
            d = valor.toBool() ? -1 : 0;
        else if (EsNumero(valor))
            d = valor.toDouble();
        else if (tipoValor == QMetaType::QString) {
            bool ok = false;
            d = valor.toString().trimmed().toDouble(&ok);
            if (!ok)
                return tipoIncorrecto(col.nombre);
        } else
            return tipoIncorrecto(col.nombre);
        if (!std::isfinite(d))
            return ErrorDB{ErrorDB::Desbordamiento,
                           QStringLiteral("El valor no cabe en el campo %1.").arg(col.nombre)};
        if (col.tipo == TipoCampo::Real)
            return QVariant(d);
        d = std::nearbyint(d);
        if (d < static_cast<double>(std::numeric_limits<qint64>::min()) ||
            d > static_cast<double>(std::numeric_limits<qint64>::max()))
            return ErrorDB{ErrorDB::Desbordamiento,
                           QStringLiteral("El valor no cabe en el campo %1.").arg(col.nombre)};
        return QVariant(static_cast<qlonglong>(d));
    }
    case TipoCampo::Texto:
        if (tipoValor == QMetaType::QByteArray)
            return tipoIncorrecto(col.nombre);
        if (tipoValor == QMetaType::QDate || tipoValor == QMetaType::QDateTime)
            return QVariant(tipoValor == QMetaType::QDate
                                ? valores_sql::textoFecha(valor.toDate())
                                : valores_sql::textoFecha(valor.toDateTime()));
        if (tipoValor == QMetaType::Bool)
            return QVariant(valor.toBool() ? QStringLiteral("True") : QStringLiteral("False"));
        return QVariant(valor.toString());
    case TipoCampo::Binario:
        if (tipoValor == QMetaType::QByteArray)
            return valor;
        return tipoIncorrecto(col.nombre);
    case TipoCampo::Otro:
        break;
    }
    return valor;
}

Resultado Recordset::PonerValor(const QString& campo, const QVariant& valor) {
    const auto campoActual = campoEnFilaActual(campo);
    if (!campoActual)
        return campoActual.error();
    const int i = campoActual.valor();
    const Columna& col = columnas_[i];
    if (col.tabla.isEmpty() || col.tabla != tabla_ || i == indiceID_ ||
        (edicion_ != Edicion::Nueva && indiceID_ < 0))
        return ErrorDB{ErrorDB::NoActualizable,
                       QStringLiteral("El campo %1 no se puede actualizar.").arg(col.nombre)};
    auto normal = normalizar(i, valor);
    if (!normal)
        return normal.error();
    if (edicion_ == Edicion::Ninguna)
        edicion_ = Edicion::Editando;
    pendientes_[i] = *normal;
    return {};
}

} // namespace portiva
