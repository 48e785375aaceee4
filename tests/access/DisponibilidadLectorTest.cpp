// The status line follows the reader: what the station shows when it goes and comes back.

#include "DisponibilidadLector.h"
#include "CodigoAcceso.h"
#include "EstacionPrueba.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace portiva::prueba {
namespace {

TEST(DisponibilidadLectorTest, LaLineaDeEstadoDiceSiHayLectorYLasImagenesDeArchivoNoCuentan) {
    EstacionPrueba e;
    DisponibilidadLector d(e.torno(), e.pantalla);
    QSignalSpy cambios(&d, &DisponibilidadLector::CambioDisponibilidad);

    d.LectorDesconectado(QStringLiteral("virtual_image:0"));
    ASSERT_EQ(e.pantalla.info.size(), 1u);
    EXPECT_EQ(e.pantalla.info[0].texto, QStringLiteral("Lector de la huella no detectado"));
    EXPECT_TRUE(e.pantalla.info[0].rojo);
    EXPECT_FALSE(d.Disponible());

    // Back under fingerprint control: the usual line, in the window's colour.
    e.torno().PonerAccesoActual(CodigoAcceso::ControlPorHuella);
    d.LectorConectado(QStringLiteral("virtual_image:0"));
    ASSERT_EQ(e.pantalla.info.size(), 2u);
    EXPECT_EQ(e.pantalla.info[1].texto, QStringLiteral("Sistema de Apertura por Huella"));
    EXPECT_FALSE(e.pantalla.info[1].rojo);
    EXPECT_TRUE(d.Disponible());

    // An image file loaded by the operator is no reader coming or going.
    d.LectorDesconectado(QStringLiteral("File"));
    d.LectorConectado(QStringLiteral("File"));
    EXPECT_EQ(e.pantalla.info.size(), 2u);
    ASSERT_EQ(cambios.size(), 2);
    EXPECT_EQ(cambios[0][0].toBool(), false);
    EXPECT_EQ(cambios[1][1].toString(), QStringLiteral("virtual_image:0"));
}

TEST(DisponibilidadLectorTest, UnLectorQueVuelveConLaEstacionEnOtroEstadoNoTocaLaLinea) {
    EstacionPrueba e;
    DisponibilidadLector d(e.torno(), e.pantalla);
    e.torno().PonerAccesoActual(CodigoAcceso::LectorNoDetectado);
    d.LectorConectado(QStringLiteral("uru4000:0"));
    EXPECT_TRUE(e.pantalla.info.empty());
    EXPECT_TRUE(d.Disponible());
}

} // namespace
} // namespace portiva::prueba
