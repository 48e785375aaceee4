// Accuracy of the engine on a synthetic set: every same-finger pair (genuine) and the
// different-finger pairs among the first impressions (impostor), their score distributions,
// the equal error rate, the false non-match rate at false match rates of 1e-3 and 1e-4, and
// both rates at the engine's default thresholds.
//   portiva-precision-motor [fingers=200] [impressions=8] [impostor impressions=3] [noise=1]
//                           [crop=0]
//   (noise scales the generator's photometric effects and distortion: 2 = harsher skin and sensor;
//   crop drops the first rows and columns of every image, moving the prints against the block
//   grid of the extraction, to see how much of a difference is chance)
#include "CodigosMotor.h"
#include "ConsultaPreparada.h"
#include "GeneradorHuellas.h"
#include "MotorHuella.h"
#include "Recorte.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

using namespace portiva;

namespace {

struct Plantilla {
    std::vector<std::uint8_t> bytes;
    int calidad = -1; // class, or the error code
};

double tasaPorEncima(const std::vector<int>& v, int umbral) {
    if (v.empty())
        return 0;
    return static_cast<double>(
               std::count_if(v.begin(), v.end(), [&](int s) { return s >= umbral; })) /
           static_cast<double>(v.size());
}

} // namespace

int main(int argc, char** argv) {
    const int dedos = argc > 1 ? std::atoi(argv[1]) : fpgen::dedosBanco;
    const int impresiones = argc > 2 ? std::atoi(argv[2]) : fpgen::impresionesBanco;
    const int impostoras = std::min(impresiones, argc > 3 ? std::atoi(argv[3]) : 3);
    const fpgen::Condiciones condiciones =
        fpgen::condicionesConDureza(argc > 4 ? std::atof(argv[4]) : 1.0);
    const int recorte = argc > 5 ? std::max(0, std::atoi(argv[5])) : 0;
    const unsigned hilos = std::max(1u, std::min(6u, std::thread::hardware_concurrency()));
    motor::MotorHuella motor;
    motor.Inicializar();

    const auto t0 = std::chrono::steady_clock::now();
    std::vector<std::vector<Plantilla>> p(
        static_cast<std::size_t>(dedos),
        std::vector<Plantilla>(static_cast<std::size_t>(impresiones)));
    std::mutex mutex;
    motor::ExtractorMinucias extractor;
    fpgen::recorrerConjunto(
        fpgen::semillaBanco, dedos, impresiones, condiciones, 400, 400, 500, hilos,
        [&](int d, int i, fpgen::ImagenGris&& img) {
            motor::DatosPlantilla datos;
            int clase = 0;
            Plantilla r;
            bench::recortar(img, recorte);
            const int e =
                extractor.extraer(img.pixeles.data(), img.ancho, img.alto, img.dpi, datos, clase);
            if (e == motor::codigo::Ok) {
                r.bytes.resize(motor::TamanoMaximoPlantilla);
                int usados = 0;
                motor::CodecPlantilla::codificar(datos, r.bytes.data(),
                                                 motor::TamanoMaximoPlantilla, usados);
                r.bytes.resize(static_cast<std::size_t>(usados));
                r.calidad = clase;
            } else {
                r.calidad = e;
            }
            std::lock_guard<std::mutex> l(mutex);
            p[static_cast<std::size_t>(d)][static_cast<std::size_t>(i)] = std::move(r);
            return true;
        });
    const double segundos =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    int fallos = 0, porClase[3] = {0, 0, 0};
    for (auto& f : p)
        for (auto& t : f) {
            if (t.calidad < 0)
                ++fallos;
            else
                ++porClase[t.calidad];
        }
    std::printf("set: %d fingers x %d impressions (noise %.2f, distortion %.2f), generated and "
                "extracted in %.1f s\n",
                dedos, impresiones, condiciones.ruido, condiciones.distorsion, segundos);
    std::printf("extraction failures: %d; quality low/medium/high: %d/%d/%d\n", fallos, porClase[0],
                porClase[1], porClase[2]);

    int umbralId = 0, rotId = 0, umbralVr = 0, rotVr = 0;
    motor.LeerParametrosIdentificacion(umbralId, rotId);
    motor.LeerParametrosVerificacion(umbralVr, rotVr);
    const motor::ParametrosComparacion param{umbralId, rotId};

    // Work list: (query finger, query impression, stored finger, stored impression).
    struct Par {
        int d1, i1, d2, i2;
    };
    std::vector<Par> genuinos, impostores;
    for (int d = 0; d < dedos; ++d)
        for (int a = 0; a < impresiones; ++a)
            for (int b = a + 1; b < impresiones; ++b)
                genuinos.push_back({d, a, d, b});
    for (int d = 0; d < dedos; ++d)
        for (int e = d + 1; e < dedos; ++e)
            for (int a = 0; a < impostoras; ++a)
                for (int b = 0; b < impostoras; ++b)
                    impostores.push_back({d, a, e, b});

    auto puntuar = [&](const std::vector<Par>& pares, std::vector<int>& salida) {
        salida.assign(pares.size(), -1);
        std::atomic<std::size_t> siguiente{0};
        std::vector<std::thread> ts;
        for (unsigned h = 0; h < hilos; ++h)
            ts.emplace_back([&] {
                std::shared_ptr<const motor::ConsultaPreparada> q;
                int qd = -1, qi = -1;
                for (;;) {
                    const std::size_t k = siguiente.fetch_add(1);
                    if (k >= pares.size())
                        break;
                    const Par& x = pares[k];
                    const auto& a =
                        p[static_cast<std::size_t>(x.d1)][static_cast<std::size_t>(x.i1)];
                    const auto& b =
                        p[static_cast<std::size_t>(x.d2)][static_cast<std::size_t>(x.i2)];
                    if (a.bytes.empty() || b.bytes.empty()) {
                        salida[k] = 0; // a failed extraction counts as a non-match
                        continue;
                    }
                    if (qd != x.d1 || qi != x.i1) {
                        int r = 0;
                        q = motor::ConsultaPreparada::crear(a.bytes.data(), a.bytes.size(), param,
                                                            r);
                        qd = x.d1;
                        qi = x.i1;
                    }
                    int s = 0;
                    q->comparar(b.bytes.data(), b.bytes.size(), s);
                    salida[k] = s;
                }
            });
        for (auto& t : ts)
            t.join();
    };
    std::vector<int> g, i;
    const auto t1 = std::chrono::steady_clock::now();
    puntuar(genuinos, g);
    puntuar(impostores, i);
    const double sc = std::chrono::duration<double>(std::chrono::steady_clock::now() - t1).count();
    std::printf("genuine pairs: %zu, impostor pairs: %zu (compared in %.1f s on %u threads)\n",
                g.size(), i.size(), sc, hilos);

    std::vector<int> gs = g, is = i;
    std::sort(gs.begin(), gs.end());
    std::sort(is.begin(), is.end());
    auto pct = [](const std::vector<int>& v, double q) {
        return v.empty() ? 0 : v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))];
    };
    std::printf("genuine scores  p1 %d p5 %d p50 %d p95 %d\n", pct(gs, 0.01), pct(gs, 0.05),
                pct(gs, 0.5), pct(gs, 0.95));
    std::printf("impostor scores p50 %d p99 %d p99.9 %d p99.99 %d max %d\n", pct(is, 0.5),
                pct(is, 0.99), pct(is, 0.999), pct(is, 0.9999), is.empty() ? 0 : is.back());

    // Rates over every threshold.
    double eer = 1, eerUmbral = 0, mejorDif = 2;
    double fnmr3 = 1, fnmr4 = 1;
    int u3 = -1, u4 = -1;
    for (int u = 0; u <= motor::ConsultaPreparada::PuntuacionMaxima + 1; ++u) {
        const double fmr = tasaPorEncima(i, u);
        const double fnmr = 1 - tasaPorEncima(g, u);
        if (std::abs(fmr - fnmr) < mejorDif) {
            mejorDif = std::abs(fmr - fnmr);
            eer = (fmr + fnmr) / 2;
            eerUmbral = u;
        }
        if (fmr <= 1e-3 && u3 < 0) {
            u3 = u;
            fnmr3 = fnmr;
        }
        if (fmr <= 1e-4 && u4 < 0) {
            u4 = u;
            fnmr4 = fnmr;
        }
    }
    std::printf("EER %.3f%% (threshold %.0f)\n", 100 * eer, eerUmbral);
    std::printf("FNMR at FMR 1e-3: %.3f%% (threshold %d)\n", 100 * fnmr3, u3);
    std::printf("FNMR at FMR 1e-4: %.3f%% (threshold %d)\n", 100 * fnmr4, u4);
    std::printf("identification default (threshold %d, rotation %d): FMR %.5f%% FNMR %.3f%%\n",
                umbralId, rotId, 100 * tasaPorEncima(i, umbralId),
                100 * (1 - tasaPorEncima(g, umbralId)));
    std::printf("verification default (threshold %d, rotation %d): FMR %.5f%% FNMR %.3f%%\n",
                umbralVr, rotVr, 100 * tasaPorEncima(i, umbralVr),
                100 * (1 - tasaPorEncima(g, umbralVr)));
    for (int u : {50, 75, 90, 105, 150, 200})
        std::printf("threshold %d: FMR %.5f%% FNMR %.3f%%\n", u, 100 * tasaPorEncima(i, u),
                    100 * (1 - tasaPorEncima(g, u)));
    if (std::getenv("PORTIVA_DETALLE") != nullptr) {
        auto mostrar = [&](const std::vector<Par>& pares, const std::vector<int>& v, bool altos) {
            std::vector<std::size_t> idx(v.size());
            for (std::size_t k = 0; k < idx.size(); ++k)
                idx[k] = k;
            std::sort(idx.begin(), idx.end(), [&](std::size_t a, std::size_t b) {
                return altos ? v[a] > v[b] : v[a] < v[b];
            });
            for (std::size_t k = 0; k < std::min<std::size_t>(12, idx.size()); ++k) {
                const Par& x = pares[idx[k]];
                const auto& a = p[static_cast<std::size_t>(x.d1)][static_cast<std::size_t>(x.i1)];
                const auto& b = p[static_cast<std::size_t>(x.d2)][static_cast<std::size_t>(x.i2)];
                int r = 0, s = 0;
                auto q = motor::ConsultaPreparada::crear(a.bytes.data(), a.bytes.size(), param, r);
                motor::DetalleComparacion det;
                q->comparar(b.bytes.data(), b.bytes.size(), s, &det);
                std::printf("  %d/%d vs %d/%d score %d pairs %zu rot %.1f nq %d ng %d\n", x.d1,
                            x.i1, x.d2, x.i2, s, det.pares.size(), det.rotacion * 57.3, a.bytes[19],
                            b.bytes[19]);
            }
        };
        std::printf("highest impostors:\n");
        mostrar(impostores, i, true);
        std::printf("lowest genuine:\n");
        mostrar(genuinos, g, false);
    }
    std::vector<std::size_t> tamanos;
    for (auto& f : p)
        for (auto& t : f)
            if (!t.bytes.empty())
                tamanos.push_back(t.bytes.size());
    std::sort(tamanos.begin(), tamanos.end());
    if (!tamanos.empty())
        std::printf("template size: median %zu bytes (min %zu, max %zu)\n",
                    tamanos[tamanos.size() / 2], tamanos.front(), tamanos.back());
    return 0;
}
