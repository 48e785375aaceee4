#include "HiloPuerta.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace portiva {

namespace {

// A call's end, waited for by another thread (std types, so the thread checker sees the
// hand-over of what the call wrote).
struct Fin {
    std::mutex mutex;
    std::condition_variable aviso;
    bool hecho = false;

    void Marcar() {
        const std::lock_guard cierre(mutex);
        hecho = true;
        aviso.notify_all();
    }
    bool Esperar(int esperaMs) {
        std::unique_lock cierre(mutex);
        if (esperaMs < 0) {
            aviso.wait(cierre, [this] { return hecho; });
            return true;
        }
        return aviso.wait_for(cierre, std::chrono::milliseconds(esperaMs),
                              [this] { return hecho; });
    }
};

} // namespace

HiloPuerta::HiloPuerta(Modo modo) : contexto_(std::make_unique<Buzon>()) {
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
    auto fin = std::make_shared<Fin>();
    contexto_->Publicar([&construir, fin] {
        construir();
        fin->Marcar();
    });
    (void)fin->Esperar(-1);
}

void HiloPuerta::Enviar(std::function<void()> accion) const {
    if (!hilo_ || !hilo_->isRunning()) {
        if (!hilo_)
            accion();
        return;
    }
    contexto_->Publicar(std::move(accion));
}

bool HiloPuerta::Ejecutar(std::function<void()> accion, int esperaMs) const {
    if (!hilo_ || enHilo()) {
        accion();
        return true;
    }
    if (!hilo_->isRunning())
        return false;
    auto fin = std::make_shared<Fin>();
    contexto_->Publicar([fin, accion = std::move(accion)] {
        accion();
        fin->Marcar();
    });
    return fin->Esperar(esperaMs);
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
