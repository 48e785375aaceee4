#include "AnalisisImagen.h"

#include <cmath>
#include <complex>
#include <cstdlib>
#include <vector>

namespace portiva::fpgen::prueba {

namespace {

double muestra(const ImagenGris& img, double x, double y) {
    if (x < 0 || y < 0 || x > img.ancho - 1 || y > img.alto - 1)
        return 255.0;
    const int c = std::min(static_cast<int>(x), img.ancho - 2);
    const int f = std::min(static_cast<int>(y), img.alto - 2);
    const double a = x - c, b = y - f;
    auto p = [&](int xx, int yy) {
        return static_cast<double>(img.pixeles[static_cast<std::size_t>(yy) * img.ancho + xx]);
    };
    return (1 - b) * ((1 - a) * p(c, f) + a * p(c + 1, f)) +
           b * ((1 - a) * p(c, f + 1) + a * p(c + 1, f + 1));
}

} // namespace

double correlacion(const ImagenGris& a, const ImagenGris& b, double radio, double grados, double dx,
                   double dy) {
    const double ci = (a.ancho - 1) / 2.0, cj = (a.alto - 1) / 2.0;
    const double t = grados * 3.14159265358979323846 / 180.0;
    const double c = std::cos(t), s = std::sin(t);
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    long n = 0;
    for (int y = 0; y < a.alto; ++y)
        for (int x = 0; x < a.ancho; ++x) {
            const double px = x - ci, py = y - cj;
            if (px * px + py * py > radio * radio)
                continue;
            // Where this point of `a` lies in `b`: turned by `grados` about the centre, then
            // shifted (same convention as the generator: counter-clockwise on screen).
            const double bx = ci + px * c + py * s + dx, by = cj - px * s + py * c + dy;
            const double va = a.pixeles[static_cast<std::size_t>(y) * a.ancho + x];
            const double vb = muestra(b, bx, by);
            sa += va;
            sb += vb;
            saa += va * va;
            sbb += vb * vb;
            sab += va * vb;
            ++n;
        }
    if (n == 0)
        return 0.0;
    const double cov = sab / n - (sa / n) * (sb / n);
    const double va = saa / n - (sa / n) * (sa / n), vb = sbb / n - (sb / n) * (sb / n);
    return va > 0 && vb > 0 ? cov / std::sqrt(va * vb) : 0.0;
}

double diferenciaMedia(const ImagenGris& a, const ImagenGris& b) {
    double suma = 0;
    for (std::size_t i = 0; i < a.pixeles.size() && i < b.pixeles.size(); ++i)
        suma += std::abs(static_cast<int>(a.pixeles[i]) - static_cast<int>(b.pixeles[i]));
    return a.pixeles.empty() ? 0.0 : suma / static_cast<double>(a.pixeles.size());
}

double periodoDominante(const ImagenGris& img, int cx, int cy, int lado, double periodoMax) {
    // Direct Fourier power on a polar grid of periods and 36 directions, with a
    // Hann window; enough for one dominant frequency.
    std::vector<double> v;
    double media = 0;
    for (int y = 0; y < lado; ++y)
        for (int x = 0; x < lado; ++x) {
            const double p = img.pixeles[static_cast<std::size_t>(cy - lado / 2 + y) * img.ancho +
                                         cx - lado / 2 + x];
            v.push_back(p);
            media += p;
        }
    media /= static_cast<double>(v.size());
    const double pi = 3.14159265358979323846;
    for (int y = 0; y < lado; ++y)
        for (int x = 0; x < lado; ++x) {
            const double w = (0.5 - 0.5 * std::cos(2 * pi * x / (lado - 1))) *
                             (0.5 - 0.5 * std::cos(2 * pi * y / (lado - 1)));
            v[static_cast<std::size_t>(y) * lado + x] =
                (v[static_cast<std::size_t>(y) * lado + x] - media) * w;
        }
    double mejor = 0, periodo = 0;
    std::vector<std::complex<double>> fase(static_cast<std::size_t>(lado));
    for (double t = 5.0; t <= periodoMax; t += 0.25)
        for (int k = 0; k < 36; ++k) {
            const double ang = k * pi / 36;
            const double fx = std::cos(ang) / t, fy = std::sin(ang) / t;
            for (int x = 0; x < lado; ++x)
                fase[static_cast<std::size_t>(x)] = std::polar(1.0, 2 * pi * fx * x);
            std::complex<double> total = 0;
            for (int y = 0; y < lado; ++y) {
                std::complex<double> fila = 0;
                for (int x = 0; x < lado; ++x)
                    fila += v[static_cast<std::size_t>(y) * lado + x] *
                            fase[static_cast<std::size_t>(x)];
                total += fila * std::polar(1.0, 2 * pi * fy * y);
            }
            const double potencia = std::norm(total);
            if (potencia > mejor) {
                mejor = potencia;
                periodo = t;
            }
        }
    return periodo;
}

} // namespace portiva::fpgen::prueba
