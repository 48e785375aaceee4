#pragma once

#include "Bombeo.h"

#include <algorithm>
#include <functional>
#include <limits>

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
            real.dormir(std::min(ms, maximoMs));
    }

    BombeoQt real;
    bool dormirDeVerdad = true;
    // Longest real sleep at a time: a test with many door actions lowers it so the 500 ms
    // pulse shrinks while the 50 ms wait for the board's answer stays real.
    int maximoMs = std::numeric_limits<int>::max();
    int bombeos = 0;
    int esperas = 0;
    long milisegundos = 0;
    std::function<void()> dentro; // runs once, at the next pump
};

} // namespace portiva::prueba
