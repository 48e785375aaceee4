#include "CapaCaptura.h"

#include "CodigosMotor.h"

namespace portiva::motor {

void CapaCaptura::agregar(std::unique_ptr<LectorHuellas> lector) {
    if (lector)
        lectores_.push_back(Entrada{std::move(lector), false});
}

LectorHuellas* CapaCaptura::buscar(const std::string& id) {
    for (auto& e : lectores_)
        if (e.lector->id() == id)
            return e.lector.get();
    return nullptr;
}

int CapaCaptura::iniciar() {
    activa_ = true;
    // Every reader connected now is announced again at the next poll.
    for (auto& e : lectores_)
        e.avisadoConectado = false;
    return codigo::Ok;
}

int CapaCaptura::detener() {
    for (auto& e : lectores_)
        if (e.lector->capturando())
            e.lector->detenerCaptura();
    activa_ = false;
    cola_.clear();
    return codigo::Ok;
}

void CapaCaptura::sondear() {
    if (!activa_)
        return;
    for (auto& e : lectores_) {
        const bool ahora = e.lector->conectado();
        if (ahora != e.avisadoConectado) {
            e.avisadoConectado = ahora;
            EventoLector ev;
            ev.tipo = ahora ? EventoLector::Tipo::Conectado : EventoLector::Tipo::Desconectado;
            ev.sensor = e.lector->id();
            cola_.push_back(std::move(ev));
        }
        if (ahora)
            e.lector->sondear(cola_);
    }
}

std::optional<EventoLector> CapaCaptura::siguiente() {
    if (cola_.empty())
        return std::nullopt;
    EventoLector e = std::move(cola_.front());
    cola_.pop_front();
    return e;
}

} // namespace portiva::motor
