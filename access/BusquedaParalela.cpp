#include "BusquedaParalela.h"

#include <algorithm>

namespace portiva {

BusquedaParalela::BusquedaParalela(unsigned hilos) {
    if (hilos == 0)
        hilos = std::max(1u, std::thread::hardware_concurrency());
    trabajadores_.reserve(hilos - 1);
    for (unsigned i = 1; i < hilos; ++i)
        trabajadores_.emplace_back([this] { trabajar(); });
}

BusquedaParalela::~BusquedaParalela() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        salir_ = true;
    }
    hayTrabajo_.notify_all();
    for (auto& t : trabajadores_)
        t.join();
}

BusquedaParalela::Resultado BusquedaParalela::buscar(const std::vector<Fila>& filas,
                                                     const Comparador& comparar) {
    if (filas.empty())
        return {};
    filas_ = &filas;
    comparar_ = &comparar;
    siguienteBloque_.store(0, std::memory_order_relaxed);
    limite_.store(filas.size(), std::memory_order_relaxed);
    resultado_ = {};
    puntuacionUltima_ = 0;

    // Small walks are not worth waking the pool.
    const bool enParalelo = !trabajadores_.empty() && filas.size() > Bloque;
    if (enParalelo) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            pendientes_ = static_cast<unsigned>(trabajadores_.size());
            ++generacion_;
        }
        hayTrabajo_.notify_all();
    }
    recorrer();
    if (enParalelo) {
        std::unique_lock<std::mutex> lock(mutex_);
        terminado_.wait(lock, [this] { return pendientes_ == 0; });
    }

    Resultado r = resultado_;
    if (r.indice < 0)
        r.puntuacion = puntuacionUltima_;
    filas_ = nullptr;
    comparar_ = nullptr;
    return r;
}

void BusquedaParalela::trabajar() {
    std::uint64_t vista = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            hayTrabajo_.wait(lock, [&] { return salir_ || generacion_ != vista; });
            if (salir_)
                return;
            vista = generacion_;
        }
        recorrer();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            --pendientes_;
        }
        terminado_.notify_one();
    }
}

void BusquedaParalela::recorrer() {
    const std::vector<Fila>& filas = *filas_;
    const Comparador& comparar = *comparar_;
    const std::size_t n = filas.size();
    for (;;) {
        const std::size_t inicio =
            siguienteBloque_.fetch_add(1, std::memory_order_relaxed) * Bloque;
        if (inicio >= limite_.load(std::memory_order_relaxed))
            return;
        const std::size_t fin = std::min(inicio + Bloque, n);
        for (std::size_t i = inicio; i < fin; ++i) {
            if (i >= limite_.load(std::memory_order_relaxed))
                return;
            int puntuacion = 0;
            const int resultado = comparar(filas[i].datos, filas[i].tamano, puntuacion);
            if (i + 1 == n)
                puntuacionUltima_ = puntuacion;
            if (resultado == 1 || resultado < 0) {
                // Every later entry is out of the question, in this block and in any other.
                decidir(i, resultado, puntuacion);
                return;
            }
        }
    }
}

void BusquedaParalela::decidir(std::size_t indice, int resultado, int puntuacion) {
    {
        std::lock_guard<std::mutex> lock(mutexResultado_);
        if (resultado_.indice < 0 || static_cast<std::size_t>(resultado_.indice) > indice)
            resultado_ = {static_cast<std::ptrdiff_t>(indice), resultado, puntuacion};
    }
    std::size_t actual = limite_.load(std::memory_order_relaxed);
    while (indice < actual &&
           !limite_.compare_exchange_weak(actual, indice, std::memory_order_relaxed)) {
    }
}

} // namespace portiva
