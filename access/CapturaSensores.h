#pragma once

#include <QString>

namespace portiva {

// Starts and stops image capture on one fingerprint sensor. The fingerprint engine adapter
// implements it; the station modes call it when a reader comes and goes.
class CapturaSensores {
public:
    virtual ~CapturaSensores() = default;
    virtual void IniciarCaptura(const QString& idSensor) = 0;
    virtual void DetenerCaptura(const QString& idSensor) = 0;
};

} // namespace portiva
