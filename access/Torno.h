#pragma once

#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>

namespace portiva {

class PantallaAcceso;
class RegistroEventos;
class RelayBoard;
class ReproductorSonido;

// The door: turns an access into its sound, picture, tray icon, counter and a 500 ms relay
// pulse, keeps the station state `AccesoActual`, and sets the board's resting relays for each
// station state.
//
// Nothing here waits: the board's reply and the end of the pulse are timers of the door's own
// thread, and the outcome of an access comes to a callback. Accesses are acted on one at a
// time, in the order they came; one that comes during another's pulse waits its turn.
class Torno {
public:
    static constexpr int DuracionPulsoMs = 500;
    // Picture and tray icon of an opening (types 0-2) that did not reach the turnstile: the
    // closed door, never the success of the access type.
    static constexpr int ImagenNoAbierta = 6;

    // `abierto`: the relay pulse was carried out completely.
    using AlAbrir = std::function<void(bool abierto)>;

    Torno(RelayBoard& rele, PantallaAcceso& pantalla, ReproductorSonido& sonido,
          RegistroEventos& registro, QString carpetaPrograma);

    // The station state, a CodigoAcceso.
    int AccesoActual() const { return accesoActual_; }
    void PonerAccesoActual(int estado) { accesoActual_ = estado; }

    // Access sounds on or off.
    bool SonidoActivo() const { return sonidoActivo_; }
    void PonerSonidoActivo(bool activo) { sonidoActivo_ = activo; }

    // Accesses of a type (0-4) that the door acted on during this run; 0 for any other index.
    long ContAperturas(int tipoDeAcceso) const;

    // Acts on one access of type 0-4; `hecho` is told whether the relay pulse was carried out
    // completely (at once when the door is held fixed open or closed, where nothing happens,
    // or when there is no board). The station state becomes the access type after the pulse.
    void AbrirTorno(int tipoDeAcceso, AlAbrir hecho = {});
    // An access is being acted on or waits its turn.
    bool Actuando() const { return actuando_ || !cola_.empty(); }
    // Tests with many accesses shorten the pulse; the station keeps DuracionPulsoMs.
    void PonerDuracionPulso(int ms) { duracionPulsoMs_ = ms; }
    // The relays of an access are on: its 500 ms run.
    bool Pulsando() const { return finPulso_.isActive(); }
    // True when the last access acted on should have pulsed the relays and did not (no board,
    // the board stopped answering, or it refused the write). An opening (types 0-2) that
    // failed is then neither counted nor shown as a success: the closed-door picture and tray
    // icon (ImagenNoAbierta) take the place of the access type's.
    bool AperturaFallida() const { return aperturaFallida_; }
    // Counts one access of the type and shows the counters.
    void ActContAperturas(int tipoDeAcceso);
    // Sends the resting relay byte of a station state.
    void ActRelayBoard(int estado);
    // Plays <program folder>/Sonidos/<type>.wav without waiting; false when the file is
    // missing or would not play.
    bool PlaySonido(int tipoDeAcceso);
    // Switches the relays of the mask on for 500 ms, then restores the byte read before;
    // `hecho` is told whether both writes went out.
    void PulseTorno(int mascara, AlAbrir hecho);
    // An access is about to be acted on: AbrirTorno follows with nothing else sent to the board
    // in between. The pulse's state request goes out now, so the board's
    // answer time passes while the station still works on the decision; nothing is sent when
    // AbrirTorno would not pulse (the door held fixed, no board). OlvidarPulso drops a request
    // that no AbrirTorno took.
    void AdelantarPulso();
    void OlvidarPulso();
    bool TornoNormal();
    bool TornoBloqueado();
    bool TornoAbierto();
    // The button "Apertura Manual": opens once unless the door is held fixed; the blink timer
    // is held off during the pulse and starts a fresh interval after it.
    void cmdAperturaManual_Click(QTimer& tmrBlink);

private:
    struct Acceso {
        int tipo;
        AlAbrir hecho;
    };

    bool EscribirReposo(std::uint8_t estado);
    void Siguiente();
    void Actuar(int tipoDeAcceso, AlAbrir hecho);
    void Actuado(int tipoDeAcceso, int estadoAntes, bool abierto, const AlAbrir& hecho);
    void FinPulso();

    RelayBoard& rele_;
    PantallaAcceso& pantalla_;
    ReproductorSonido& sonido_;
    RegistroEventos& registro_;
    QString carpetaPrograma_;
    int accesoActual_ = 0;
    bool sonidoActivo_ = true;
    bool aperturaFallida_ = false;
    std::array<long, 6> contAperturas_{};

    std::deque<Acceso> cola_;
    bool actuando_ = false;
    QTimer finPulso_;
    int duracionPulsoMs_ = DuracionPulsoMs;
    std::uint8_t antesDelPulso_ = 0;
    AlAbrir alFinPulso_;
};

} // namespace portiva
