#pragma once

#include <QStringView>

struct sqlite3;

namespace portiva {

// Text compared as the member database always compared it: letter case ignored for every
// letter, not only A to Z ("MUÑOZ" = "muñoz", "ÁNGEL" = "ángel"), by Unicode case folding.
// Accents still count ("Angel" is not "Ángel").

// <0, 0, >0 as a sorts before, with, or after b.
int CompararSinMayusculas(QStringView a, QStringView b);
// SQL LIKE: "%" any run, "_" one character, the escape character (when not null) takes the
// next one literally.
bool ParecidoSinMayusculas(QStringView texto, QStringView patron, QChar escape = QChar());

// Puts these rules on a connection: the collation NOCASE the text columns are declared with
// (used by "=", "<>", ORDER BY and indexes) and the functions like(a, b) and like(a, b, esc).
void RegistrarTextoSinMayusculas(sqlite3* db);

} // namespace portiva
