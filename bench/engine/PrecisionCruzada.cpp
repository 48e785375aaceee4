// Accuracy of the engine over every ordered pair of a set of folders of real prints (FFF_I.bmp:
// finger, impression), within each folder and across them, both ways round, and of every print
// as a query against a large gallery of synthetic fingers; each figure over several shifts of
// the images against the extraction's block grid and their mean.
//   portiva-precision-cruzada [--recortes A-B] [--hilos N] [--mismos i,j] [--id N] [--vr N]
//                             [--galeria archivo N] [--curva A-B] carpeta...
// --mismos i,j: folders i and j (from 1) hold the same fingers under the same numbers, so a pair
// across them with one number is neither genuine nor impostor (its match rate is shown apart).
// --galeria: N templates of synthetic fingers (8 impressions of each of N / 8 fingers), read from
// the file, or generated, extracted and written there when it does not exist (they do not move
// with the shift). Per folder: failures, EER, FNMR at FMR 1 % / 0.1 %, FMR and FNMR at both
// thresholds, impostors at or above the identification threshold, the highest impostor, and the
// held-out threshold (the lowest that no impostor pair without a print of this folder reaches)
// with this folder's FNMR and impostors at it. Then every impostor pair, within and across, the
// pairs whose decision depends on which print is the query, and the gallery's figures.
// --curva A-B: at every threshold from A to B, each folder's FNMR (mean over the shifts) and the
// impostor pairs and gallery comparisons at or above it (summed): a change that lowers every
// score looks like fewer false matches at a fixed threshold, so compare at equal refusals.
#include "CodigosMotor.h"
#include "ConsultaPreparada.h"
#include "ExtractorMinucias.h"
#include "GeneradorHuellas.h"
#include "MotorHuella.h"
#include "MuestrasCarpeta.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

using namespace portiva;

