#include "DetectorMinucias.h"

#include "Esqueleto.h"
#include "Segmentacion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace portiva::motor {

namespace {

constexpr float Pi = std::numbers::pi_v<float>;
constexpr int Dx[8] = {1, 1, 0, -1, -1, -1, 0, 1};
constexpr int Dy[8] = {0, -1, -1, -1, 0, 1, 1, 1};
constexpr int LargoTraza = 24;
constexpr int LargoDireccion = 10;
constexpr int LargoSegmento = 14;

float normalizar(float a) {
    a = std::fmod(a, 2 * Pi);
    return a < 0 ? a + 2 * Pi : a;
}
float diferencia(float a, float b) { // absolute angular distance, 0..pi
    float d = std::fabs(normalizar(a) - normalizar(b));
    return d > Pi ? 2 * Pi - d : d;
}

struct Traza {
    std::vector<std::pair<int, int>> camino;
    int choca = -1; // index of the candidate reached, -1 none
};

struct Candidata {
    int x = 0, y = 0;
    TipoMinucia tipo = TipoMinucia::Terminacion;
    std::vector<Traza> ramas;
    float angulo = 0;
    bool fuera = false;
};

class Trazador {
public:
    Trazador(const Mapa<std::uint8_t>& sk, const Mapa<int>& indice)
        : sk_(sk), indice_(indice), marca_(sk.ancho(), sk.alto(), 0) {}

    std::vector<Traza> ramas(int x, int y, int propia) {
        // One branch per run of neighbours around the pixel.
        const int v = Esqueleto::vecindad(sk_, x, y);
        std::vector<Traza> r;
        if (v == 0xFF)
            return r;
        for (int k = 0; k < 8; ++k) {
            if (!((v >> k) & 1) || ((v >> ((k + 7) & 7)) & 1))
                continue; // not the first of a run
            // The run's pixels, its first side neighbour first. The ridge may leave a run of
            // two from either pixel (a corner at a fork): the other one is tried when the
            // first leads nowhere, or the branch would end one pixel away and its direction
            // would be that of the corner, not of the ridge.
            std::array<int, 8> tramo{};
            int n = 0;
            for (int j = k; (v >> j) & 1;) {
                tramo[static_cast<std::size_t>(n++)] = j;
                j = (j + 1) & 7;
                if (j == k)
                    break;
            }
            for (int i = 0; i < n; ++i)
                if ((tramo[static_cast<std::size_t>(i)] & 1) == 0) {
                    std::swap(tramo[0], tramo[static_cast<std::size_t>(i)]);
                    break;
                }
            Traza mejor = desde(x, y, tramo[0], propia);
            for (int i = 1;
                 i < n && mejor.choca < 0 && static_cast<int>(mejor.camino.size()) < LargoTraza;
                 ++i) {
                Traza t = desde(x, y, tramo[static_cast<std::size_t>(i)], propia);
                if (t.camino.size() > mejor.camino.size())
                    mejor = std::move(t);
            }
            r.push_back(std::move(mejor));
        }
        return r;
    }

private:
    // Follows the ridge that leaves (x, y) through neighbour k, the other neighbours barred.
    Traza desde(int x, int y, int k, int propia) {
        ++sello_;
        marca_(x, y) = sello_;
        for (int j = 0; j < 8; ++j) {
            const int nx = x + Dx[j], ny = y + Dy[j];
            if (j != k && sk_.dentro(nx, ny) && sk_(nx, ny))
                marca_(nx, ny) = sello_;
        }
        return seguir(x + Dx[k], y + Dy[k], propia);
    }

    Traza seguir(int x, int y, int propia) {
        Traza t;
        for (int paso = 0; paso < LargoTraza; ++paso) {
            t.camino.push_back({x, y});
            marca_(x, y) = sello_;
            const int i = indice_(x, y);
            if (i >= 0 && i != propia) {
                t.choca = i;
                break;
            }
            int sx = -1, sy = -1;
            for (int pasada = 0; pasada < 2 && sx < 0; ++pasada)
                for (int k = pasada; k < 8; k += 2) {
                    const int nx = x + Dx[k], ny = y + Dy[k];
                    if (sk_.dentro(nx, ny) && sk_(nx, ny) && marca_(nx, ny) != sello_) {
                        sx = nx;
                        sy = ny;
                        break;
                    }
                }
            if (sx < 0)
                break;
            x = sx;
            y = sy;
        }
        return t;
    }

