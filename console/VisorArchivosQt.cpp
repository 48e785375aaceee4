#include "VisorArchivosQt.h"

#include <QDesktopServices>
#include <QUrl>

namespace portiva {

bool VisorArchivosQt::abrir(const QString& ruta) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(ruta));
}

} // namespace portiva
