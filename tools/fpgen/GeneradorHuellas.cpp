#include "GeneradorHuellas.h"

#include <cmath>

#include "Aleatorio.h"
#include "BancoGabor.h"
#include "Impresor.h"
#include "MaestroHuella.h"
#include "ParametrosImpresion.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

namespace portiva::fpgen {

namespace {

constexpr int ladoMax = 4096;
constexpr std::uint64_t marcaImpresion = 0x1A9E55F0C0FFEE11ULL;
constexpr std::uint64_t marcaLimpia = 0x5EC0DE0F17A7E0ULL;

std::uint64_t semillaDedo(std::uint64_t semilla, int dedo) {
    return mezclar(semilla, static_cast<std::uint64_t>(static_cast<std::int64_t>(dedo)));
}

bool tamanoValido(int ancho, int alto, int dpi) {
    return ancho >= 1 && alto >= 1 && ancho <= ladoMax && alto <= ladoMax && dpi >= 100 &&
           dpi <= 2000;
}

ParametrosImpresion parametrosDe(std::uint64_t semilla, int dedo, int impresion,
                                 const Condiciones& c) {
    const std::uint64_t s = semillaDedo(semilla, dedo);
    if (impresion == 0)
        return ParametrosImpresion::limpia(mezclar(s, marcaLimpia));
    Aleatorio rng(mezclar(s ^ marcaImpresion,
                          static_cast<std::uint64_t>(static_cast<std::int64_t>(impresion))));
    return ParametrosImpresion::sortear(rng, c);
}

// The generator behind the free functions. It only memoises pure results, so sharing it
// changes nothing but speed.
GeneradorHuellas& compartido() {
    static GeneradorHuellas generador;
    return generador;
}

} // namespace

ImagenGris generarImpresion(std::uint64_t semilla, int dedo, int impresion, const Condiciones& c,
                            int ancho, int alto) {
    return compartido().impresion(semilla, dedo, impresion, c, ancho, alto);
}

ImagenGris generarImpresionRotada(std::uint64_t semilla, int dedo, double grados) {
    return compartido().impresionRotada(semilla, dedo, grados);
}

GeneradorHuellas::GeneradorHuellas(std::size_t capacidadCache)
    : banco_(std::make_unique<BancoGabor>()), capacidad_(std::max<std::size_t>(1, capacidadCache)) {
}

GeneradorHuellas::~GeneradorHuellas() = default;

std::shared_ptr<const MaestroHuella> GeneradorHuellas::maestro(std::uint64_t semilla, int dedo) {
    auto es = [&](const Entrada& e) { return e.semilla == semilla && e.dedo == dedo; };
    {
        std::lock_guard<std::mutex> cerrojo(mutex_);
        const auto it = std::find_if(cache_.begin(), cache_.end(), es);
        if (it != cache_.end()) {
            Entrada e = *it;
            cache_.erase(it);
            cache_.push_back(e);
            return e.maestro;
        }
    }
    // Grown outside the lock so several threads can grow different fingers at once; if two
    // grow the same finger, both results are identical and either may be kept.
    auto nuevo = std::make_shared<const MaestroHuella>(semillaDedo(semilla, dedo), *banco_);
    std::lock_guard<std::mutex> cerrojo(mutex_);
    if (std::none_of(cache_.begin(), cache_.end(), es)) {
        if (cache_.size() >= capacidad_)
            cache_.erase(cache_.begin());
        cache_.push_back({semilla, dedo, nuevo});
    }
    return nuevo;
}

ImagenGris GeneradorHuellas::impresion(std::uint64_t semilla, int dedo, int impresion,
                                       const Condiciones& c, int ancho, int alto, int dpi) {
    if (!tamanoValido(ancho, alto, dpi))
        return {};
    const auto m = maestro(semilla, dedo);
    return Impresor(*m, parametrosDe(semilla, dedo, impresion, c)).imprimir(ancho, alto, dpi);
}

ImagenGris GeneradorHuellas::impresionRotada(std::uint64_t semilla, int dedo, double grados,
                                             int ancho, int alto) {
    if (!tamanoValido(ancho, alto, 500) || !(grados > -1e6 && grados < 1e6))
        return {};
    const auto m = maestro(semilla, dedo);
    ParametrosImpresion p = parametrosDe(semilla, dedo, 0, {});
    p.rotacionGrados = grados;
    return Impresor(*m, p).imprimir(ancho, alto, 500);
}

bool recorrerConjunto(std::uint64_t semilla, int dedos, int impresiones, const Condiciones& c,
                      int ancho, int alto, int dpi, int hilos, const ReceptorHuella& recibir) {
    if (dedos <= 0 || impresiones <= 0)
        return true;
    if (!tamanoValido(ancho, alto, dpi) || !recibir)
        return false;
    if (hilos <= 0)
        hilos = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    hilos = std::min(hilos, dedos);

    // A finger's impressions are rendered together from one master, so the shared cache only
    // needs room for the fingers in progress.
    GeneradorHuellas generador(static_cast<std::size_t>(hilos));
    std::atomic<int> siguiente{0};
    std::atomic<bool> seguir{true};
    auto trabajar = [&] {
        for (int d = siguiente++; d < dedos && seguir; d = siguiente++) {
            const auto m = generador.maestro(semilla, d);
            for (int i = 0; i < impresiones && seguir; ++i)
                if (!recibir(
                        d, i,
                        Impresor(*m, parametrosDe(semilla, d, i, c)).imprimir(ancho, alto, dpi)))
                    seguir = false;
        }
    };
    std::vector<std::thread> trabajadores;
    for (int h = 1; h < hilos; ++h) {
        try {
            trabajadores.emplace_back(trabajar);
        } catch (const std::system_error&) {
            break; // no more threads to be had: the ones running share the work
        }
    }
    trabajar();
    for (auto& t : trabajadores)
        t.join();
    return seguir;
}

ConjuntoHuellas generarConjunto(std::uint64_t semilla, int dedos, int impresiones,
                                const Condiciones& c, int ancho, int alto, int hilos) {
    ConjuntoHuellas conjunto(static_cast<std::size_t>(std::max(0, dedos)));
    if (impresiones <= 0)
        return conjunto;
    for (auto& fila : conjunto)
        fila.resize(static_cast<std::size_t>(impresiones));
    // Each slot is written by exactly one worker.
    recorrerConjunto(
        semilla, dedos, impresiones, c, ancho, alto, 500, hilos,
        [&](int dedo, int impresion, ImagenGris&& imagen) {
            conjunto[static_cast<std::size_t>(dedo)][static_cast<std::size_t>(impresion)] =
                std::move(imagen);
            return true;
        });
    return conjunto;
}

Condiciones condicionesConDureza(double dureza) {
    Condiciones c;
    if (std::isfinite(dureza) && dureza >= 0 && dureza <= 10) {
        c.ruido = dureza;
        c.distorsion = dureza;
    }
    return c;
}

} // namespace portiva::fpgen
