#pragma once

#include <vector>

namespace portiva::fpgen {

class Aleatorio;

// A float image used while an impression is rendered.
struct ImagenFlotante {
    ImagenFlotante() = default;
    ImagenFlotante(int w, int h, float valor = 0.0f)
        : ancho(w), alto(h), datos(static_cast<std::size_t>(w) * h, valor) {}
    float& en(int x, int y) { return datos[static_cast<std::size_t>(y) * ancho + x]; }
    float en(int x, int y) const { return datos[static_cast<std::size_t>(y) * ancho + x]; }

    int ancho = 0, alto = 0;
    std::vector<float> datos;
};

// Gaussian blur of deviation `sigma` pixels (separable, edges replicated); sigma <= 0 leaves
// the image as it is.
void desenfocar(ImagenFlotante& img, double sigma);

// White noise blurred to blobs about `sigma` pixels across, scaled to mean 0 and deviation 1.
ImagenFlotante manchas(Aleatorio& rng, int ancho, int alto, double sigma);

} // namespace portiva::fpgen
