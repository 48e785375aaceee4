// Speed of the synthetic fingerprint generator: growing a master finger, rendering one
// 400 x 400 impression from it, both together (what a first generarImpresion call costs), and
// the test suite's set of 20 fingers x 4 impressions on one thread and on all of them.
#include "Aleatorio.h"
#include "BancoGabor.h"
#include "GeneradorHuellas.h"
#include "MaestroHuella.h"

#include <benchmark/benchmark.h>

using namespace portiva::fpgen;

namespace {

const BancoGabor& banco() {
    static const BancoGabor b;
    return b;
}

void Maestro(benchmark::State& state) {
    int dedo = 0;
    for (auto _ : state) {
        MaestroHuella m(mezclar(semillaBanco, static_cast<std::uint64_t>(dedo++ % 50)), banco());
        benchmark::DoNotOptimize(m.cresta(200, 200));
    }
}
BENCHMARK(Maestro)->Unit(benchmark::kMillisecond);

void Impresion(benchmark::State& state) {
    GeneradorHuellas g;
    g.maestro(semillaBanco, 0);
    int impresion = 1;
    for (auto _ : state) {
        auto img = g.impresion(semillaBanco, 0, impresion++ % 50);
        benchmark::DoNotOptimize(img.pixeles.data());
    }
}
BENCHMARK(Impresion)->Unit(benchmark::kMillisecond);

void MaestroMasImpresion(benchmark::State& state) {
    GeneradorHuellas g(1); // each call grows a new finger
    int dedo = 0;
    for (auto _ : state) {
        auto img = g.impresion(semillaBanco, dedo++ % 50, 1);
        benchmark::DoNotOptimize(img.pixeles.data());
    }
}
BENCHMARK(MaestroMasImpresion)->Unit(benchmark::kMillisecond);

void ConjuntoPruebas(benchmark::State& state) {
    const int hilos = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto c =
            generarConjunto(semillaPruebas, dedosPruebas, impresionesPruebas, {}, 400, 400, hilos);
        benchmark::DoNotOptimize(c.data());
    }
}
BENCHMARK(ConjuntoPruebas)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