namespace {

constexpr int Tope = motor::ConsultaPreparada::PuntuacionMaxima;

struct Opciones {
    int desde = 0, hasta = 0;
    unsigned hilos = 6;
    int mismosA = -1, mismosB = -1;
    int umbralId = 0, umbralVr = 0, rotacion = 45;
    std::string galeria;
    int tamanoGaleria = 0;
    int curvaDesde = 0, curvaHasta = -1;
    std::vector<std::filesystem::path> carpetas;
};

using bench::enHilos;
using bench::leerGaleria;
using bench::Plantillas;

Plantillas galeria(const Opciones& o) {
    Plantillas g;
    if (leerGaleria(o.galeria, g) && static_cast<int>(g.size()) >= o.tamanoGaleria) {
        g.resize(static_cast<std::size_t>(o.tamanoGaleria));
        return g;
    }
    constexpr int Impresiones = 8;
    const int dedos = (o.tamanoGaleria + Impresiones - 1) / Impresiones;
    g.assign(static_cast<std::size_t>(dedos * Impresiones), {});
    std::mutex m;
    motor::ExtractorMinucias ex;
    fpgen::recorrerConjunto(31337, dedos, Impresiones, {}, 400, 400, 500, o.hilos,
                            [&](int d, int i, fpgen::ImagenGris&& img) {
                                motor::DatosPlantilla datos;
                                int clase = 0;
                                std::vector<std::uint8_t> b;
                                if (ex.extraer(img.pixeles.data(), img.ancho, img.alto, img.dpi,
                                               datos, clase) == motor::codigo::Ok) {
                                    b.resize(motor::TamanoMaximoPlantilla);
                                    int usados = 0;
                                    motor::CodecPlantilla::codificar(
                                        datos, b.data(), motor::TamanoMaximoPlantilla, usados);
                                    b.resize(static_cast<std::size_t>(usados));
                                }
                                std::lock_guard<std::mutex> l(m);
                                g[static_cast<std::size_t>(d * Impresiones + i)] = std::move(b);
                                return true;
                            });
    g.resize(static_cast<std::size_t>(o.tamanoGaleria));
    std::ofstream f(o.galeria, std::ios::binary);
    const auto n = static_cast<std::uint32_t>(g.size());
    f.write(reinterpret_cast<const char*>(&n), 4);
    for (const auto& p : g) {
        const auto l = static_cast<std::uint32_t>(p.size());
        f.write(reinterpret_cast<const char*>(&l), 4);
        f.write(reinterpret_cast<const char*>(p.data()), l);
    }
    return g;
}

struct PorCarpeta {
    int fallos = 0;
    bench::Tasas t;
    double fmrId = 0, fnmrId = 0, fmrVr = 0, fnmrVr = 0;
    int impostoresId = 0, maximo = 0;
    int umbralFuera = 0; // held out
    double fnmrFuera = 0;
    int impostoresFuera = 0;
};

struct Ronda {
    std::vector<PorCarpeta> carpetas;
    int impostores = 0, impostoresId = 0, impostoresVr = 0, maximo = 0, maximoCruzado = 0;
    int mismosPares = 0;
    double mismosFnmrId = 0;
    int paresNoOrdenados = 0, asimetricosId = 0, asimetricosVr = 0, distintos = 0;
    long long galeriaPares = 0;
    int galeriaId = 0, galeriaVr = 0, galeriaMaximo = 0;
    std::vector<long long> galeriaDesde; // comparisons at or above each score
    // For the curve: each folder's FNMR and every impostor pair at or above each score.
    std::vector<std::vector<double>> fnmrDesde;
    std::vector<long long> impostoresDesde;
};

// Turns a count per score 0..Tope into the count at or above each score.
void haciaArriba(std::vector<long long>& c) {
    for (int u = Tope - 1; u >= 0; --u)
        c[static_cast<std::size_t>(u)] += c[static_cast<std::size_t>(u + 1)];
}

// How many of `v` lie at or above each score 0..Tope.
std::vector<long long> desde(const std::vector<int>& v) {
    std::vector<long long> c(Tope + 2, 0);
    for (int x : v)
        ++c[static_cast<std::size_t>(std::clamp(x, 0, Tope))];
    haciaArriba(c);
    return c;
}

Ronda ronda(const Opciones& o, int recorte, const Plantillas& gal) {
    const std::size_t nc = o.carpetas.size();
    std::vector<bench::Muestra> m;
    std::vector<int> carpeta;
    Ronda r;
    r.carpetas.resize(nc);
    for (std::size_t c = 0; c < nc; ++c) {
        auto x = bench::extraerCarpeta(o.carpetas[c], recorte, o.hilos);
        for (auto& y : x) {
            r.carpetas[c].fallos += y.bytes.empty() ? 1 : 0;
            m.push_back(std::move(y));
            carpeta.push_back(static_cast<int>(c));
        }
    }
    const std::size_t n = m.size();
    const motor::ParametrosComparacion p{o.umbralId, o.rotacion};
    std::vector<int> s(n * n, 0);
    enHilos(n, o.hilos, [&](std::size_t a) {
        if (m[a].bytes.empty())
            return;
        int e = 0;
        const auto q = motor::ConsultaPreparada::crear(m[a].bytes.data(), m[a].bytes.size(), p, e);
        for (std::size_t b = 0; b < n; ++b)
            if (b != a && !m[b].bytes.empty())
                q->comparar(m[b].bytes.data(), m[b].bytes.size(), s[a * n + b]);
    });
    auto mismosDedos = [&](std::size_t a, std::size_t b) {
        const int ca = carpeta[a], cb = carpeta[b];
        const bool pareja =
            (ca == o.mismosA && cb == o.mismosB) || (ca == o.mismosB && cb == o.mismosA);
        return m[a].dedo == m[b].dedo && (ca == cb || pareja);
    };
    std::vector<std::vector<int>> gen(nc), imp(nc);
    std::vector<int> todosImp;
    std::vector<int> impCarpetaA, impCarpetaB; // which folders an impostor pair touches
    std::vector<int> mismos;
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = 0; b < n; ++b) {
            if (a == b)
                continue;
            const int v = s[a * n + b];
            const int ca = carpeta[a], cb = carpeta[b];
            if (mismosDedos(a, b)) {
                if (ca == cb)
                    gen[static_cast<std::size_t>(ca)].push_back(v);
                else
                    mismos.push_back(v);
                continue;
            }
            if (ca == cb)
                imp[static_cast<std::size_t>(ca)].push_back(v);
            else
                r.maximoCruzado = std::max(r.maximoCruzado, v);
            todosImp.push_back(v);
            impCarpetaA.push_back(ca);
            impCarpetaB.push_back(cb);
            if (b > a) {
                const int w = s[b * n + a];
                ++r.paresNoOrdenados;
                r.distintos += v != w ? 1 : 0;
                r.asimetricosId += (v >= o.umbralId) != (w >= o.umbralId) ? 1 : 0;
                r.asimetricosVr += (v >= o.umbralVr) != (w >= o.umbralVr) ? 1 : 0;
            }
        }
    // Genuine pairs (within a folder) count towards the asymmetry too.
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = a + 1; b < n; ++b)
            if (mismosDedos(a, b)) {
                const int v = s[a * n + b], w = s[b * n + a];
                ++r.paresNoOrdenados;
                r.distintos += v != w ? 1 : 0;
                r.asimetricosId += (v >= o.umbralId) != (w >= o.umbralId) ? 1 : 0;
                r.asimetricosVr += (v >= o.umbralVr) != (w >= o.umbralVr) ? 1 : 0;
            }
    r.impostores = static_cast<int>(todosImp.size());
    r.impostoresDesde = desde(todosImp);
    for (std::size_t c = 0; c < nc; ++c) {
        const auto g = desde(gen[c]);
        r.fnmrDesde.emplace_back(g.size(), 0.0);
        for (std::size_t u = 0; u < g.size() && g[0] > 0; ++u)
            r.fnmrDesde.back()[u] = 1 - static_cast<double>(g[u]) / static_cast<double>(g[0]);
    }
    for (int v : todosImp) {
        r.impostoresId += v >= o.umbralId ? 1 : 0;
        r.impostoresVr += v >= o.umbralVr ? 1 : 0;
        r.maximo = std::max(r.maximo, v);
    }
    r.mismosPares = static_cast<int>(mismos.size());
    r.mismosFnmrId = 1 - bench::tasaDesde(mismos, o.umbralId);
    for (std::size_t c = 0; c < nc; ++c) {
        auto& f = r.carpetas[c];
        f.t = bench::tasas(gen[c], imp[c]);
        f.fmrId = bench::tasaDesde(imp[c], o.umbralId);
        f.fnmrId = 1 - bench::tasaDesde(gen[c], o.umbralId);
        f.fmrVr = bench::tasaDesde(imp[c], o.umbralVr);
        f.fnmrVr = 1 - bench::tasaDesde(gen[c], o.umbralVr);
        f.maximo = imp[c].empty() ? 0 : *std::max_element(imp[c].begin(), imp[c].end());
        int fuera = 0;
        for (std::size_t k = 0; k < todosImp.size(); ++k) {
            const bool toca =
                impCarpetaA[k] == static_cast<int>(c) || impCarpetaB[k] == static_cast<int>(c);
            if (todosImp[k] >= o.umbralId)
                f.impostoresId += toca ? 1 : 0;
            if (!toca)
                fuera = std::max(fuera, todosImp[k]);
        }
        f.umbralFuera = fuera + 1;
        f.fnmrFuera = 1 - bench::tasaDesde(gen[c], f.umbralFuera);
        for (std::size_t k = 0; k < todosImp.size(); ++k)
            if ((impCarpetaA[k] == static_cast<int>(c) || impCarpetaB[k] == static_cast<int>(c)) &&
                todosImp[k] >= f.umbralFuera)
                ++f.impostoresFuera;
    }
    if (!gal.empty()) {
        std::vector<std::vector<long long>> cuenta(n, std::vector<long long>(Tope + 2, 0));
        enHilos(n, o.hilos, [&](std::size_t a) {
            if (m[a].bytes.empty())
                return;
            int e = 0;
            const auto q =
                motor::ConsultaPreparada::crear(m[a].bytes.data(), m[a].bytes.size(), p, e);
            for (std::size_t k = 0; k < gal.size(); ++k) {
                const auto& g = gal[k];
                int v = 0;
                if (!g.empty())
                    q->compararComprobada(g.data(), g.size(), v);
                ++cuenta[a][static_cast<std::size_t>(std::clamp(v, 0, Tope))];
                if (v >= o.umbralId && std::getenv("PORTIVA_DETALLE") != nullptr) {
                    motor::DetalleComparacion d;
                    int w = 0;
                    q->comparar(g.data(), g.size(), w, &d);
                    std::printf("  gallery hit: folder %d finger %d (%d minutiae, quality %d) vs "
                                "%zu (%d minutiae, quality %d): %d, %zu pairs\n",
                                carpeta[a] + 1, m[a].dedo, m[a].bytes[19], m[a].bytes[18], k, g[19],
                                g[18], v, d.pares.size());
                }
            }
        });
        r.galeriaDesde.assign(Tope + 2, 0);
        for (const auto& c : cuenta)
            for (int u = 0; u <= Tope; ++u)
                r.galeriaDesde[static_cast<std::size_t>(u)] += c[static_cast<std::size_t>(u)];
        haciaArriba(r.galeriaDesde);
        r.galeriaPares = r.galeriaDesde[0];
        r.galeriaId = static_cast<int>(r.galeriaDesde[static_cast<std::size_t>(o.umbralId)]);
        r.galeriaVr = static_cast<int>(r.galeriaDesde[static_cast<std::size_t>(o.umbralVr)]);
        for (int u = Tope; u >= 0; --u)
            if (r.galeriaDesde[static_cast<std::size_t>(u)] > 0) {
                r.galeriaMaximo = u;
                break;
            }
    }
    return r;
}

