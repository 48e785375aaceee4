#pragma once

#include "CapturaSensores.h"

namespace portiva {

// A CapturaSensores that hands the calls on to another one set later. The station modes are
// built (inside ControlAcceso) before the engine adapter that captures exists: the console
// gives them this link, and the fingerprint composite points it at its engine adapter for its
// own lifetime. Calls made while it points nowhere are dropped.
class EnlaceCapturaSensores final : public CapturaSensores {
public:
    void Conectar(CapturaSensores* destino) { destino_ = destino; }
    CapturaSensores* Destino() const { return destino_; }

    void IniciarCaptura(const QString& idSensor) override {
        if (destino_ != nullptr)
            destino_->IniciarCaptura(idSensor);
    }
    void DetenerCaptura(const QString& idSensor) override {
        if (destino_ != nullptr)
            destino_->DetenerCaptura(idSensor);
    }

private:
    CapturaSensores* destino_ = nullptr;
};

} // namespace portiva
