#include "HiloPuerta.h"

#include <QMetaObject>
#include <QSemaphore>

namespace portiva {

HiloPuerta::HiloPuerta(Modo modo) : contexto_(std::make_unique<QObject>()) {
    if (modo == Modo::HiloPropio) {
        hilo_ = std::make_unique<QThread>();
        hilo_->setObjectName(QStringLiteral("puerta"));
        contexto_->moveToThread(hilo_.get());
    }
}

HiloPuerta::~HiloPuerta() {
    if (hilo_ && hilo_->isRunning()) {
        hilo_->quit();
        hilo_->wait();
    }
    if (hilo_) {
        // The context belongs to the finished thread; it is deleted from here, where nothing
        // else can use it any more.
        contexto_.reset();
    }
}

bool HiloPuerta::enHilo() const {
    return QThread::currentThread() == contexto_->thread();
}

void HiloPuerta::Construir(const std::function<void()>& construir) {
    if (!hilo_) {
        construir();
        return;
    }
    hilo_->start();
    // Waited for without a limit: start-up cannot go on without its door, and building it
    // talks to no one but the door's own objects.
    QSemaphore hecho;
    QMetaObject::invokeMethod(
        contexto_.get(),
        [&] {
            construir();
            hecho.release();
        },
        Qt::QueuedConnection);
    hecho.acquire();
}

void HiloPuerta::Enviar(std::function<void()> accion) const {
    if (!hilo_ || !hilo_->isRunning()) {
        if (!hilo_)
            accion();
        return;
    }
    QMetaObject::invokeMethod(contexto_.get(), std::move(accion), Qt::QueuedConnection);
}

bool HiloPuerta::Ejecutar(std::function<void()> accion, int esperaMs) const {
    if (!hilo_ || enHilo()) {
        accion();
        return true;
    }
    if (!hilo_->isRunning())
        return false;
    auto hecho = std::make_shared<QSemaphore>();
    QMetaObject::invokeMethod(
        contexto_.get(),
        [hecho, accion = std::move(accion)] {
            accion();
            hecho->release();
        },
        Qt::QueuedConnection);
    return hecho->tryAcquire(1, esperaMs);
}

void HiloPuerta::Salir() const {
    if (hilo_)
        hilo_->quit();
}

bool HiloPuerta::Unir(int esperaMs) {
    if (!hilo_ || !hilo_->isRunning())
        return true;
    return hilo_->wait(QDeadlineTimer(esperaMs));
}

} // namespace portiva
