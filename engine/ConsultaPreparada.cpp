#include "ConsultaPreparada.h"

#include "AcuerdoOrientacion.h"
#include "AjusteRigido.h"
#include "CodigosMotor.h"
#include "ConfirmacionPares.h"
#include "DerivaLocal.h"
#include "Emparejador.h"
#include "MejoresAlineaciones.h"
#include "PuntuacionPares.h"
#include "SemillasAlineacion.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

namespace portiva::motor {

static_assert(std::endian::native == std::endian::little,
              "stored descriptors are read in place as little-endian words");

namespace {

using alineacion::ConsultaVista;
using alineacion::Guardada;
using alineacion::Trabajo;

constexpr float Pi = std::numbers::pi_v<float>;
constexpr float RadPorUnidad = 2 * Pi / 256.0f;
// Estimation error of one minutia's direction, added to the rotation tolerance.
constexpr float HolguraRotacion = 12.0f * Pi / 180.0f;
// Local pairs further apart in direction than tolerance + this can never be aligned.
constexpr int HolguraParesUnidades = 14; // 20 degrees
constexpr int SemillasConsulta = 24;
constexpr float DistanciaRapida = 14.0f;
// A minutia where the ridge flow is unclear or near the edge of the print is often one that the
// other impression does not show, or shows elsewhere: it counts in the overlap by its quality,
// from 0.4 for none to whole for full. Not less: the score weighs the paired shares of the
// overlap heavily (PuntuacionPares.h), and a print rated poorer everywhere (a worse sensor, a
// dry day) must not make chance pairs a much larger share of it.
constexpr float PesoSolapeMinimo = 0.4f;
// The local drift of the skin: pairs within about this many pixels move together.
constexpr float RadioDeriva = 30.0f;
constexpr int ParesMinimosDeriva = 4;
constexpr int PasadasDeriva = 2;
constexpr float PuntuacionMinimaDeriva = 30.0f;
// The quick count's best alignments that may be paired in full, and the score from which the
// ones after the first are tried.
constexpr int AlineacionesCandidatas = 3;
constexpr float PuntuacionMinimaOtrasAlineaciones = 30.0f;
// The chance pairs of a pairing: the placement moved by this much (two to three ridges, beyond
// the pairing's tolerance of 8-18 px) in each of eight directions, for a comparison that scores
// at least this much (below it no threshold of the station lies, and nearly every comparison of
// an identification is such a one).
constexpr float DesplazamientoAzar = 24.0f;
constexpr int DireccionesAzar = 8;
constexpr float PuntuacionMinimaAzar = 20.0f;

std::uint16_t leer16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

float pesoSolape(std::uint8_t calidad) {
    return PesoSolapeMinimo + (1 - PesoSolapeMinimo) * static_cast<float>(calidad) / 255.0f;
}

float rotacionNormalizada(float r) {
    r = std::fmod(r, 2 * Pi);
    if (r > Pi)
        r -= 2 * Pi;
    if (r < -Pi)
        r += 2 * Pi;
    return r;
}

} // namespace

std::shared_ptr<const ConsultaPreparada> ConsultaPreparada::crear(const std::uint8_t* plantilla,
                                                                  std::size_t tamano,
                                                                  ParametrosComparacion parametros,
                                                                  int& resultado) {
    VistaPlantilla v;
    resultado = CodecPlantilla::examinar(plantilla, tamano, v);
    if (resultado != codigo::Ok)
        return nullptr;
    auto c = desdeVista(v, parametros);
    c->bytes_.assign(plantilla, plantilla + v.longitud);
    return c;
}

std::shared_ptr<ConsultaPreparada> ConsultaPreparada::desdeVista(const VistaPlantilla& v,
                                                                 ParametrosComparacion parametros) {
    std::shared_ptr<ConsultaPreparada> c(new ConsultaPreparada());
    c->parametros_ = parametros;
    c->suma_ = v.suma;
    c->n_ = v.n;
    const std::size_t n = static_cast<std::size_t>(v.n);
    c->x_.resize(n);
    c->y_.resize(n);
    c->angulo_.resize(n);
    c->tipo_.resize(n);
    c->pesoSolape_.resize(n);
    c->celdas_.resize(4 * n);
    c->validas_.resize(4 * n);
    // Kept in order of direction, so that comparing scans only a window of directions.
    c->orden_.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        c->orden_[i] = static_cast<int>(i);
    std::stable_sort(c->orden_.begin(), c->orden_.end(),
                     [&](int a, int b) { return v.minucias[8 * a + 4] < v.minucias[8 * b + 4]; });
    for (std::size_t k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(c->orden_[k]);
        const std::uint8_t* m = v.minucias + 8 * i;
        c->x_[k] = leer16(m);
        c->y_[k] = leer16(m + 2);
        c->angulo_[k] = m[4];
        c->tipo_[k] = m[5];
        c->pesoSolape_[k] = pesoSolape(m[6]);
        std::memcpy(&c->celdas_[4 * k], v.cilindros + 64 * i, 32);
        std::memcpy(&c->validas_[4 * k], v.cilindros + 64 * i + 32, 32);
    }
    // Seeds are looked for among the query's most reliable minutiae only: those with a
    // descriptor, best quality first, kept in the same order of direction.
    std::vector<int> candidatas;
    for (std::size_t k = 0; k < n; ++k) {
        const std::uint64_t* val = &c->validas_[4 * k];
        if ((val[0] | val[1] | val[2] | val[3]) != 0)
            candidatas.push_back(static_cast<int>(k));
    }
    if (candidatas.size() > static_cast<std::size_t>(SemillasConsulta)) {
        std::stable_sort(candidatas.begin(), candidatas.end(), [&](int a, int b) {
            return v.minucias[8 * c->orden_[static_cast<std::size_t>(a)] + 6] >
                   v.minucias[8 * c->orden_[static_cast<std::size_t>(b)] + 6];
        });
        candidatas.resize(SemillasConsulta);
        std::sort(candidatas.begin(), candidatas.end());
    }
    for (int k : candidatas) {
        const auto uk = static_cast<std::size_t>(k);
        c->sIndice_.push_back(k);
        c->sAngulo_.push_back(c->angulo_[uk]);
        c->sCeldas_.insert(c->sCeldas_.end(), &c->celdas_[4 * uk], &c->celdas_[4 * uk] + 4);
        c->sValidas_.insert(c->sValidas_.end(), &c->validas_[4 * uk], &c->validas_[4 * uk] + 4);
    }
    c->sTraspuestos_ = alineacion::DescriptoresTraspuestos(c->sCeldas_.data(), c->sValidas_.data(),
                                                           static_cast<int>(c->sIndice_.size()));
    // First seed candidate at or after each direction, wrapping round.
    c->sPrimero_.assign(256, 0);
    for (int a = 0; a < 256; ++a) {
        std::size_t k = 0;
        while (k < c->sAngulo_.size() && c->sAngulo_[k] < a)
            ++k;
        c->sPrimero_[static_cast<std::size_t>(a)] =
            k < c->sAngulo_.size() ? static_cast<int>(k) : 0;
    }
    c->rejilla_ =
        RejillaMinucias(c->x_.data(), c->y_.data(), c->angulo_.data(), v.n, v.ancho, v.alto);
    c->presencia_ = PresenciaMinucias(c->x_.data(), c->y_.data(), c->angulo_.data(), v.n, v.ancho,
                                      v.alto, DistanciaRapida, Emparejador::AnguloParUnidades);
    c->bloque_ = v.bloque;
    c->gw_ = v.gw;
    c->gh_ = v.gh;
    c->orientacion_.assign(v.orientacion, v.orientacion + v.gw * v.gh);
    c->celdasFlujo_ = celdasConCrestas({c->orientacion_.data(), c->bloque_, c->gw_, c->gh_});
    return c;
}

int ConsultaPreparada::comparar(const std::uint8_t* bytes, std::size_t tamano, int& puntuacion,
                                DetalleComparacion* detalle) const {
    return compararCon(bytes, tamano, true, puntuacion, detalle);
}

int ConsultaPreparada::compararComprobada(const std::uint8_t* bytes, std::size_t tamano,
                                          int& puntuacion) const {
    return compararCon(bytes, tamano, false, puntuacion, nullptr);
}

// The best pairing found one way round: the stored template's minutiae onto the query's.
struct ConsultaPreparada::Sentido {
    float s = 0;
    // The score before it was weighed against chance, and the chance pairs (-1: not asked).
    float sinAzar = 0, alAzar = -1;
    Emparejado e;
    Transformacion t;
};

void ConsultaPreparada::unSentido(const VistaPlantilla& v, Sentido& resultado) const {
    resultado.s = 0;
    resultado.e.n = 0;
    if (n_ == 0 || v.n == 0)
        return;

    Guardada g;
    g.n = v.n;
    for (int j = 0; j < v.n; ++j) {
        const std::uint8_t* m = v.minucias + 8 * j;
        g.x[static_cast<std::size_t>(j)] = leer16(m);
        g.y[static_cast<std::size_t>(j)] = leer16(m + 2);
        g.angulo[static_cast<std::size_t>(j)] = m[4];
        g.tipo[static_cast<std::size_t>(j)] = m[5];
    }
    const float tolerancia = static_cast<float>(parametros_.rotacion) * Pi / 180.0f;
    const int limite = std::min(128, static_cast<int>(std::lround(tolerancia / RadPorUnidad)) +
                                         HolguraParesUnidades);
    const float rotMax = tolerancia + HolguraRotacion;

    Trabajo t;
    const ConsultaVista q{static_cast<int>(sIndice_.size()),
                          sAngulo_.data(),
                          sCeldas_.data(),
                          sValidas_.data(),
                          sPrimero_.data(),
                          &sTraspuestos_};
    alineacion::buscarSemillas(q, g, v.cilindros, limite, t);

    // Each seed's alignment is first judged by a quick count (stored minutiae that land near a
    // query minutia of like direction, one look-up each); only the best few are paired in full.
    auto contar = [&](const Transformacion& tr) {
        return presencia_.contar(g.x.data(), g.y.data(), g.angulo.data(), g.n, tr, tr.rotUnidades);
    };
    MejoresAlineaciones<Transformacion, AlineacionesCandidatas> candidatas;
    for (int k = 0; k < t.nSemillas; ++k) {
        auto s = t.semillas[static_cast<std::size_t>(k)];
        s.i = sIndice_[static_cast<std::size_t>(s.i)];
        const float rot =
            rotacionNormalizada(static_cast<float>(angulo_[static_cast<std::size_t>(s.i)] -
                                                   g.angulo[static_cast<std::size_t>(s.j)]) *
                                RadPorUnidad);
        if (std::fabs(rot) > rotMax)
            continue;
        const Transformacion tr =
            hacia(rot, x_[static_cast<std::size_t>(s.i)], y_[static_cast<std::size_t>(s.i)],
                  g.x[static_cast<std::size_t>(s.j)], g.y[static_cast<std::size_t>(s.j)]);
        candidatas.ofrecer(tr, contar(tr));
    }

    if (candidatas.size() == 0)
        return;

    Emparejador emparejador(rejilla_, tipo_.data(), celdas_.data(), validas_.data(), g,
                            v.cilindros);
    // The stored minutiae's weights in the overlap, read once a comparison gets that far.
    std::array<float, MaxMinucias> pesoG;
    bool pesoGLeido = false;
    // One alignment paired in full, refitted, scored, re-paired along the drift and judged by
    // the flow. Returns false when it pairs nothing.
    auto evaluar = [&](const Transformacion& inicial, Sentido& evaluada) {
        Emparejado& mejor = evaluada.e;
        Transformacion& mejorT = evaluada.t;
        Emparejado actual;
        mejorT = inicial;
        emparejador.emparejar(mejorT, mejor);
        if (mejor.n >= 3) {
            // Least-squares rigid fit on the pairs found, then pair again.
            const AjusteRigido a = ajustarRigido(x_.data(), y_.data(), g.x.data(), g.y.data(),
                                                 mejor.pares.data(), mejor.n);
            const float rot = a.rotacion;
            if (std::fabs(rot) <= rotMax) {
                const Transformacion tr = hacia(rot, a.qx, a.qy, a.gx, a.gy);
                emparejador.emparejar(tr, actual);
                if (actual.peso > mejor.peso) {
                    mejor = actual;
                    mejorT = tr;
                }
            }
        }
        if (mejor.n == 0)
            return false;

        // How many minutiae, by their weight, each print has where the other one shows ridges.
        if (!pesoGLeido) {
            for (int j = 0; j < g.n; ++j)
                pesoG[static_cast<std::size_t>(j)] = pesoSolape(v.minucias[8 * j + 6]);
            pesoGLeido = true;
        }
        const float gDentro = pesoConCrestas(g.x.data(), g.y.data(), pesoG.data(), g.n, mejorT,
                                             false, {orientacion_.data(), bloque_, gw_, gh_});
        const float qDentro = pesoConCrestas(x_.data(), y_.data(), pesoSolape_.data(), n_, mejorT,
                                             true, {v.orientacion, v.bloque, v.gw, v.gh});
        auto puntuar = [&](float peso, const Emparejado& e) {
            return puntuacionPares(peso, e.n, qDentro, gDentro);
        };
        // Dense prints pair many minutiae by chance under one alignment; a pair counts by how
        // well its neighbours confirm it. That only lowers the weight: a score that rounds to 0
        // stays 0.
        auto pesoConfirmadoDe = [&](const Emparejado& e) {
            return pesoConfirmado(e.pares.data(), e.pesoPar.data(), e.n, x_.data(), y_.data(),
                                  angulo_.data(), g.x.data(), g.y.data(), g.angulo.data(), mejorT,
                                  mejorT.rotUnidades);
        };
        float s = puntuar(mejor.peso, mejor);
        if (s >= 0.5f)
            s = puntuar(pesoConfirmadoDe(mejor), mejor);
        // Paired again with each stored minutia moved by the drift of the pairs around it (the
        // skin stretched), twice, each time from the better pairing so far, for comparisons that
        // may come near a threshold: one that scores this little ends far below any, and nearly
        // every comparison of an identification is such a one.
        for (int vuelta = 0;
             vuelta < PasadasDeriva && mejor.n >= ParesMinimosDeriva && s >= PuntuacionMinimaDeriva;
             ++vuelta) {
            std::array<float, MaxMinucias> dx, dy;
            derivasLocales(mejor.pares.data(), mejor.pesoPar.data(), mejor.n, x_.data(), y_.data(),
                           g.x.data(), g.y.data(), g.n, mejorT, RadioDeriva, dx.data(), dy.data());
            emparejador.emparejar(mejorT, actual, dx.data(), dy.data());
            const float sDeriva = puntuar(pesoConfirmadoDe(actual), actual);
            if (sDeriva <= s)
                break; // the same pairing would give the same drift again
            mejor = actual;
            s = sDeriva;
        }
        // The flow over the whole overlap tells an impostor's alignment from a finger's where
        // unrelated prints of one pattern class pair many minutiae by chance. It is judged only
        // where it can change the score: the factor is at most 1, so a score that rounds to 0
        // stays 0.
        if (s >= 0.5f)
            s *= factorAcuerdo(
                acuerdoOrientacion(celdasFlujo_, {v.orientacion, v.bloque, v.gw, v.gh}, mejorT));
        // Pairs bunched within a couple of ridges of each other are not independent evidence:
        // where the flow agrees, as round the cores of two loops, chance pairs a bunch as
        // easily as one minutia.
        if (s >= 0.5f)
            s *= independenciaPares(mejor.pares.data(), mejor.n, x_.data(), y_.data());
        evaluada.s = s;
        return true;
    };

    // The best alignment by the quick count is the right one for nearly every pair that
    // matches; the next ones are tried only for a pair that may come near a threshold, where a
    // count misled by a distorted or small overlap costs a member the door.
    Sentido otra;
    if (!evaluar(candidatas[0], resultado)) {
        resultado.s = 0;
        resultado.e.n = 0;
        return;
    }
    for (int k = 1; k < candidatas.size() && resultado.s >= PuntuacionMinimaOtrasAlineaciones; ++k)
        if (evaluar(candidatas[k], otra) && otra.s > resultado.s)
            resultado = otra;
    // Where the flow of both prints agrees and their minutiae bunch or line up, a placement a
    // few ridges off pairs nearly as many: the pairs found are then no more than chance. Judged
    // once, on the pairing kept, so that it does not choose among the alignments.
    resultado.sinAzar = resultado.s;
    if (resultado.s >= PuntuacionMinimaAzar) {
        float alAzar = 0;
        for (int d = 0; d < DireccionesAzar; ++d) {
            const float a = 2 * Pi * static_cast<float>(d) / DireccionesAzar;
            Transformacion movida = resultado.t;
            movida.tx += DesplazamientoAzar * std::cos(a);
            movida.ty += DesplazamientoAzar * std::sin(a);
            emparejador.emparejar(movida, otra.e);
            alAzar += static_cast<float>(otra.e.n);
        }
        resultado.alAzar = alAzar / DireccionesAzar;
        resultado.s *= factorAzar(resultado.e.n, resultado.alAzar);
    }
}

int ConsultaPreparada::compararCon(const std::uint8_t* bytes, std::size_t tamano,
                                   bool comprobarSuma, int& puntuacion,
                                   DetalleComparacion* detalle) const {
    puntuacion = 0;
    if (detalle != nullptr) {
        detalle->pares.clear();
        detalle->sumaConsulta = suma_;
    }
    VistaPlantilla v;
    const int r = CodecPlantilla::examinar(bytes, tamano, v, comprobarSuma);
    if (r != codigo::Ok)
        return r;
    Sentido ida;
    unSentido(v, ida);
    // Seeds, quick count and pairing each start from one side, so the two ways round do not
    // always find the same alignment. A comparison that scores at least PuntuacionMinimaVuelta
    // is also made the other way round, the stored print as the query: when that way scores less
    // than PuntuacionMinimaVuelta too, its score is the answer, which is what the other way round
    // answers without looking further; otherwise the better of the two. Either way round the
    // two prints get one score whenever either reaches PuntuacionMinimaVuelta, and so one
    // decision at every threshold from there up. Nearly every comparison of an identification
    // scores less and costs nothing more. Which way reaches PuntuacionMinimaVuelta is judged on
    // the scores before they are weighed against chance: that weighing would otherwise drop one
    // way under it and throw away a pairing the other way found, and it is the same whichever
    // print is the query.
    const Sentido* elegido = &ida;
    Sentido vuelta;
    std::shared_ptr<const ConsultaPreparada> inversa;
    constexpr auto Vuelta = static_cast<float>(PuntuacionMinimaVuelta) / EscalaAzar;
    if (ida.sinAzar >= Vuelta) {
        // The stored bytes were checked above; this query's own when it was made.
        inversa = desdeVista(v, parametros_);
        VistaPlantilla esta;
        if (CodecPlantilla::examinar(bytes_.data(), bytes_.size(), esta, false) == codigo::Ok) {
            inversa->unSentido(esta, vuelta);
            if (vuelta.sinAzar < Vuelta || vuelta.s > ida.s)
                elegido = &vuelta;
        }
    }
    puntuacion = redondear(elegido->s);
    if (detalle != nullptr) {
        if (elegido == &vuelta)
            inversa->detallar(vuelta, v, true, *detalle);
        else
            detallar(ida, v, false, *detalle);
    }
    return puntuacion >= parametros_.umbral ? codigo::Coincide : 0;
}

int ConsultaPreparada::redondear(float s) {
    return static_cast<int>(
        std::lround(std::min(s * EscalaAzar, static_cast<float>(PuntuacionMaxima))));
}

void ConsultaPreparada::detallar(const Sentido& sentido, const VistaPlantilla& guardada,
                                 bool vuelta, DetalleComparacion& detalle) const {
    const Emparejado& mejor = sentido.e;
    const Transformacion& mejorT = sentido.t;
    detalle.paresAlAzar = sentido.alAzar;
    detalle.pares.reserve(static_cast<std::size_t>(mejor.n));
    for (int k = 0; k < mejor.n; ++k) {
        const auto [i, j] = mejor.pares[static_cast<std::size_t>(k)];
        // Made the other way round, this query is the stored print and the pairs and the
        // placement are turned back: stored = R query + t gives query = R^T (stored - t).
        if (vuelta)
            detalle.pares.emplace_back(j, orden_[i]);
        else
            detalle.pares.emplace_back(orden_[i], j);
    }
    if (vuelta) {
        detalle.rotacion = -mejorT.rot;
        detalle.dx = -(mejorT.c * mejorT.tx + mejorT.s * mejorT.ty);
        detalle.dy = -(-mejorT.s * mejorT.tx + mejorT.c * mejorT.ty);
    } else {
        detalle.rotacion = mejorT.rot;
        detalle.dx = mejorT.tx;
        detalle.dy = mejorT.ty;
    }
    detalle.bloque = guardada.bloque;
    detalle.gw = guardada.gw;
    detalle.gh = guardada.gh;
    detalle.orientacionGuardada.assign(guardada.orientacion,
                                       guardada.orientacion + guardada.gw * guardada.gh);
}

} // namespace portiva::motor
