// What the pairings of real prints look like, one line per comparison, for studying which
// measures of a pairing tell a finger from chance: every genuine pair of each folder, the
// impostor pairs (within and across the folders) and the gallery comparisons that reach a
// score, each with the pairs' count, kinds, where they lie against the overlap, and the flow.
//   portiva-rasgos-pares [--recorte N] [--hilos N] [--desde S] [--galeria archivo N]
//                        [--pares archivo] carpeta...
// --desde S: impostor and gallery comparisons are listed from score S (genuine pairs always).
// --pares: also writes, for every comparison listed, its pairs (query x y, stored x y placed on
// the query) for drawing.
#include "CodigosMotor.h"
#include "ConsultaPreparada.h"
#include "MuestrasCarpeta.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <vector>

using namespace portiva;

namespace {

using bench::enHilos;
using bench::Plantillas;

double cruz(double ox, double oy, double ax, double ay, double bx, double by) {
    return (ax - ox) * (by - oy) - (ay - oy) * (bx - ox);
}

double areaEnvolvente(std::vector<std::pair<double, double>> p) {
    if (p.size() < 3)
        return 0;
    std::sort(p.begin(), p.end());
    std::vector<std::pair<double, double>> h(2 * p.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        while (k >= 2 && cruz(h[k - 2].first, h[k - 2].second, h[k - 1].first, h[k - 1].second,
                              p[i].first, p[i].second) <= 0)
            --k;
        h[k++] = p[i];
    }
    for (std::size_t i = p.size() - 1, t = k + 1; i > 0; --i) {
        while (k >= t && cruz(h[k - 2].first, h[k - 2].second, h[k - 1].first, h[k - 1].second,
                              p[i - 1].first, p[i - 1].second) <= 0)
            --k;
        h[k++] = p[i - 1];
    }
    h.resize(k - 1);
    double a = 0;
    for (std::size_t i = 0; i < h.size(); ++i) {
        const auto& u = h[i];
        const auto& v = h[(i + 1) % h.size()];
        a += u.first * v.second - v.first * u.second;
    }
    return std::fabs(a) / 2;
}

// Orientation of the grid at a point, or -1.
int orientacionEn(const motor::DatosPlantilla& d, double x, double y) {
    if (x < 0 || y < 0)
        return -1;
    const int cx = static_cast<int>(x / d.bloque), cy = static_cast<int>(y / d.bloque);
    if (cx >= d.gw || cy >= d.gh)
        return -1;
    const int o = d.orientacion[static_cast<std::size_t>(cy * d.gw + cx)];
    return o < 180 ? o : -1;
}

// 1 - coherence of the doubled-angle vectors of the 3 x 3 cells round a point: 0 in straight
// parallel flow, high round a core or a delta.
double curvatura(const motor::DatosPlantilla& d, double x, double y) {
    double sx = 0, sy = 0;
    int n = 0;
    for (int oy = -1; oy <= 1; ++oy)
        for (int ox = -1; ox <= 1; ++ox) {
            const int o = orientacionEn(d, x + ox * d.bloque, y + oy * d.bloque);
            if (o < 0)
                continue;
            const double a = 2 * o * M_PI / 180;
            sx += std::cos(a);
            sy += std::sin(a);
            ++n;
        }
    return n == 0 ? 1 : 1 - std::hypot(sx, sy) / n;
}

struct Linea {
    std::string texto, pares;
};

Linea rasgos(const char* clase, const std::string& quien, int puntuacion,
             const motor::DetalleComparacion& det, const motor::DatosPlantilla& q,
             const motor::DatosPlantilla& g) {
    const double c = std::cos(det.rotacion), s = std::sin(det.rotacion);
    auto colocar = [&](double x, double y) {
        return std::pair<double, double>{c * x - s * y + det.dx, s * x + c * y + det.dy};
    };
    auto inversa = [&](double x, double y) {
        const double ex = x - det.dx, ey = y - det.dy;
        return std::pair<double, double>{c * ex + s * ey, -s * ex + c * ey};
    };
    // The overlap on the query's grid: its cells with ridges whose centre lands on the stored
    // print's ridges.
    int solape = 0;
    std::set<int> solape32;
    double flujo = 0;
    for (int cy = 0; cy < q.gh; ++cy)
        for (int cx = 0; cx < q.gw; ++cx) {
            const int o = q.orientacion[static_cast<std::size_t>(cy * q.gw + cx)];
            if (o >= 180)
                continue;
            const auto [gx, gy] = inversa((cx + 0.5) * q.bloque, (cy + 0.5) * q.bloque);
            const int og = orientacionEn(g, gx, gy);
            if (og < 0)
                continue;
            ++solape;
            solape32.insert((cy * q.bloque / 32) * 1000 + cx * q.bloque / 32);
            const double dif = (o - og) - det.rotacion * 180 / M_PI;
            flujo += std::cos(2 * dif * M_PI / 180);
        }
    if (solape > 0)
        flujo /= solape;
    int nq = 0, ns = 0;
    for (const auto& m : q.minucias) {
        const auto [gx, gy] = inversa(m.x, m.y);
        nq += orientacionEn(g, gx, gy) >= 0 ? 1 : 0;
    }
    for (const auto& m : g.minucias) {
        const auto [x, y] = colocar(m.x, m.y);
        ns += orientacionEn(q, x, y) >= 0 ? 1 : 0;
    }
    int distintoTipo = 0;
    double calidadPares = 0; // the poorer minutia's quality, mean over the pairs
    std::set<int> celdas32, celdas16;
    std::vector<std::pair<double, double>> puntos;
    double curv = 0, x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9, distMedia = 0;
    std::string pares;
    for (const auto& [i, j] : det.pares) {
        const auto& a = q.minucias[static_cast<std::size_t>(i)];
        const auto& b = g.minucias[static_cast<std::size_t>(j)];
        distintoTipo += a.tipo != b.tipo ? 1 : 0;
        calidadPares += std::min(a.calidad, b.calidad) / 255.0;
        celdas32.insert((a.y / 32) * 1000 + a.x / 32);
        celdas16.insert((a.y / 16) * 1000 + a.x / 16);
        puntos.emplace_back(a.x, a.y);
        curv += curvatura(q, a.x, a.y);
        x0 = std::min<double>(x0, a.x);
        x1 = std::max<double>(x1, a.x);
        y0 = std::min<double>(y0, a.y);
        y1 = std::max<double>(y1, a.y);
        const auto [px, py] = colocar(b.x, b.y);
        distMedia += std::hypot(px - a.x, py - a.y);
        char t[96];
        std::snprintf(t, sizeof t, " %d %d %.1f %.1f %d %d %d", a.x, a.y, px, py,
                      a.tipo != b.tipo ? 1 : 0, a.calidad, b.calidad);
        pares += t;
    }
    // Every minutia of both, the stored ones placed on the query, for the drawing.
    pares += " |";
    for (const auto& a : q.minucias) {
        char t[64];
        std::snprintf(t, sizeof t, " %d %d %d %d", a.x, a.y, a.angulo, static_cast<int>(a.tipo));
        pares += t;
    }
    pares += " |";
    const int giro = static_cast<int>(std::lround(det.rotacion * 128 / M_PI));
    for (const auto& b : g.minucias) {
        const auto [px, py] = colocar(b.x, b.y);
        char t[64];
        std::snprintf(t, sizeof t, " %.1f %.1f %d %d", px, py, (b.angulo + giro) & 255,
                      static_cast<int>(b.tipo));
        pares += t;
    }
    const int n = static_cast<int>(det.pares.size());
    // Mean distance of the pairs from their centroid.
    double mx = 0, my = 0, disp = 0;
    for (const auto& p : puntos) {
        mx += p.first / std::max(1, n);
        my += p.second / std::max(1, n);
    }
    for (const auto& p : puntos)
        disp += std::hypot(p.first - mx, p.second - my) / std::max(1, n);
    char t[512];
    std::snprintf(t, sizeof t,
                  "%s %s %d n %d tipo %d solape %d nq %d ns %d Nq %zu Ns %zu flujo %.3f c32 %zu "
                  "s32 %zu c16 %zu caja %.0f envolvente %.0f curv %.3f disp %.1f dist %.2f "
                  "centro %.0f %.0f calp %.2f",
                  clase, quien.c_str(), puntuacion, n, distintoTipo, solape, nq, ns,
                  q.minucias.size(), g.minucias.size(), flujo, celdas32.size(), solape32.size(),
                  celdas16.size(), n > 0 ? (x1 - x0) * (y1 - y0) : 0.0, areaEnvolvente(puntos),
                  n > 0 ? curv / n : 0.0, disp, n > 0 ? distMedia / n : 0.0, mx, my,
                  n > 0 ? calidadPares / n : 0.0);
    return {t, std::string(clase) + " " + quien + " " + std::to_string(puntuacion) + pares};
}

} // namespace

