#pragma once

#include "ModosEstacion.h"
#include "RelayBoard.h"
#include "ReleSimulado.h"
#include "Torno.h"

#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace portiva::prueba {

// The door answers from the event loop: these run one of its calls and pump events until the
// answer is in (generous limit; a passing test never waits that long).

// Runs `accion` once, while the door's relays are on (inside its 500 ms pulse). `sondeos` owns
// the probe timer for the test's life; its slot holds only a plain pointer to it, so no timer
// keeps itself alive.
inline void DuranteElPulso(Torno& torno, std::vector<std::unique_ptr<QTimer>>& sondeos,
                           std::function<void()> accion) {
    auto& sondeo = sondeos.emplace_back(std::make_unique<QTimer>());
    QTimer* t = sondeo.get();
    t->setInterval(1);
    QObject::connect(t, &QTimer::timeout, [&torno, t, accion = std::move(accion)]() mutable {
        if (!torno.Pulsando())
            return;
        t->stop();
        auto f = std::move(accion);
        f();
    });
    t->start();
}

inline bool Conectar(RelayBoard& rele) {
    std::optional<bool> hallada;
    rele.ConnectBoard([&](bool h) { hallada = h; });
    EsperarHasta([&] { return hallada.has_value(); });
    return hallada.value_or(false);
}

inline bool LeerEstado(RelayBoard& rele, std::uint8_t& estado) {
    std::optional<bool> leido;
    rele.GetStatusByte([&](bool l, std::uint8_t e) {
        leido = l;
        if (l)
            estado = e;
    });
    EsperarHasta([&] { return leido.has_value(); });
    return leido.value_or(false);
}

inline bool LeerVersion(RelayBoard& rele, std::uint8_t& id, std::uint8_t& version) {
    std::optional<bool> leida;
    rele.GetVersion([&](bool l, std::uint8_t i, std::uint8_t v) {
        leida = l;
        id = i;
        version = v;
    });
    EsperarHasta([&] { return leida.has_value(); });
    return leida.value_or(false);
}

inline bool Abrir(Torno& torno, int tipoDeAcceso) {
    std::optional<bool> abierto;
    torno.AbrirTorno(tipoDeAcceso, [&](bool a) { abierto = a; });
    EsperarHasta([&] { return abierto.has_value(); });
    return abierto.value_or(false);
}

inline bool Pulsar(Torno& torno, int mascara) {
    std::optional<bool> hecho;
    torno.PulseTorno(mascara, [&](bool h) { hecho = h; });
    EsperarHasta([&] { return hecho.has_value(); });
    return hecho.value_or(false);
}

// Waits until the door has acted on every access it was given.
inline bool EsperarPuerta(const Torno& torno) {
    return EsperarHasta([&] { return !torno.Actuando(); });
}

inline void IniciarRele(ModosEstacion& modos) {
    bool hecho = false;
    modos.InitRelayInterface([&] { hecho = true; });
    EsperarHasta([&] { return hecho; });
}

inline void Reconectar(ModosEstacion& modos) {
    bool hecho = false;
    modos.mnuReconnetRelay_Click([&] { hecho = true; });
    EsperarHasta([&] { return hecho; });
}

inline void AperturaManual(ModosEstacion& modos, const Torno& torno) {
    modos.cmdAperturaManual_Click();
    EsperarPuerta(torno);
}

} // namespace portiva::prueba
