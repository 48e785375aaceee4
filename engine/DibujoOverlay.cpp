#include "DibujoOverlay.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace portiva::motor {

namespace {

constexpr float Pi = std::numbers::pi_v<float>;

class Lienzo {
public:
    explicit Lienzo(ImagenRGB& img) : img_(img) {}

    void punto(int x, int y, int color) {
        if (x < 0 || y < 0 || x >= img_.ancho || y >= img_.alto)
            return;
        auto* p = img_.bytes.data() + (static_cast<std::size_t>(y) * img_.ancho + x) * 3;
        p[0] = static_cast<std::uint8_t>(color & 0xFF);
        p[1] = static_cast<std::uint8_t>((color >> 8) & 0xFF);
        p[2] = static_cast<std::uint8_t>((color >> 16) & 0xFF);
    }
    void linea(float x0f, float y0f, float x1f, float y1f, int color) {
        int x0 = static_cast<int>(std::lround(x0f)), y0 = static_cast<int>(std::lround(y0f));
        const int x1 = static_cast<int>(std::lround(x1f)), y1 = static_cast<int>(std::lround(y1f));
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (int guard = 0; guard < 100000; ++guard) {
            punto(x0, y0, color);
            if (x0 == x1 && y0 == y1)
                break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    void circulo(float cx, float cy, float r, int color) {
        const int pasos = std::max(12, static_cast<int>(r * 8));
        for (int k = 0; k < pasos; ++k) {
            const float a = 2 * Pi * static_cast<float>(k) / static_cast<float>(pasos);
            punto(static_cast<int>(std::lround(cx + r * std::cos(a))),
                  static_cast<int>(std::lround(cy + r * std::sin(a))), color);
        }
    }
    void cuadrado(float cx, float cy, float r, int color) {
        linea(cx - r, cy - r, cx + r, cy - r, color);
        linea(cx + r, cy - r, cx + r, cy + r, color);
        linea(cx + r, cy + r, cx - r, cy + r, color);
        linea(cx - r, cy + r, cx - r, cy - r, color);
    }

private:
    ImagenRGB& img_;
};

bool dibujable(int color) {
    return color != DibujoOverlay::NoDibujar;
}

} // namespace

ImagenRGB DibujoOverlay::gris(const std::uint8_t* imagen, int ancho, int alto) {
    ImagenRGB r;
    r.ancho = ancho;
    r.alto = alto;
    r.bytes.resize(static_cast<std::size_t>(ancho) * static_cast<std::size_t>(alto) * 3);
    for (std::size_t i = 0; i < static_cast<std::size_t>(ancho) * static_cast<std::size_t>(alto);
         ++i)
        r.bytes[3 * i] = r.bytes[3 * i + 1] = r.bytes[3 * i + 2] = imagen[i];
    return r;
}

ImagenRGB DibujoOverlay::biometrico(const DatosPlantilla& d, const std::uint8_t* imagen, int ancho,
                                    int alto, int resolucion, const std::array<int, 6>& colores,
                                    const DetalleComparacion* comp) {
    ImagenRGB r = gris(imagen, ancho, alto);
    Lienzo l(r);
    const float f = static_cast<float>(resolucion) / 500.0f; // template pixels to image pixels
    const int cMin = colores[0], cMinOk = colores[1], cSeg = colores[2], cSegOk = colores[3],
              cDir = colores[4], cDirOk = colores[5];

    std::vector<bool> emparejada(d.minucias.size(), false);
    if (comp != nullptr)
        for (const auto& [i, j] : comp->pares)
            if (i >= 0 && static_cast<std::size_t>(i) < emparejada.size())
                emparejada[static_cast<std::size_t>(i)] = true;

    // Directions: one short line per cell of the stored orientation.
    const float cr = comp ? std::cos(comp->rotacion) : 1.0f,
                sr = comp ? std::sin(comp->rotacion) : 0.0f;
    for (int gy = 0; gy < d.gh; ++gy)
        for (int gx = 0; gx < d.gw; ++gx) {
            const std::uint8_t o = d.orientacion[static_cast<std::size_t>(gy * d.gw + gx)];
            if (o >= 180)
                continue;
            const float cx = (static_cast<float>(gx) + 0.5f) * static_cast<float>(d.bloque);
            const float cy = (static_cast<float>(gy) + 0.5f) * static_cast<float>(d.bloque);
            bool coincide = false;
            if (comp != nullptr && comp->bloque > 0) {
                // The same spot in the other print, through the inverse of the alignment.
                const float dx = cx - comp->dx, dy = cy - comp->dy;
                const float ox = cr * dx + sr * dy, oy = -sr * dx + cr * dy;
                const int ix = static_cast<int>(std::floor(ox / static_cast<float>(comp->bloque)));
                const int iy = static_cast<int>(std::floor(oy / static_cast<float>(comp->bloque)));
                if (ix >= 0 && iy >= 0 && ix < comp->gw && iy < comp->gh &&
                    static_cast<std::size_t>(iy * comp->gw + ix) <
                        comp->orientacionGuardada.size()) {
                    const int og =
                        comp->orientacionGuardada[static_cast<std::size_t>(iy * comp->gw + ix)];
                    if (og < 180) {
                        const float girada = static_cast<float>(og) + comp->rotacion * 180.0f / Pi;
                        float dif = std::fmod(std::fabs(girada - static_cast<float>(o)), 180.0f);
                        dif = std::min(dif, 180.0f - dif);
                        coincide = dif < 20.0f;
                    }
                }
            }
            const int color = coincide ? cDirOk : cDir;
            if (!dibujable(color))
                continue;
            const float a = static_cast<float>(o) * Pi / 180.0f;
            const float h = 0.35f * static_cast<float>(d.bloque);
            l.linea(f * (cx - h * std::cos(a)), f * (cy - h * std::sin(a)),
                    f * (cx + h * std::cos(a)), f * (cy + h * std::sin(a)), color);
        }
    // Segments, then minutiae on top; matched ones last so they stay visible.
    for (int pasada = 0; pasada < 2; ++pasada)
        for (std::size_t i = 0; i < d.minucias.size(); ++i) {
            if (emparejada[i] != (pasada == 1))
                continue;
            const auto& m = d.minucias[i];
            const float x = static_cast<float>(m.x), y = static_cast<float>(m.y);
            const int colorSeg = emparejada[i] ? cSegOk : cSeg;
            if (dibujable(colorSeg) && i < d.segmentos.size())
                for (int k = 0; k < 3; ++k) {
                    const int sx = d.segmentos[i][static_cast<std::size_t>(2 * k)];
                    const int sy = d.segmentos[i][static_cast<std::size_t>(2 * k + 1)];
                    if (sx != 0 || sy != 0)
                        l.linea(f * x, f * y, f * (x + static_cast<float>(sx)),
                                f * (y + static_cast<float>(sy)), colorSeg);
                }
            const int colorMin = emparejada[i] ? cMinOk : cMin;
            if (!dibujable(colorMin))
                continue;
            const float a = static_cast<float>(m.angulo) * 2 * Pi / 256.0f;
            const float rad = 4.0f * std::max(1.0f, f);
            if (m.tipo == TipoMinucia::Terminacion)
                l.circulo(f * x, f * y, rad, colorMin);
            else
                l.cuadrado(f * x, f * y, rad, colorMin);
            l.linea(f * x, f * y, f * x + 3 * rad * std::cos(a), f * y + 3 * rad * std::sin(a),
                    colorMin);
        }
    return r;
}

} // namespace portiva::motor
