#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace portiva {

// The identification walk over the stored templates, spread over a small pool of threads
// with the answer of the plain walk in table order: the first entry whose comparison answers
// a match (1) or an error (negative) decides, and nothing after it counts.
//
// Entries are handed out in ascending blocks. A thread that meets a deciding answer lowers
// the shared limit to its entry; every thread stops at the limit, and since all blocks below
// it were handed out before, every entry in front of the deciding one is still compared. The
// walk ends once no entry below the limit is left, so a match near the front stops it at
// once. The comparison runs on several threads at the same time: it must be thread-safe, and
// it must not call Qt or the database. The calling thread takes part in the walk.
class BusquedaParalela {
public:
    struct Fila {
        const std::uint8_t* datos = nullptr;
        std::size_t tamano = 0;
    };
    // 1 = match, 0 = no match, negative = error; writes the score.
    using Comparador =
        std::function<int(const std::uint8_t* datos, std::size_t tamano, int& puntuacion)>;

    struct Resultado {
        // Index of the deciding entry, -1 when none decided.
        std::ptrdiff_t indice = -1;
        // Its answer (1 or negative), 0 when none decided.
        int resultado = 0;
        // Its score; when none decided, the score of the last entry (0 for no entries): the
        // score the plain walk would leave behind.
        int puntuacion = 0;
    };

    // Entries per block handed to one thread.
    static constexpr std::size_t Bloque = 16;

    // `hilos`: threads that compare, the caller's included; 0 = the hardware's cores.
    explicit BusquedaParalela(unsigned hilos = 0);
    ~BusquedaParalela();
    BusquedaParalela(const BusquedaParalela&) = delete;
    BusquedaParalela& operator=(const BusquedaParalela&) = delete;

    unsigned hilos() const { return static_cast<unsigned>(trabajadores_.size()) + 1; }

    // Not re-entrant: one walk at a time, from one thread.
    Resultado buscar(const std::vector<Fila>& filas, const Comparador& comparar);

private:
    void trabajar();
    void recorrer();
    void decidir(std::size_t indice, int resultado, int puntuacion);

    std::vector<std::thread> trabajadores_;
    std::mutex mutex_;
    std::condition_variable hayTrabajo_;
    std::condition_variable terminado_;
    std::uint64_t generacion_ = 0;
    unsigned pendientes_ = 0;
    bool salir_ = false;

    // The walk under way.
    const std::vector<Fila>* filas_ = nullptr;
    const Comparador* comparar_ = nullptr;
    std::atomic<std::size_t> siguienteBloque_{0};
    std::atomic<std::size_t> limite_{0};
    std::mutex mutexResultado_;
    Resultado resultado_;
    int puntuacionUltima_ = 0;
};

} // namespace portiva
