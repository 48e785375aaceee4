#pragma once

#include "GeneradorHuellas.h"

namespace portiva::prueba {

// The test suite's fingerprints: fpgen::dedosPruebas fingers x fpgen::impresionesPruebas
// impressions, 400 x 400 at 500 dpi, from the fixed seed fpgen::semillaPruebas, as
// huellasPrueba()[dedo][impresion]. Generated on first use (a couple of seconds, on several
// threads) and kept for the life of the test process; safe to call from any thread.
const fpgen::ConjuntoHuellas& huellasPrueba();

// One impression of the test set.
const fpgen::ImagenGris& huellaPrueba(int dedo, int impresion);

} // namespace portiva::prueba
