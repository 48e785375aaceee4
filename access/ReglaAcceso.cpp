#include "ReglaAcceso.h"

#include "CodigoAcceso.h"
#include "ValorCampo.h"

#include <QDateTime>

namespace portiva {

bool EsPersonal(const QVariant& valor) {
    if (valor.typeId() == QMetaType::Bool)
        return valor.toBool();
    return EsNumero(valor) && valor.toDouble() != 0.0;
}

bool PersonalLegible(const QVariant& valor) {
    return valor.isNull() || valor.typeId() == QMetaType::Bool || EsNumero(valor);
}

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
    return DecidirAccesoDias(EsPersonal(personal), DiaDeCampo(inicio), DiaDeCampo(caducidad), hoy);
}

DecisionAcceso DecidirAccesoDias(bool personal, const QDate& diaInicio, const QDate& diaCaducidad,
                                 const QDate& hoy) {
    if (personal)
        return {CodigoAcceso::Personal, QStringLiteral("Personal")};
    if (!diaInicio.isValid() || !diaCaducidad.isValid())
        return {CodigoAcceso::ClienteDenegado, QStringLiteral("Fecha vacia")};
    if (diaInicio > hoy)
        return {CodigoAcceso::ClienteDenegado, QStringLiteral("Inicio posterior")};
    if (diaCaducidad > hoy)
        return {CodigoAcceso::ClientePermitido, QStringLiteral("Permitido")};
    return {CodigoAcceso::ClienteDenegado, QStringLiteral("No perm.")};
}

} // namespace portiva
