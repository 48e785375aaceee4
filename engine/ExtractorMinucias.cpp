#include "ExtractorMinucias.h"

#include "CalidadHuella.h"
#include "CampoOrientacion.h"
#include "CodificadorCilindros.h"
#include "CodigosMotor.h"
#include "DetectorMinucias.h"
#include "Esqueleto.h"
#include "FrecuenciaCrestas.h"
#include "MarcoSensor.h"
#include "Normalizacion.h"
#include "Remuestreo.h"
#include "Segmentacion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace portiva::motor {

namespace {

constexpr float Pi = std::numbers::pi_v<float>;

// The orientation kept in the template for drawing and for telling where a print has ridges:
// one direction per cell of 16 pixels (32 for very large images), degrees 0..179.
void orientacionGuardada(const CampoOrientacion& campo, const Mapa<std::uint8_t>& mascara,
                         int ancho, int alto, DatosPlantilla& d) {
    int lado = 16;
    while (((ancho + lado - 1) / lado) * ((alto + lado - 1) / lado) > MaxCeldasOrientacion ||
           (ancho + lado - 1) / lado > 255 || (alto + lado - 1) / lado > 255)
        lado *= 2;
    const int f = lado / campo.bloque;
    d.bloque = lado;
    d.gw = (ancho + lado - 1) / lado;
    d.gh = (alto + lado - 1) / lado;
    d.orientacion.assign(static_cast<std::size_t>(d.gw * d.gh), FondoOrientacion);
    for (int gy = 0; gy < d.gh; ++gy)
        for (int gx = 0; gx < d.gw; ++gx) {
            float sx = 0, sy = 0;
            int dentro = 0, total = 0;
            for (int j = 0; j < f; ++j)
                for (int i = 0; i < f; ++i) {
                    const int bx = gx * f + i, by = gy * f + j;
                    if (!mascara.dentro(bx, by))
                        continue;
                    ++total;
                    if (!mascara(bx, by))
                        continue;
                    ++dentro;
                    const float c = campo.coherencia(bx, by) + 0.01f;
                    sx += c * std::cos(2 * campo.angulo(bx, by));
                    sy += c * std::sin(2 * campo.angulo(bx, by));
                }
            if (total == 0 || 2 * dentro < total)
                continue;
            float a = 0.5f * std::atan2(sy, sx);
            if (a < 0)
                a += Pi;
            int g = static_cast<int>(std::lround(a * 180.0f / Pi));
            d.orientacion[static_cast<std::size_t>(gy * d.gw + gx)] =
                static_cast<std::uint8_t>(g % 180);
        }
}

} // namespace

int ExtractorMinucias::extraer(const std::uint8_t* imagen, int ancho, int alto, int resolucion,
                               DatosPlantilla& datos, int& clase,
                               IntermediosExtraccion* intermedios) const {
    Mapa<float> gris = Remuestreo::a500dpi(imagen, ancho, alto, resolucion);
    const Mapa<std::uint8_t> marco = MarcoSensor::detectar(gris);
    MarcoSensor::rellenar(gris, marco);
    CampoOrientacion campo = CampoOrientacion::calcular(gris, Bloque);
    Mapa<std::uint8_t> mascara = Segmentacion::calcular(campo);
    MarcoSensor::excluir(mascara, marco, Bloque);
    int bloques = 0;
    for (std::size_t i = 0; i < mascara.tamano(); ++i)
        bloques += mascara.datos()[i];
    if (bloques < 40 || bloques * 20 < static_cast<int>(mascara.tamano()))
        return codigo::ErrorAnalisis;

    campo.suavizar(mascara, 1.8f);
    const Mapa<float> normalizada = Normalizacion::local(gris, 12);
    const Mapa<float> periodo = FrecuenciaCrestas::calcular(normalizada, campo, mascara);
    const Mapa<float> realzada =
        realce_.aplicar(normalizada, campo.angulo, periodo, mascara, Bloque);
    Mapa<std::uint8_t> esqueleto = Esqueleto::binarizar(realzada, mascara, Bloque);
    Esqueleto::adelgazar(esqueleto);
    DetectorMinucias::Recuento recuento;
    std::vector<MinuciaDetectada> minucias =
        DetectorMinucias::detectar(esqueleto, campo, mascara, periodo, recuento);

    if (intermedios != nullptr) {
        intermedios->gris = gris;
        intermedios->mascara = mascara;
        intermedios->realzada = realzada;
        intermedios->esqueleto = esqueleto;
        intermedios->angulo = campo.angulo;
        intermedios->coherencia = campo.coherencia;
        intermedios->periodo = periodo;
    }
    if (static_cast<int>(minucias.size()) < MinuciasMinimas)
        return codigo::ErrorAnalisis;

    if (static_cast<int>(minucias.size()) > MaxMinucias) {
        std::stable_sort(minucias.begin(), minucias.end(),
                         [](const MinuciaDetectada& a, const MinuciaDetectada& b) {
                             return a.calidad > b.calidad;
                         });
        minucias.resize(MaxMinucias);
    }
    // Descriptors only where minutiae are kept: away from the print's border.
    const Mapa<std::uint8_t> distancia = Segmentacion::distanciaAlFondo(mascara);
    Mapa<std::uint8_t> zona(mascara.ancho(), mascara.alto(), 0);
    for (std::size_t i = 0; i < zona.tamano(); ++i)
        zona.datos()[i] = distancia.datos()[i] >= 2 ? 1 : 0;
    const std::vector<Cilindro> cilindros = CodificadorCilindros::codificar(minucias, zona, Bloque);

    DatosPlantilla d;
    d.resolucionOriginal = resolucion;
    d.ancho = gris.ancho();
    d.alto = gris.alto();
    d.calidad = CalidadHuella::puntuacion(mascara, campo.coherencia, Bloque, recuento.candidatas,
                                          recuento.conservadas);
    for (std::size_t i = 0; i < minucias.size(); ++i) {
        const auto& m = minucias[i];
        MinuciaPlantilla p;
        p.x = static_cast<std::uint16_t>(
            std::clamp(static_cast<int>(std::lround(m.x)), 0, d.ancho - 1));
        p.y = static_cast<std::uint16_t>(
            std::clamp(static_cast<int>(std::lround(m.y)), 0, d.alto - 1));
        p.angulo = static_cast<std::uint8_t>(
            static_cast<int>(std::lround(m.angulo / (2 * Pi) * 256.0f)) & 255);
        p.tipo = m.tipo;
        p.calidad = static_cast<std::uint8_t>(std::lround(m.calidad * 255.0f));
        d.minucias.push_back(p);
        d.segmentos.push_back(m.segmentos);
    }
    d.cilindros = cilindros;
    orientacionGuardada(campo, mascara, d.ancho, d.alto, d);
    clase = CalidadHuella::clase(d.calidad);
    datos = std::move(d);
    return codigo::Ok;
}

} // namespace portiva::motor
