#include "InstanciaUnica.h"
#include "CarpetaTemporal.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace portiva;
using Resultado = InstanciaUnica::Resultado;

TEST(InstanciaUnica, ASecondCopyOnTheSameFolderIsRefused) {
    prueba::CarpetaTemporal carpeta;
    InstanciaUnica primera(carpeta.ruta());
    ASSERT_EQ(primera.adquirir(), Resultado::Adquirida);
    EXPECT_EQ(primera.adquirir(), Resultado::Adquirida); // asking again is harmless

    InstanciaUnica segunda(carpeta.ruta());
    EXPECT_EQ(segunda.adquirir(), Resultado::OtraCopia);
    EXPECT_FALSE(segunda.adquirida());
}

TEST(InstanciaUnica, TheFolderIsFreeAgainWhenTheFirstEnds) {
    prueba::CarpetaTemporal carpeta;
    {
        InstanciaUnica primera(carpeta.ruta());
        ASSERT_EQ(primera.adquirir(), Resultado::Adquirida);
    }
    InstanciaUnica otra(carpeta.ruta());
    EXPECT_EQ(otra.adquirir(), Resultado::Adquirida);
}

TEST(InstanciaUnica, OtherFoldersAreOtherStations) {
    prueba::CarpetaTemporal a, b;
    InstanciaUnica primera(a.ruta());
    InstanciaUnica segunda(b.ruta());
    EXPECT_EQ(primera.adquirir(), Resultado::Adquirida);
    EXPECT_EQ(segunda.adquirir(), Resultado::Adquirida);
}

TEST(InstanciaUnica, ALockLeftByACrashedCopyIsTakenOver) {
    prueba::CarpetaTemporal carpeta;
    // A lock file as a copy leaves it when it dies: its process is long gone.
    QFile restos(carpeta.archivo(QString::fromLatin1(InstanciaUnica::NombreBloqueo)));
    ASSERT_TRUE(restos.open(QIODevice::WriteOnly));
    restos.write("999999\nportiva\notra-maquina-no\n");
    restos.close();
    InstanciaUnica nueva(carpeta.ruta());
    // Written as from another machine, it cannot be judged stale: it holds.
    EXPECT_EQ(nueva.adquirir(), Resultado::OtraCopia);

    ASSERT_TRUE(restos.open(QIODevice::WriteOnly | QIODevice::Truncate));
    restos.write("999999\nportiva\n\n");
    restos.close();
    InstanciaUnica otra(carpeta.ruta());
    EXPECT_EQ(otra.adquirir(), Resultado::Adquirida);
}

TEST(InstanciaUnica, TheProgramEndsAtOnceAndSilentlyWhenAnotherRuns) {
    prueba::CarpetaTemporal carpeta;
    QFile base(carpeta.archivo(QStringLiteral("Portiva.mdb")));
    ASSERT_TRUE(base.open(QIODevice::WriteOnly));
    base.close();
    InstanciaUnica primera(carpeta.ruta());
    ASSERT_EQ(primera.adquirir(), Resultado::Adquirida);

    QProcess segunda;
    segunda.setWorkingDirectory(carpeta.ruta());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QTemporaryDir ejecucion; // a runtime folder, so Qt itself has nothing to say either
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), ejecucion.path());
    segunda.setProcessEnvironment(env);
    segunda.start(QStringLiteral(PORTIVA_EJECUTABLE), {});
    ASSERT_TRUE(segunda.waitForStarted(30000));
    const bool termino = segunda.waitForFinished(60000);
    if (!termino)
        segunda.kill();
    ASSERT_TRUE(termino) << "the second copy kept running";
    EXPECT_EQ(segunda.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(segunda.exitCode(), 0);
    EXPECT_TRUE(segunda.readAllStandardError().isEmpty());
}
