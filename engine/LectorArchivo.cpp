#include "LectorArchivo.h"

#include "CodigosMotor.h"

namespace portiva::motor {

int LectorArchivo::iniciarCaptura() {
    capturando_ = true;
    return codigo::Ok;
}

int LectorArchivo::detenerCaptura() {
    capturando_ = false;
    return codigo::Ok;
}

void LectorArchivo::entregar(ImagenGris imagen) {
    pendientes_.push_back(std::move(imagen));
}

void LectorArchivo::sondear(std::deque<EventoLector>& cola) {
    for (auto& imagen : pendientes_) {
        EventoLector e;
        e.tipo = EventoLector::Tipo::Imagen;
        e.sensor = Id;
        e.imagen = std::move(imagen);
        cola.push_back(std::move(e));
    }
    pendientes_.clear();
}

} // namespace portiva::motor