// Rates add as a share of the mean over `n`, counts add, maxima keep the highest.
void acumular(PorCarpeta& x, const PorCarpeta& y, double n) {
    x.fallos += y.fallos;
    x.t.eer += y.t.eer / n;
    x.t.fnmr1 += y.t.fnmr1 / n;
    x.t.fnmr01 += y.t.fnmr01 / n;
    x.fmrId += y.fmrId / n;
    x.fnmrId += y.fnmrId / n;
    x.fmrVr += y.fmrVr / n;
    x.fnmrVr += y.fnmrVr / n;
    x.impostoresId += y.impostoresId;
    x.maximo = std::max(x.maximo, y.maximo);
    x.umbralFuera = std::max(x.umbralFuera, y.umbralFuera);
    x.fnmrFuera += y.fnmrFuera / n;
    x.impostoresFuera += y.impostoresFuera;
}

void filaCarpeta(const std::string& nombre, const PorCarpeta& f) {
    std::printf("%-14s %4d %5.2f %6.2f %6.2f   %6.3f %6.2f   %6.3f %6.2f   %4d %4d   %4d %6.2f "
                "%4d\n",
                nombre.c_str(), f.fallos, 100 * f.t.eer, 100 * f.t.fnmr1, 100 * f.t.fnmr01,
                100 * f.fmrId, 100 * f.fnmrId, 100 * f.fmrVr, 100 * f.fnmrVr, f.impostoresId,
                f.maximo, f.umbralFuera, 100 * f.fnmrFuera, f.impostoresFuera);
}

