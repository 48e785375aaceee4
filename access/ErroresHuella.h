#pragma once

#include <QString>

namespace portiva {

// A whole number as the classic number-to-text conversion writes it: a leading blank in the
// sign place for zero and positive numbers, the minus sign for negative ones (" 5", "-5").
QString NumeroConSigno(long numero);

// The event-log line for a fingerprint result code: the Spanish text of a known code followed
// by the code and ")", or "Error:" and the code for any other. Carries no time of day.
QString TextoErrorHuella(long codigo);

// The cause of a failed analysis, for the log line after "Analisis de la huella: Error!":
// "Causa: " and what was wrong with the image (no print found, its size, its resolution).
QString CausaErrorAnalisis(long codigo);

} // namespace portiva
