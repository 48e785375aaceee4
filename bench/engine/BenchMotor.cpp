// Speed of the engine on synthetic 500 dpi 400 x 400 prints: extraction, one comparison, and a
// 1:N identification over 32,767 stored templates with no match present (prepare + compare
// every one, one core). The stored set repeats the templates of 200 different fingers, so the
// work per comparison is that of real templates.
#include "CodigosMotor.h"
#include "ConsultaPreparada.h"
#include "GeneradorHuellas.h"
#include "MotorHuella.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

using namespace portiva;

namespace {

constexpr int Dedos = 200;
constexpr int Almacenadas = 32767;

struct Datos {
    std::vector<fpgen::ImagenGris> imagenes;           // impression 1 of each finger
    std::vector<std::vector<std::uint8_t>> plantillas; // one per finger, + the trailing byte
    std::vector<std::uint8_t> consulta;                // a finger not among the stored ones
    std::vector<std::uint8_t> consultaGenuina;         // impression 2 of finger 0
};

std::vector<std::uint8_t> extraer(motor::MotorHuella& m, const fpgen::ImagenGris& img) {
    std::vector<std::uint8_t> p(motor::TamanoMaximoPlantilla + 1, 0);
    int tamano = motor::TamanoMaximoPlantilla;
    if (m.ExtraerPlantilla(img.pixeles.data(), img.ancho, img.alto, img.dpi, p.data(), tamano, 0) <
        0)
        return {};
    p.resize(static_cast<std::size_t>(tamano) + 1); // stored as the station stores it
    return p;
}

const Datos& datos() {
    static const Datos d = [] {
        Datos r;
        motor::MotorHuella m;
        m.Inicializar();
        auto conjunto = fpgen::generarConjunto(fpgen::semillaBanco, Dedos + 1, 3);
        for (int f = 0; f < Dedos; ++f) {
            r.imagenes.push_back(conjunto[static_cast<std::size_t>(f)][1]);
            auto p = extraer(m, conjunto[static_cast<std::size_t>(f)][1]);
            if (!p.empty())
                r.plantillas.push_back(std::move(p));
        }
        r.consulta = extraer(m, conjunto[Dedos][0]);
        r.consultaGenuina = extraer(m, conjunto[0][2]);
        return r;
    }();
    return d;
}

void Extraccion(benchmark::State& state) {
    const auto& d = datos();
    motor::MotorHuella m;
    m.Inicializar();
    std::vector<std::uint8_t> p(motor::TamanoMaximoPlantilla);
    std::size_t k = 0;
    for (auto _ : state) {
        const auto& img = d.imagenes[k++ % d.imagenes.size()];
        int tamano = motor::TamanoMaximoPlantilla;
        benchmark::DoNotOptimize(m.ExtraerPlantilla(img.pixeles.data(), img.ancho, img.alto,
                                                    img.dpi, p.data(), tamano, 0));
    }
}
BENCHMARK(Extraccion)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->ComputeStatistics("median", [](const std::vector<double>& v) {
        auto c = v;
        std::sort(c.begin(), c.end());
        return c[c.size() / 2];
    });

// One query against the benchmark's stored set, one comparison per iteration; `comprobada`:
// rows a gallery verified on entry (the door's walk), compared without their checksum.
void compararUnaAUna(benchmark::State& state, bool comprobada) {
    const auto& d = datos();
    int r = 0;
    auto q = motor::ConsultaPreparada::crear(d.consulta.data(), d.consulta.size(),
                                             {motor::MotorHuella::UmbralIdentificacionPorDefecto,
                                              motor::MotorHuella::RotacionIdentificacionPorDefecto},
                                             r);
    std::size_t k = 0;
    for (auto _ : state) {
        const auto& t = d.plantillas[k++ % d.plantillas.size()];
        int s = 0;
        benchmark::DoNotOptimize(comprobada ? q->compararComprobada(t.data(), t.size(), s)
                                            : q->comparar(t.data(), t.size(), s));
    }
    state.SetItemsProcessed(state.iterations());
}

void Comparacion(benchmark::State& state) {
    compararUnaAUna(state, false);
}
BENCHMARK(Comparacion);

void ComparacionComprobada(benchmark::State& state) {
    compararUnaAUna(state, true);
}
BENCHMARK(ComparacionComprobada);

void ComparacionRotacion180(benchmark::State& state) {
    const auto& d = datos();
    int r = 0;
    auto q = motor::ConsultaPreparada::crear(
        d.consulta.data(), d.consulta.size(),
        {motor::MotorHuella::UmbralIdentificacionPorDefecto, 180}, r);
    std::size_t k = 0;
    for (auto _ : state) {
        const auto& t = d.plantillas[k++ % d.plantillas.size()];
        int s = 0;
        benchmark::DoNotOptimize(q->comparar(t.data(), t.size(), s));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ComparacionRotacion180);

// What the station does per capture: prepare, then compare with every stored template in
// table order through the engine's own calls (no match present, so every one is compared).
void Identificacion32767(benchmark::State& state) {
    const auto& d = datos();
    motor::MotorHuella m;
    m.Inicializar();
    std::vector<const std::vector<std::uint8_t>*> tabla;
    for (int k = 0; k < Almacenadas; ++k)
        tabla.push_back(&d.plantillas[static_cast<std::size_t>(k) % d.plantillas.size()]);
    int coincidencias = 0;
    for (auto _ : state) {
        m.PrepararIdentificacion(d.consulta.data(), static_cast<int>(d.consulta.size()), 0);
        for (const auto* t : tabla) {
            int s = 0;
            if (m.Identificar(t->data(), static_cast<int>(t->size()), s, 0) ==
                motor::codigo::Coincide) {
                ++coincidencias;
                break;
            }
        }
    }
    state.counters["coincidencias"] = coincidencias;
}
BENCHMARK(Identificacion32767)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void TamanoPlantilla(benchmark::State& state) {
    const auto& d = datos();
    std::vector<std::size_t> t;
    for (const auto& p : d.plantillas)
        t.push_back(p.size() - 1);
    std::sort(t.begin(), t.end());
    for (auto _ : state)
        benchmark::DoNotOptimize(t.data());
    state.counters["mediana_bytes"] = static_cast<double>(t[t.size() / 2]);
    state.counters["max_bytes"] = static_cast<double>(t.back());
}
BENCHMARK(TamanoPlantilla)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
