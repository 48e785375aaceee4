#include "CampoSuave.h"

#include "Aleatorio.h"
#include "Matematica.h"

#include <algorithm>
#include <cmath>

namespace portiva::fpgen {

CampoSuave::CampoSuave(Aleatorio& rng, int ancho, int alto, double longitudMin, double longitudMax,
                       int ondas, int paso)
    : columnas_(ancho / paso + 2), filas_(alto / paso + 2), paso_(paso),
      tabla_(static_cast<std::size_t>(columnas_) * filas_, 0.0f) {
    struct Onda {
        double kx, ky, fase;
    };
    std::vector<Onda> lista;
    for (int i = 0; i < ondas; ++i) {
        const double angulo = rng.uniforme(0, 2 * mat::pi);
        const double longitud = rng.uniforme(longitudMin, longitudMax);
        const double k = 2 * mat::pi / longitud;
        lista.push_back({k * mat::cos(angulo), k * mat::sin(angulo), rng.uniforme(0, 2 * mat::pi)});
    }
    const double amplitud = std::sqrt(2.0 / std::max(1, ondas));
    for (int f = 0; f < filas_; ++f)
        for (int c = 0; c < columnas_; ++c) {
            const double x = c * paso_, y = f * paso_;
            double v = 0;
            for (const auto& o : lista)
                v += mat::cos(o.kx * x + o.ky * y + o.fase);
            tabla_[static_cast<std::size_t>(f) * columnas_ + c] = static_cast<float>(v * amplitud);
        }
}

double CampoSuave::valor(double x, double y) const {
    if (tabla_.empty())
        return 0.0;
    const double u = std::clamp(x / paso_, 0.0, columnas_ - 1.001);
    const double v = std::clamp(y / paso_, 0.0, filas_ - 1.001);
    const int c = static_cast<int>(u), f = static_cast<int>(v);
    const double a = u - c, b = v - f;
    const float* p = &tabla_[static_cast<std::size_t>(f) * columnas_ + c];
    return (1 - b) * ((1 - a) * p[0] + a * p[1]) +
           b * ((1 - a) * p[columnas_] + a * p[columnas_ + 1]);
}

} // namespace portiva::fpgen
