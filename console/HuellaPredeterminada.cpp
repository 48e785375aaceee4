#include "HuellaPredeterminada.h"

#include "HuellaMotor.h"

namespace portiva {

const FabricaHuella& FabricaHuellaPredeterminada() {
    static const FabricaHuella fabrica = [](const ContextoHuella& contexto) {
        return std::unique_ptr<HuellaEstacion>(std::make_unique<HuellaMotor>(contexto));
    };
    return fabrica;
}

} // namespace portiva
