#pragma once

// Synthetic fingerprints for tests, benchmarks and the demo station: a master finger per
// (seed, finger) grown from a ridge-flow model, and any number of impressions of it as a
// 500 dpi optical reader would capture them. Everything is deterministic: the same arguments
// give the same bytes on every machine.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace portiva::fpgen {

struct ImagenGris {
    int ancho = 0, alto = 0, dpi = 500;
    std::vector<std::uint8_t> pixeles; // row-major, 0 = black ridge, 255 = white background
};

// How much each impression may differ from the clean one. 0 turns an effect off, 1 is the
// normal amount, above 1 stronger. `ruido` covers every photometric effect (sensor noise,
// blur, uneven background, contrast, pressure). With every value 0 and every permitir* false,
// each impression shows the finger exactly as impression 0 does; only the sensor's faint grain
// differs. Values are capped at 180 degrees, 2000 pixels and 4 times the normal amount;
// negative values count as 0.
struct Condiciones {
    double rotacionMaxGrados = 30;
    double desplazamientoMaxPx = 40;
    double distorsion = 1.0;
    double ruido = 1.0;
    bool permitirSeca = true;
    bool permitirMojada = true;
    bool permitirParcial = true;
};

// The default conditions with the photometric effects and the distortion both scaled by
// `dureza` (1 = default, 2 = harsher skin and sensor); a value that is not a finite number in
// 0..10 gives the default conditions.
Condiciones condicionesConDureza(double dureza);

// Impression `impresion` of finger `dedo`. The same (semilla, dedo) is always the same finger;
// impression 0 is the clean, centred one (it ignores `c`); the others draw their placement and
// skin conditions from the seed. Sizes outside 1..4096 give an empty image.
ImagenGris generarImpresion(std::uint64_t semilla, int dedo, int impresion,
                            const Condiciones& c = {}, int ancho = 400, int alto = 400);

// The clean impression of the finger (400 x 400) turned by exactly `grados` about the image
// centre, counter-clockwise on screen for positive angles. An angle that is not a finite
// number of degrees (or beyond a million) gives an empty image.
ImagenGris generarImpresionRotada(std::uint64_t semilla, int dedo, double grados);

class BancoGabor;
class MaestroHuella;

// The generator with its master cache: generating several impressions of a finger grows the
// finger once. Thread-safe; the free functions above share one of these.
class GeneradorHuellas {
public:
    explicit GeneradorHuellas(std::size_t capacidadCache = 32);
    ~GeneradorHuellas();
    GeneradorHuellas(const GeneradorHuellas&) = delete;
    GeneradorHuellas& operator=(const GeneradorHuellas&) = delete;

    // As generarImpresion, at any resolution (the finger keeps its physical size).
    ImagenGris impresion(std::uint64_t semilla, int dedo, int impresion, const Condiciones& c = {},
                         int ancho = 400, int alto = 400, int dpi = 500);
    // As generarImpresionRotada, at any image size.
    ImagenGris impresionRotada(std::uint64_t semilla, int dedo, double grados, int ancho = 400,
                               int alto = 400);
    // The master finger itself (grown on first use, then kept while the cache holds it).
    std::shared_ptr<const MaestroHuella> maestro(std::uint64_t semilla, int dedo);

private:
    struct Entrada {
        std::uint64_t semilla;
        int dedo;
        std::shared_ptr<const MaestroHuella> maestro;
    };
    std::unique_ptr<const BancoGabor> banco_;
    std::size_t capacidad_;
    std::mutex mutex_;
    std::vector<Entrada> cache_; // most recently used last
};

// Every impression of fingers 0..dedos-1, impressions 0..impresiones-1, as
// conjunto[dedo][impresion]; fingers are generated on up to `hilos` threads (0: as many as
// the machine has, at most 8). The result does not depend on the number of threads.
using ConjuntoHuellas = std::vector<std::vector<ImagenGris>>;
ConjuntoHuellas generarConjunto(std::uint64_t semilla, int dedos, int impresiones,
                                const Condiciones& c = {}, int ancho = 400, int alto = 400,
                                int hilos = 0);

// The same impressions handed one by one to `recibir` (called from the worker threads, so it
// must be thread-safe and must not throw) instead of kept in memory: for sets too large to hold.
// When `recibir` answers false no further finger is started. Answers whether every impression was
// delivered.
using ReceptorHuella = std::function<bool(int dedo, int impresion, ImagenGris&& imagen)>;
bool recorrerConjunto(std::uint64_t semilla, int dedos, int impresiones, const Condiciones& c,
                      int ancho, int alto, int dpi, int hilos, const ReceptorHuella& recibir);

// The two standard sets: a small one for the test suite, a larger one for benchmarks.
inline constexpr std::uint64_t semillaPruebas = 20240611;
inline constexpr int dedosPruebas = 20;
inline constexpr int impresionesPruebas = 4;
inline constexpr std::uint64_t semillaBanco = 77001;
inline constexpr int dedosBanco = 200;
inline constexpr int impresionesBanco = 8;

} // namespace portiva::fpgen
