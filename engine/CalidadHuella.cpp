#include "CalidadHuella.h"

#include "CodigosMotor.h"

#include <algorithm>
#include <cmath>

namespace portiva::motor {

int CalidadHuella::puntuacion(const Mapa<std::uint8_t>& mascara, const Mapa<float>& coherencia,
                              int bloque, int candidatas, int conservadas) {
    int bloques = 0;
    double sumaCoherencia = 0;
    for (int y = 0; y < mascara.alto(); ++y)
        for (int x = 0; x < mascara.ancho(); ++x)
            if (mascara(x, y)) {
                ++bloques;
                sumaCoherencia += coherencia(x, y);
            }
    if (bloques == 0)
        return 0;
    const double area = static_cast<double>(bloques) * bloque * bloque; // pixels at 500 dpi
    // Full marks from what a small sensor shows (about 13 x 13 mm at 500 dpi).
    const double fArea = std::clamp(area / 70000.0, 0.0, 1.0);
    // The mean coherence of the flow over the print, no marks at 0.33 and full marks from 0.88:
    // set so that on real prints "low" marks the prints that fail most often.
    const double fFlujo = std::clamp((sumaCoherencia / bloques - 0.33) / 0.55, 0.0, 1.0);
    const double fMinucias = std::clamp(conservadas / 50.0, 0.0, 1.0);
    const double limpieza = candidatas > 0 ? static_cast<double>(conservadas) / candidatas : 0.0;
    const double fLimpieza = std::clamp(limpieza / 0.5, 0.0, 1.0);
    const double q = 100.0 * (0.45 * fFlujo + 0.25 * fArea + 0.15 * fMinucias + 0.15 * fLimpieza);
    return static_cast<int>(std::lround(std::clamp(q, 0.0, 100.0)));
}

int CalidadHuella::clase(int p) {
    if (p >= 75)
        return CalidadAlta;
    if (p >= 50)
        return CalidadMedia;
    return CalidadBaja;
}

} // namespace portiva::motor
