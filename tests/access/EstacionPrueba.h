#pragma once

#include "BombeoPrueba.h"
#include "CarpetaTemporal.h"
#include "ControlAcceso.h"
#include "Entorno.h"
#include "MsgBoxGuion.h"
#include "PantallaPrueba.h"
#include "ReleSimulado.h"
#include "RelojFijo.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

namespace portiva::prueba {

// One station's access layer over a temporary program folder, with recording fakes for the
// window, sound and capture, and simulated boards linked as COM ports. Ports without a board
// resolve to devices in a folder that does not exist, so no real serial port is touched.
class EstacionPrueba {
public:
    EstacionPrueba()
        : entorno{carpeta.ruta(), msgBox, reloj, bombeo},
          acceso(entorno, pantalla, sonido, captura, carpeta.archivo("sin-dispositivos/ttyS")) {}

    // A board on COM<puerto>; fails the test when none can be made.
    SimuladorRele& placaEn(int puerto) {
        auto placa = PlacaEnPuerto(carpeta.ruta(), puerto);
        EXPECT_NE(placa, nullptr) << "no pseudo-terminal for COM" << puerto;
        if (!placa)
            std::abort();
        SimuladorRele& ref = *placa;
        placas[puerto] = std::move(placa);
        return ref;
    }

    // Runs `accion` at the n-th pump from now. A status request pumps twice (1, 2), a door
    // pulse twice more (3 before its sleep, 4 after).
    void EnElBombeo(int n, std::function<void()> accion) {
        bombeo.dentro = PasoDelBombeo(n, std::make_shared<int>(0), std::move(accion));
    }

    // Each step puts a fresh copy of itself back for the next pump, so no closure ends up
    // owning itself.
    std::function<void()> PasoDelBombeo(int n, std::shared_ptr<int> cuenta,
                                        std::function<void()> accion) {
        return [this, n, cuenta, accion] {
            if (++*cuenta < n) {
                bombeo.dentro = PasoDelBombeo(n, cuenta, accion);
                return;
            }
            accion();
        };
    }

    PuertoSerie& puerto() { return acceso.puerto(); }
    RelayBoard& rele() { return acceso.rele(); }
    Torno& torno() { return acceso.torno(); }
    ModosEstacion& modos() { return acceso.modos(); }

    CarpetaTemporal carpeta;
    MsgBoxGuion msgBox;
    RelojFijo reloj;
    BombeoPrueba bombeo;
    Entorno entorno;
    PantallaPrueba pantalla;
    SonidoPrueba sonido;
    CapturaPrueba captura;
    std::map<int, std::unique_ptr<SimuladorRele>> placas;
    ControlAcceso acceso;
};

} // namespace portiva::prueba
