#include "ArchivoBmp.h"

#include "CodigosMotor.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>
#include <vector>

namespace portiva::motor {

namespace {

constexpr std::size_t TamanoCabeceraArchivo = 14;
constexpr std::uintmax_t TamanoArchivoMaximo = 200ULL * 1024 * 1024;
constexpr double PulgadasPorMetro = 0.0254;

std::uint16_t leer16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t leer32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void escribir16(std::vector<std::uint8_t>& v, std::uint16_t x) {
    v.push_back(static_cast<std::uint8_t>(x & 0xFF));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void escribir32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<std::uint8_t>((x >> (8 * i)) & 0xFF));
}

std::uint8_t gris(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return static_cast<std::uint8_t>((299 * r + 587 * g + 114 * b + 500) / 1000);
}

// Pixels per metre to dots per inch; nonsense values fall back to 500.
int resolucionDesdePpm(std::int32_t ppm) {
    if (ppm <= 0)
        return 500;
    const double dpi = std::round(ppm * PulgadasPorMetro);
    if (dpi < 50 || dpi > 5000)
        return 500;
    return static_cast<int>(dpi);
}

} // namespace

bool ArchivoBmp::tieneExtensionBmp(const std::filesystem::path& archivo) {
    std::string ext = archivo.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".bmp";
}

int ArchivoBmp::leer(const std::filesystem::path& archivo, ImagenGris& imagen) {
    if (archivo.empty() || !archivo.has_filename())
        return codigo::NombreArchivoNoValido;
    if (!tieneExtensionBmp(archivo))
        return codigo::ExtensionDesconocida;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(archivo, ec))
        return codigo::NombreArchivoNoValido;
    const std::uintmax_t tamano = std::filesystem::file_size(archivo, ec);
    if (ec)
        return codigo::NombreArchivoNoValido;
    if (tamano > TamanoArchivoMaximo)
        return codigo::TipoArchivoNoValido;
    std::ifstream f(archivo, std::ios::binary);
    if (!f)
        return codigo::NombreArchivoNoValido;
    std::vector<std::uint8_t> datos(static_cast<std::size_t>(tamano));
    if (tamano > 0 &&
        !f.read(reinterpret_cast<char*>(datos.data()), static_cast<std::streamsize>(tamano)))
        return codigo::NombreArchivoNoValido;
    return decodificar(datos.data(), datos.size(), imagen);
}

int ArchivoBmp::decodificar(const std::uint8_t* datos, std::size_t tamano, ImagenGris& imagen) {
    if (datos == nullptr || tamano < TamanoCabeceraArchivo + 40)
        return codigo::TipoArchivoNoValido;
    if (datos[0] != 'B' || datos[1] != 'M')
        return codigo::TipoArchivoNoValido;
    const std::uint32_t inicioPixeles = leer32(datos + 10);
    const std::uint32_t tamanoDib = leer32(datos + 14);
    // BITMAPINFOHEADER and its later extensions; the old 12-byte core header is not used by
    // any current writer.
    if (tamanoDib < 40 || tamanoDib > 1024 || TamanoCabeceraArchivo + tamanoDib > tamano)
        return codigo::TipoArchivoNoValido;
    const auto* dib = datos + TamanoCabeceraArchivo;
    const auto ancho = static_cast<std::int32_t>(leer32(dib + 4));
    const auto altoConSigno = static_cast<std::int32_t>(leer32(dib + 8));
    const std::uint16_t planos = leer16(dib + 12);
    const std::uint16_t bits = leer16(dib + 14);
    const std::uint32_t compresion = leer32(dib + 16);
    const auto ppmX = static_cast<std::int32_t>(leer32(dib + 24));
    const std::uint32_t coloresUsados = leer32(dib + 32);

    if (planos != 1 || ancho <= 0 || altoConSigno == 0 ||
        altoConSigno == std::numeric_limits<std::int32_t>::min())
        return codigo::TipoArchivoNoValido;
    const bool arribaAbajo = altoConSigno < 0;
    const std::int32_t alto = arribaAbajo ? -altoConSigno : altoConSigno;
    if (ancho > LadoMaximo || alto > LadoMaximo ||
        static_cast<std::int64_t>(ancho) * alto > PixelesMaximos)
        return codigo::TipoArchivoNoValido;

    // 0 = uncompressed; 3 = bit fields, accepted only for 32-bit pixels in the usual BGRA
    // layout. RLE (1, 2) and embedded JPEG/PNG (4, 5) are refused.
    if (bits == 8 || bits == 24) {
        if (compresion != 0)
            return codigo::TipoArchivoNoValido;
    } else if (bits == 32) {
        if (compresion != 0 && compresion != 3)
            return codigo::TipoArchivoNoValido;
        if (compresion == 3) {
            const std::size_t mascaras = TamanoCabeceraArchivo + 40;
            if (mascaras + 12 > tamano)
                return codigo::TipoArchivoNoValido;
            if (leer32(datos + mascaras) != 0x00FF0000u ||
                leer32(datos + mascaras + 4) != 0x0000FF00u ||
                leer32(datos + mascaras + 8) != 0x000000FFu)
                return codigo::TipoArchivoNoValido;
        }
    } else {
        return codigo::TipoArchivoNoValido;
    }

    std::vector<std::uint8_t> paleta;
    if (bits == 8) {
        const std::uint32_t entradas = coloresUsados == 0 ? 256 : coloresUsados;
        if (entradas > 256)
            return codigo::TipoArchivoNoValido;
        const std::size_t inicioPaleta = TamanoCabeceraArchivo + tamanoDib;
        if (inicioPaleta + 4ULL * entradas > tamano ||
            inicioPaleta + 4ULL * entradas > inicioPixeles)
            return codigo::TipoArchivoNoValido;
        paleta.resize(entradas);
        for (std::uint32_t i = 0; i < entradas; ++i) {
            const auto* e = datos + inicioPaleta + 4ULL * i;
            paleta[i] = gris(e[2], e[1], e[0]);
        }
    }

    const std::uint64_t paso = ((static_cast<std::uint64_t>(ancho) * bits + 31) / 32) * 4;
    if (inicioPixeles < TamanoCabeceraArchivo + tamanoDib ||
        static_cast<std::uint64_t>(inicioPixeles) + paso * static_cast<std::uint64_t>(alto) >
            tamano)
        return codigo::TipoArchivoNoValido;

    ImagenGris salida;
    salida.ancho = ancho;
    salida.alto = alto;
    salida.resolucion = resolucionDesdePpm(ppmX);
    salida.pixeles.resize(static_cast<std::size_t>(ancho) * static_cast<std::size_t>(alto));
    for (std::int32_t fila = 0; fila < alto; ++fila) {
        const std::int32_t origen = arribaAbajo ? fila : alto - 1 - fila;
        const std::uint8_t* p = datos + inicioPixeles + paso * static_cast<std::uint64_t>(origen);
        std::uint8_t* q = salida.pixeles.data() + static_cast<std::size_t>(fila) * ancho;
        if (bits == 8) {
            for (std::int32_t x = 0; x < ancho; ++x) {
                if (p[x] >= paleta.size())
                    return codigo::TipoArchivoNoValido;
                q[x] = paleta[p[x]];
            }
        } else {
            const int bytes = bits / 8;
            for (std::int32_t x = 0; x < ancho; ++x, p += bytes)
                q[x] = gris(p[2], p[1], p[0]);
        }
    }
    imagen = std::move(salida);
    return codigo::Ok;
}