void cabecera() {
    std::printf("%-14s %4s %5s %6s %6s   %6s %6s   %6s %6s   %4s %4s   %4s %6s %4s\n", "folder",
                "fail", "EER", "FNMR1", "FNMR.1", "FMRid", "FNMRid", "FMRvr", "FNMRvr", "I>id",
                "iMax", "uOut", "FNMRo", "I>uo");
}

void resto(const Ronda& r, double galeriaPares) {
    std::printf("impostor pairs %d (within and across, both ways): at or above id %d, vr %d, "
                "highest %d (across folders %d)\n",
                r.impostores, r.impostoresId, r.impostoresVr, r.maximo, r.maximoCruzado);
    if (r.mismosPares > 0)
        std::printf("same fingers across sensors: %d pairs, FNMR at id %.2f %%\n", r.mismosPares,
                    100 * r.mismosFnmrId);
    std::printf("unordered pairs %d: decision differs by order at id %d, at vr %d; score "
                "differs %d\n",
                r.paresNoOrdenados, r.asimetricosId, r.asimetricosVr, r.distintos);
    if (galeriaPares > 0)
        std::printf("gallery: %.0f comparisons, at or above id %d, vr %d, highest %d\n",
                    galeriaPares, r.galeriaId, r.galeriaVr, r.galeriaMaximo);
}

