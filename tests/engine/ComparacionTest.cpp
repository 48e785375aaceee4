#include "CodigosMotor.h"
#include "ConsultaPreparada.h"
#include "HuellasMotor.h"
#include "MotorHuella.h"
#include "Plantilla.h"
#include "PuntuacionPares.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <thread>

using namespace portiva;
using namespace portiva::motor;

namespace {

class Comparacion : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        motor_ = new MotorHuella();
        motor_->Inicializar();
        plantillas_ = new std::vector<std::vector<std::vector<std::uint8_t>>>();
        for (int d = 0; d < Dedos; ++d) {
            plantillas_->emplace_back();
            for (int i = 0; i < Impresiones; ++i)
                plantillas_->back().push_back(
                    prueba::plantillaDe(*motor_, prueba::impresion(d, i)));
        }
    }
    static void TearDownTestSuite() {
        delete plantillas_;
        delete motor_;
    }
    void SetUp() override {
        motor_->FijarParametrosIdentificacion(MotorHuella::UmbralIdentificacionPorDefecto,
                                              MotorHuella::RotacionIdentificacionPorDefecto);
        motor_->FijarParametrosVerificacion(MotorHuella::UmbralVerificacionPorDefecto,
                                            MotorHuella::RotacionVerificacionPorDefecto);
    }
    static const std::vector<std::uint8_t>& p(int d, int i) {
        return (*plantillas_)[static_cast<std::size_t>(d)][static_cast<std::size_t>(i)];
    }
    static int verificar(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b,
                         int& s) {
        return motor_->Verificar(a.data(), static_cast<int>(a.size()), b.data(),
                                 static_cast<int>(b.size()), s, 0);
    }

    // A query prepared with the identification defaults; null when the bytes are refused.
    static std::shared_ptr<const ConsultaPreparada> consulta(const std::vector<std::uint8_t>& t) {
        int r = 0;
        return ConsultaPreparada::crear(t.data(), t.size(),
                                        {MotorHuella::UmbralIdentificacionPorDefecto,
                                         MotorHuella::RotacionIdentificacionPorDefecto},
                                        r);
    }

    static constexpr int Dedos = 6;
    static constexpr int Impresiones = 3;
    static MotorHuella* motor_;
    static std::vector<std::vector<std::vector<std::uint8_t>>>* plantillas_;
};

MotorHuella* Comparacion::motor_ = nullptr;
std::vector<std::vector<std::vector<std::uint8_t>>>* Comparacion::plantillas_ = nullptr;

} // namespace

TEST_F(Comparacion, SameFingerMatchesAndDifferentFingersDoNotAtTheDefaults) {
    int aciertos = 0, genuinos = 0;
    for (int d = 0; d < Dedos; ++d)
        for (int a = 0; a < Impresiones; ++a)
            for (int b = a + 1; b < Impresiones; ++b) {
                ASSERT_FALSE(p(d, a).empty());
                int s = 0;
                ++genuinos;
                aciertos += verificar(p(d, a), p(d, b), s) > 0;
            }
    EXPECT_GE(aciertos, genuinos - 1) << "at most one genuine pair of " << genuinos << " missed";
    for (int d = 0; d < Dedos; ++d)
        for (int e = 0; e < Dedos; ++e) {
            if (d == e)
                continue;
            int s = 0;
            EXPECT_EQ(verificar(p(d, 0), p(e, 1), s), 0) << d << " vs " << e << " score " << s;
        }
}

TEST_F(Comparacion, IdentificationFindsTheFingerInATable) {
    ASSERT_EQ(motor_->PrepararIdentificacion(p(4, 1).data(), static_cast<int>(p(4, 1).size()), 0),
              codigo::Ok);
    int primera = -1;
    for (int d = 0; d < Dedos && primera < 0; ++d) {
        int s = 0;
        const int r = motor_->Identificar(p(d, 0).data(), static_cast<int>(p(d, 0).size()), s, 0);
        ASSERT_GE(r, 0);
        if (r == codigo::Coincide) {
            primera = d;
            EXPECT_GE(s, MotorHuella::UmbralIdentificacionPorDefecto);
        }
    }
    EXPECT_EQ(primera, 4);
}