    const Mapa<std::uint8_t>& sk_;
    const Mapa<int>& indice_;
    Mapa<int> marca_;
    int sello_ = 0;
};

float anguloRama(const Traza& t, int x, int y, int largo) {
    if (t.camino.empty())
        return 0;
    const auto& p = t.camino[static_cast<std::size_t>(
        std::min<int>(largo, static_cast<int>(t.camino.size())) - 1)];
    return normalizar(
        std::atan2(static_cast<float>(p.second - y), static_cast<float>(p.first - x)));
}

// The traced direction is coarse; the orientation field is precise but only modulo pi.
float refinar(float trazado, float campo) {
    const float a = normalizar(campo), b = normalizar(campo + Pi);
    const float elegido = diferencia(a, trazado) < diferencia(b, trazado) ? a : b;
    return diferencia(elegido, trazado) < Pi / 6 ? elegido : trazado;
}

} // namespace

std::vector<MinuciaDetectada> DetectorMinucias::detectar(const Mapa<std::uint8_t>& sk,
                                                         const CampoOrientacion& campo,
                                                         const Mapa<std::uint8_t>& mascara,
                                                         const Mapa<float>& periodo,
                                                         Recuento& recuento) {
    const int w = sk.ancho(), h = sk.alto(), B = campo.bloque;
    const Mapa<std::uint8_t> distancia = Segmentacion::distanciaAlFondo(mascara);
    Mapa<int> indice(w, h, -1);
    std::vector<Candidata> c;
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x) {
            if (!sk(x, y) || !mascara(x / B, y / B))
                continue;
            const int cn = Esqueleto::cruces(Esqueleto::vecindad(sk, x, y));
            if (cn != 1 && cn != 3)
                continue;
            indice(x, y) = static_cast<int>(c.size());
            Candidata k;
            k.x = x;
            k.y = y;
            k.tipo = cn == 1 ? TipoMinucia::Terminacion : TipoMinucia::Bifurcacion;
            c.push_back(std::move(k));
        }
    recuento.candidatas = static_cast<int>(c.size());
    Trazador trazador(sk, indice);
    for (std::size_t i = 0; i < c.size(); ++i) {
        auto& k = c[i];
        k.ramas = trazador.ramas(k.x, k.y, static_cast<int>(i));
        const std::size_t esperadas = k.tipo == TipoMinucia::Terminacion ? 1 : 3;
        if (k.ramas.size() != esperadas) {
            k.fuera = true;
            continue;
        }
        const float campoA = campo.anguloEn(static_cast<float>(k.x), static_cast<float>(k.y));
        if (k.tipo == TipoMinucia::Terminacion) {
            k.angulo = refinar(anguloRama(k.ramas[0], k.x, k.y, LargoDireccion), campoA);
        } else {
            float a[3];
            for (int r = 0; r < 3; ++r)
                a[r] = anguloRama(k.ramas[static_cast<std::size_t>(r)], k.x, k.y, LargoDireccion);
            int tallo = 0;
            float mayor = -1;
            for (int r = 0; r < 3; ++r) {
                const float s = diferencia(a[r], a[(r + 1) % 3]) + diferencia(a[r], a[(r + 2) % 3]);
                if (s > mayor) {
                    mayor = s;
                    tallo = r;
                }
            }
            const float b1 = a[(tallo + 1) % 3], b2 = a[(tallo + 2) % 3];
            const float media =
                std::atan2(std::sin(b1) + std::sin(b2), std::cos(b1) + std::cos(b2));
            k.angulo = refinar(normalizar(media), campoA);
        }
    }

    auto periodoEn = [&](const Candidata& k) { return periodo(k.x / B, k.y / B); };
    // Structural faults found by following the ridges.
    for (std::size_t i = 0; i < c.size(); ++i) {
        auto& k = c[i];
        if (k.fuera)
            continue;
        const float T = periodoEn(k);
        for (const auto& r : k.ramas) {
            if (r.choca < 0)
                continue;
            auto& o = c[static_cast<std::size_t>(r.choca)];
            const auto largo = static_cast<float>(r.camino.size());
            const bool terminacionA = k.tipo == TipoMinucia::Terminacion;
            const bool terminacionB = o.tipo == TipoMinucia::Terminacion;
            const bool espolon = terminacionA != terminacionB && largo <= 1.4f * T;
            const bool cresta = terminacionA && terminacionB && largo <= 2.2f * T;
            const bool puente = !terminacionA && !terminacionB && largo <= 1.4f * T;
            if (espolon || cresta || puente) {
                k.fuera = true;
                o.fuera = true;
            }
        }
    }
    // Border of the print and of the image.
    for (auto& k : c) {
        if (k.fuera)
            continue;
        if (distancia(k.x / B, k.y / B) < 2 || k.x < 8 || k.y < 8 || k.x >= w - 8 || k.y >= h - 8)
            k.fuera = true;
    }
    // Broken ridges: two endings facing each other across a short gap.
    for (std::size_t i = 0; i < c.size(); ++i) {
        auto& a = c[i];
        if (a.fuera || a.tipo != TipoMinucia::Terminacion)
            continue;
        const float T = periodoEn(a);
        for (std::size_t j = i + 1; j < c.size(); ++j) {
            auto& b = c[j];
            if (b.fuera || b.tipo != TipoMinucia::Terminacion)
                continue;
            const float dx = static_cast<float>(b.x - a.x), dy = static_cast<float>(b.y - a.y);
            const float d = std::hypot(dx, dy);
            if (d > 1.8f * T || d < 1e-3f)
                continue;
            const float ab = std::atan2(dy, dx);
            if (diferencia(ab, a.angulo + Pi) < Pi / 5 &&
                diferencia(ab + Pi, b.angulo + Pi) < Pi / 5) {
                a.fuera = true;
                b.fuera = true;
            }
        }
    }
    // Clusters and near-duplicates.
    std::vector<int> vivos;
    for (std::size_t i = 0; i < c.size(); ++i)
        if (!c[i].fuera)
            vivos.push_back(static_cast<int>(i));
    std::vector<bool> quitar(c.size(), false);
    for (int i : vivos) {
        const auto& a = c[static_cast<std::size_t>(i)];
        const float T = periodoEn(a);
        int cerca = 0;
        for (int j : vivos) {
            if (j == i)
                continue;
            const auto& b = c[static_cast<std::size_t>(j)];
            const float d =
                std::hypot(static_cast<float>(b.x - a.x), static_cast<float>(b.y - a.y));
            if (d < 0.5f * T)
                quitar[static_cast<std::size_t>(i)] = quitar[static_cast<std::size_t>(j)] = true;
            if (d < 1.0f * T)
                ++cerca;
        }
        if (cerca >= 2)
            quitar[static_cast<std::size_t>(i)] = true;
    }

    std::vector<MinuciaDetectada> salida;
    for (int i : vivos) {
        if (quitar[static_cast<std::size_t>(i)])
            continue;
        const auto& k = c[static_cast<std::size_t>(i)];
        MinuciaDetectada m;
        m.x = static_cast<float>(k.x);
        m.y = static_cast<float>(k.y);
        m.angulo = k.angulo;
        m.tipo = k.tipo;
        const int bx = k.x / B, by = k.y / B;
        m.calidad = std::clamp(campo.coherencia(bx, by) * std::min(1.0f, distancia(bx, by) / 4.0f),
                               0.0f, 1.0f);
        for (std::size_t r = 0; r < k.ramas.size() && r < 3; ++r) {
            const auto& cam = k.ramas[r].camino;
            if (cam.empty())
                continue;
            const auto& p = cam[std::min<std::size_t>(cam.size(), LargoSegmento) - 1];
            m.segmentos[2 * r] = static_cast<std::int8_t>(std::clamp(p.first - k.x, -127, 127));
            m.segmentos[2 * r + 1] =
                static_cast<std::int8_t>(std::clamp(p.second - k.y, -127, 127));
        }
        salida.push_back(m);
    }
    recuento.conservadas = static_cast<int>(salida.size());
    return salida;
}

} // namespace portiva::motor
