#include "EstacionPrueba.h"

#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace portiva::prueba {
namespace {

// The command-line board of the demo folder: links COM4, answers the station, logs the relays
// and removes its link when stopped.
TEST(SimuladorCli, PlacaDeLaCarpetaDemo) {
    EstacionPrueba e;
    const QString enlace = e.carpeta.archivo("COM4");
    QProcess placa;
    placa.setProcessChannelMode(QProcess::MergedChannels);
    placa.start(QStringLiteral(PORTIVA_SIMRELE),
                {QStringLiteral("--carpeta"), e.carpeta.ruta(), QStringLiteral("--version"),
                 QStringLiteral("4")});
    ASSERT_TRUE(placa.waitForStarted(10000));
    QByteArray salida;
    auto leer = [&] {
        salida += placa.readAll();
        return salida;
    };
    ASSERT_TRUE(EsperarHasta([&] { return leer().contains("placa de reles"); }))
        << salida.toStdString();
    EXPECT_TRUE(QFileInfo(enlace).isSymLink());

    IniciarRele(e.modos());
    ASSERT_TRUE(e.rele().IsPortOpen()) << e.pantalla.log.join('\n').toStdString();
    EXPECT_EQ(e.rele().RelayVersion(), 4);
    ASSERT_TRUE(e.rele().SetStatusByte(33));
    EXPECT_TRUE(EsperarHasta([&] { return leer().contains("reles 1 6 (byte 33)"); }))
        << salida.toStdString();

    e.rele().ClosePort();
    placa.terminate();
    ASSERT_TRUE(placa.waitForFinished(20000));
    EXPECT_EQ(placa.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(placa.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(enlace).isSymLink());
}

TEST(SimuladorCli, ArgumentoMaloDaUso) {
    QProcess placa;
    placa.start(QStringLiteral(PORTIVA_SIMRELE),
                {QStringLiteral("--modulo"), QStringLiteral("300")});
    ASSERT_TRUE(placa.waitForFinished(20000));
    EXPECT_EQ(placa.exitCode(), 2);
    EXPECT_TRUE(placa.readAllStandardError().contains("Uso: portiva-simrele"));
}

} // namespace
} // namespace portiva::prueba
