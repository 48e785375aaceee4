// Any byte string handed in as a bitmap file: refused with a code or read into a consistent
// image, never a crash or a read outside the buffer.
#include "ArchivoBmp.h"
#include "CodigosMotor.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace portiva::motor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
    std::vector<std::uint8_t> bytes(datos, datos + tamano);
    ImagenGris img;
    const int r = ArchivoBmp::decodificar(bytes.data(), bytes.size(), img);
    if (r == codigo::Ok && (img.ancho < 1 || img.alto < 1 ||
                            img.pixeles.size() != static_cast<std::size_t>(img.ancho) *
                                                      static_cast<std::size_t>(img.alto)))
        __builtin_trap();
    return 0;
}
