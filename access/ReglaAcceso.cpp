#include "ReglaAcceso.h"

#include "CodigoAcceso.h"

#include <QDateTime>

namespace portiva {

namespace {

bool EsPersonal(const QVariant& valor) {
    switch (valor.typeId()) {
    case QMetaType::Bool:
        return valor.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
        return valor.toDouble() != 0.0;
    default:
        return false;
    }
}

} // namespace

QDate DiaDeCampo(const QVariant& valor) {
    switch (valor.typeId()) {
    case QMetaType::QDate:
        return valor.toDate();
    case QMetaType::QDateTime:
        return valor.toDateTime().date();
    default:
        return {};
    }
}

DecisionAcceso DecidirAcceso(const QVariant& personal, const QVariant& inicio,
                             const QVariant& caducidad, const QDate& hoy) {
    if (EsPersonal(personal))
        return {CodigoAcceso::Personal, QStringLiteral("Personal")};
    const QDate diaInicio = DiaDeCampo(inicio);
    const QDate diaCaducidad = DiaDeCampo(caducidad);
    if (!diaInicio.isValid() || !diaCaducidad.isValid())
        return {CodigoAcceso::ClienteDenegado, QStringLiteral("Fecha vacia")};
    if (diaInicio > hoy)
        return {CodigoAcceso::ClienteDenegado, QStringLiteral("Inicio posterior")};
    if (diaCaducidad > hoy)
        return {CodigoAcceso::ClientePermitido, QStringLiteral("Permitido")};
    return {CodigoAcceso::ClienteDenegado, QStringLiteral("No perm.")};
}

} // namespace portiva
