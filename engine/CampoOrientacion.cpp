#include "CampoOrientacion.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace portiva::motor {

namespace {

// The grey image blurred before its gradients are taken (pixels at 500 dpi): a pixel-sized
// Gaussian leaves ridges 6-12 px apart as they are and takes out the pixel noise and the sensor's
// pixel pattern, whose gradients point every way and would drown the ridges' in a noisy or
// faint print.
constexpr float SigmaGradiente = 1.0f;

Mapa<float> desenfocada(const Mapa<float>& g, float sigma) {
    const int w = g.ancho(), h = g.alto();
    const int r = std::max(1, static_cast<int>(std::ceil(2.5f * sigma)));
    std::vector<float> k(static_cast<std::size_t>(2 * r + 1));
    float total = 0;
    for (int i = -r; i <= r; ++i)
        total += k[static_cast<std::size_t>(i + r)] = std::exp(-0.5f * i * i / (sigma * sigma));
    for (float& v : k)
        v /= total;
    // Separable, the edge pixel repeated beyond the border: each row and column is copied with
    // that margin, so the inner loops run without a bound check.
    Mapa<float> filas(w, h), salida(w, h);
    std::vector<float> linea(static_cast<std::size_t>(std::max(w, h) + 2 * r));
    auto pasar = [&](int largo, auto leer, auto escribir) {
        for (int i = -r; i < largo + r; ++i)
            linea[static_cast<std::size_t>(i + r)] = leer(std::clamp(i, 0, largo - 1));
        for (int i = 0; i < largo; ++i) {
            float s = 0;
            for (int t = 0; t <= 2 * r; ++t)
                s += k[static_cast<std::size_t>(t)] * linea[static_cast<std::size_t>(i + t)];
            escribir(i, s);
        }
    };
    for (int y = 0; y < h; ++y)
        pasar(
            w, [&](int x) { return g(x, y); }, [&](int x, float v) { filas(x, y) = v; });
    for (int x = 0; x < w; ++x)
        pasar(
            h, [&](int y) { return filas(x, y); }, [&](int y, float v) { salida(x, y) = v; });
    return salida;
}

} // namespace

CampoOrientacion CampoOrientacion::calcular(const Mapa<float>& gris, int bloque) {
    const Mapa<float> g = desenfocada(gris, SigmaGradiente);
    const int w = g.ancho(), h = g.alto();
    const int bw = (w + bloque - 1) / bloque, bh = (h + bloque - 1) / bloque;
    CampoOrientacion c;
    c.bloque = bloque;
    c.vx = Mapa<float>(bw, bh);
    c.vy = Mapa<float>(bw, bh);
    c.energia = Mapa<float>(bw, bh);
    // The squared tensor, every gradient counted by its energy, is what the segmentation judges
    // a block by: strong oriented gradients are ridges, faint ones background.
    Mapa<float> txx(bw, bh), txy(bw, bh), tee(bw, bh);
    Mapa<float> suma(bw, bh), suma2(bw, bh), cuenta(bw, bh);
    for (int y = 0; y < h; ++y) {
        const int ym = std::max(0, y - 1), yp = std::min(h - 1, y + 1);
        for (int x = 0; x < w; ++x) {
            const int xm = std::max(0, x - 1), xp = std::min(w - 1, x + 1);
            const float gx =
                (g(xp, ym) + 2 * g(xp, y) + g(xp, yp)) - (g(xm, ym) + 2 * g(xm, y) + g(xm, yp));
            const float gy =
                (g(xm, yp) + 2 * g(x, yp) + g(xp, yp)) - (g(xm, ym) + 2 * g(x, ym) + g(xp, ym));
            const int bx = x / bloque, by = y / bloque;
            const float e = gx * gx + gy * gy;
            txx(bx, by) += gx * gx - gy * gy;
            txy(bx, by) += 2 * gx * gy;
            tee(bx, by) += e;
            // The flow counts every pixel's gradient by its length, not by its square: the
            // steep edges of a crease, a scar or a smudge then weigh as much as a ridge's
            // flank of the same length instead of many times more, and no longer turn the
            // ridges' direction round them.
            if (e > 0) {
                const float inversa = 1.0f / std::sqrt(e);
                c.vx(bx, by) += (gx * gx - gy * gy) * inversa;
                c.vy(bx, by) += 2 * gx * gy * inversa;
                c.energia(bx, by) += e * inversa;
            }
            const float v = gris(x, y); // the contrast is the image's own
            suma(bx, by) += v;
            suma2(bx, by) += v * v;
            cuenta(bx, by) += 1;
        }
    }
    // Neighbourhood measures (3x3 blocks) for the segmentation.
    c.contraste = Mapa<float>(bw, bh);
    c.anisotropia = Mapa<float>(bw, bh);
    c.coherenciaLocal = Mapa<float>(bw, bh);
    for (int by = 0; by < bh; ++by)
        for (int bx = 0; bx < bw; ++bx) {
            double s = 0, s2 = 0, n = 0, ax = 0, ay = 0, ae = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int x = bx + dx, y = by + dy;
                    if (!suma.dentro(x, y))
                        continue;
                    s += suma(x, y);
                    s2 += suma2(x, y);
                    n += cuenta(x, y);
                    ax += txx(x, y);
                    ay += txy(x, y);
                    ae += tee(x, y);
                }
            const double media = s / n;
            c.contraste(bx, by) =
                static_cast<float>(std::sqrt(std::max(0.0, s2 / n - media * media)));
            c.anisotropia(bx, by) = static_cast<float>(std::sqrt(std::hypot(ax, ay) / n));
            c.coherenciaLocal(bx, by) = ae > 0 ? static_cast<float>(std::hypot(ax, ay) / ae) : 0.0f;
        }
    return c;
}

