#pragma once

#include "GeneradorHuellas.h"

#include <QByteArray>

namespace portiva::prueba {

// Impression `impresion` of finger `dedo` of the test seed (400 x 400, 500 dpi), generated on
// first use and kept for the test process.
const fpgen::ImagenGris& Impresion(int dedo, int impresion);

// The template of that impression as the station stores it (the template bytes and one more,
// 0), extracted once by the engine with its default parameters.
const QByteArray& PlantillaGuardada(int dedo, int impresion);

// A white image of the test size: no finger in it, so its analysis fails.
const fpgen::ImagenGris& ImagenEnBlanco();

} // namespace portiva::prueba
