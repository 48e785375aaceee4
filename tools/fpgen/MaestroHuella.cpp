#include "MaestroHuella.h"

#include "Aleatorio.h"
#include "BancoGabor.h"
#include "CrecimientoCrestas.h"
#include "ImagenFlotante.h"

#include <algorithm>
#include <cmath>

namespace portiva::fpgen {

MaestroHuella::MaestroHuella(std::uint64_t semillaDedo, const BancoGabor& banco) {
    Aleatorio rng(semillaDedo);
    // One draw per statement: the order of a call's arguments is the compiler's choice, and the
    // same seed must give the same finger whichever compiler built the generator.
    const double arriba = rng.uniforme(16, 30);
    const double cx = ancho / 2.0 + rng.uniforme(-8, 8);
    silueta_ = Silueta::sortear(rng, cx, arriba);
    patron_ = PatronDactilar::sortear(rng, silueta_, ancho, alto);
    centroX_ = silueta_.cx();
    centroY_ = silueta_.arriba() + 190.0;

    MapaFiltro mapa;
    mapa.ancho = ancho;
    mapa.alto = alto;
    mapa.nucleo.resize(static_cast<std::size_t>(ancho) * alto);
    mapa.activo.resize(mapa.nucleo.size());
    for (int y = 0; y < alto; ++y)
        for (int x = 0; x < ancho; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * ancho + x;
            mapa.activo[i] = silueta_.radio(x, y) < 1.08 ? 1 : 0;
            if (mapa.activo[i])
                mapa.nucleo[i] = banco.indice(patron_.orientacion(x, y), patron_.periodo(x, y));
        }

    ParametrosCrecimiento parametros;
    parametros.semillas = 50 + rng.entero(20);
    const std::vector<float> crestas = crecerCrestas(banco, mapa, rng, parametros);

    auto guardar = [](const std::vector<float>& valores, double factor) {
        std::vector<std::int8_t> tabla(valores.size());
        for (std::size_t i = 0; i < valores.size(); ++i)
            tabla[i] = static_cast<std::int8_t>(std::clamp(
                std::nearbyint(valores[i] * static_cast<float>(factor)), -127.0f, 127.0f));
        return tabla;
    };
    campo_ = guardar(crestas, escala);
    poros_ = guardar(manchas(rng, ancho, alto, 0.9).datos, escalaTextura);
    tonos_ = guardar(manchas(rng, ancho, alto, 2.5).datos, escalaTextura);
}

double MaestroHuella::cresta(double x, double y) const {
    return leer(campo_, x, y) / escala;
}

double MaestroHuella::leer(const std::vector<std::int8_t>& tabla, double x, double y) {
    // Bilinear; 0 off the canvas.
    if (!(x >= 0 && y >= 0 && x < ancho - 1 && y < alto - 1))
        return 0.0;
    const int c = static_cast<int>(x), f = static_cast<int>(y);
    const double a = x - c, b = y - f;
    const std::int8_t* p = &tabla[static_cast<std::size_t>(f) * ancho + c];
    return (1 - b) * ((1 - a) * p[0] + a * p[1]) + b * ((1 - a) * p[ancho] + a * p[ancho + 1]);
}

} // namespace portiva::fpgen
