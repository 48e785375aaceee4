#include "HiloPuerta.h"

#include <QEventLoop>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace portiva {

// A call's end, waited for by another thread (std types, so the thread checker sees the
// hand-over of what the call wrote).
struct FinLlamada {
    std::mutex mutex;
    std::condition_variable aviso;
    bool hecho = false;

    // The last owner may be either thread: taken once more so the other's last use is seen.
    ~FinLlamada() { const std::lock_guard cierre(mutex); }

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

HiloPuerta::HiloPuerta(Modo modo) : propio_(modo == Modo::HiloPropio) {
    if (!propio_)
        contexto_ = std::make_unique<Buzon>();
}

HiloPuerta::~HiloPuerta() {
    if (hilo_.joinable()) {
        if (enMarcha_)
            contexto_->Publicar([this] { Salir(); });
        hilo_.join();
    }
    // The mailbox's thread has ended: it is deleted from here, where nothing else uses it.
    contexto_.reset();
}

bool HiloPuerta::enHilo() const {
    return contexto_ && QThread::currentThread() == contexto_->thread();
}

void HiloPuerta::Construir(const std::function<void()>& construir) {
    if (!propio_) {
        construir();
        return;
    }
    // Waited for without a limit: start-up cannot go on without its door, and building it
    // talks to no one but the door's own objects.
    auto construido = std::make_shared<FinLlamada>();
    terminado_ = std::make_shared<FinLlamada>();
    enMarcha_ = true;
    hilo_ = std::thread([this, &construir, construido, terminado = terminado_] {
        {
            QEventLoop bucle;
            bucle_ = &bucle;
            contexto_ = std::make_unique<Buzon>();
            QThread::currentThread()->setObjectName(QStringLiteral("puerta"));
            construir();
            construido->Marcar();
            bucle.exec();
            bucle_ = nullptr;
            enMarcha_ = false;
        }
        terminado->Marcar();
    });
    (void)construido->Esperar(-1);
}

void HiloPuerta::Enviar(std::function<void()> accion) const {
    if (!propio_) {
        accion();
        return;
    }
    if (enMarcha_)
        contexto_->Publicar(std::move(accion));
}

bool HiloPuerta::Ejecutar(std::function<void()> accion, int esperaMs) const {
    if (!propio_ || enHilo()) {
        accion();
        return true;
    }
    if (!enMarcha_)
        return false;
    auto fin = std::make_shared<FinLlamada>();
    contexto_->Publicar([fin, accion = std::move(accion)] {
        accion();
        fin->Marcar();
    });
    return fin->Esperar(esperaMs);
}

void HiloPuerta::Salir() const {
    if (bucle_)
        bucle_->quit();
}

bool HiloPuerta::Unir(int esperaMs) {
    if (!hilo_.joinable())
        return true;
    if (!terminado_->Esperar(esperaMs))
        return false;
    hilo_.join();
    return true;
}

} // namespace portiva
