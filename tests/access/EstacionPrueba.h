#pragma once

#include "CarpetaTemporal.h"
#include "ControlAcceso.h"
#include "Entorno.h"
#include "MsgBoxGuion.h"
#include "PantallaPrueba.h"
#include "PuertaAsincrona.h"
#include "ReleSimulado.h"
#include "RelojFijo.h"

#include <QTimer>

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
        : entorno{carpeta.ruta(), msgBox, reloj},
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

    // Runs `accion` once, while the door's relays are on (inside its 500 ms pulse).
    void DuranteElPulso(std::function<void()> accion) {
        prueba::DuranteElPulso(acceso.torno(), sondeos_, std::move(accion));
    }

    PuertoSerie& puerto() { return acceso.puerto(); }
    RelayBoard& rele() { return acceso.rele(); }
    Torno& torno() { return acceso.torno(); }
    ModosEstacion& modos() { return acceso.modos(); }

    CarpetaTemporal carpeta;
    MsgBoxGuion msgBox;
    RelojFijo reloj;
    std::vector<std::unique_ptr<QTimer>> sondeos_;
    Entorno entorno;
    PantallaPrueba pantalla;
    SonidoPrueba sonido;
    CapturaPrueba captura;
    std::map<int, std::unique_ptr<SimuladorRele>> placas;
    ControlAcceso acceso;
};

} // namespace portiva::prueba
