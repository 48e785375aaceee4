// The skeleton stage of the extraction alone (binarisation with its small-region clean-up, and
// thinning), on the enhanced images of synthetic prints as the extractor makes them.
#include "Esqueleto.h"
#include "ExtractorMinucias.h"
#include "GeneradorHuellas.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace portiva;

namespace {

struct Etapa {
    motor::Mapa<float> realzada;
    motor::Mapa<std::uint8_t> mascara;
};

const std::vector<Etapa>& Etapas() {
    static const std::vector<Etapa> etapas = [] {
        std::vector<Etapa> v;
        motor::ExtractorMinucias extractor;
        for (int dedo = 0; dedo < 4; ++dedo) {
            const fpgen::ImagenGris img = fpgen::generarImpresion(fpgen::semillaBanco, dedo, 1);
            motor::DatosPlantilla datos;
            int clase = 0;
            motor::IntermediosExtraccion i;
            if (extractor.extraer(img.pixeles.data(), img.ancho, img.alto, img.dpi, datos, clase,
                                  &i) == 0)
                v.push_back({i.realzada, i.mascara});
        }
        return v;
    }();
    return etapas;
}

void Binarizar(benchmark::State& state) {
    const auto& etapas = Etapas();
    std::size_t k = 0;
    for (auto _ : state) {
        const Etapa& e = etapas[k++ % etapas.size()];
        auto b =
            motor::Esqueleto::binarizar(e.realzada, e.mascara, motor::ExtractorMinucias::Bloque);
        benchmark::DoNotOptimize(b.datos());
    }
}
BENCHMARK(Binarizar)->Unit(benchmark::kMillisecond);

void Adelgazar(benchmark::State& state) {
    const auto& etapas = Etapas();
    std::vector<motor::Mapa<std::uint8_t>> binarias;
    for (const Etapa& e : etapas)
        binarias.push_back(
            motor::Esqueleto::binarizar(e.realzada, e.mascara, motor::ExtractorMinucias::Bloque));
    std::size_t k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        motor::Mapa<std::uint8_t> m = binarias[k++ % binarias.size()];
        state.ResumeTiming();
        motor::Esqueleto::adelgazar(m);
        benchmark::DoNotOptimize(m.datos());
    }
}
BENCHMARK(Adelgazar)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