TEST_F(Comparacion, ThresholdReallyChangesTheDecision) {
    // A pair whose score lies inside the range a threshold can take: two impressions of one
    // finger score far above it, so two fingers are looked for, under the rotation tolerance
    // the decisions below use.
    ASSERT_EQ(motor_->FijarParametrosVerificacion(MotorHuella::UmbralVerificacionPorDefecto, 180),
              codigo::Ok);
    int s = 0, a = -1, b = -1, puntuacion = 0;
    for (int x = 0; x < Dedos * Impresiones && a < 0; ++x)
        for (int y = 0; y < Dedos * Impresiones && a < 0; ++y) {
            verificar(p(x / Impresiones, x % Impresiones), p(y / Impresiones, y % Impresiones), s);
            if (s > MotorHuella::UmbralMinimo && s < MotorHuella::UmbralMaximo) {
                a = x;
                b = y;
                puntuacion = s;
            }
        }
    ASSERT_GE(a, 0) << "no pair scores between the thresholds' limits";
    const auto& pa = p(a / Impresiones, a % Impresiones);
    const auto& pb = p(b / Impresiones, b % Impresiones);
    ASSERT_EQ(motor_->FijarParametrosVerificacion(puntuacion + 1, 180), codigo::Ok);
    EXPECT_EQ(verificar(pa, pb, s), 0);
    EXPECT_EQ(s, puntuacion) << "the score does not depend on the threshold";
    ASSERT_EQ(motor_->FijarParametrosVerificacion(puntuacion, 180), codigo::Ok);
    EXPECT_EQ(verificar(pa, pb, s), 1);
    ASSERT_EQ(motor_->FijarParametrosVerificacion(MotorHuella::UmbralVerificacionPorDefecto, 180),
              codigo::Ok);
    ASSERT_EQ(verificar(p(0, 1), p(0, 2), s), 1);
    const int genuina = s;

    // Identification keeps its own threshold, also for a query prepared before the change.
    ASSERT_EQ(motor_->PrepararIdentificacion(p(0, 1).data(), static_cast<int>(p(0, 1).size()), 0),
              codigo::Ok);
    EXPECT_EQ(motor_->Identificar(p(0, 2).data(), static_cast<int>(p(0, 2).size()), s, 0), 1);
    ASSERT_EQ(motor_->FijarParametrosIdentificacion(200, 180), codigo::Ok);
    EXPECT_EQ(motor_->Identificar(p(0, 2).data(), static_cast<int>(p(0, 2).size()), s, 0),
              genuina >= 200 ? 1 : 0);
}

TEST_F(Comparacion, RotationToleranceDecidesOnARotatedPrint) {
    fpgen::GeneradorHuellas gen;
    const auto recta = prueba::plantillaDe(*motor_, [&] {
        auto i = gen.impresionRotada(prueba::SemillaMotor, 2, 0.0);
        return i;
    }());
    const auto girada =
        prueba::plantillaDe(*motor_, gen.impresionRotada(prueba::SemillaMotor, 2, 30.0));
    ASSERT_FALSE(recta.empty());
    ASSERT_FALSE(girada.empty());
    int s180 = 0, s0 = 0;
    ASSERT_EQ(motor_->FijarParametrosVerificacion(MotorHuella::UmbralVerificacionPorDefecto, 180),
              codigo::Ok);
    EXPECT_EQ(verificar(girada, recta, s180), 1) << "score " << s180;
    ASSERT_EQ(motor_->FijarParametrosVerificacion(MotorHuella::UmbralVerificacionPorDefecto, 0),
              codigo::Ok);
    EXPECT_EQ(verificar(girada, recta, s0), 0) << "score " << s0;
    // Unrotated prints still match with no tolerance at all.
    EXPECT_EQ(verificar(recta, recta, s0), 1);
}

TEST_F(Comparacion, DamagedStoredTemplatesGiveAnErrorNotAMatch) {
    ASSERT_EQ(motor_->PrepararIdentificacion(p(1, 0).data(), static_cast<int>(p(1, 0).size()), 0),
              codigo::Ok);
    int s = 0;
    auto roto = p(1, 1);
    roto[roto.size() / 2] ^= 0x10;
    EXPECT_LT(motor_->Identificar(roto.data(), static_cast<int>(roto.size()), s, 0), 0);
    EXPECT_EQ(s, 0);
    EXPECT_LT(motor_->Identificar(roto.data(), 0, s, 0), 0);
    EXPECT_LT(motor_->Identificar(roto.data(), 10, s, 0), 0);
    EXPECT_EQ(motor_->Identificar(nullptr, 10, s, 0), codigo::ParametroNulo);
    std::vector<std::uint8_t> grande(TamanoMaximoPlantilla + 1, 0x41);
    EXPECT_LT(motor_->Identificar(grande.data(), static_cast<int>(grande.size()), s, 0), 0);
    // The query itself damaged: preparation refused, the previous query stays.
    EXPECT_LT(motor_->PrepararIdentificacion(roto.data(), static_cast<int>(roto.size()), 0), 0);
    EXPECT_EQ(motor_->Identificar(p(1, 2).data(), static_cast<int>(p(1, 2).size()), s, 0), 1);
    // Exactly the template, without the station's extra byte, is valid too.
    const auto& exacta = p(1, 2);
    EXPECT_EQ(motor_->Identificar(exacta.data(), static_cast<int>(exacta.size()) - 1, s, 0), 1);
}

