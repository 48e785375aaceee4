#include "LectorFprint.h"

#include "CodigosMotor.h"
#include "NucleoFprint.h"

namespace portiva::motor {

std::vector<std::unique_ptr<LectorHuellas>> CrearLectoresFprint(AvisoLector aviso, int ranuras,
                                                                OpcionesFprint opciones) {
    if (ranuras < 1)
        ranuras = 1;
    auto nucleo = std::make_shared<NucleoFprint>(std::move(aviso), ranuras, opciones);
    std::vector<std::unique_ptr<LectorHuellas>> lectores;
    for (int i = 0; i < ranuras; ++i)
        lectores.push_back(std::make_unique<LectorFprint>(nucleo, i));
    return lectores;
}

LectorFprint::LectorFprint(std::shared_ptr<NucleoFprint> nucleo, int ranura)
    : nucleo_(std::move(nucleo)), ranura_(ranura), id_("fprint" + std::to_string(ranura)) {}

LectorFprint::~LectorFprint() {
    if (capturando_)
        nucleo_->capturar(ranura_, false);
}

bool LectorFprint::conectado() {
    nucleo_->bombear();
    nucleo_->entregarAvisos();
    const auto ocupante = nucleo_->ocupante(ranura_);
    if (avisado_) {
        // Another device in the slot since the last look: the old one is reported gone first,
        // under its own id, and the new one at the next look.
        if (ocupante && ocupante->generacion == generacion_)
            return true;
        avisado_ = false;
        if (capturando_)
            detenerCaptura();
        return false;
    }
    if (!ocupante)
        return false;
    id_ = ocupante->id;
    generacion_ = ocupante->generacion;
    avisado_ = true;
    return true;
}

int LectorFprint::iniciarCaptura() {
    capturando_ = true;
    nucleo_->capturar(ranura_, true);
    return codigo::Ok;
}

int LectorFprint::detenerCaptura() {
    capturando_ = false;
    nucleo_->capturar(ranura_, false);
    return codigo::Ok;
}

void LectorFprint::sondear(std::deque<EventoLector>& cola) {
    if (!capturando_ || !avisado_)
        return;
    nucleo_->tomarEventos(ranura_, generacion_, cola);
}

} // namespace portiva::motor
