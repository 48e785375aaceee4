#include "Buzon.h"

#include <QMetaObject>

namespace portiva {

Buzon::~Buzon() {
    const std::lock_guard cierre(mutex_);
    llamadas_.clear();
}

void Buzon::Publicar(std::function<void()> llamada) {
    const std::lock_guard cierre(mutex_);
    llamadas_.push_back(std::move(llamada));
    if (!avisado_) {
        avisado_ = true;
        // Posted under the lock: the event is made before the other side can take the call.
        QMetaObject::invokeMethod(this, "Atender", Qt::QueuedConnection);
    }
}

void Buzon::Atender() {
    std::function<void()> llamada;
    {
        const std::lock_guard cierre(mutex_);
        if (llamadas_.empty()) {
            avisado_ = false;
            return;
        }
        llamada = std::move(llamadas_.front());
        llamadas_.pop_front();
        if (llamadas_.empty())
            avisado_ = false;
        else
            QMetaObject::invokeMethod(this, "Atender", Qt::QueuedConnection);
    }
    llamada();
}

} // namespace portiva
