#pragma once

#include "HiloPuerta.h"
#include "HuellaEstacion.h"
#include "PantallasDiferidas.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>

namespace portiva {

class ControlAcceso;
class Conexion;
class PantallaAcceso;
class PantallaHuella;
class ReproductorSonido;
struct Entorno;

// What the window hands the door: its environment, itself as the door's screen, the sound
// player, how the fingerprint side is made, where serial ports are looked for, and whether the
// door runs on a thread of its own.
struct ContextoPuerta {
    Entorno& entorno;
    PantallaAcceso& pantalla;
    PantallaHuella& pantallaHuella;
    ReproductorSonido& sonido;
    FabricaHuella fabricaHuella;
    QString prefijoDispositivo;
    HiloPuerta::Modo modo = HiloPuerta::Modo::HiloPropio;
};

// The station's door: the relay board and its serial port, the turnstile and its pulse timer,
// the station modes, the reader polling, the capture flow, the gallery and its search, and the
// door's own connection to the member database, all made, run and destroyed on the door's
// thread (HiloPuerta). The window talks to it only through this class: commands are queued
// (`Enviar`), what the door shows reaches the window as queued calls (PantallasDiferidas), its
// state is read from a copy the door refreshes whenever its event loop goes idle (`estado`).
//
// On line (HiloPuerta::Modo::EnLinea) the door lives on the window's thread and every call
// runs at once, as the window's unit tests want.
class PuertaEstacion {
public:
    explicit PuertaEstacion(const ContextoPuerta& contexto);
    // Stops the door if `Parar` was not called.
    ~PuertaEstacion();
    PuertaEstacion(const PuertaEstacion&) = delete;
    PuertaEstacion& operator=(const PuertaEstacion&) = delete;

    bool hiloPropio() const { return hilo_.propio(); }

    // The door's objects: on the door's thread only (inside `Enviar` and `Ejecutar`), or on
    // line.
    ControlAcceso& acceso() { return *acceso_; }
    HuellaEstacion& huella() { return *huella_; }
    Conexion& conexion() { return *conexion_; }

    void Enviar(std::function<void()> accion) const { hilo_.Enviar(std::move(accion)); }
    bool Ejecutar(std::function<void()> accion, int esperaMs) const {
        return hilo_.Ejecutar(std::move(accion), esperaMs);
    }
    // Calls handed to these run on the door's thread and on the window's thread (the thread
    // that made this object), in the order handed in.
    Buzon& buzonPuerta() const { return *hilo_.contexto(); }
    Buzon& buzonVentana() { return buzonVentana_; }

    // The door's state as last seen (any thread).
    struct Estado {
        int accesoActual = 8;
        bool puertoAbierto = false;
        bool lectorDetectado = false;
        // An access, a pulse, the board's scan or a capture is under way.
        bool ocupada = false;
        // The relays of an access are on.
        bool pulsando = false;
        bool sonidoActivo = true;
    };
    Estado estado() const;

    // The window's option boxes, information panel and restore flag, as they are now.
    void PonerOpciones(const OpcionesPantallaHuella& opciones);

    // The door's connection to the member database: opened on the door's thread with the
    // desk's connection string; closed before the desk replaces the file, waiting at most
    // `esperaMs` (the door finishes what it is doing first, a wait for a locked file
    // included). False when the door did not answer in time.
    void AbrirConexion(const QString& cadena);
    bool CerrarConexion(int esperaMs);
    static constexpr int EsperaCierreConexionMs = 3000;

    // Shutdown: once nothing is under way at the door (the relays are back at rest), its
    // objects are destroyed on its thread (the serial port closed, the engine and the
    // connection with them) and the thread is joined. False when that took longer than
    // `EsperaParadaMs`.
    bool Parar();
    static constexpr int EsperaParadaMs = 5000;
    // How often the door looks again whether what it was doing is over, when asked to stop.
    static constexpr int ReintentoParadaMs = 20;

private:
    void Construir(const ContextoPuerta& contexto);
    void Destruir();
    void Publicar() const;
    bool Ocupada() const;

    // Lives on the window's thread: the door's posts to the window go through it.
    Buzon buzonVentana_;
    HiloPuerta hilo_;
    // Door's thread.
    std::unique_ptr<MsgBoxDiferido> msgBox_;
    std::unique_ptr<PantallaAccesoDiferida> pantalla_;
    std::unique_ptr<PantallaHuellaDiferida> pantallaHuella_;
    std::unique_ptr<SonidoDiferido> sonido_;
    std::unique_ptr<Entorno> entorno_;
    std::unique_ptr<Conexion> conexion_;
    std::unique_ptr<class EnlaceCapturaSensores> enlace_;
    std::unique_ptr<ControlAcceso> acceso_;
    std::unique_ptr<HuellaEstacion> huella_;
    bool parada_ = false;

    // Written by the door's thread, read by any: a snapshot of the door, refreshed on reading
    // when the door has no thread of its own.
    mutable std::atomic<int> accesoActual_{8};
    mutable std::atomic<bool> puertoAbierto_{false};
    mutable std::atomic<bool> lectorDetectado_{false};
    mutable std::atomic<bool> ocupada_{false};
    mutable std::atomic<bool> pulsando_{false};
    mutable std::atomic<bool> sonidoActivo_{true};
};

} // namespace portiva
