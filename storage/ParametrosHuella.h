#pragma once

namespace portiva {

struct AjustesEstacion;

// The fingerprint engine adapter's parameter and colour calls, as the settings file needs
// them. The engine adapter implements it; tests use a fake.
class ParametrosHuella {
public:
    virtual ~ParametrosHuella() = default;
    // The engine's current identify and verify parameters into the settings.
    virtual void LeerParametrosHuella(AjustesEstacion& ajustes) = 0;
    // Checks the four parameters of the settings and gives the valid pairs to the engine.
    virtual void AplicarParametrosHuella(const AjustesEstacion& ajustes) = 0;
    // The six overlay colours of the settings to their defaults.
    virtual void ColoresPorDefecto(AjustesEstacion& ajustes) = 0;
    // The six overlay colours of the settings to the engine.
    virtual void AplicarColoresHuella(const AjustesEstacion& ajustes) = 0;
};

} // namespace portiva
