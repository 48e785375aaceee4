#include "Plantilla.h"

#include "CodigosMotor.h"

#include <bit>
#include <cstring>

namespace portiva::motor {

namespace {

constexpr std::uint8_t Magia[4] = {'P', 'T', 'V', 'H'};
constexpr std::uint8_t Version = 1;

std::uint16_t leer16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t leer32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
// Read for every stored template compared: one load where the processor is little-endian.
inline std::uint64_t leer64(const std::uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    } else {
        return static_cast<std::uint64_t>(leer32(p)) |
               (static_cast<std::uint64_t>(leer32(p + 4)) << 32);
    }
}
void poner16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}
void poner32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}
void poner64(std::uint8_t* p, std::uint64_t v) {
    poner32(p, static_cast<std::uint32_t>(v & 0xFFFFFFFFu));
    poner32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

int longitudPara(int n, int gw, int gh) {
    return TamanoCabeceraPlantilla + n * (BytesPorMinucia + BytesPorCilindro + BytesPorSegmento) +
           gw * gh;
}

} // namespace

// Two multiplicative lanes over 8-byte words: fast enough to run on every stored template of
// an identification, and any changed byte changes the sum.
std::uint32_t CodecPlantilla::sumaControl(const std::uint8_t* bytes, std::size_t tamano) {
    constexpr std::uint64_t K1 = 0x9E3779B97F4A7C15ULL;
    constexpr std::uint64_t K2 = 0xC2B2AE3D27D4EB4FULL;
    std::uint64_t a = 0x243F6A8885A308D3ULL ^ tamano;
    std::uint64_t b = 0x13198A2E03707344ULL;
    std::size_t i = 0;
    for (; i + 16 <= tamano; i += 16) {
        a = (a ^ leer64(bytes + i)) * K1;
        a ^= a >> 29;
        b = (b ^ leer64(bytes + i + 8)) * K2;
        b ^= b >> 31;
    }
    for (; i < tamano; ++i)
        a = (a ^ bytes[i]) * K1;
    std::uint64_t h = a ^ (b * K1) ^ (b >> 17);
    h ^= h >> 33;
    h *= K2;
    h ^= h >> 29;
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

int CodecPlantilla::codificar(const DatosPlantilla& d, std::uint8_t* destino, int capacidad,
                              int& usados) {
    usados = 0;
    if (destino == nullptr)
        return codigo::ParametroNulo;
    const int n = static_cast<int>(d.minucias.size());
    if (n > MaxMinucias || d.cilindros.size() != d.minucias.size() ||
        d.segmentos.size() != d.minucias.size() || d.gw < 0 || d.gh < 0 || d.gw > 255 ||
        d.gh > 255 || d.gw * d.gh > MaxCeldasOrientacion ||
        d.orientacion.size() != static_cast<std::size_t>(d.gw * d.gh) || d.ancho < 1 ||
        d.alto < 1 || d.ancho > 65535 || d.alto > 65535 || d.bloque < 1 || d.bloque > 255)
        return codigo::FueraDeLimite;
    const int longitud = longitudPara(n, d.gw, d.gh);
    if (longitud > capacidad || longitud > TamanoMaximoPlantilla)
        return codigo::FueraDeLimite;

    std::uint8_t* p = destino;
    std::memset(p, 0, static_cast<std::size_t>(longitud));
    std::memcpy(p, Magia, 4);
    p[4] = Version;
    poner16(p + 6, TamanoCabeceraPlantilla);
    poner32(p + 8, static_cast<std::uint32_t>(longitud));
    poner16(p + 16, static_cast<std::uint32_t>(d.resolucionOriginal));
    p[18] = static_cast<std::uint8_t>(d.calidad < 0 ? 0 : (d.calidad > 100 ? 100 : d.calidad));
    p[19] = static_cast<std::uint8_t>(n);
    poner16(p + 20, static_cast<std::uint32_t>(d.ancho));
    poner16(p + 22, static_cast<std::uint32_t>(d.alto));
    p[24] = static_cast<std::uint8_t>(d.bloque);
    p[25] = static_cast<std::uint8_t>(d.gw);
    p[26] = static_cast<std::uint8_t>(d.gh);

    std::uint8_t* m = p + TamanoCabeceraPlantilla;
    std::uint8_t* c = m + BytesPorMinucia * n;
    std::uint8_t* s = c + BytesPorCilindro * n;
    std::uint8_t* o = s + BytesPorSegmento * n;
    for (int i = 0; i < n; ++i) {
        const auto& mi = d.minucias[static_cast<std::size_t>(i)];
        if (mi.x >= d.ancho || mi.y >= d.alto ||
            (mi.tipo != TipoMinucia::Terminacion && mi.tipo != TipoMinucia::Bifurcacion))
            return codigo::FueraDeLimite;
        poner16(m + 8 * i, mi.x);
        poner16(m + 8 * i + 2, mi.y);
        m[8 * i + 4] = mi.angulo;
        m[8 * i + 5] = static_cast<std::uint8_t>(mi.tipo);
        m[8 * i + 6] = mi.calidad;
        const auto& ci = d.cilindros[static_cast<std::size_t>(i)];
        for (int w = 0; w < PalabrasCilindro; ++w) {
            poner64(c + 64 * i + 8 * w, ci.celdas[static_cast<std::size_t>(w)]);
            poner64(c + 64 * i + 32 + 8 * w, ci.validas[static_cast<std::size_t>(w)]);
        }
        for (int k = 0; k < 6; ++k)
            s[6 * i + k] = static_cast<std::uint8_t>(
                d.segmentos[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)]);
    }
    for (std::size_t k = 0; k < d.orientacion.size(); ++k) {
        const std::uint8_t v = d.orientacion[k];
        if (v >= 180 && v != FondoOrientacion)
            return codigo::FueraDeLimite;
        o[k] = v;
    }
    poner32(p + 12, sumaControl(p + 16, static_cast<std::size_t>(longitud - 16)));
    usados = longitud;
    return codigo::Ok;
}

