#pragma once

#include <cstddef>
#include <vector>

namespace portiva::motor {

// A small row-major 2-D array used by every stage of the extraction.
template <typename T> class Mapa {
public:
    Mapa() = default;
    Mapa(int ancho, int alto, T valor = T{})
        : ancho_(ancho), alto_(alto),
          v_(static_cast<std::size_t>(ancho) * static_cast<std::size_t>(alto), valor) {}

    int ancho() const { return ancho_; }
    int alto() const { return alto_; }
    bool dentro(int x, int y) const { return x >= 0 && y >= 0 && x < ancho_ && y < alto_; }
    T& operator()(int x, int y) { return v_[indice(x, y)]; }
    const T& operator()(int x, int y) const { return v_[indice(x, y)]; }
    T* datos() { return v_.data(); }
    const T* datos() const { return v_.data(); }
    std::size_t tamano() const { return v_.size(); }
    void llenar(T valor) { v_.assign(v_.size(), valor); }

private:
    std::size_t indice(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(ancho_) +
               static_cast<std::size_t>(x);
    }
    int ancho_ = 0;
    int alto_ = 0;
    std::vector<T> v_;
};

} // namespace portiva::motor
