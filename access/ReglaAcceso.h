#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

namespace portiva {

// The access decision on an identified member's row: the access type handed to the door
// (CodigoAcceso 1, 2 or 3) and the label shown and logged with it.
struct DecisionAcceso {
    int tipo = 0;
    QString estado;
};

// The access rule: staff always pass ("Personal"); a member passes from the start day
// (included) up to the day before the expiry day ("Permitido"); a member without both dates
// is refused ("Fecha vacia"), as is one whose start day is still to come ("Inicio posterior")
// and one on or after the expiry day ("No perm."). Only calendar days count, never the time
// of day. The values are the row's fldStuffSiNo, fldFechaInicio and fldFechaCaducidad as the
// recordset reads them (Null as a null QVariant). A staff flag counts only when it is a true
// yes/no or a non-zero number; a date the recordset could not read as a date counts as empty,
// so an unreadable row is refused rather than let in.
DecisionAcceso DecidirAcceso(const QVariant& personal, const QVariant& inicio,
                             const QVariant& caducidad, const QDate& hoy);
// The same rule on what it reads of the row: the staff flag as EsPersonal gives it, the days
// as DiaDeCampo gives them.
DecisionAcceso DecidirAccesoDias(bool personal, const QDate& diaInicio, const QDate& diaCaducidad,
                                 const QDate& hoy);

// The staff flag as the door, the record form and the counts read it: true only for a true
// yes/no or a non-zero number; a text such as "yes" is not staff. PersonalLegible is false for
// a stored value that is neither Null, a yes/no nor a number.
bool EsPersonal(const QVariant& valor);
bool PersonalLegible(const QVariant& valor);

// The calendar day of a date field's value; an invalid QDate for Null or anything that is not
// a date.
QDate DiaDeCampo(const QVariant& valor);

} // namespace portiva
