// Timing of the relay board link on a pseudo-terminal with the simulated board:
//  - the scan in its worst case: COM4 to COM7 hold silent devices (opened, asked, 50 ms wait,
//    closed), the board answers on COM8;
//  - one status request (its 50 ms wait included);
//  - one admitted member's door action (status request, 500 ms pulse, restore).

#include "CapturaSensores.h"
#include "CodigoAcceso.h"
#include "ControlAcceso.h"
#include "Entorno.h"
#include "MsgBox.h"
#include "PantallaAcceso.h"
#include "PuertaAsincrona.h"
#include "ReproductorSonido.h"
#include "SimuladorRele.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using namespace portiva;
using prueba::Conectar;

class PantallaMuda final : public PantallaAcceso {
public:
    void EscribirLog(const QString&) override {}
    void MostrarResultado(int) override {}
    void ShowBallon(int, const QString&, const QString&, int) override {}
    void InfoHuella(const QString&, bool) override {}
    void HabilitarAperturaManual(bool) override {}
    void MostrarContAperturas(int, long, long) override {}
};

class SonidoMudo final : public ReproductorSonido {
public:
    bool Reproducir(const QString&) override { return true; }
};

class CapturaMuda final : public CapturaSensores {
public:
    void IniciarCaptura(const QString&) override {}
    void DetenerCaptura(const QString&) override {}
};

class MsgBoxMudo final : public MsgBox {
public:
    Respuesta operator()(const QString&, int, const QString&) override { return Respuesta::No; }
};

// One station over a temporary program folder with boards linked as COM ports.
struct Banco {
    explicit Banco(const std::vector<int>& mudos, int buena)
        : entorno{carpeta.path(), msgBox, reloj},
          acceso(entorno, pantalla, sonido, captura, carpeta.filePath("sin-dispositivos/ttyS")) {
        acceso.modos().tmrBlink().stop();
        for (int puerto : mudos) {
            auto placa = std::make_unique<simulador::SimuladorRele>();
            placa->ponerModo(simulador::ModoRespuesta::Ninguna);
            Enlazar(*placa, puerto);
            placas.push_back(std::move(placa));
        }
        auto placa = std::make_unique<simulador::SimuladorRele>();
        Enlazar(*placa, buena);
        placas.push_back(std::move(placa));
    }

    void Enlazar(simulador::SimuladorRele& placa, int puerto) {
        placa.enlazar(
            QDir(carpeta.path()).filePath(QStringLiteral("COM%1").arg(puerto)).toStdString());
    }

    QTemporaryDir carpeta;
    MsgBoxMudo msgBox;
    RelojSistema reloj;
    Entorno entorno;
    PantallaMuda pantalla;
    SonidoMudo sonido;
    CapturaMuda captura;
    std::vector<std::unique_ptr<simulador::SimuladorRele>> placas;
    ControlAcceso acceso;
};

void BM_BarridoPeorCaso(benchmark::State& state) {
    Banco banco({4, 5, 6, 7}, 8);
    for (auto _ : state) {
        const bool hallada = Conectar(banco.acceso.rele());
        state.PauseTiming();
        if (!hallada || banco.acceso.rele().RelayPort() != 8)
            state.SkipWithError("board not found on COM8");
        banco.acceso.rele().ClosePort();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BarridoPeorCaso)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PeticionDeEstado(benchmark::State& state) {
    Banco banco({}, 4);
    if (!Conectar(banco.acceso.rele()))
        state.SkipWithError("board not found");
    for (auto _ : state) {
        std::uint8_t estado = 0;
        if (!prueba::LeerEstado(banco.acceso.rele(), estado))
            state.SkipWithError("no reply");
    }
}
BENCHMARK(BM_PeticionDeEstado)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_PulsoDeClienteAdmitido(benchmark::State& state) {
    Banco banco({}, 4);
    if (!Conectar(banco.acceso.rele()))
        state.SkipWithError("board not found");
    banco.acceso.torno().PonerAccesoActual(CodigoAcceso::ControlPorHuella);
    banco.acceso.torno().ActRelayBoard(CodigoAcceso::ControlPorHuella);
    for (auto _ : state) {
        if (!prueba::Abrir(banco.acceso.torno(), CodigoAcceso::ClientePermitido))
            state.SkipWithError("pulse not carried out");
        state.PauseTiming();
        banco.acceso.torno().PonerAccesoActual(CodigoAcceso::ControlPorHuella);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PulsoDeClienteAdmitido)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
