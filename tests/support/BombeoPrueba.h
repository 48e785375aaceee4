#pragma once

#include "Bombeo.h"

#include <functional>

namespace portiva::prueba {

// A pump for tests: really pumps Qt events, counts the calls, and can run a test's own code
// inside the pass to provoke re-entry.
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

    BombeoQt real;
    int bombeos = 0;
    std::function<void()> dentro; // runs once, at the next pump
};

} // namespace portiva::prueba
