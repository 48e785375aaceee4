#include "BancoGabor.h"

#include "Matematica.h"

#include <algorithm>
#include <cmath>

namespace portiva::fpgen {

BancoGabor::BancoGabor()
    : datos_(static_cast<std::size_t>(orientaciones) * periodos * lado * paso, 0.0f) {
    std::vector<double> envolvente(lado * lado), onda(lado * lado);
    for (int io = 0; io < orientaciones; ++io) {
        const double angulo = io * mat::pi / orientaciones;
        const double c = mat::cos(angulo), s = mat::sin(angulo);
        for (int ip = 0; ip < periodos; ++ip) {
            const double periodo = periodoMin + ip * pasoPeriodo;
            // Narrow across the ridges (selects the period), longer along them (keeps ridges
            // continuous); a smooth round window avoids a square footprint.
            const double sigmaNormal = 0.42 * periodo, sigmaAlong = 0.55 * periodo;
            double sumaEnv = 0, sumaProd = 0;
            for (int dy = -radio; dy <= radio; ++dy)
                for (int dx = -radio; dx <= radio; ++dx) {
                    // Screen y points down: the ridge direction is (c, -s), its normal (s, c).
                    const double a = dx * c - dy * s;
                    const double b = dx * s + dy * c;
                    const double r2 = (dx * dx + dy * dy) / ((radio + 0.5) * (radio + 0.5));
                    const double ventana = r2 < 1 ? (1 - r2) * (1 - r2) : 0.0;
                    const double e = ventana * mat::exp(-a * a / (2 * sigmaAlong * sigmaAlong) -
                                                        b * b / (2 * sigmaNormal * sigmaNormal));
                    const double w = mat::cos(2 * mat::pi * b / periodo);
                    const int k = (dy + radio) * lado + dx + radio;
                    envolvente[k] = e;
                    onda[k] = e * w;
                    sumaEnv += e;
                    sumaProd += e * w;
                }
            // Remove the mean so flat areas give nothing, then scale to unit gain.
            const double media = sumaProd / sumaEnv;
            double ganancia = 0;
            for (int dy = -radio; dy <= radio; ++dy)
                for (int dx = -radio; dx <= radio; ++dx) {
                    const int k = (dy + radio) * lado + dx + radio;
                    onda[k] -= media * envolvente[k];
                    const double b = dx * s + dy * c;
                    ganancia += onda[k] * mat::cos(2 * mat::pi * b / periodo);
                }
            float* destino = &datos_[(static_cast<std::size_t>(io) * periodos + ip) * lado * paso];
            for (int fila = 0; fila < lado; ++fila)
                for (int col = 0; col < lado; ++col)
                    destino[fila * paso + col] =
                        static_cast<float>(onda[fila * lado + col] / ganancia);
        }
    }
}

std::uint16_t BancoGabor::indice(double angulo, double periodo) const {
    int io = static_cast<int>(std::nearbyint(angulo * orientaciones / mat::pi)) % orientaciones;
    if (io < 0)
        io += orientaciones;
    const int ip = std::clamp(
        static_cast<int>(std::nearbyint((periodo - periodoMin) / pasoPeriodo)), 0, periodos - 1);
    return static_cast<std::uint16_t>(io * periodos + ip);
}

} // namespace portiva::fpgen
