#include "Bombeo.h"

#include <QCoreApplication>

namespace portiva {

void BombeoQt::procesarEventos() {
    ++profundidad_;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    --profundidad_;
}

} // namespace portiva
