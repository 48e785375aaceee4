#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace portiva {

// Numbers as the record boxes and counters show them: a sign place (a blank before zero and
// positive numbers, "-" before negative ones) and "." as the decimal point whatever the
// locale: 30 -> " 30", 25.5 -> " 25.5", -3 -> "-3". Up to 15 significant digits.
QString TextoNumero(double valor);

// Reads the number a typed text begins with: blanks (spaces, tabs, line ends) are skipped
// wherever they stand, "." is the decimal point, an optional sign and exponent are taken,
// and reading stops at the first character that cannot continue the number. A text without a
// leading number, or one too large to hold, reads as 0: "25,5" -> 25, "" -> 0, "abc" -> 0.
double LeerNumero(QStringView texto);

// A typed price read whole, the Spanish way: blanks around it skipped, "," as the decimal point
// and "." between groups of three digits ("29,90", "1.000,50", "1.000" is a thousand). A point
// that cannot stand between groups of three is a decimal point ("29.90", "1.5"). Nothing when
// the text is not one number whole ("treinta", "25 euros", "1,2,3", "").
std::optional<double> LeerPrecio(QStringView texto);

// A price as the desk shows and prints it, the way LeerPrecio reads it back: the sign place,
// no thousands mark, and a whole price without decimals (" 30"); otherwise "," and two
// decimals (" 45,50", "-3,25"), or as many as the price has beyond two (" 0,125").
QString TextoPrecio(double valor);

} // namespace portiva
