#include "Bombeo.h"

#include <QCoreApplication>
#include <QThread>

namespace portiva {

void BombeoQt::procesarEventos() {
    ++profundidad_;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    --profundidad_;
}

void BombeoQt::dormir(int ms) {
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

} // namespace portiva
