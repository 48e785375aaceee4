#pragma once

#include "GeneradorHuellas.h"
#include "ParametrosImpresion.h"

namespace portiva::fpgen {

class MaestroHuella;

// Renders one impression of a master finger: places and distorts the finger, applies the
// contact area, pressure and skin state to its ridges, then the reader's lighting, blur and
// noise.
class Impresor {
public:
    Impresor(const MaestroHuella& maestro, const ParametrosImpresion& parametros);

    ImagenGris imprimir(int ancho, int alto, int dpi = 500) const;

private:
    const MaestroHuella& maestro_;
    ParametrosImpresion p_;
};

} // namespace portiva::fpgen
