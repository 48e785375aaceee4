#pragma once

#include "Resultado.h"

#include <QSet>
#include <QString>

namespace portiva {

// Turns the Jet SQL the station writes into SQLite SQL that gives the same rows in the same
// order:
// - "#mm-dd-yyyy#" (also with "/" and a time of day, or "#yyyy-mm-dd#") becomes the quoted
//   ISO text the dates are stored as;
// - "ISNULL(x)" becomes "((x) IS NULL)";
// - an ORDER BY term that is a yes/no column sorts as Jet's -1/0 would ("(0 - col)"), since the
//   file stores yes as 1.
// DATE(), NOT, LIKE with % and _, True/False, ASC/DESC and quoted text are SQLite's own. Text
// between quotes and "?" placeholders are never touched. A malformed date literal is an error.
ResultadoDe<QString> TraducirJet(const QString& sql, const QSet<QString>& columnasSiNo);

} // namespace portiva
