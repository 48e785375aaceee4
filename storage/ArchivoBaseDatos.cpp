#include "ArchivoBaseDatos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace portiva {

QString MotivoAperturaDB(const ErrorDB& error) {
    if (error.numero == ErrorDB::NoEsBaseDeDatos)
        return error.descripcion;
    switch (error.numero & 0xFF) {
    case SQLITE_NOTADB:
        return QStringLiteral("el archivo no es una base de datos");
    case SQLITE_CORRUPT:
        return QStringLiteral("el archivo de la base de datos esta dañado");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("la base de datos esta bloqueada por otro programa");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("no hay permiso para abrir el archivo de la base de datos");
    case SQLITE_READONLY:
        return QStringLiteral("la base de datos es de solo lectura");
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
        return error.descripcion;
    default:
        return error.texto();
    }
}

QString AvisoSoloLecturaDB(const QString& ruta) {
    const QFileInfo info(ruta);
    if (::access(QFile::encodeName(ruta).constData(), W_OK) != 0)
        return QStringLiteral("La base de datos %1 es de solo lectura: no se podra guardar ningun "
                              "cambio hasta que se le de permiso de escritura.")
            .arg(info.fileName());
    const QString carpeta = info.absolutePath();
    if (::access(QFile::encodeName(carpeta).constData(), W_OK) != 0)
        return QStringLiteral("La carpeta %1 es de solo lectura: la base de datos %2 no podra "
                              "guardar ningun cambio hasta que se le de permiso de escritura.")
            .arg(QDir::toNativeSeparators(carpeta), info.fileName());
    return {};
}

std::optional<IdentidadArchivo> IdentidadArchivo::de(const QString& ruta) {
    struct stat st {};
    if (::stat(QFile::encodeName(ruta).constData(), &st) != 0)
        return std::nullopt;
    return IdentidadArchivo{st.st_dev, st.st_ino};
}

} // namespace portiva
