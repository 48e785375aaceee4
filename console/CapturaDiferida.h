#pragma once

#include "CapturaSensores.h"

namespace portiva {

// The station modes need the engine's capture control when they are built, and the engine's
// adapter is built from the station modes: this stand-in is handed to the modes first and
// passes every call on once the adapter exists (calls before that have nobody to reach).
class CapturaDiferida final : public CapturaSensores {
public:
    void destino(CapturaSensores* captura) { destino_ = captura; }

    void IniciarCaptura(const QString& idSensor) override {
        if (destino_)
            destino_->IniciarCaptura(idSensor);
    }
    void DetenerCaptura(const QString& idSensor) override {
        if (destino_)
            destino_->DetenerCaptura(idSensor);
    }

private:
    CapturaSensores* destino_ = nullptr;
};

} // namespace portiva
