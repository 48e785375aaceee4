#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace portiva {

// A checked stored template in the smaller form the door's gallery keeps in memory, and back.
//
// A stored template holds, per minutia, 8 bytes of minutia (the last always 0), a 64-byte
// descriptor (208 cell bits padded to 256, and 256 validity bits that repeat each cell's flag
// over its four direction bins) and 6 bytes of ridge segments that only the drawing reads. The
// compact form keeps the header as it is but for its flags byte (MarcaCompacta), then 7 bytes
// per minutia, 26 bytes of cell bits and 7 bytes of cell flags per descriptor, and the
// orientation grid: about 2.8 KB instead of 4.9 for a typical print.
//
// Expanded, it gives the stored template's bytes exactly, the segments excepted (zero), so the
// comparison, which never reads them, answers and scores as on the stored bytes (its checksum,
// already verified, is not computed again). A template that the compact form cannot give back
// exactly (bits where the format has none) is kept as it was stored.
namespace plantilla_compacta {

// The flags byte of a compact form; a stored template's is 0, so the engine refuses a compact
// form it is handed by mistake instead of reading it.
inline constexpr std::uint8_t MarcaCompacta = 0x80;

struct Compacta {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::uint32_t tamano = 0;
};

// The compact form of a template already checked by CodecPlantilla::examinar (`longitud` its
// length), or its own bytes when no compact form gives them back.
Compacta Compactar(const std::uint8_t* plantilla, std::size_t longitud);

// True for the compact form.
inline bool EsCompacta(const std::uint8_t* bytes, std::size_t tamano) {
    return tamano > 5 && bytes[5] == MarcaCompacta;
}

// The template, segments zeroed, written to `destino` (room for TamanoMaximoPlantilla bytes);
// its length, or 0 when the compact bytes are not whole.
std::size_t Expandir(const std::uint8_t* compacta, std::size_t tamano, std::uint8_t* destino);

} // namespace plantilla_compacta

} // namespace portiva
