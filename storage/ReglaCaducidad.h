#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace portiva {

// The expiry of one period of a contracted service: the start date advanced by `numero`
// intervals of the kind `intervalo` ("yyyy" year, "q" quarter, "m" month, "y", "d" and "w" one
// day, "ww" one week, "h" hour, "n" minute, "s" second). Years, quarters and months are calendar
// steps that keep the day of the month, or take the target month's last day when it is shorter
// (31/01 + 1 "m" is the end of February, 29/02 + 1 "yyyy" is 28/02); the others are fixed
// lengths. A negative count goes back in time; a fractional count of a calendar step uses its
// whole part, of a fixed length its exact length.
//
// `inicio` is a QDate or QDateTime; the result is a QDate when its time of day is midnight, a
// QDateTime otherwise. Nothing when the start is no date, the code is unknown, or the result
// falls outside years 100 to 9999.
std::optional<QVariant> SumarIntervalo(const QVariant& inicio, const QString& intervalo,
                                       double numero);

} // namespace portiva
