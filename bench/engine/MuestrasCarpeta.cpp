#include "MuestrasCarpeta.h"

#include "ArchivoBmp.h"
#include "CodigosMotor.h"
#include "ConsultaPreparada.h"
#include "ExtractorMinucias.h"
#include "Recorte.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace portiva::bench {

std::vector<Muestra> extraerCarpeta(const std::filesystem::path& carpeta, int recorte,
                                    unsigned hilos) {
    std::vector<std::filesystem::path> archivos;
    for (const auto& e : std::filesystem::directory_iterator(carpeta))
        if (motor::ArchivoBmp::tieneExtensionBmp(e.path()))
            archivos.push_back(e.path());
    std::sort(archivos.begin(), archivos.end());
    std::vector<Muestra> m(archivos.size());
    std::atomic<std::size_t> siguiente{0};
    std::vector<std::thread> ts;
    for (unsigned h = 0; h < std::max(1u, hilos); ++h)
        ts.emplace_back([&] {
            motor::ExtractorMinucias ex;
            for (std::size_t k; (k = siguiente.fetch_add(1)) < archivos.size();) {
                const std::string nombre = archivos[k].stem().string();
                m[k].nombre = nombre;
                m[k].dedo = std::atoi(nombre.substr(0, nombre.find('_')).c_str());
                motor::ImagenGris img;
                if (motor::ArchivoBmp::leer(archivos[k], img) != 0)
                    continue;
                recortar(img, recorte);
                motor::DatosPlantilla d;
                int clase = 0;
                if (ex.extraer(img.pixeles.data(), img.ancho, img.alto,
                               img.resolucion > 0 ? img.resolucion : 500, d,
                               clase) != motor::codigo::Ok)
                    continue;
                m[k].clase = clase;
                m[k].bytes.resize(motor::TamanoMaximoPlantilla);
                int usados = 0;
                motor::CodecPlantilla::codificar(d, m[k].bytes.data(), motor::TamanoMaximoPlantilla,
                                                 usados);
                m[k].bytes.resize(static_cast<std::size_t>(usados));
            }
        });
    for (auto& t : ts)
        t.join();
    return m;
}

bool leerGaleria(const std::string& archivo, Plantillas& g) {
    std::ifstream f(archivo, std::ios::binary);
    std::uint32_t n = 0;
    if (!f.read(reinterpret_cast<char*>(&n), 4))
        return false;
    g.resize(n);
    for (auto& p : g) {
        std::uint32_t l = 0;
        if (!f.read(reinterpret_cast<char*>(&l), 4) || l > motor::TamanoMaximoPlantilla)
            return false;
        p.resize(l);
        if (!f.read(reinterpret_cast<char*>(p.data()), l))
            return false;
    }
    return true;
}

double tasaDesde(const std::vector<int>& v, int u) {
    if (v.empty())
        return 0;
    return static_cast<double>(std::count_if(v.begin(), v.end(), [&](int s) { return s >= u; })) /
           static_cast<double>(v.size());
}

Tasas tasas(const std::vector<int>& g, const std::vector<int>& im) {
    // Counts per score, then the rates from the top down.
    constexpr int Tope = motor::ConsultaPreparada::PuntuacionMaxima + 1;
    std::vector<double> cg(Tope + 1, 0), ci(Tope + 1, 0);
    for (int s : g)
        cg[static_cast<std::size_t>(std::clamp(s, 0, Tope))] += 1;
    for (int s : im)
        ci[static_cast<std::size_t>(std::clamp(s, 0, Tope))] += 1;
    std::vector<double> fmr(Tope + 2, 0), fnmr(Tope + 2, 0);
    double arribaG = 0, arribaI = 0;
    for (int u = Tope; u >= 0; --u) {
        arribaG += cg[static_cast<std::size_t>(u)];
        arribaI += ci[static_cast<std::size_t>(u)];
        fmr[static_cast<std::size_t>(u)] =
            im.empty() ? 0 : arribaI / static_cast<double>(im.size());
        fnmr[static_cast<std::size_t>(u)] =
            g.empty() ? 0 : 1 - arribaG / static_cast<double>(g.size());
    }
    Tasas t;
    double mejor = 2;
    bool hay1 = false, hay01 = false;
    for (std::size_t u = 0; u <= static_cast<std::size_t>(Tope); ++u) {
        if (std::abs(fmr[u] - fnmr[u]) < mejor) {
            mejor = std::abs(fmr[u] - fnmr[u]);
            t.eer = (fmr[u] + fnmr[u]) / 2;
        }
        if (!hay1 && fmr[u] <= 0.01) {
            hay1 = true;
            t.fnmr1 = fnmr[u];
        }
        if (!hay01 && fmr[u] <= 0.001) {
            hay01 = true;
            t.fnmr01 = fnmr[u];
        }
    }
    return t;
}

} // namespace portiva::bench
