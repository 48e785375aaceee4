#pragma once

#include "LectorHuellas.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace portiva::motor {

class NucleoFprint;

// The USB fingerprint readers that libfprint drives as imaging devices. One shared core talks
// to libfprint asynchronously on the station's thread (see NucleoFprint.h) and hands images and
// plug events over through the readers' queues; the station never waits for a device.
//
// Each reader returned by `CrearLectoresFprint` is a slot: the first imaging device found takes
// the first free slot and keeps it until it is unplugged; the slot's id is then
// "<driver>:<device id>" (for example "elan:1-3" or "virtual_image:/run/fprint.sock").
//
// `aviso` receives, on the station's thread, once per device, the lines the event log should
// hold: a device that gives no image, a device that fails to open or to capture.
using AvisoLector = std::function<void(const std::string& linea)>;

// How the core treats libfprint's devices (see NucleoFprint.h); the defaults are the station's.
struct OpcionesFprint {
    // Capture time a device object may spend before it is renewed. libfprint 1.94 calls a device
    // hot after 180 s of captures from cold; a driver that gets hot sooner (libfprint cancels
    // its capture as too hot) is renewed at once, and from then on a little before that.
    std::chrono::milliseconds activoAntesDeRenovar{150'000};
    // First pause before a failed device is renewed; it doubles up to `pausaMaxima` while the
    // device keeps failing.
    std::chrono::milliseconds pausaTrasError{5000};
    std::chrono::milliseconds pausaMaxima{60'000};
    // A recovered device counts as available again after a capture pending this long.
    std::chrono::milliseconds pruebaRecuperado{2000};
    // How often the virtual reader's socket is looked for.
    std::chrono::milliseconds vigilancia{1000};
    // An image older than this when the station takes it is dropped.
    std::chrono::milliseconds vidaImagen{3000};
};

std::vector<std::unique_ptr<LectorHuellas>> CrearLectoresFprint(AvisoLector aviso, int ranuras = 2,
                                                                OpcionesFprint opciones = {});

// The slot reader itself, for tests that look at it directly.
class LectorFprint final : public LectorHuellas {
public:
    LectorFprint(std::shared_ptr<NucleoFprint> nucleo, int ranura);
    ~LectorFprint() override;

    const std::string& id() const override { return id_; }
    bool conectado() override;
    int iniciarCaptura() override;
    int detenerCaptura() override;
    bool capturando() const override { return capturando_; }
    void sondear(std::deque<EventoLector>& cola) override;

private:
    std::shared_ptr<NucleoFprint> nucleo_;
    int ranura_;
    std::string id_;
    std::uint64_t generacion_ = 0;
    bool avisado_ = false;
    bool capturando_ = false;
};

} // namespace portiva::motor
