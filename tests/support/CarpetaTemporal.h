#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

namespace portiva::prueba {

// A throw-away program folder.
class CarpetaTemporal {
public:
    CarpetaTemporal() { dir_.setAutoRemove(true); }
    QString ruta() const { return dir_.path(); }
    QString archivo(const QString& nombre) const { return QDir(dir_.path()).filePath(nombre); }
    bool valida() const { return dir_.isValid(); }

private:
    QTemporaryDir dir_;
};

} // namespace portiva::prueba