// Adds one shift's curve into the mean: rates as a share of it, counts summed.
void sumarCurva(Ronda& total, const Ronda& r, int rondas) {
    if (total.impostoresDesde.empty()) {
        total.impostoresDesde.assign(r.impostoresDesde.size(), 0);
        total.fnmrDesde.assign(r.fnmrDesde.size(), std::vector<double>(Tope + 2, 0.0));
    }
    for (std::size_t u = 0; u < r.impostoresDesde.size(); ++u)
        total.impostoresDesde[u] += r.impostoresDesde[u];
    for (std::size_t c = 0; c < r.fnmrDesde.size(); ++c)
        for (std::size_t u = 0; u < r.fnmrDesde[c].size(); ++u)
            total.fnmrDesde[c][u] += r.fnmrDesde[c][u] / rondas;
}

void curva(const Opciones& o, const Ronda& total, std::size_t nc) {
    std::printf(
        "curve: threshold, FNMR %% of each folder, impostor pairs (and gallery) at or above\n");
    for (int u = o.curvaDesde; u <= o.curvaHasta; ++u) {
        const auto uu = static_cast<std::size_t>(u);
        std::printf("%4d", u);
        for (std::size_t c = 0; c < nc; ++c)
            std::printf(" %6.2f", 100 * total.fnmrDesde[c][uu]);
        std::printf(" %6lld", total.impostoresDesde[uu]);
        if (!total.galeriaDesde.empty())
            std::printf(" %8lld", total.galeriaDesde[uu]);
        std::printf("\n");
    }
}

bool leerOpciones(int argc, char** argv, Opciones& o) {
    for (int k = 1; k < argc; ++k) {
        const std::string a = argv[k];
        const bool hay = k + 1 < argc;
        if (a == "--recortes" && hay) {
            const std::string v = argv[++k];
            o.desde = std::atoi(v.c_str());
            const auto g = v.find('-');
            o.hasta = g == std::string::npos ? o.desde : std::atoi(v.c_str() + g + 1);
        } else if (a == "--hilos" && hay) {
            o.hilos = static_cast<unsigned>(std::max(1, std::atoi(argv[++k])));
        } else if (a == "--mismos" && hay) {
            const std::string v = argv[++k];
            o.mismosA = std::atoi(v.c_str()) - 1;
            const auto c = v.find(',');
            o.mismosB = c == std::string::npos ? -1 : std::atoi(v.c_str() + c + 1) - 1;
        } else if (a == "--id" && hay) {
            o.umbralId = std::atoi(argv[++k]);
        } else if (a == "--vr" && hay) {
            o.umbralVr = std::atoi(argv[++k]);
        } else if (a == "--galeria" && k + 2 < argc) {
            o.galeria = argv[++k];
            o.tamanoGaleria = std::max(0, std::atoi(argv[++k]));
        } else if (a == "--curva" && hay) {
            const std::string v = argv[++k];
            o.curvaDesde = std::clamp(std::atoi(v.c_str()), 0, Tope);
            const auto g = v.find('-');
            o.curvaHasta = g == std::string::npos
                               ? o.curvaDesde
                               : std::clamp(std::atoi(v.c_str() + g + 1), 0, Tope);
        } else if (a.rfind("--", 0) == 0) {
            return false;
        } else {
            o.carpetas.emplace_back(a);
        }
    }
    return !o.carpetas.empty() && o.hasta >= o.desde;
}

} // namespace

