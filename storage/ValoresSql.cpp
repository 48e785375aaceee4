#include "ValoresSql.h"

#include <QByteArray>
#include <sqlite3.h>

namespace portiva::valores_sql {

QString textoFecha(const QDate& fecha) {
    return fecha.toString(QStringLiteral("yyyy-MM-dd"));
}

QString textoFecha(const QDateTime& momento) {
    if (momento.time() == QTime(0, 0))
        return textoFecha(momento.date());
    return momento.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QVariant leerFecha(const QString& texto) {
    if (texto.size() == 10) {
        const QDate fecha = QDate::fromString(texto, QStringLiteral("yyyy-MM-dd"));
        if (fecha.isValid())
            return fecha;
    } else if (texto.size() == 19) {
        const QDateTime momento =
            QDateTime::fromString(texto, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (momento.isValid())
            return momento;
    }
    return texto;
}

int enlazar(sqlite3_stmt* st, int indice, const QVariant& valor) {
    if (valor.isNull())
        return sqlite3_bind_null(st, indice);
    switch (valor.typeId()) {
    case QMetaType::Bool:
        return sqlite3_bind_int(st, indice, valor.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return sqlite3_bind_int64(st, indice, valor.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(st, indice, valor.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = valor.toByteArray();
        return sqlite3_bind_blob64(st, indice, bytes.constData(),
                                   static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT);
    }
    case QMetaType::QDate:
        return enlazar(st, indice, textoFecha(valor.toDate()));
    case QMetaType::QDateTime:
        return enlazar(st, indice, textoFecha(valor.toDateTime()));
    default: {
        const QByteArray texto = valor.toString().toUtf8();
        return sqlite3_bind_text64(st, indice, texto.constData(),
                                   static_cast<sqlite3_uint64>(texto.size()), SQLITE_TRANSIENT,
                                   SQLITE_UTF8);
    }
    }
}

} // namespace portiva::valores_sql
