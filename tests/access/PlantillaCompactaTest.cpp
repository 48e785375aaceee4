// The gallery's compact form of a template: it gives the stored template back byte for byte
// (the ridge segments, which the comparison never reads, zeroed), so every comparison answers
// and scores as on the stored bytes; a template it could not give back exactly is kept as it
// was stored; and compact bytes are never taken for a template by the engine.
#include "PlantillaCompacta.h"
#include "CodigosMotor.h"
#include "ConsultaPreparada.h"
#include "GaleriaHuellas.h"
#include "GaleriaPrueba.h"
#include "HuellasPrueba.h"
#include "MotorHuella.h"
#include "Plantilla.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace portiva {
namespace {

using prueba::PlantillaGuardada;
namespace pc = plantilla_compacta;

std::vector<std::uint8_t> Vector(const QByteArray& b) {
    return {b.begin(), b.end() - 1};
}

std::shared_ptr<const motor::ConsultaPreparada> Consulta(const QByteArray& p) {
    int codigo = 0;
    return motor::ConsultaPreparada::crear(reinterpret_cast<const std::uint8_t*>(p.data()),
                                           static_cast<std::size_t>(p.size()),
                                           {motor::MotorHuella::UmbralIdentificacionPorDefecto,
                                            motor::MotorHuella::RotacionIdentificacionPorDefecto},
                                           codigo);
}

// The answer and score of the comparison on the stored bytes and on what the gallery keeps.
void ExpectMismaComparacion(const std::vector<std::uint8_t>& guardada, const pc::Compacta& c,
                            const std::string& caso) {
    for (const auto& [dedo, impresion] : {std::pair{0, 1}, {3, 1}, {5, 0}}) {
        const auto q = Consulta(PlantillaGuardada(dedo, impresion));
        ASSERT_NE(q, nullptr);
        int esperada = -1, obtenida = -2;
        const int r = q->comparar(guardada.data(), guardada.size(), esperada);
        EXPECT_EQ(GaleriaHuellas::Comparar(*q, c.bytes.get(), c.tamano, obtenida), r) << caso;
        EXPECT_EQ(obtenida, esperada) << caso << ", consulta " << dedo;
    }
}

TEST(PlantillaCompactaTest, DevuelveLaPlantillaYSuComparacionExactas) {
    std::array<std::uint8_t, motor::TamanoMaximoPlantilla> expandida{};
    for (int dedo = 0; dedo < 8; ++dedo)
        for (int impresion = 0; impresion < 2; ++impresion) {
            const std::string caso =
                "dedo " + std::to_string(dedo) + ", impresion " + std::to_string(impresion);
            const std::vector<std::uint8_t> guardada = Vector(PlantillaGuardada(dedo, impresion));
            const pc::Compacta c = pc::Compactar(guardada.data(), guardada.size());
            ASSERT_TRUE(pc::EsCompacta(c.bytes.get(), c.tamano)) << caso;
            const std::size_t n = guardada[19];
            const std::size_t rejilla = std::size_t{guardada[25]} * guardada[26];
            // 7 bytes per minutia and 33 per descriptor, where the file keeps 78.
            EXPECT_EQ(c.tamano, 32 + 40 * n + rejilla) << caso;
            const std::size_t l = pc::Expandir(c.bytes.get(), c.tamano, expandida.data());
            EXPECT_EQ(std::vector<std::uint8_t>(expandida.begin(), expandida.begin() + l),
                      prueba::ComoSeCompara(PlantillaGuardada(dedo, impresion)))
                << caso;
            if (dedo < 3)
                ExpectMismaComparacion(guardada, c, caso);
        }
}

TEST(PlantillaCompactaTest, LoQueNoSePuedeDevolverExactoSeGuardaTalCual) {
    const std::vector<std::uint8_t> buena = Vector(PlantillaGuardada(1, 0));
    const std::size_t n = buena[19];
    ASSERT_GT(n, 2u);
    const std::size_t cilindros = 32 + 8 * n;
    // Bits the format has no place for, each in a template whose checksum says it is whole.
    const std::vector<std::pair<std::string, std::size_t>> bits = {
        {"un bit de validez suelto", cilindros + 64 + 32 + 1},
        {"una celda pasada la ultima", cilindros + 2 * 64 + 24 + 3},
        {"validez pasada la ultima celda", cilindros + 64 + 32 + 24 + 5},
        {"el byte final de una minucia", 32 + 8 + 7}};
    for (const auto& [caso, byte] : bits) {
        std::vector<std::uint8_t> rara = buena;
        rara[byte] ^= 0x02;
        const std::uint32_t suma =
            motor::CodecPlantilla::sumaControl(rara.data() + 16, rara.size() - 16);
        for (int k = 0; k < 4; ++k)
            rara[12 + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(suma >> (8 * k));
        motor::VistaPlantilla v;
        ASSERT_EQ(motor::CodecPlantilla::examinar(rara.data(), rara.size(), v), 0) << caso;
        const pc::Compacta c = pc::Compactar(rara.data(), rara.size());
        EXPECT_FALSE(pc::EsCompacta(c.bytes.get(), c.tamano)) << caso;
        EXPECT_EQ(std::vector<std::uint8_t>(c.bytes.get(), c.bytes.get() + c.tamano), rara) << caso;
        ExpectMismaComparacion(rara, c, caso);
    }
}

TEST(PlantillaCompactaTest, LaFormaCompactaNuncaPasaPorPlantilla) {
    const std::vector<std::uint8_t> guardada = Vector(PlantillaGuardada(2, 0));
    const pc::Compacta c = pc::Compactar(guardada.data(), guardada.size());
    ASSERT_TRUE(pc::EsCompacta(c.bytes.get(), c.tamano));
    const auto q = Consulta(PlantillaGuardada(2, 1));
    int puntuacion = 7;
    // The engine refuses it as it stands; cut short, it expands to nothing.
    EXPECT_EQ(q->compararComprobada(c.bytes.get(), c.tamano, puntuacion),
              motor::codigo::FueraDeLimite);
    std::array<std::uint8_t, motor::TamanoMaximoPlantilla> destino{};
    EXPECT_EQ(pc::Expandir(c.bytes.get(), c.tamano - 1, destino.data()), 0u);
    EXPECT_EQ(GaleriaHuellas::Comparar(*q, c.bytes.get(), c.tamano - 1, puntuacion),
              motor::codigo::FueraDeLimite);
    EXPECT_EQ(puntuacion, 0);
}

} // namespace
} // namespace portiva
