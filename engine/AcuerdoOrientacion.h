#pragma once

#include "NucleoProcesador.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace portiva::motor {

// The ridge orientation kept in a template: one direction per square cell, degrees 0..179,
// 255 where the print shows no ridges.
struct RejillaOrientacion {
    const std::uint8_t* celdas = nullptr;
    int lado = 16, ancho = 0, alto = 0;
};

// A rigid placement of the stored print on the query: query = R(rot) * stored + (tx, ty), with
// c and s the cosine and sine of rot.
struct Colocacion {
    float rot = 0, c = 1, s = 0, tx = 0, ty = 0;
    static Colocacion de(float rot, float tx, float ty) {
        return {rot, std::cos(rot), std::sin(rot), tx, ty};
    }
};

struct AcuerdoFlujo {
    float media = 0; // mean of cos(2 * difference) over the cells both prints show
    int celdasComunes = 0;
};

// A cell of the query that shows ridges: its centre and direction (degrees 0..179).
struct CeldaFlujo {
    float x, y;
    int orientacion;
};
std::vector<CeldaFlujo> celdasConCrestas(const RejillaOrientacion& r);

// How well the ridge flow of two aligned prints agrees where they overlap: 1 when the ridges
// run the same way everywhere, about 0 for unrelated flow, -1 when crossing at right angles.
// The query's cells with ridges, one in two as on a chessboard, are looked up at their centres
// in the stored print.
// The query's cells are listed once (celdasConCrestas), as a prepared query keeps them.
AcuerdoFlujo acuerdoOrientacion(const std::vector<CeldaFlujo>& consulta,
                                const RejillaOrientacion& guardada, const Colocacion& c);

// The summed weight `peso` of those of the n points (x, y) that land on a cell of `r` that
// shows ridges once carried by the placement m, p' = R p + t, or by its inverse, R^T (p - t).
// A point left of or above the grid is outside it; to its right and below, truncation is the
// cell's floor.
// `nucleo`: the way the points are placed (every one gives the same sum, bit for bit).
float pesoConCrestas(const float* x, const float* y, const float* peso, int n, const Colocacion& m,
                     bool inverso, const RejillaOrientacion& r, Nucleo nucleo = nucleoElegido());

// The factor a minutiae score is multiplied by: full for flow that agrees as well as two
// impressions of one finger do, nothing for flow no better than chance.
float factorAcuerdo(const AcuerdoFlujo& a);

} // namespace portiva::motor
