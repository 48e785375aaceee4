#pragma once

#include "Bombeo.h"

#include <functional>

namespace portiva::prueba {

// A pump for tests: really pumps Qt events and sleeps (so serial bytes arrive), counts the
// calls, and can run a test's own code inside the wait to provoke re-entry.
class BombeoPrueba final : public Bombeo {
public:
    void procesarEventos() override {
        ++bombeos;
        real.procesarEventos();
        if (dentro) {
            auto f = std::move(dentro);
            dentro = nullptr;
            f();
        }
    }
    bool DentroDeUnaEspera() const override { return real.DentroDeUnaEspera(); }
    void dormir(int ms) override {
        ++esperas;
        milisegundos += ms;
        if (dormirDeVerdad)
            real.dormir(ms);
    }

    BombeoQt real;
    bool dormirDeVerdad = true;
    int bombeos = 0;
    int esperas = 0;
    long milisegundos = 0;
    std::function<void()> dentro; // runs once, at the next pump
};

} // namespace portiva::prueba
