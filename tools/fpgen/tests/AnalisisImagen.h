#pragma once

#include "GeneradorHuellas.h"

namespace portiva::fpgen::prueba {

// Pearson correlation of two equally sized images over the disc of radius `radio` around
// the image centre, `b` first turned by `grados` (counter-clockwise on screen) and shifted by
// (dx, dy) when asked.
double correlacion(const ImagenGris& a, const ImagenGris& b, double radio, double grados = 0,
                   double dx = 0, double dy = 0);

// Mean absolute difference of two equally sized images.
double diferenciaMedia(const ImagenGris& a, const ImagenGris& b);

// Strongest ridge period (pixels, 5 to periodoMax) in the square of side `lado` centred at (cx,
// cy).
double periodoDominante(const ImagenGris& img, int cx, int cy, int lado, double periodoMax = 16.0);

} // namespace portiva::fpgen::prueba
