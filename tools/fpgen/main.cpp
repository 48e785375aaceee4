// portiva-fpgen: writes a set of synthetic fingerprint impressions to a folder, as the 8-bit
// grey bitmaps the station's engine reads.

#include "ArchivoBmp.h"
#include "EjecutarFpgen.h"

#include <iostream>

using namespace portiva;

namespace {

bool escribirBmp(const std::filesystem::path& archivo, const fpgen::ImagenGris& imagen) {
    motor::ImagenGris bmp;
    bmp.ancho = imagen.ancho;
    bmp.alto = imagen.alto;
    bmp.resolucion = imagen.dpi;
    bmp.pixeles = imagen.pixeles;
    return motor::ArchivoBmp::escribir(archivo, bmp) == 0;
}

} // namespace

int main(int argc, char** argv) {
    const fpgen::FormatoSalida formato{"bmp", escribirBmp};
    return fpgen::ejecutarFpgen(std::vector<std::string>(argv + 1, argv + argc), formato, std::cout,
                                std::cerr);
}
