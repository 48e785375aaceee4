#pragma once

#include <QString>

namespace portiva {

// The line break of the station's message boxes and texts, as the operator has always seen them.
inline const QString SaltoDeLinea = QStringLiteral("\r\n");

} // namespace portiva