int ArchivoBmp::escribir(const std::filesystem::path& archivo, const ImagenGris& imagen) {
    if (archivo.empty() || !archivo.has_filename())
        return codigo::NombreArchivoNoValido;
    if (!tieneExtensionBmp(archivo))
        return codigo::ExtensionDesconocida;
    if (imagen.ancho < 1 || imagen.alto < 1 || imagen.ancho > LadoMaximo ||
        imagen.alto > LadoMaximo ||
        imagen.pixeles.size() !=
            static_cast<std::size_t>(imagen.ancho) * static_cast<std::size_t>(imagen.alto))
        return codigo::FueraDeLimite;

    const std::uint32_t paso = (static_cast<std::uint32_t>(imagen.ancho) + 3u) & ~3u;
    const std::uint32_t inicio = 14 + 40 + 256 * 4;
    const std::uint32_t tamanoPixeles = paso * static_cast<std::uint32_t>(imagen.alto);
    const int dpi = imagen.resolucion > 0 ? imagen.resolucion : 500;
    const auto ppm = static_cast<std::uint32_t>(std::lround(dpi / PulgadasPorMetro));

    std::vector<std::uint8_t> v;
    v.reserve(inicio + tamanoPixeles);
    v.push_back('B');
    v.push_back('M');
    escribir32(v, inicio + tamanoPixeles);
    escribir32(v, 0);
    escribir32(v, inicio);
    escribir32(v, 40);
    escribir32(v, static_cast<std::uint32_t>(imagen.ancho));
    escribir32(v, static_cast<std::uint32_t>(imagen.alto)); // bottom-up
    escribir16(v, 1);
    escribir16(v, 8);
    escribir32(v, 0);
    escribir32(v, tamanoPixeles);
    escribir32(v, ppm);
    escribir32(v, ppm);
    escribir32(v, 256);
    escribir32(v, 0);
    for (int i = 0; i < 256; ++i) {
        const auto g = static_cast<std::uint8_t>(i);
        v.insert(v.end(), {g, g, g, 0});
    }
    for (int fila = imagen.alto - 1; fila >= 0; --fila) {
        const auto* p = imagen.pixeles.data() + static_cast<std::size_t>(fila) * imagen.ancho;
        v.insert(v.end(), p, p + imagen.ancho);
        v.insert(v.end(), paso - static_cast<std::uint32_t>(imagen.ancho), 0);
    }

    // Written beside the target and renamed over it, so a failed write never leaves half a
    // file under the chosen name.
    std::filesystem::path temporal = archivo;
    temporal += ".tmp";
    {
        std::ofstream f(temporal, std::ios::binary | std::ios::trunc);
        if (!f)
            return codigo::NombreArchivoNoValido;
        f.write(reinterpret_cast<const char*>(v.data()), static_cast<std::streamsize>(v.size()));
        f.close();
        if (!f) {
            std::error_code ec;
            std::filesystem::remove(temporal, ec);
            return codigo::NombreArchivoNoValido;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporal, archivo, ec);
    if (ec) {
        std::filesystem::remove(temporal, ec);
        return codigo::NombreArchivoNoValido;
    }
    return codigo::Ok;
}

} // namespace portiva::motor
