#include "NavegadorWeb.h"

#include <QDesktopServices>

namespace portiva {

bool NavegadorWebQt::abrir(const QUrl& direccion) {
    return QDesktopServices::openUrl(direccion);
}

} // namespace portiva