int main(int argc, char** argv) {
    int recorte = 0, desde = 60, tamanoGaleria = 0;
    unsigned hilos = 3;
    std::string galeria, archivoPares;
    std::vector<std::filesystem::path> carpetas;
    for (int k = 1; k < argc; ++k) {
        const std::string a = argv[k];
        if (a == "--recorte" && k + 1 < argc)
            recorte = std::atoi(argv[++k]);
        else if (a == "--hilos" && k + 1 < argc)
            hilos = static_cast<unsigned>(std::max(1, std::atoi(argv[++k])));
        else if (a == "--desde" && k + 1 < argc)
            desde = std::atoi(argv[++k]);
        else if (a == "--pares" && k + 1 < argc)
            archivoPares = argv[++k];
        else if (a == "--galeria" && k + 2 < argc) {
            galeria = argv[++k];
            tamanoGaleria = std::atoi(argv[++k]);
        } else
            carpetas.emplace_back(a);
    }
    if (carpetas.empty()) {
        std::fprintf(stderr,
                     "uso: %s [--recorte N] [--hilos N] [--desde S] [--galeria archivo N] "
                     "[--pares archivo] carpeta...\n",
                     argv[0]);
        return 2;
    }
    std::vector<bench::Muestra> m;
    std::vector<int> carpeta, impresion;
    for (std::size_t c = 0; c < carpetas.size(); ++c) {
        auto x = bench::extraerCarpeta(carpetas[c], recorte, hilos);
        int previo = -1, imp = 0;
        for (auto& y : x) {
            imp = y.dedo == previo ? imp + 1 : 1;
            previo = y.dedo;
            impresion.push_back(imp);
            m.push_back(std::move(y));
            carpeta.push_back(static_cast<int>(c) + 1);
        }
    }
    std::vector<motor::DatosPlantilla> dm(m.size());
    for (std::size_t a = 0; a < m.size(); ++a)
        if (!m[a].bytes.empty())
            motor::CodecPlantilla::decodificar(m[a].bytes.data(), m[a].bytes.size(), dm[a]);
    Plantillas gal;
    if (!galeria.empty() && !bench::leerGaleria(galeria, gal)) {
        std::fprintf(stderr, "no gallery in %s\n", galeria.c_str());
        return 1;
    }
    if (gal.size() > static_cast<std::size_t>(std::max(0, tamanoGaleria)))
        gal.resize(static_cast<std::size_t>(std::max(0, tamanoGaleria)));
    std::mutex mx;
    std::vector<Linea> lineas;
    const motor::ParametrosComparacion p{159, 45};
    auto nombre = [&](std::size_t a) {
        return std::to_string(carpeta[a]) + ":" + std::to_string(m[a].dedo) + "_" +
               std::to_string(impresion[a]);
    };
    enHilos(m.size(), hilos, [&](std::size_t a) {
        if (m[a].bytes.empty())
            return;
        int e = 0;
        const auto q = motor::ConsultaPreparada::crear(m[a].bytes.data(), m[a].bytes.size(), p, e);
        std::vector<Linea> mias;
        for (std::size_t b = 0; b < m.size(); ++b) {
            if (b == a || m[b].bytes.empty())
                continue;
            const bool mismo = m[a].dedo == m[b].dedo &&
                               (carpeta[a] == carpeta[b] || carpeta[a] + carpeta[b] == 3);
            if (mismo && carpeta[a] != carpeta[b])
                continue;
            int v = 0;
            q->compararComprobada(m[b].bytes.data(), m[b].bytes.size(), v);
            if (!mismo && v < desde)
                continue;
            motor::DetalleComparacion d;
            q->comparar(m[b].bytes.data(), m[b].bytes.size(), v, &d);
            mias.push_back(
                rasgos(mismo ? "gen" : "imp", nombre(a) + " " + nombre(b), v, d, dm[a], dm[b]));
        }
        for (std::size_t k = 0; k < gal.size(); ++k) {
            int v = 0;
            if (gal[k].empty())
                continue;
            q->compararComprobada(gal[k].data(), gal[k].size(), v);
            if (v < desde)
                continue;
            motor::DetalleComparacion d;
            q->comparar(gal[k].data(), gal[k].size(), v, &d);
            motor::DatosPlantilla dg;
            motor::CodecPlantilla::decodificar(gal[k].data(), gal[k].size(), dg);
            mias.push_back(rasgos("gal", nombre(a) + " g" + std::to_string(k), v, d, dm[a], dg));
        }
        std::lock_guard<std::mutex> l(mx);
        for (auto& x : mias)
            lineas.push_back(std::move(x));
    });
    std::ofstream fp;
    if (!archivoPares.empty())
        fp.open(archivoPares);
    for (const auto& l : lineas) {
        std::printf("%s\n", l.texto.c_str());
        if (fp)
            fp << l.pares << "\n";
    }
    return 0;
}
