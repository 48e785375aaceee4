#pragma once

// The GLib side of NucleoFprint: its devices and libfprint's context. Private to the core's two
// sources.

#include "NucleoFprint.h"

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

extern "C" {
#include <fprint.h>
}

namespace portiva::motor {

using Reloj = std::chrono::steady_clock;

struct NucleoFprint::Dispositivo {
    struct Glib* glib = nullptr;
    FpDevice* dev = nullptr; // a reference of our own
    std::string id;
    int ranura = -1;
    bool abierto = false;
    bool ocupado = false; // an open, capture or close is in flight
    bool quitado = false; // unplugged, or closed for a renewal: no new work
    GCancellable* cancelar = nullptr;
    // libfprint's virtual reader: the socket it listens on (empty for other devices).
    std::string socket;
    // Time spent in captures by this device object, and the start of the pending one.
    Reloj::duration activo{};
    std::optional<Reloj::time_point> capturandoDesde;
    // The last change of libfprint's finger status: an image may be on its way until a while
    // after it (libfprint still looks for minutiae once the finger is reported lifted).
    Reloj::time_point ultimoDedo{};

    Reloj::duration activoAhora(Reloj::time_point ahora) const {
        return activo + (capturandoDesde ? ahora - *capturandoDesde : Reloj::duration{});
    }
};

// Everything that lives on GLib's side.
struct Glib {
    NucleoFprint* nucleo = nullptr;
    GMainContext* contexto = nullptr;
    FpContext* fp = nullptr;
    bool parar = false;
    std::vector<std::unique_ptr<NucleoFprint::Dispositivo>> dispositivos;
    std::vector<NucleoFprint::Dispositivo*> ranuras;
    // A slot whose reader is being renewed keeps it for the device that comes back under the
    // same id.
    std::vector<std::string> reservas;
    std::set<std::string> sinImagenAvisados;
    // Capture time each reader may spend before a renewal (lowered for a driver found hot).
    std::map<std::string, Reloj::duration> limites;

    bool renovando = false;
    int renovaciones = 0;
    guint renovacionProgramada = 0;
    guint finReservas = 0;
    guint completar = 0;
    guint vigilancia = 0;
    Reloj::time_point ultimaVigilanciaSocket{};
    // Consecutive failures: the pause before the next recovery grows with them.
    int fallos = 0;

    const OpcionesFprint& opciones() const { return nucleo->opciones_; }
    void avisar(std::string linea) { nucleo->avisos_.push_back(std::move(linea)); }
    NucleoFprint::Ranura& ranura(int r) { return nucleo->estado_[static_cast<std::size_t>(r)]; }
    bool quiere(int r) { return ranura(r).quiere; }

    // Context and renewals (NucleoFprint.cpp).
    void crearContexto();
    void renovar();
    void programarRenovacion(std::chrono::milliseconds pausa);
    void completarRenovacion();
    // From a device's own callback: the context is dropped outside it.
    void completarLuego();
    void liberarReservas();
    void vigilar();

    // Devices (DispositivosFprint.cpp).
    void agregar(FpDevice* dev);
    void ocupar(NucleoFprint::Dispositivo* d);
    void liberar(NucleoFprint::Dispositivo* d);
    void aplicar(NucleoFprint::Dispositivo* d);
    void cerrar(NucleoFprint::Dispositivo* d);
    void quitar(NucleoFprint::Dispositivo* d);
    void entregar(NucleoFprint::Dispositivo* d, FpImage* img);
    void noDisponible(NucleoFprint::Dispositivo* d, const std::string& motivo);
    void demasiadoCaliente(NucleoFprint::Dispositivo* d);
    Reloj::duration limite(const std::string& id) const;
    NucleoFprint::Dispositivo* buscar(FpDevice* dev) {
        for (auto& d : dispositivos)
            if (d->dev == dev && !d->quitado)
                return d.get();
        return nullptr;
    }
};

} // namespace portiva::motor
