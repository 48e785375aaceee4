#include "Impresor.h"

#include "Aleatorio.h"
#include "CampoSuave.h"
#include "ImagenFlotante.h"
#include "MaestroHuella.h"
#include "Matematica.h"

#include <algorithm>
#include <cmath>

namespace portiva::fpgen {

namespace {

double suave(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

} // namespace

Impresor::Impresor(const MaestroHuella& maestro, const ParametrosImpresion& parametros)
    : maestro_(maestro), p_(parametros) {}

ImagenGris Impresor::imprimir(int ancho, int alto, int dpi) const {
    ImagenGris salida;
    if (ancho <= 0 || alto <= 0 || dpi <= 0)
        return salida;
    Aleatorio rng(p_.semillaTextura);
    const int wm = MaestroHuella::ancho, hm = MaestroHuella::alto;
    // Fields tied to the skin (master coordinates) and to the glass (image coordinates).
    const CampoSuave ondaX(rng, wm, hm, 90, 220), ondaY(rng, wm, hm, 90, 220);
    const CampoSuave borde(rng, wm, hm, 80, 220);
    const CampoSuave luz(rng, ancho, alto, 250, 700, 4, 8);
    const bool seca = p_.piel == EstadoPiel::Seca, mojada = p_.piel == EstadoPiel::Mojada;
    const double k = p_.intensidadPiel;
    ImagenFlotante grietas, gotas;
    if (seca)
        grietas = manchas(rng, ancho, alto, 1.7);
    if (mojada)
        gotas = manchas(rng, ancho, alto, 6.0);

    const double escala = 500.0 / dpi; // master pixels per image pixel
    const double ci = (ancho - 1) / 2.0, cj = (alto - 1) / 2.0;
    const double a = p_.rotacionGrados * mat::pi / 180.0;
    const double cosA = mat::cos(a), sinA = mat::sin(a);
    const double cosG = mat::cos(p_.distorsionGiro), sinG = mat::sin(p_.distorsionGiro);
    const Silueta& silueta = maestro_.silueta();
    const double contactoCx = maestro_.centroX() + p_.contactoX;
    const double contactoCy = maestro_.centroY() + p_.contactoY + 30.0;
    const double semiEjeX = p_.contactoAncho * silueta.semiancho();
    const double semiEjeY = p_.contactoAlto * 200.0;
    const bool distorsiona = p_.distorsionGiro != 0 || p_.distorsionX != 0 || p_.distorsionY != 0 ||
                             p_.distorsionOndulacion != 0;

    double umbralBase = p_.umbral;
    if (seca)
        umbralBase += 0.22 * k;
    if (mojada)
        umbralBase -= 0.3 * k;

    ImagenFlotante img(ancho, alto);
    for (int y = 0; y < alto; ++y)
        for (int x = 0; x < ancho; ++x) {
            // Image pixel -> skin point: undo the shift and the turn, then the distortion.
            const double px = x - ci - p_.desplazamientoX, py = y - cj - p_.desplazamientoY;
            double ux = (px * cosA - py * sinA) * escala;
            double uy = (px * sinA + py * cosA) * escala;
            if (distorsiona) {
                const double rx = ux - p_.contactoX, ry = uy - p_.contactoY;
                const double d = std::sqrt(rx * rx + ry * ry);
                const double freno = suave((d - p_.radioCerca) / (p_.radioLejos - p_.radioCerca));
                const double mx0 = maestro_.centroX() + ux, my0 = maestro_.centroY() + uy;
                ux += freno * (cosG * rx - sinG * ry + p_.distorsionX - rx +
                               p_.distorsionOndulacion * ondaX.valor(mx0, my0));
                uy += freno * (sinG * rx + cosG * ry + p_.distorsionY - ry +
                               p_.distorsionOndulacion * ondaY.valor(mx0, my0));
            }
            const double mx = maestro_.centroX() + ux, my = maestro_.centroY() + uy;

            // How firmly this skin point touches the glass.
            const double enSilueta = std::clamp((1.0 - silueta.radio(mx, my)) / 0.025, 0.0, 1.0);
            double contacto = 0;
            if (enSilueta > 0) {
                const double ex = (mx - contactoCx) / semiEjeX, ey = (my - contactoCy) / semiEjeY;
                const double e = std::sqrt(ex * ex + ey * ey) *
                                 (1.0 + p_.contactoIrregular * borde.valor(mx, my));
                contacto = std::min(enSilueta, std::clamp((1.0 - e) / 0.08, 0.0, 1.0));
            }
            float oscuro = 0;
            if (contacto > 0) {
                // Ridges thin out where the pressure fades towards the edge of the contact.
                const double umbral = umbralBase + 0.7 * (1.0 - contacto);
                // Skin texture roughens the ridge edges and the ink along the ridges.
                const double v = maestro_.cresta(mx, my) + 0.12 * maestro_.poro(mx, my);
                double t = suave(0.5 + (v - umbral) / (2 * p_.transicion));
                t *= 0.9 + 0.1 * std::clamp(maestro_.tono(mx, my), -1.0, 1.0);
                if (seca) {
                    // Dry skin: ridges broken into pieces and faint.
                    const double corte = 2.0 - 1.3 * k;
                    t *= 1.0 - suave((grietas.en(x, y) - corte) / 0.5);
                    t *= 1.0 - 0.3 * k;
                }
                if (mojada) {
                    // Wet skin: water fills the valleys in patches.
                    const double gota = suave((gotas.en(x, y) - (2.0 - 1.1 * k)) / 0.8);
                    t = std::max(t, gota * 0.8);
                }
                oscuro = static_cast<float>(t * suave(contacto));
            }
            const double fondo = p_.fondo + p_.fondoIrregular * luz.valor(x, y);
            img.en(x, y) = static_cast<float>(fondo - (fondo - p_.tinta) * oscuro);
        }

    desenfocar(img, p_.desenfoque / escala);

    salida.ancho = ancho;
    salida.alto = alto;
    salida.dpi = dpi;
    salida.pixeles.resize(img.datos.size());
    for (std::size_t i = 0; i < img.datos.size(); ++i) {
        const double v = img.datos[i] + p_.ruido * rng.normal();
        salida.pixeles[i] = static_cast<std::uint8_t>(std::clamp(std::nearbyint(v), 0.0, 255.0));
    }
    return salida;
}

} // namespace portiva::fpgen