int CodecPlantilla::examinar(const std::uint8_t* bytes, std::size_t tamano, VistaPlantilla& v,
                             bool comprobarSuma) {
    if (bytes == nullptr)
        return codigo::ParametroNulo;
    if (tamano < static_cast<std::size_t>(TamanoCabeceraPlantilla))
        return codigo::FueraDeLimite;
    if (std::memcmp(bytes, Magia, 4) != 0 || bytes[4] != Version || bytes[5] != 0 ||
        leer16(bytes + 6) != TamanoCabeceraPlantilla)
        return codigo::FueraDeLimite;
    const std::uint32_t longitud = leer32(bytes + 8);
    if (longitud > tamano || longitud > static_cast<std::uint32_t>(TamanoMaximoPlantilla))
        return codigo::FueraDeLimite;
    const int n = bytes[19];
    const int ancho = leer16(bytes + 20);
    const int alto = leer16(bytes + 22);
    const int bloque = bytes[24];
    const int gw = bytes[25];
    const int gh = bytes[26];
    if (n > MaxMinucias || ancho < 1 || alto < 1 || bloque < 1 || gw * gh > MaxCeldasOrientacion ||
        static_cast<int>(longitud) != longitudPara(n, gw, gh))
        return codigo::FueraDeLimite;
    const std::uint32_t suma = leer32(bytes + 12);
    if (comprobarSuma && suma != sumaControl(bytes + 16, longitud - 16))
        return codigo::FueraDeLimite;
    const std::uint8_t* m = bytes + TamanoCabeceraPlantilla;
    for (int i = 0; i < n; ++i) {
        const std::uint8_t* mi = m + 8 * i;
        if (leer16(mi) >= ancho || leer16(mi + 2) >= alto || (mi[5] != 1 && mi[5] != 2))
            return codigo::FueraDeLimite;
    }
    v.longitud = static_cast<int>(longitud);
    v.n = n;
    v.ancho = ancho;
    v.alto = alto;
    v.bloque = bloque;
    v.gw = gw;
    v.gh = gh;
    v.suma = suma;
    v.minucias = m;
    v.cilindros = m + BytesPorMinucia * n;
    v.segmentos = v.cilindros + BytesPorCilindro * n;
    v.orientacion = v.segmentos + BytesPorSegmento * n;
    return codigo::Ok;
}

int CodecPlantilla::decodificar(const std::uint8_t* bytes, std::size_t tamano, DatosPlantilla& d) {
    VistaPlantilla v;
    const int r = examinar(bytes, tamano, v);
    if (r != codigo::Ok)
        return r;
    DatosPlantilla salida;
    salida.resolucionOriginal = leer16(bytes + 16);
    salida.calidad = bytes[18];
    salida.ancho = v.ancho;
    salida.alto = v.alto;
    salida.bloque = v.bloque;
    salida.gw = v.gw;
    salida.gh = v.gh;
    salida.minucias.resize(static_cast<std::size_t>(v.n));
    salida.cilindros.resize(static_cast<std::size_t>(v.n));
    salida.segmentos.resize(static_cast<std::size_t>(v.n));
    for (int i = 0; i < v.n; ++i) {
        auto& mi = salida.minucias[static_cast<std::size_t>(i)];
        const std::uint8_t* p = v.minucias + 8 * i;
        mi.x = leer16(p);
        mi.y = leer16(p + 2);
        mi.angulo = p[4];
        mi.tipo = static_cast<TipoMinucia>(p[5]);
        mi.calidad = p[6];
        auto& ci = salida.cilindros[static_cast<std::size_t>(i)];
        for (int w = 0; w < PalabrasCilindro; ++w) {
            ci.celdas[static_cast<std::size_t>(w)] = leer64(v.cilindros + 64 * i + 8 * w);
            ci.validas[static_cast<std::size_t>(w)] = leer64(v.cilindros + 64 * i + 32 + 8 * w);
        }
        for (int k = 0; k < 6; ++k)
            salida.segmentos[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)] =
                static_cast<std::int8_t>(v.segmentos[6 * i + k]);
    }
    salida.orientacion.assign(v.orientacion, v.orientacion + v.gw * v.gh);
    for (auto o : salida.orientacion)
        if (o >= 180 && o != FondoOrientacion)
            return codigo::FueraDeLimite;
    d = std::move(salida);
    return codigo::Ok;
}

} // namespace portiva::motor
