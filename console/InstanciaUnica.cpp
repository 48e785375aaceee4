#include "InstanciaUnica.h"

#include <QDir>

namespace portiva {

InstanciaUnica::InstanciaUnica(const QString& carpetaPrograma)
    : bloqueo_(QDir(carpetaPrograma).filePath(QString::fromLatin1(NombreBloqueo))) {
    // A station runs for months: the lock must never count as stale by its age, only when
    // the process that made it is gone.
    bloqueo_.setStaleLockTime(0);
}

InstanciaUnica::Resultado InstanciaUnica::adquirir() {
    if (bloqueo_.isLocked() || bloqueo_.tryLock(0))
        return Resultado::Adquirida;
    return bloqueo_.error() == QLockFile::LockFailedError ? Resultado::OtraCopia
                                                          : Resultado::SinBloqueo;
}

} // namespace portiva
