#pragma once

class QCoreApplication;

namespace portiva {

// Qt's own Spanish translations (qtbase_es, from the system's Qt translations folder), so that
// the standard dialogs and buttons speak the station's language. False when they are not
// installed: the dialogs then stay in English.
bool CargarTraduccionesQt(QCoreApplication& aplicacion);

} // namespace portiva
