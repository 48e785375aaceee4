#include "PlantillaCompacta.h"

#include "Plantilla.h"

#include <array>
#include <bit>
#include <cstring>

namespace portiva::plantilla_compacta {

static_assert(std::endian::native == std::endian::little,
              "descriptor words are read and written in place as little-endian words");

namespace {

using motor::BytesPorCilindro;
using motor::BytesPorMinucia;
using motor::BytesPorSegmento;
using motor::TamanoCabeceraPlantilla;

constexpr std::size_t Cabecera = TamanoCabeceraPlantilla;
// A descriptor: 52 cells x 4 direction bins.
constexpr int Celdas = 52;
constexpr std::size_t BytesCeldas = Celdas * 4 / 8;   // 26
constexpr std::size_t BytesMarcas = (Celdas + 7) / 8; // 7
constexpr std::size_t MinuciaCompacta = BytesPorMinucia - 1;
constexpr std::size_t PorMinucia = MinuciaCompacta + BytesCeldas + BytesMarcas; // 40

// Each of 8 cell flags as the four validity bits of its cell.
constexpr std::array<std::uint32_t, 256> Nibbles = [] {
    std::array<std::uint32_t, 256> t{};
    for (unsigned b = 0; b < 256; ++b)
        for (unsigned k = 0; k < 8; ++k)
            if (b & (1u << k))
                t[b] |= 0xFu << (4 * k);
    return t;
}();

struct Forma {
    std::size_t n = 0;
    std::size_t rejilla = 0;
};

Forma FormaDe(const std::uint8_t* cabecera) {
    return {cabecera[19], static_cast<std::size_t>(cabecera[25]) * cabecera[26]};
}

std::size_t LongitudGuardada(Forma f) {
    return Cabecera + f.n * (BytesPorMinucia + BytesPorCilindro + BytesPorSegmento) + f.rejilla;
}

std::size_t LongitudCompacta(Forma f) {
    return Cabecera + f.n * PorMinucia + f.rejilla;
}

std::uint64_t Palabra(const std::uint8_t* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// The cell flags of one descriptor when its validity bits are whole cells and nothing lies past
// the last cell; false otherwise.
bool Marcas(const std::uint8_t* cilindro, std::uint64_t& marcas) {
    const std::uint8_t* celdas = cilindro;
    const std::uint8_t* validas = cilindro + BytesPorCilindro / 2;
    if ((Palabra(celdas + 24) >> 16) != 0 || (Palabra(validas + 24) >> 16) != 0)
        return false;
    marcas = 0;
    for (std::size_t w = 0; w < 4; ++w) {
        const std::uint64_t v = Palabra(validas + 8 * w);
        std::uint64_t x = v & 0x1111111111111111ULL;
        if (v != x * 0xF)
            return false;
        // Bit 4k to bit k.
        x = (x | (x >> 3)) & 0x0303030303030303ULL;
        x = (x | (x >> 6)) & 0x000F000F000F000FULL;
        x = (x | (x >> 12)) & 0x000000FF000000FFULL;
        x = (x | (x >> 24)) & 0xFFFFULL;
        marcas |= x << (16 * w);
    }
    return true;
}

Compacta Copia(const std::uint8_t* plantilla, std::size_t longitud) {
    Compacta c;
    c.tamano = static_cast<std::uint32_t>(longitud);
    c.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(longitud);
    std::memcpy(c.bytes.get(), plantilla, longitud);
    return c;
}

} // namespace

Compacta Compactar(const std::uint8_t* plantilla, std::size_t longitud) {
    if (longitud < Cabecera || plantilla[5] != 0)
        return Copia(plantilla, longitud);
    const Forma f = FormaDe(plantilla);
    if (LongitudGuardada(f) != longitud)
        return Copia(plantilla, longitud);
    const std::uint8_t* minucias = plantilla + Cabecera;
    const std::uint8_t* cilindros = minucias + f.n * BytesPorMinucia;
    const std::uint8_t* orientacion = cilindros + f.n * (BytesPorCilindro + BytesPorSegmento);
    for (std::size_t i = 0; i < f.n; ++i)
        if (minucias[i * BytesPorMinucia + MinuciaCompacta] != 0)
            return Copia(plantilla, longitud);

    Compacta c;
    c.tamano = static_cast<std::uint32_t>(LongitudCompacta(f));
    c.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(c.tamano);
    std::uint8_t* d = c.bytes.get();
    std::memcpy(d, plantilla, Cabecera);
    d[5] = MarcaCompacta;
    d += Cabecera;
    for (std::size_t i = 0; i < f.n; ++i, d += MinuciaCompacta)
        std::memcpy(d, minucias + i * BytesPorMinucia, MinuciaCompacta);
    for (std::size_t i = 0; i < f.n; ++i) {
        const std::uint8_t* cilindro = cilindros + i * BytesPorCilindro;
        std::uint64_t marcas = 0;
        if (!Marcas(cilindro, marcas))
            return Copia(plantilla, longitud);
        std::memcpy(d, cilindro, BytesCeldas);
        d += BytesCeldas;
        for (std::size_t b = 0; b < BytesMarcas; ++b)
            *d++ = static_cast<std::uint8_t>(marcas >> (8 * b));
    }
    std::memcpy(d, orientacion, f.rejilla);
    return c;
}

std::size_t Expandir(const std::uint8_t* compacta, std::size_t tamano, std::uint8_t* destino) {
    if (tamano < Cabecera || compacta[5] != MarcaCompacta)
        return 0;
    const Forma f = FormaDe(compacta);
    const std::size_t longitud = LongitudGuardada(f);
    if (LongitudCompacta(f) != tamano ||
        longitud > static_cast<std::size_t>(motor::TamanoMaximoPlantilla))
        return 0;
    std::memcpy(destino, compacta, Cabecera);
    destino[5] = 0;
    const std::uint8_t* s = compacta + Cabecera;
    std::uint8_t* d = destino + Cabecera;
    for (std::size_t i = 0; i < f.n; ++i, s += MinuciaCompacta, d += BytesPorMinucia) {
        std::memcpy(d, s, MinuciaCompacta);
        d[MinuciaCompacta] = 0;
    }
    for (std::size_t i = 0; i < f.n; ++i, d += BytesPorCilindro) {
        std::memcpy(d, s, BytesCeldas);
        std::memset(d + BytesCeldas, 0, BytesPorCilindro / 2 - BytesCeldas);
        s += BytesCeldas;
        std::uint64_t marcas = 0;
        for (std::size_t b = 0; b < BytesMarcas; ++b)
            marcas |= static_cast<std::uint64_t>(*s++) << (8 * b);
        for (std::size_t w = 0; w < 4; ++w) {
            const auto bajo = static_cast<std::uint8_t>(marcas >> (16 * w));
            const auto alto = static_cast<std::uint8_t>(marcas >> (16 * w + 8));
            const std::uint64_t palabra =
                Nibbles[bajo] | (static_cast<std::uint64_t>(Nibbles[alto]) << 32);
            std::memcpy(d + BytesPorCilindro / 2 + 8 * w, &palabra, sizeof palabra);
        }
    }
    std::memset(d, 0, f.n * BytesPorSegmento);
    d += f.n * BytesPorSegmento;
    std::memcpy(d, s, f.rejilla);
    return longitud;
}

} // namespace portiva::plantilla_compacta