TEST_F(Comparacion, PreparedQueryGivesTheSameAnswersOnManyThreads) {
    ASSERT_EQ(motor_->PrepararIdentificacion(p(3, 0).data(), static_cast<int>(p(3, 0).size()), 0),
              codigo::Ok);
    const auto consulta = motor_->ConsultaIdentificacion();
    ASSERT_TRUE(consulta);
    std::vector<const std::vector<std::uint8_t>*> tabla;
    for (int k = 0; k < 400; ++k)
        tabla.push_back(&p(k % Dedos, 1 + k % (Impresiones - 1)));
    std::vector<int> esperado(tabla.size()), puntos(tabla.size());
    for (std::size_t k = 0; k < tabla.size(); ++k)
        esperado[k] = consulta->comparar(tabla[k]->data(), tabla[k]->size(), puntos[k]);
    std::vector<int> obtenido(tabla.size(), -99), puntos2(tabla.size(), -1);
    std::vector<std::thread> hilos;
    for (int h = 0; h < 4; ++h)
        hilos.emplace_back([&, h] {
            for (std::size_t k = static_cast<std::size_t>(h); k < tabla.size(); k += 4)
                obtenido[k] = consulta->comparar(tabla[k]->data(), tabla[k]->size(), puntos2[k]);
        });
    for (auto& t : hilos)
        t.join();
    EXPECT_EQ(obtenido, esperado);
    EXPECT_EQ(puntos2, puntos);
    EXPECT_EQ(esperado[3], 1) << "row 3 holds finger 3";
}

TEST_F(Comparacion, ACheckedGalleryRowGetsTheSameAnswerWithoutItsChecksumRecomputed) {
    const auto q = consulta(p(2, 0));
    ASSERT_TRUE(q);
    for (int d = 0; d < Dedos; ++d)
        for (int i = 0; i < Impresiones; ++i) {
            int a = -1, b = -2;
            EXPECT_EQ(q->compararComprobada(p(d, i).data(), p(d, i).size(), b),
                      q->comparar(p(d, i).data(), p(d, i).size(), a));
            EXPECT_EQ(a, b);
        }
    // Bounds are still checked: a template cut short or with a minutia off its frame is refused.
    auto corta = p(2, 1);
    corta.resize(corta.size() / 2);
    int s = 0;
    EXPECT_LT(q->compararComprobada(corta.data(), corta.size(), s), 0);
    auto fuera = p(2, 1);
    fuera[TamanoCabeceraPlantilla + 1] = 0xFF; // x of the first minutia, high byte
    EXPECT_LT(q->comparar(fuera.data(), fuera.size(), s), 0);
    EXPECT_LT(q->compararComprobada(fuera.data(), fuera.size(), s), 0);
}

namespace {

// The template with the quality of each minutia set by `calidad(index, quality)`; with `paso` above
// 1, only every paso-th minutia is kept (a print that shows less).
std::vector<std::uint8_t>
conCalidades(const std::vector<std::uint8_t>& plantilla,
             const std::function<std::uint8_t(int, std::uint8_t)>& calidad, std::size_t paso = 1) {
    DatosPlantilla d;
    EXPECT_EQ(CodecPlantilla::decodificar(plantilla.data(), plantilla.size(), d), 0);
    for (std::size_t i = 0, k = 0; i < d.minucias.size(); i += paso, ++k) {
        d.minucias[k] = d.minucias[i];
        d.cilindros[k] = d.cilindros[i];
        d.segmentos[k] = d.segmentos[i];
    }
    const std::size_t quedan = (d.minucias.size() + paso - 1) / paso;
    d.minucias.resize(quedan);
    d.cilindros.resize(quedan);
    d.segmentos.resize(quedan);
    for (std::size_t i = 0; i < d.minucias.size(); ++i)
        d.minucias[i].calidad = calidad(static_cast<int>(i), d.minucias[i].calidad);
    std::vector<std::uint8_t> salida(TamanoMaximoPlantilla);
    int usados = 0;
    EXPECT_EQ(CodecPlantilla::codificar(d, salida.data(), static_cast<int>(salida.size()), usados),
              0);
    salida.resize(static_cast<std::size_t>(usados));
    return salida;
}

} // namespace

