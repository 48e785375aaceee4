#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <optional>

namespace portiva {

// Dates as the record boxes show them and read them back: the short-date order and separator
// of the station's locale, always with two-digit day and month and a four-digit year
// (Spanish: dd/MM/yyyy). Every date box of the window goes through this one helper.
class FormatoFecha {
public:
    explicit FormatoFecha(const QLocale& locale = LocaleEstacion(QLocale::system()));

    // The station's locale: the system's, or Spanish (Spain) when the system names none (the
    // "C" locale of a bare machine).
    static QLocale LocaleEstacion(const QLocale& sistema);

    // The display pattern, such as "dd/MM/yyyy".
    QString patron() const { return patron_; }
    // The locale the dates follow (its language names the days and months).
    const QLocale& locale() const { return locale_; }

    // A stored date as text: Null (or anything that is no date) gives "", a QDate its date, a
    // QDateTime its date and time of day ("HH:mm:ss").
    QString Texto(const QVariant& valor) const;

    // Reads a typed date: blanks around it are ignored; "" gives a Null value (no date); a
    // date in the locale's order (one or two digits for day and month, two or four for the
    // year, "/", "-" or "." between them) gives a QDate; a date followed by a time of day
    // ("H:mm" or "H:mm:ss") gives a QDateTime. Anything else, an impossible day such as
    // 31/02 included, gives nothing.
    std::optional<QVariant> Leer(QStringView texto) const;

private:
    enum class Campo { Dia, Mes, Anio };

    Campo orden_[3] = {Campo::Dia, Campo::Mes, Campo::Anio};
    QChar separador_ = u'/';
    QString patron_;
    QLocale locale_;
};

} // namespace portiva
