#include "FormatoFecha.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTime>

namespace portiva {

namespace {

// Two-digit years as the station's date reading has always taken them: 00-29 are this
// century, 30-99 the last.
int AnioCompleto(int anio, qsizetype cifras) {
    if (cifras > 2)
        return anio;
    return anio < 30 ? 2000 + anio : 1900 + anio;
}

std::optional<QTime> LeerHora(QStringView texto) {
    static const QRegularExpression hora(QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2}))?$"));
    const QRegularExpressionMatch m = hora.match(texto);
    if (!m.hasMatch())
        return std::nullopt;
    const int h = m.capturedView(1).toInt();
    const int min = m.capturedView(2).toInt();
    const int s = m.capturedView(3).isEmpty() ? 0 : m.capturedView(3).toInt();
    const QTime t(h, min, s);
    if (!t.isValid())
        return std::nullopt;
    return t;
}

} // namespace

QLocale FormatoFecha::LocaleEstacion(const QLocale& sistema) {
    if (sistema.language() == QLocale::C || sistema.language() == QLocale::AnyLanguage)
        return QLocale(QLocale::Spanish, QLocale::Spain);
    return sistema;
}

FormatoFecha::FormatoFecha(const QLocale& locale) : locale_(locale) {
    // The order of day, month and year and the separator come from the locale's short
    // format; a format without all three numeric fields keeps the Spanish order.
    const QString corto = locale.dateFormat(QLocale::ShortFormat);
    Campo hallados[3];
    int n = 0;
    QChar separador;
    QChar anterior;
    for (const QChar c : corto) {
        if (c == anterior)
            continue;
        anterior = c;
        Campo campo;
        if (c == u'd')
            campo = Campo::Dia;
        else if (c == u'M')
            campo = Campo::Mes;
        else if (c == u'y')
            campo = Campo::Anio;
        else {
            if (n > 0 && n < 3 && separador.isNull() && !c.isLetter() && !c.isSpace())
                separador = c;
            continue;
        }
        if (n < 3)
            hallados[n] = campo;
        ++n;
    }
    const bool completo = n == 3 && hallados[0] != hallados[1] && hallados[1] != hallados[2] &&
                          hallados[0] != hallados[2] && !separador.isNull() &&
                          !corto.contains(QStringLiteral("MMM"));
    if (completo) {
        std::copy(std::begin(hallados), std::end(hallados), std::begin(orden_));
        separador_ = separador;
    }
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            patron_ += separador_;
        switch (orden_[i]) {
        case Campo::Dia:
            patron_ += QStringLiteral("dd");
            break;
        case Campo::Mes:
            patron_ += QStringLiteral("MM");
            break;
        case Campo::Anio:
            patron_ += QStringLiteral("yyyy");
            break;
        }
    }
}

QString FormatoFecha::Texto(const QVariant& valor) const {
    if (valor.isNull())
        return {};
    switch (valor.typeId()) {
    case QMetaType::QDate:
        return valor.toDate().toString(patron_);
    case QMetaType::QDateTime: {
        const QDateTime momento = valor.toDateTime();
        return momento.date().toString(patron_) + u' ' +
               momento.time().toString(QStringLiteral("HH:mm:ss"));
    }
    default:
        return {};
    }
}

std::optional<QVariant> FormatoFecha::Leer(QStringView texto) const {
    const QStringView limpio = texto.trimmed();
    if (limpio.isEmpty())
        return QVariant();

    static const QRegularExpression forma(
        QStringLiteral("^(\\d{1,4})[/.-](\\d{1,4})[/.-](\\d{1,4})(?:\\s+(\\S+))?$"));
    const QRegularExpressionMatch m = forma.match(limpio);
    if (!m.hasMatch())
        return std::nullopt;

    int dia = 0, mes = 0, anio = 0;
    for (int i = 0; i < 3; ++i) {
        const QStringView parte = m.capturedView(i + 1);
        const int valor = parte.toInt();
        switch (orden_[i]) {
        case Campo::Dia:
            if (parte.size() > 2)
                return std::nullopt;
            dia = valor;
            break;
        case Campo::Mes:
            if (parte.size() > 2)
                return std::nullopt;
            mes = valor;
            break;
        case Campo::Anio:
            if (parte.size() == 3)
                return std::nullopt;
            anio = AnioCompleto(valor, parte.size());
            break;
        }
    }
    const QDate fecha(anio, mes, dia);
    if (!fecha.isValid())
        return std::nullopt;

    const QStringView hora = m.capturedView(4);
    if (hora.isEmpty())
        return QVariant(fecha);
    const std::optional<QTime> t = LeerHora(hora);
    if (!t)
        return std::nullopt;
    if (*t == QTime(0, 0))
        return QVariant(fecha);
    return QVariant(QDateTime(fecha, *t));
}

} // namespace portiva
