#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace portiva {

// How old a captured image may be when the flow gets to it. A capture that arrives while the
// flow is busy (inside a door pulse, or a message box the operator has not answered) waits;
// one that waited longer than `Vida` no longer stands for a finger at the door and is dropped,
// so a finger presented minutes ago never opens the door now.
class CaducidadHuella {
public:
    using Instante = std::chrono::steady_clock::time_point;
    static constexpr std::chrono::milliseconds Vida{3000};

    Instante Ahora() const { return reloj_ ? reloj_() : std::chrono::steady_clock::now(); }
    // For tests: the monotonic clock the ages are read on.
    void PonerReloj(std::function<Instante()> reloj) { reloj_ = std::move(reloj); }

    // The whole seconds an image that arrived at `llegada` has waited, when that is too long.
    std::optional<long long> Caducada(Instante llegada) const {
        const auto espera = Ahora() - llegada;
        if (espera <= Vida)
            return std::nullopt;
        return std::chrono::duration_cast<std::chrono::seconds>(espera).count();
    }

private:
    std::function<Instante()> reloj_;
};

} // namespace portiva