void CampoOrientacion::suavizar(const Mapa<std::uint8_t>& mascara, float sigma) {
    const int bw = vx.ancho(), bh = vx.alto();
    const int r = std::max(1, static_cast<int>(std::ceil(2.5f * sigma)));
    std::vector<float> k(static_cast<std::size_t>(2 * r + 1));
    for (int i = -r; i <= r; ++i)
        k[static_cast<std::size_t>(i + r)] = std::exp(-0.5f * i * i / (sigma * sigma));
    // Separable Gaussian over the masked tensor sums.
    Mapa<float> ax(bw, bh), ay(bw, bh), ae(bw, bh);
    for (int y = 0; y < bh; ++y)
        for (int x = 0; x < bw; ++x) {
            float sx = 0, sy = 0, se = 0;
            for (int i = -r; i <= r; ++i) {
                const int xx = x + i;
                if (xx < 0 || xx >= bw || !mascara(xx, y))
                    continue;
                const float kk = k[static_cast<std::size_t>(i + r)];
                sx += kk * vx(xx, y);
                sy += kk * vy(xx, y);
                se += kk * energia(xx, y);
            }
            ax(x, y) = sx;
            ay(x, y) = sy;
            ae(x, y) = se;
        }
    angulo = Mapa<float>(bw, bh);
    coherencia = Mapa<float>(bw, bh);
    for (int y = 0; y < bh; ++y)
        for (int x = 0; x < bw; ++x) {
            float sx = 0, sy = 0, se = 0;
            for (int i = -r; i <= r; ++i) {
                const int yy = y + i;
                if (yy < 0 || yy >= bh)
                    continue;
                const float kk = k[static_cast<std::size_t>(i + r)];
                sx += kk * ax(x, yy);
                sy += kk * ay(x, yy);
                se += kk * ae(x, yy);
            }
            // The gradient direction is at half the doubled angle; ridges run across it.
            float a = 0.5f * std::atan2(sy, sx) + std::numbers::pi_v<float> / 2;
            if (a >= std::numbers::pi_v<float>)
                a -= std::numbers::pi_v<float>;
            if (a < 0)
                a += std::numbers::pi_v<float>;
            angulo(x, y) = a;
            coherencia(x, y) = se > 0 ? std::hypot(sx, sy) / se : 0.0f;
        }
}

float CampoOrientacion::anguloEn(float x, float y) const {
    const float fx = x / bloque - 0.5f, fy = y / bloque - 0.5f;
    const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
    const float tx = fx - x0, ty = fy - y0;
    float sx = 0, sy = 0;
    for (int j = 0; j <= 1; ++j)
        for (int i = 0; i <= 1; ++i) {
            const int bx = std::clamp(x0 + i, 0, angulo.ancho() - 1);
            const int by = std::clamp(y0 + j, 0, angulo.alto() - 1);
            const float wgt = (i ? tx : 1 - tx) * (j ? ty : 1 - ty) * (0.05f + coherencia(bx, by));
            sx += wgt * std::cos(2 * angulo(bx, by));
            sy += wgt * std::sin(2 * angulo(bx, by));
        }
    float a = 0.5f * std::atan2(sy, sx);
    if (a < 0)
        a += std::numbers::pi_v<float>;
    return a;
}

} // namespace portiva::motor
