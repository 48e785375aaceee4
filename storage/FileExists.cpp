#include "FileExists.h"

#include <QDir>
#include <QFileInfo>

namespace portiva {

namespace {

bool esArchivoNormal(const QFileInfo& info) {
    return info.exists() && info.isFile() && !info.isHidden();
}

} // namespace

bool FileExists(const QString& ruta) {
    if (ruta.isEmpty())
        return false;
    const QFileInfo info(ruta);
    const QString nombre = info.fileName();
    if (!nombre.contains(QLatin1Char('*')) && !nombre.contains(QLatin1Char('?')))
        return esArchivoNormal(info);
    if (nombre.isEmpty())
        return false;
    const QDir carpeta = info.dir();
    const auto hallados = carpeta.entryInfoList({nombre}, QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo& hallado : hallados)
        if (esArchivoNormal(hallado))
            return true;
    return false;
}

} // namespace portiva