TEST_F(Comparacion, MinutiaeOfPoorQualityCountLessInTheOverlap) {
    const auto q = consulta(p(1, 0));
    ASSERT_TRUE(q);
    // A stored print that shows a quarter of its minutiae, so that the score is not at its top
    // and some of the stored minutiae in the overlap find no pair.
    constexpr std::size_t Paso = 4;
    const auto llena = conCalidades(
        p(1, 1), [](int, std::uint8_t) { return std::uint8_t{255}; }, Paso);
    int sLlena = 0;
    DetalleComparacion det;
    q->comparar(llena.data(), llena.size(), sLlena, &det);
    ASSERT_GT(det.pares.size(), 5u);
    ASSERT_LT(sLlena, ConsultaPreparada::PuntuacionMaxima / 2);
    std::vector<bool> emparejada(256, false);
    for (const auto& par : det.pares)
        emparejada[static_cast<std::size_t>(par.second)] = true;

    // The score with the stored print's paired and unpaired minutiae rated as given.
    auto puntuacionCon = [&](std::uint8_t pareadas, std::uint8_t sueltas) {
        const auto t = conCalidades(
            p(1, 1),
            [&](int i, std::uint8_t) {
                return emparejada[static_cast<std::size_t>(i)] ? pareadas : sueltas;
            },
            Paso);
        int s = 0;
        q->comparar(t.data(), t.size(), s);
        return s;
    };
    // The stored minutiae left unpaired, rated poor: the prints share less than they seemed
    // to, so the same pairs are a larger share of it.
    EXPECT_GT(puntuacionCon(255, 0), sLlena);
    // The paired ones rated poor instead: they still count in full as pairs, and the overlap
    // is never taken as smaller than the number of pairs.
    EXPECT_GE(puntuacionCon(0, 255), sLlena);
}

TEST_F(Comparacion, PrintsHalfAsClearEverywhereStillDoNotMatchOtherFingers) {
    // A print whose ridges are unclear everywhere has every minutia rated lower, and so a smaller
    // overlap: chance pairs weigh more in it. Rated half as clear as it is (about what the
    // poorest real prints show against the typical ones), unrelated fingers stay below the
    // identification default and each finger still matches itself.
    std::vector<std::vector<std::uint8_t>> pobres;
    for (int d = 0; d < Dedos; ++d)
        pobres.push_back(conCalidades(
            p(d, 0), [](int, std::uint8_t c) { return static_cast<std::uint8_t>(c / 2); }));
    for (int a = 0; a < Dedos; ++a) {
        const auto q = consulta(pobres[static_cast<std::size_t>(a)]);
        ASSERT_TRUE(q);
        for (int b = 0; b < Dedos; ++b) {
            int s = 0;
            const auto& g = pobres[static_cast<std::size_t>(b)];
            const int c = q->comparar(g.data(), g.size(), s);
            if (a == b)
                EXPECT_EQ(c, 1) << a;
            else
                EXPECT_EQ(c, 0) << a << " against " << b << " scores " << s;
        }
    }
}

