#include "Emparejador.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

namespace portiva::motor {

namespace {

constexpr float RadPorUnidad = 2 * std::numbers::pi_v<float> / 256.0f;
constexpr float DistanciaBase = 8.0f;
constexpr float DistanciaPorPixel = 0.05f;
constexpr float DistanciaMaxima = 18.0f;
// An ending paired with a bifurcation: a minutia seen as the other kind happens between two
// impressions of one finger, but far less often than among chance neighbours.
constexpr float PesoTipoDistinto = 0.8f;
// A pair weighs from this much for unlike neighbourhoods to whole for like ones. A finger's
// pairs on a small overlap have neighbourhoods that reach past it, so theirs agree less than
// the minutiae do.
constexpr float PesoSimilitudMinimo = 0.4f;

} // namespace

Transformacion hacia(float rot, float qx, float qy, float gx, float gy) {
    Transformacion t;
    t.rot = rot;
    t.c = std::cos(rot);
    t.s = std::sin(rot);
    t.tx = qx - (t.c * gx - t.s * gy);
    t.ty = qy - (t.s * gx + t.c * gy);
    t.ax = qx;
    t.ay = qy;
    t.rotUnidades = static_cast<int>(std::lround(rot / RadPorUnidad));
    return t;
}

Emparejador::Emparejador(const RejillaMinucias& q, const std::uint8_t* tipoQ,
                         const std::uint64_t* celdasQ, const std::uint64_t* validasQ,
                         const alineacion::Guardada& g, const std::uint8_t* cilindrosG)
    : q_(q), tipoQ_(tipoQ), celdasQ_(celdasQ), validasQ_(validasQ), g_(g), cilindrosG_(cilindrosG) {
    ultimaJ_.fill(-1);
}

float Emparejador::similitud(int i, int j) {
    const auto ui = static_cast<std::size_t>(i);
    if (ultimaJ_[ui] == j)
        return ultimaSim_[ui];
    std::uint64_t cg[PalabrasCilindro], vg[PalabrasCilindro];
    std::memcpy(cg, cilindrosG_ + 64 * j, 32);
    std::memcpy(vg, cilindrosG_ + 64 * j + 32, 32);
    ultimaJ_[ui] = j;
    return ultimaSim_[ui] = std::max(0.0f, alineacion::similitudDescriptores(
                                               celdasQ_ + 4 * i, validasQ_ + 4 * i, cg, vg));
}

void Emparejador::emparejar(const Transformacion& tr, Emparejado& e, const float* derivaX,
                            const float* derivaY) {
    // Plain pointers for the loops below, so the compiler keeps them in registers.
    const float* const qx = q_.x();
    const float* const qy = q_.y();
    const std::uint8_t* const qa = q_.angulo();
    const int* const inicio = q_.inicio();
    const int* const indice = q_.indice();
    const int rw = q_.columnas();
    int nc = 0;
    for (int j = 0; j < g_.n; ++j) {
        const float gx = g_.x[static_cast<std::size_t>(j)], gy = g_.y[static_cast<std::size_t>(j)];
        float px = tr.c * gx - tr.s * gy + tr.tx;
        float py = tr.s * gx + tr.c * gy + tr.ty;
        if (derivaX != nullptr) {
            px += derivaX[j];
            py += derivaY[j];
        }
        const float rx = px - tr.ax, ry = py - tr.ay;
        const float tol = std::min(
            DistanciaMaxima, DistanciaBase + DistanciaPorPixel * std::sqrt(rx * rx + ry * ry));
        RejillaMinucias::Rango celdas;
        if (!q_.celdasCerca(px, py, tol, celdas))
            continue; // outside the query's frame
        const float tol2 = tol * tol;
        const auto ag =
            static_cast<std::uint8_t>(g_.angulo[static_cast<std::size_t>(j)] + tr.rotUnidades);
        // Cells of one row are consecutive: one run of minutiae per row.
        for (int cy = celdas.y0; cy <= celdas.y1; ++cy) {
            const int desde = inicio[cy * rw + celdas.x0];
            const int hasta = inicio[cy * rw + celdas.x1 + 1];
            for (int k = desde; k < hasta; ++k) {
                const auto uk = static_cast<std::size_t>(k);
                const int da = std::abs(static_cast<int>(
                    static_cast<std::int8_t>(static_cast<std::uint8_t>(ag - qa[uk]))));
                if (da > AnguloParUnidades)
                    continue;
                const float ex = qx[uk] - px;
                const float ey = qy[uk] - py;
                const float d2 = ex * ex + ey * ey;
                if (d2 > tol2 || nc >= static_cast<int>(cand_.size()))
                    continue;
                const float d = std::sqrt(d2);
                cand_[static_cast<std::size_t>(nc++)] = {
                    d / tol + static_cast<float>(da) / AnguloParUnidades, 1.0f - d2 / tol2,
                    static_cast<std::uint8_t>(indice[uk]), static_cast<std::uint8_t>(j)};
            }
        }
    }
    // Cheapest first, ties in the order found: the cost's bits (a float >= 0 orders like
    // its bits) above the candidate's position, sorted as plain integers.
    std::array<std::uint64_t, 4 * MaxMinucias> orden;
    for (int k = 0; k < nc; ++k)
        orden[static_cast<std::size_t>(k)] =
            static_cast<std::uint64_t>(
                std::bit_cast<std::uint32_t>(cand_[static_cast<std::size_t>(k)].coste))
                << 32 |
            static_cast<std::uint32_t>(k);
    std::sort(orden.begin(), orden.begin() + nc);
    std::array<bool, MaxMinucias> usadaQ{}, usadaG{};
    e.n = 0;
    e.peso = 0;
    for (int k = 0; k < nc; ++k) {
        const auto& c =
            cand_[static_cast<std::size_t>(orden[static_cast<std::size_t>(k)] & 0xFFFFFFFFu)];
        if (usadaQ[c.i] || usadaG[c.j])
            continue;
        usadaQ[c.i] = usadaG[c.j] = true;
        e.cercania[static_cast<std::size_t>(e.n)] = c.cercania;
        e.pares[static_cast<std::size_t>(e.n++)] = {c.i, c.j};
    }
    // Pairs weigh by how alike their neighbourhoods are, how close they land and whether
    // they are of one kind.
    for (int k = 0; k < e.n; ++k) {
        const auto uk = static_cast<std::size_t>(k);
        const auto [qi, gj] = e.pares[uk];
        e.pesoPar[uk] = (PesoSimilitudMinimo + (1 - PesoSimilitudMinimo) * similitud(qi, gj)) *
                        e.cercania[uk] * (tipoQ_[qi] == g_.tipo[gj] ? 1.0f : PesoTipoDistinto);
        e.peso += e.pesoPar[uk];
    }
}

} // namespace portiva::motor
