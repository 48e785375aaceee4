#include "ReglaCaducidad.h"

#include <QDateTime>

#include <cmath>

namespace portiva {

namespace {

std::optional<QDateTime> ComoFechaHora(const QVariant& v) {
    const Qt::TimeSpec utc = Qt::UTC;
    if (v.typeId() == QMetaType::QDate) {
        const QDate d = v.toDate();
        return d.isValid() ? std::optional(QDateTime(d, QTime(0, 0), utc)) : std::nullopt;
    }
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = v.toDateTime();
        return dt.isValid() ? std::optional(QDateTime(dt.date(), dt.time(), utc)) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::optional<QVariant> SumarIntervalo(const QVariant& inicio, const QString& intervalo,
                                       double numero) {
    const std::optional<QDateTime> desde = ComoFechaHora(inicio);
    if (!desde || !std::isfinite(numero) || std::fabs(numero) > 1e7)
        return std::nullopt;

    QDateTime hasta;
    const auto meses = [&](int porPaso) {
        const double total = std::trunc(numero) * porPaso;
        return QDateTime(desde->date().addMonths(static_cast<int>(total)), desde->time(), Qt::UTC);
    };
    const auto segundos = [&](double porPaso) {
        return desde->addMSecs(static_cast<qint64>(std::llround(numero * porPaso * 1000.0)));
    };
    if (intervalo == u"yyyy")
        hasta = meses(12);
    else if (intervalo == u"q")
        hasta = meses(3);
    else if (intervalo == u"m")
        hasta = meses(1);
    else if (intervalo == u"y" || intervalo == u"d" || intervalo == u"w")
        hasta = segundos(86400.0);
    else if (intervalo == u"ww")
        hasta = segundos(7 * 86400.0);
    else if (intervalo == u"h")
        hasta = segundos(3600.0);
    else if (intervalo == u"n")
        hasta = segundos(60.0);
    else if (intervalo == u"s")
        hasta = segundos(1.0);
    else
        return std::nullopt;

    if (!hasta.isValid() || hasta.date().year() < 100 || hasta.date().year() > 9999)
        return std::nullopt;
    if (hasta.time() == QTime(0, 0))
        return QVariant(hasta.date());
    return QVariant(QDateTime(hasta.date(), hasta.time()));
}

} // namespace portiva