TEST_F(Comparacion, EitherImpressionMayBeTheQueryAndThePairsDrawnLandOnEachOther) {
    // Prints that show less of the finger (every second or third minutia only), so that the
    // scores stay under the cap and the two ways round find different pairings.
    std::vector<std::vector<std::uint8_t>> t;
    const auto igual = [](int, std::uint8_t c) { return c; };
    for (int d = 0; d < Dedos; ++d)
        for (int i = 0; i < Impresiones; ++i) {
            t.push_back(conCalidades(p(d, i), igual, static_cast<std::size_t>(i + 1)));
        }
    int comparadas = 0;
    for (std::size_t a = 0; a < t.size(); ++a)
        for (std::size_t b = 0; b < t.size(); ++b) {
            if (a == b)
                continue;
            const auto ida = consulta(t[a]), vuelta = consulta(t[b]);
            ASSERT_TRUE(ida && vuelta);
            int s1 = 0, s2 = 0;
            DetalleComparacion detalle;
            ida->comparar(t[b].data(), t[b].size(), s1, &detalle);
            vuelta->comparar(t[a].data(), t[a].size(), s2);
            if (s1 < ConsultaPreparada::PuntuacionMinimaVuelta &&
                s2 < ConsultaPreparada::PuntuacionMinimaVuelta)
                continue; // below every threshold either way round
            ++comparadas;
            EXPECT_EQ(s1, s2) << a << " vs " << b;
            // The drawing's placement carries each paired stored minutia onto the query minutia
            // it was paired with, whichever way round the pairing was found.
            DatosPlantilla q, g;
            ASSERT_EQ(CodecPlantilla::decodificar(t[a].data(), t[a].size(), q), 0);
            ASSERT_EQ(CodecPlantilla::decodificar(t[b].data(), t[b].size(), g), 0);
            const float c = std::cos(detalle.rotacion), sn = std::sin(detalle.rotacion);
            float peor = 0;
            for (const auto& [i, j] : detalle.pares) {
                ASSERT_LT(static_cast<std::size_t>(i), q.minucias.size());
                ASSERT_LT(static_cast<std::size_t>(j), g.minucias.size());
                const auto& mq = q.minucias[static_cast<std::size_t>(i)];
                const auto& mg = g.minucias[static_cast<std::size_t>(j)];
                const float gx = mg.x, gy = mg.y;
                peor = std::max(peor, std::hypot(c * gx - sn * gy + detalle.dx - mq.x,
                                                 sn * gx + c * gy + detalle.dy - mq.y));
            }
            // The pairing tolerance, plus the skin's drift it may follow.
            EXPECT_LT(peor, 30.0f) << a << " vs " << b;
        }
    EXPECT_GE(comparadas, Dedos * Impresiones * (Impresiones - 1)) << "every pair of one finger";
}

TEST_F(Comparacion, MinutiaeInRowsTheOtherPrintAlsoShowsInRowsPairByChanceAFingersDoNot) {
    // One finger's two impressions: moved a few ridges off the placement found, few of its pairs
    // remain, and the score stays a match.
    {
        int s = 0;
        DetalleComparacion detalle;
        consulta(p(0, 0))->comparar(p(0, 1).data(), p(0, 1).size(), s, &detalle);
        EXPECT_GE(s, MotorHuella::UmbralIdentificacionPorDefecto);
        ASSERT_GE(detalle.paresAlAzar, 0.0f);
        EXPECT_LT(detalle.paresAlAzar, static_cast<float>(detalle.pares.size()) / 3);
    }
    // The same print with its minutiae laid in rows and columns 24 px apart, all one way, as
    // the endings along a crease or the generator's bunches round a core: laid on itself it
    // pairs every minutia, but so does the placement moved by a row, so the pairs say little.
    DatosPlantilla d;
    ASSERT_EQ(CodecPlantilla::decodificar(p(0, 0).data(), p(0, 0).size(), d), 0);
    const int columnas = 6;
    for (std::size_t k = 0; k < d.minucias.size(); ++k) {
        auto& m = d.minucias[k];
        m.x = static_cast<std::uint16_t>(d.ancho / 2 - 60 + 24 * static_cast<int>(k % columnas));
        m.y = static_cast<std::uint16_t>(d.alto / 2 - 60 + 24 * static_cast<int>(k / columnas % 6));
        m.angulo = 64;
        m.tipo = TipoMinucia::Terminacion;
    }
    d.minucias.resize(std::min<std::size_t>(d.minucias.size(), 36));
    d.cilindros.resize(d.minucias.size());
    d.segmentos.resize(d.minucias.size());
    std::vector<std::uint8_t> enFilas(TamanoMaximoPlantilla);
    int usados = 0;
    ASSERT_EQ(
        CodecPlantilla::codificar(d, enFilas.data(), static_cast<int>(enFilas.size()), usados), 0);
    enFilas.resize(static_cast<std::size_t>(usados));
    int s = 0;
    DetalleComparacion detalle;
    consulta(enFilas)->comparar(enFilas.data(), enFilas.size(), s, &detalle);
    const auto n = static_cast<int>(detalle.pares.size());
    EXPECT_GT(detalle.paresAlAzar, static_cast<float>(n) / 2);
    // Such a pairing counts for much less than a finger's as many pairs; the gallery's highest
    // hits (13 pairs, 5.5 of them found wherever the placement goes) for about half.
    EXPECT_LT(factorAzar(n, detalle.paresAlAzar), 0.5f);
    EXPECT_FLOAT_EQ(factorAzar(13, 1.0f), 1.0f);
    EXPECT_LT(factorAzar(13, 5.5f), 0.7f);
    EXPECT_FLOAT_EQ(factorAzar(13, 13.0f), 0.0f);
}