int main(int argc, char** argv) {
    Opciones o;
    {
        motor::MotorHuella motor;
        motor.Inicializar();
        int rot = 0;
        motor.LeerParametrosIdentificacion(o.umbralId, o.rotacion);
        motor.LeerParametrosVerificacion(o.umbralVr, rot);
    }
    if (!leerOpciones(argc, argv, o)) {
        std::fprintf(stderr,
                     "uso: %s [--recortes A-B] [--hilos N] [--mismos i,j] [--id N] [--vr N] "
                     "[--galeria archivo N] [--curva A-B] carpeta...\n",
                     argv[0]);
        return 2;
    }
    const Plantillas gal = o.galeria.empty() ? Plantillas{} : galeria(o);
    std::printf("thresholds: identification %d, verification %d (rotation %d); gallery %zu\n",
                o.umbralId, o.umbralVr, o.rotacion, gal.size());
    const std::size_t nc = o.carpetas.size();
    std::vector<PorCarpeta> media(nc);
    PorCarpeta mediaReal;
    Ronda total;
    double galeriaPares = 0;
    const int rondas = o.hasta - o.desde + 1;
    auto nombre = [&](std::size_t c) { return o.carpetas[c].filename().string(); };
    for (int rc = o.desde; rc <= o.hasta; ++rc) {
        const Ronda r = ronda(o, rc, gal);
        std::printf("--- shift %d\n", rc);
        cabecera();
        for (std::size_t c = 0; c < nc; ++c) {
            filaCarpeta(nombre(c), r.carpetas[c]);
            acumular(media[c], r.carpetas[c], rondas);
        }
        resto(r, static_cast<double>(r.galeriaPares));
        total.impostores += r.impostores;
        total.impostoresId += r.impostoresId;
        total.impostoresVr += r.impostoresVr;
        total.maximo = std::max(total.maximo, r.maximo);
        total.maximoCruzado = std::max(total.maximoCruzado, r.maximoCruzado);
        total.mismosPares += r.mismosPares;
        total.mismosFnmrId += r.mismosFnmrId / rondas;
        total.paresNoOrdenados += r.paresNoOrdenados;
        total.asimetricosId += r.asimetricosId;
        total.asimetricosVr += r.asimetricosVr;
        total.distintos += r.distintos;
        total.galeriaId += r.galeriaId;
        total.galeriaVr += r.galeriaVr;
        total.galeriaMaximo = std::max(total.galeriaMaximo, r.galeriaMaximo);
        galeriaPares += static_cast<double>(r.galeriaPares);
        if (total.galeriaDesde.empty())
            total.galeriaDesde.assign(r.galeriaDesde.size(), 0);
        for (std::size_t u = 0; u < r.galeriaDesde.size(); ++u)
            total.galeriaDesde[u] += r.galeriaDesde[u];
        sumarCurva(total, r, rondas);
        std::fflush(stdout);
    }
    std::printf("=== mean over shifts %d-%d (counts summed, maxima the highest; uOut the highest "
                "held-out threshold)\n",
                o.desde, o.hasta);
    cabecera();
    for (std::size_t c = 0; c < nc; ++c)
        filaCarpeta(nombre(c), media[c]);
    // The mean of the real folders: every folder but a synthetic one is named by the caller's
    // order; the first three by convention (the development set's DB1-DB3).
    const std::size_t reales = std::min<std::size_t>(3, nc);
    for (std::size_t c = 0; c < reales; ++c)
        acumular(mediaReal, media[c], static_cast<double>(reales));
    mediaReal.umbralFuera = 0; // one per folder: no mean
    filaCarpeta("mean first 3", mediaReal);
    resto(total, galeriaPares);
    if (galeriaPares > 0) {
        std::printf("gallery FMR at thresholds:");
        for (int u : {40, 60, 80, 100, 120, 140, 159, 180, 200})
            std::printf(" %d:%.2e", u,
                        static_cast<double>(total.galeriaDesde[static_cast<std::size_t>(u)]) /
                            galeriaPares);
        std::printf("\n");
    }
    if (o.curvaHasta >= o.curvaDesde)
        curva(o, total, nc);
    return 0;
}
