#pragma once

// What the accuracy tools on real prints share: the templates of a folder of BMPs named
// FFF_I.bmp (finger, impression) and the rates read off two lists of scores.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace portiva::bench {

struct Muestra {
    int dedo = 0;
    std::string nombre;              // the file's stem, FFF_I
    int clase = -1;                  // quality class
    std::vector<std::uint8_t> bytes; // empty: extraction failed
};

// Every BMP of the folder, by name, extracted on up to `hilos` threads with its first `recorte`
// rows and columns dropped (Recorte.h).
std::vector<Muestra> extraerCarpeta(const std::filesystem::path& carpeta, int recorte,
                                    unsigned hilos);

// Runs `tarea(k)` for k in 0..n-1 on the given threads.
template <class F> void enHilos(std::size_t n, unsigned hilos, F tarea) {
    std::atomic<std::size_t> siguiente{0};
    std::vector<std::thread> ts;
    for (unsigned h = 0; h < std::max(1u, hilos); ++h)
        ts.emplace_back([&] {
            for (std::size_t k; (k = siguiente.fetch_add(1)) < n;)
                tarea(k);
        });
    for (auto& t : ts)
        t.join();
}

using Plantillas = std::vector<std::vector<std::uint8_t>>;

// A gallery file as the cross-folder tool writes it: a u32 count, then each template as a u32
// length and its bytes. False when the file is missing or damaged.
bool leerGaleria(const std::string& archivo, Plantillas& g);

// The share of `v` at or above `u`.
double tasaDesde(const std::vector<int>& v, int u);

struct Tasas {
    double eer = 0, fnmr1 = 0, fnmr01 = 0; // FNMR at FMR 1 % and 0.1 %
};
// Over every threshold 0..999 of the score.
Tasas tasas(const std::vector<int>& genuinos, const std::vector<int>& impostores);

} // namespace portiva::bench
