#include "HuellasSinteticas.h"

namespace portiva::prueba {

const fpgen::ConjuntoHuellas& huellasPrueba() {
    static const fpgen::ConjuntoHuellas conjunto = fpgen::generarConjunto(
        fpgen::semillaPruebas, fpgen::dedosPruebas, fpgen::impresionesPruebas);
    return conjunto;
}

const fpgen::ImagenGris& huellaPrueba(int dedo, int impresion) {
    // Out of range throws std::out_of_range, which the test framework reports.
    return huellasPrueba()
        .at(static_cast<std::size_t>(dedo))
        .at(static_cast<std::size_t>(impresion));
}

} // namespace portiva::prueba
