#include "ImagenFlotante.h"

#include "Aleatorio.h"
#include "Matematica.h"

#include <algorithm>
#include <cmath>

namespace portiva::fpgen {

void desenfocar(ImagenFlotante& img, double sigma) {
    if (sigma <= 0.0 || img.datos.empty())
        return;
    const int r = std::max(1, static_cast<int>(std::ceil(3.0 * sigma)));
    std::vector<float> k(2 * r + 1);
    double suma = 0;
    for (int i = -r; i <= r; ++i) {
        const double w = mat::exp(-(i * i) / (2 * sigma * sigma));
        k[i + r] = static_cast<float>(w);
        suma += w;
    }
    for (float& w : k)
        w = static_cast<float>(w / suma);

    const int w = img.ancho, h = img.alto;
    std::vector<float> fila(static_cast<std::size_t>(std::max(w, h)) + 2 * r);
    for (int y = 0; y < h; ++y) {
        for (int x = -r; x < w + r; ++x)
            fila[x + r] = img.en(std::clamp(x, 0, w - 1), y);
        for (int x = 0; x < w; ++x) {
            float acc = 0;
            for (int i = 0; i <= 2 * r; ++i)
                acc += k[i] * fila[x + i];
            img.en(x, y) = acc;
        }
    }
    for (int x = 0; x < w; ++x) {
        for (int y = -r; y < h + r; ++y)
            fila[y + r] = img.en(x, std::clamp(y, 0, h - 1));
        for (int y = 0; y < h; ++y) {
            float acc = 0;
            for (int i = 0; i <= 2 * r; ++i)
                acc += k[i] * fila[y + i];
            img.en(x, y) = acc;
        }
    }
}

ImagenFlotante manchas(Aleatorio& rng, int ancho, int alto, double sigma) {
    ImagenFlotante img(ancho, alto);
    for (float& v : img.datos)
        v = static_cast<float>(rng.uniforme() - 0.5);
    desenfocar(img, sigma);
    double suma = 0, suma2 = 0;
    for (float v : img.datos) {
        suma += v;
        suma2 += static_cast<double>(v) * v;
    }
    const double n = static_cast<double>(std::max<std::size_t>(1, img.datos.size()));
    const double media = suma / n;
    const double varianza = suma2 / n - media * media;
    const double escala = varianza > 1e-20 ? 1.0 / std::sqrt(varianza) : 0.0;
    for (float& v : img.datos)
        v = static_cast<float>((v - media) * escala);
    return img;
}

} // namespace portiva::fpgen
