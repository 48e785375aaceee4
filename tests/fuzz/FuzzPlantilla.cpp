// Any byte string handed in as a template: checked, decoded, compared both ways and drawn,
// without reading outside the buffer or crashing.
#include "CodigosMotor.h"
#include "ConsultaPreparada.h"
#include "DibujoOverlay.h"
#include "Plantilla.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

using namespace portiva::motor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
    // An exact-size copy, so the sanitizer sees any read past the end.
    std::vector<std::uint8_t> bytes(datos, datos + tamano);
    VistaPlantilla vista;
    const int r = CodecPlantilla::examinar(bytes.data(), bytes.size(), vista);
    DatosPlantilla d;
    const int r2 = CodecPlantilla::decodificar(bytes.data(), bytes.size(), d);
    if ((r == codigo::Ok) != (r2 == codigo::Ok) && r2 != codigo::FueraDeLimite)
        __builtin_trap();
    int resultado = 0;
    auto consulta = ConsultaPreparada::crear(bytes.data(), bytes.size(), {40, 180}, resultado);
    if (consulta) {
        int s = 0;
        DetalleComparacion det;
        consulta->comparar(bytes.data(), bytes.size(), s, &det);
    }
    if (r2 == codigo::Ok) {
        std::vector<std::uint8_t> img(200 * 200, 128);
        const std::array<int, 6> colores{0xFF0000, 0x800080, 0x00FF00,
                                         0x800080, 0x0000FF, 0x800080};
        DibujoOverlay::biometrico(d, img.data(), 200, 200, 500, colores, nullptr);
        // A decoded template encodes again to one that decodes.
        std::vector<std::uint8_t> otra(TamanoMaximoPlantilla);
        int usados = 0;
        DatosPlantilla d2;
        if (CodecPlantilla::codificar(d, otra.data(), TamanoMaximoPlantilla, usados) !=
                codigo::Ok ||
            CodecPlantilla::decodificar(otra.data(), static_cast<std::size_t>(usados), d2) !=
                codigo::Ok)
            __builtin_trap();
    }
    return 0;
}
