#pragma once

#include <QString>

#include <array>
#include <cstdint>

class QTimer;

namespace portiva {

class Bombeo;
class PantallaAcceso;
class RegistroEventos;
class RelayBoard;
class ReproductorSonido;

// The door: turns an access into its sound, picture, tray icon, counter and a 500 ms relay
// pulse, keeps the station state `AccesoActual`, and sets the board's resting relays for each
// station state.
class Torno {
public:
    static constexpr int DuracionPulsoMs = 500;

    Torno(RelayBoard& rele, PantallaAcceso& pantalla, ReproductorSonido& sonido,
          RegistroEventos& registro, Bombeo& bombeo, QString carpetaPrograma);

    // The station state, a CodigoAcceso.
    int AccesoActual() const { return accesoActual_; }
    void PonerAccesoActual(int estado) { accesoActual_ = estado; }

    // Access sounds on or off.
    bool SonidoActivo() const { return sonidoActivo_; }
    void PonerSonidoActivo(bool activo) { sonidoActivo_ = activo; }

    // Accesses of a type (0-4) that the door acted on during this run; 0 for any other index.
    long ContAperturas(int tipoDeAcceso) const;

    // Acts on one access of type 0-4. Does nothing while the door is held fixed open or
    // closed. True only when the relay pulse was carried out completely.
    bool AbrirTorno(int tipoDeAcceso);
    // True when the last AbrirTorno found the board connected but the relays did not pulse
    // (the board stopped answering, or refused the write). Without a board at all the station
    // runs as it was told at start-up: the log line says it, this stays false.
    bool AperturaFallida() const { return aperturaFallida_; }
    // Counts one access of the type and shows the counters.
    void ActContAperturas(int tipoDeAcceso);
    // Sends the resting relay byte of a station state.
    void ActRelayBoard(int estado);
    // Plays <program folder>/Sonidos/<type>.wav without waiting; false when the file is
    // missing or would not play.
    bool PlaySonido(int tipoDeAcceso);
    // Switches the relays of the mask on for 500 ms, then restores the byte read before.
    bool PulseTorno(int mascara);
    // An access is about to be acted on: AbrirTorno follows with nothing else sent to the board
    // and no event run in between. The pulse's state request goes out now, so the board's
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
    bool EscribirReposo(std::uint8_t estado);

    RelayBoard& rele_;
    PantallaAcceso& pantalla_;
    ReproductorSonido& sonido_;
    RegistroEventos& registro_;
    Bombeo& bombeo_;
    QString carpetaPrograma_;
    int accesoActual_ = 0;
    bool sonidoActivo_ = true;
    bool aperturaFallida_ = false;
    std::array<long, 6> contAperturas_{};
};

} // namespace portiva
