#pragma once

// What the accuracy tools on real prints share: the templates of a folder of BMPs named
// FFF_I.bmp (finger, impression) and the rates read off two lists of scores.
#include <cstdint>
#include <filesystem>
#include <string>
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

// The share of `v` at or above `u`.
double tasaDesde(const std::vector<int>& v, int u);

struct Tasas {
    double eer = 0, fnmr1 = 0, fnmr01 = 0; // FNMR at FMR 1 % and 0.1 %
};
// Over every threshold 0..999 of the score.
Tasas tasas(const std::vector<int>& genuinos, const std::vector<int>& impostores);

} // namespace portiva::bench
