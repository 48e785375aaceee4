// The settings file "Accesos.ini": what start-up reads and what shutdown writes.
#include "AjustesEstacion.h"
#include "CarpetaTemporal.h"
#include "IniFile.h"
#include "ParametrosHuella.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utility>

using namespace portiva;
using namespace portiva::prueba;

namespace {

// An engine adapter for tests: holds the engine's parameters and records what it was given.
class HuellaFalsa final : public ParametrosHuella {
public:
    void LeerParametrosHuella(AjustesEstacion& a) override {
        ++lecturas;
        a.thresholdId = motor[0];
        a.rotationMaxId = motor[1];
        a.thresholdVr = motor[2];
        a.rotationMaxVr = motor[3];
    }
    void AplicarParametrosHuella(const AjustesEstacion& a) override {
        aplicados.push_back({a.thresholdId, a.rotationMaxId, a.thresholdVr, a.rotationMaxVr});
        if (!aceptaValidos)
            return;
        const auto valido = [](qint32 u, qint32 r) {
            return u >= 10 && u <= 200 && r >= 0 && r <= 180;
        };
        if (valido(a.thresholdId, a.rotationMaxId))
            motor[0] = a.thresholdId, motor[1] = a.rotationMaxId;
        if (valido(a.thresholdVr, a.rotationMaxVr))
            motor[2] = a.thresholdVr, motor[3] = a.rotationMaxVr;
    }
    void ColoresPorDefecto(AjustesEstacion& a) override {
        ++defectos;
        const AjustesEstacion porDefecto;
        a.minutiaeColor = porDefecto.minutiaeColor;
        a.minutiaeMatchColor = porDefecto.minutiaeMatchColor;
        a.segmentsColor = porDefecto.segmentsColor;
        a.segmentsMatchColor = porDefecto.segmentsMatchColor;
        a.directionsColor = porDefecto.directionsColor;
        a.directionsMatchColor = porDefecto.directionsMatchColor;
    }
    void AplicarColoresHuella(const AjustesEstacion& a) override {
        colores.push_back({a.minutiaeColor, a.minutiaeMatchColor, a.segmentsColor,
                           a.segmentsMatchColor, a.directionsColor, a.directionsMatchColor});
    }

    std::array<qint32, 4> motor{60, 166, 35, 90};
    // Takes the pairs within the engine's ranges, as the real adapter does; otherwise refuses
    // everything.
    bool aceptaValidos = false;
    int lecturas = 0;
    int defectos = 0;
    std::vector<std::array<qint32, 4>> aplicados;
    std::vector<std::array<qint32, 6>> colores;
};

class IniFileTest : public ::testing::Test {
protected:
    void poner(const QByteArray& contenido) {
        QFile f(ini.rutaArchivo());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }
    QByteArray contenido() {
        QFile f(ini.rutaArchivo());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void cargarTodo() {
        ini.CargarSkin();
        ini.CargarConfigCopias();
        ini.CargarConfigHuella();
    }
    bool copiaConValor(const QByteArray& valor) {
        poner("[Copias Seguridad]\nCopiaSeg AlSalir=" + valor + "\n");
        ajustes.CopiaSegAlSalir = true; // loading starts from the default
        ini.CargarConfigCopias();
        return ajustes.CopiaSegAlSalir;
    }
    qint32 umbralConValor(const QByteArray& valor) {
        poner("[Configuracion huella]\nthresholdId=" + valor + "\n");
        ini.CargarConfigHuella();
        return ajustes.thresholdId;
    }

    CarpetaTemporal carpeta;
    AjustesEstacion ajustes;
    HuellaFalsa huella;
    IniFile ini{carpeta.ruta(), ajustes, huella};
};

TEST_F(IniFileTest, NoFileGivesEveryDefaultAndTouchesNoEngineSetting) {
    ajustes.SkinActual = "x";
    ajustes.RestaurarAlIniciar = true;
    ajustes.NombreDBRestaurar = "y";
    cargarTodo();
    EXPECT_EQ(ajustes.SkinActual, "Default.JPG");
    EXPECT_FALSE(ajustes.CopiaSegAlSalir);
    EXPECT_FALSE(ajustes.RestaurarAlIniciar);
    EXPECT_EQ(ajustes.NombreDBRestaurar, "");
    EXPECT_EQ(huella.lecturas, 1);
    EXPECT_EQ(ajustes.thresholdId, 60); // the engine's own
    EXPECT_TRUE(huella.aplicados.empty());
    EXPECT_EQ(huella.defectos, 1);
    EXPECT_TRUE(huella.colores.empty());
    EXPECT_FALSE(QFile::exists(ini.rutaArchivo())); // reading creates nothing
}

TEST_F(IniFileTest, ShutdownWritesFourSectionsAndFourteenKeys) {
    cargarTodo();
    ASSERT_TRUE(ini.GuardarConfiguracion());
    EXPECT_EQ(contenido(), "[Appearance]\n"
                           "skin=Default.JPG\n"
                           "\n"
                           "[Copias Seguridad]\n"
                           "CopiaSeg AlSalir=0\n"
                           "RestCopiaSeg AlIniciar=0\n"
                           "NombreDB Restaurar=\n"
                           "\n"
                           "[Configuracion huella]\n"
                           "thresholdId=60\n"
                           "rotationMaxId=166\n"
                           "thresholdVr=35\n"
                           "rotationMaxVr=90\n"
                           "\n"
                           "[Colores huella]\n"
                           "minutiaeColor=16711680\n"
                           "minutiaeMatchColor=8388736\n"
                           "segmentsColor=65280\n"
                           "segmentsMatchColor=8388736\n"
                           "directionsColor=255\n"
                           "directionsMatchColor=8388736\n");
}

TEST_F(IniFileTest, WhatIsSavedIsWhatTheEngineHolds) {
    cargarTodo();
    ajustes.thresholdId = 500; // refused by the engine, which kept its own
    huella.motor = {70, 10, 45, 20};
    ajustes.SkinActual = "Azul.JPG";
    ajustes.CopiaSegAlSalir = true;
    ajustes.NombreDBRestaurar = "/srv/portiva/Seguridad/2009-03-01 (09-05-07).mdb";
    ajustes.directionsColor = 0x1FFFFFFF;
    ASSERT_TRUE(ini.GuardarConfiguracion());

    AjustesEstacion leidos;
    HuellaFalsa otra;
    otra.motor = {1, 2, 3, 4};
    IniFile segundo(carpeta.ruta(), leidos, otra);
    segundo.CargarSkin();
    segundo.CargarConfigCopias();
    segundo.CargarConfigHuella();
    EXPECT_EQ(leidos.SkinActual, "Azul.JPG");
    EXPECT_TRUE(leidos.CopiaSegAlSalir);
    EXPECT_FALSE(leidos.RestaurarAlIniciar);
    EXPECT_EQ(leidos.NombreDBRestaurar, ajustes.NombreDBRestaurar);
    ASSERT_EQ(otra.aplicados.size(), 1u);
    EXPECT_EQ(otra.aplicados[0], (std::array<qint32, 4>{70, 10, 45, 20}));
    ASSERT_EQ(otra.colores.size(), 1u);
    EXPECT_EQ(otra.colores[0][4], 0x1FFFFFFF);
}

TEST_F(IniFileTest, SavingKeepsTheRestOfTheFile) {
    poner("; puesta en marcha 2009\n[Appearance]\nskin=Verde.JPG\n[Impresora]\nnombre=HP\n");
    ini.CargarSkin();
    EXPECT_EQ(ajustes.SkinActual, "Verde.JPG");
    ASSERT_TRUE(ini.GuardarConfiguracion());
    const QByteArray c = contenido();
    EXPECT_TRUE(c.startsWith("; puesta en marcha 2009\n[Appearance]\nskin=Verde.JPG\n[Impresora]\n"
                             "nombre=HP\n"));
    EXPECT_EQ(c.count("skin="), 1);
    EXPECT_EQ(c.count('['), 5);
}

TEST_F(IniFileTest, BackupAtExitReadsNumbersAndWords) {
    EXPECT_TRUE(copiaConValor("1"));
    EXPECT_FALSE(copiaConValor("0"));
    EXPECT_TRUE(copiaConValor("True"));
    EXPECT_TRUE(copiaConValor("-1"));
    EXPECT_TRUE(copiaConValor("true"));
    EXPECT_FALSE(copiaConValor("False"));
    EXPECT_TRUE(copiaConValor("2"));
    // Empty, and text that is neither, keep the default.
    EXPECT_FALSE(copiaConValor(""));
    EXPECT_FALSE(copiaConValor("si"));
}

TEST_F(IniFileTest, ScheduledRestoreIsRead) {
    poner("[copias seguridad]\nRestCopiaSeg AlIniciar=1\nNombreDB Restaurar=/a/b c.mdb\n");
    ini.CargarConfigCopias();
    EXPECT_TRUE(ajustes.RestaurarAlIniciar);
    EXPECT_EQ(ajustes.NombreDBRestaurar, "/a/b c.mdb");
    EXPECT_FALSE(ajustes.CopiaSegAlSalir);
}

TEST_F(IniFileTest, EmptyValueKeepsTheDefault) {
    poner("[Appearance]\nskin=\n");
    ini.CargarSkin();
    EXPECT_EQ(ajustes.SkinActual, "Default.JPG");
}

TEST_F(IniFileTest, LongSkinNameIsCutTo254) {
    const QByteArray nombre(300, 'k');
    poner("[Appearance]\nskin=" + nombre + "\n");
    ini.CargarSkin();
    EXPECT_EQ(ajustes.SkinActual, QString(nombre.left(254)));
}

TEST_F(IniFileTest, WholeNumbersAreReadFromTheStartOfTheText) {
    EXPECT_EQ(umbralConValor("45abc"), 45);
    EXPECT_EQ(umbralConValor("abc"), 0);
    EXPECT_EQ(umbralConValor("  77"), 77);
    EXPECT_EQ(umbralConValor("12.5"), 12); // half to even
    EXPECT_EQ(umbralConValor("13.5"), 14);
    EXPECT_EQ(umbralConValor("-3x"), -3);
    EXPECT_EQ(umbralConValor("1e2"), 100);
    EXPECT_EQ(umbralConValor("2147483647"), 2147483647);
    // Beyond 32 bits the engine's value stays.
    EXPECT_EQ(umbralConValor("99999999999"), 60);
    EXPECT_EQ(umbralConValor("1e400"), 60);
}

TEST_F(IniFileTest, FingerprintSectionWithoutKeysLeavesTheEngineAlone) {
    poner("[Configuracion huella]\n[Colores huella]\n\n");
    ini.CargarConfigHuella();
    EXPECT_TRUE(huella.aplicados.empty());
    EXPECT_TRUE(huella.colores.empty());
    EXPECT_EQ(ajustes.thresholdId, 60);
}

TEST_F(IniFileTest, FingerprintKeysReplaceOnlyWhatIsThere) {
    poner("[Configuracion huella]\nthresholdId=45abc\nrotationMaxId=\n[Colores huella]\n"
          "segmentsColor=12345\nminutiaeColor=junk\n");
    ini.CargarConfigHuella();
    ASSERT_EQ(huella.aplicados.size(), 1u);
    EXPECT_EQ(huella.aplicados[0], (std::array<qint32, 4>{45, 166, 35, 90}));
    ASSERT_EQ(huella.colores.size(), 1u);
    EXPECT_EQ(huella.colores[0],
              (std::array<qint32, 6>{0, 0x800080, 12345, 0x800080, 0xFF, 0x800080}));
}

TEST_F(IniFileTest, MalformedFileNeverStopsTheStation) {
    poner(QByteArray("\x00\x01[[[\n=\n[Appearance\nskin\n]]\n\xff\xfe\n[Copias Seguridad]\n==1\n",
                     47));
    cargarTodo();
    EXPECT_EQ(ajustes.SkinActual, "Default.JPG");
    EXPECT_FALSE(ajustes.CopiaSegAlSalir);
    EXPECT_TRUE(ini.GuardarConfiguracion());
    ini.CargarSkin();
    EXPECT_EQ(ajustes.SkinActual, "Default.JPG");
}

TEST_F(IniFileTest, UnwritableFolderIsReportedNotFatal) {
    AjustesEstacion a;
    HuellaFalsa h;
    IniFile enNingunSitio(carpeta.archivo("no-existe"), a, h);
    EXPECT_FALSE(enNingunSitio.GuardarConfiguracion());
}

TEST_F(IniFileTest, ARefusedThresholdIsLoggedAndTheOperatorsTextKeptUnlessChanged) {
    QStringList avisos;
    ini.ponerAviso([&](const QString& t) { avisos << t; });
    const QByteArray archivo = "[Configuracion huella]\nthresholdId=220\nrotationMaxId=166\n"
                               "thresholdVr=99999\nrotationMaxVr=-1\n";
    poner(archivo);
    cargarTodo();
    ASSERT_EQ(avisos.size(), 3);
    EXPECT_EQ(avisos[0],
              "Accesos.ini: [Configuracion huella] thresholdId=220 no valido; se usa 60.");
    EXPECT_EQ(avisos[1],
              "Accesos.ini: [Configuracion huella] thresholdVr=99999 no valido; se usa 35.");
    EXPECT_EQ(avisos[2],
              "Accesos.ini: [Configuracion huella] rotationMaxVr=-1 no valido; se usa 90.");
    ASSERT_TRUE(ini.GuardarConfiguracion());
    EXPECT_TRUE(contenido().startsWith(archivo)) << contenido().toStdString();

    // A value changed in this run is written.
    huella.motor[0] = 70;
    ASSERT_TRUE(ini.GuardarConfiguracion());
    EXPECT_TRUE(contenido().startsWith("[Configuracion huella]\nthresholdId=70\nrotationMaxId=166\n"
                                       "thresholdVr=99999\n"));
}

TEST_F(IniFileTest, AFifoIsNotReadNorWrittenAndTheStationGoesOn) {
    QStringList avisos;
    ini.ponerAviso([&](const QString& t) { avisos << t; });
    ASSERT_EQ(::mkfifo(QFile::encodeName(ini.rutaArchivo()).constData(), 0600), 0);
    cargarTodo(); // returns at once
    EXPECT_EQ(ajustes.SkinActual, "Default.JPG");
    EXPECT_FALSE(ini.GuardarConfiguracion());
    ASSERT_EQ(avisos.size(), 2);
    EXPECT_TRUE(avisos[0].contains("no es un archivo normal"));
    EXPECT_TRUE(avisos[1].contains("no se escribe"));
}

TEST_F(IniFileTest, ALinkIsNeverFollowedAtExit) {
    const QString destino = carpeta.archivo("destino.txt");
    {
        QFile f(destino);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Appearance]\nskin=Rojo.JPG\n");
    }
    ASSERT_TRUE(QFile::link(destino, ini.rutaArchivo()));
    cargarTodo();
    EXPECT_EQ(ajustes.SkinActual, "Rojo.JPG");
    ajustes.SkinActual = "Azul.JPG";
    EXPECT_FALSE(ini.GuardarConfiguracion());
    QFile f(destino);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "[Appearance]\nskin=Rojo.JPG\n");
}

TEST_F(IniFileTest, AnOldStationFileKeepsItsAccentsAcrossARun) {
    const QByteArray viejo = "[Appearance]\r\nskin=Fondo_\xD1.JPG\r\n";
    poner(viejo);
    cargarTodo();
    EXPECT_EQ(ajustes.SkinActual, QString::fromUtf8("Fondo_Ñ.JPG"));
    ASSERT_TRUE(ini.GuardarConfiguracion());
    EXPECT_TRUE(contenido().startsWith(viejo));
}

} // namespace

TEST_F(IniFileTest, EarlierVersionsDefaultPairIsReplacedAndLogged) {
    QStringList avisos;
    ini.ponerAviso([&](const QString& t) { avisos << t; });
    // What a station wrote at exit before the engine's scores changed scale.
    poner("[Configuracion huella]\nthresholdId=25\nthresholdVr=23\n");
    cargarTodo();
    EXPECT_EQ(avisos, QStringList{"Accesos.ini: [Configuracion huella] thresholdId=25 y "
                                  "thresholdVr=23 eran los valores por defecto de una version "
                                  "anterior; se usan 60 y 35."});
    // The engine gets today's defaults, and the file is mended at exit.
    ASSERT_FALSE(huella.aplicados.empty());
    EXPECT_EQ(huella.aplicados.back(), (std::array<qint32, 4>{60, 166, 35, 90}));
    ASSERT_TRUE(ini.GuardarConfiguracion());
    EXPECT_TRUE(contenido().contains("thresholdId=60\n")) << contenido().toStdString();
    EXPECT_TRUE(contenido().contains("thresholdVr=35\n")) << contenido().toStdString();
    EXPECT_FALSE(contenido().contains("=25\n")) << contenido().toStdString();

    // The same for the pairs of the versions that came after it.
    for (const auto& [id, vr] :
         {std::pair{105, 75}, std::pair{90, 40}, std::pair{75, 38}, std::pair{105, 52},
          std::pair{135, 52}, std::pair{135, 55}, std::pair{135, 53}}) {
        avisos.clear();
        poner(QStringLiteral("[Configuracion huella]\nthresholdId=%1\nthresholdVr=%2\n")
                  .arg(id)
                  .arg(vr)
                  .toUtf8());
        huella.aplicados.clear();
        cargarTodo();
        EXPECT_EQ(avisos.size(), 1) << id;
        ASSERT_FALSE(huella.aplicados.empty());
        EXPECT_EQ(huella.aplicados.back()[0], 60) << id;
        EXPECT_EQ(huella.aplicados.back()[2], 35) << id;
    }
}

TEST_F(IniFileTest, AnOperatorsOwnThresholdStaysEvenWhenItWasOnceADefault) {
    QStringList avisos;
    ini.ponerAviso([&](const QString& t) { avisos << t; });
    huella.aceptaValidos = true;
    huella.motor = {159, 45, 60, 45};
    // 105 was an identification default, but never beside 60: the operator chose it.
    for (const QByteArray& archivo :
         {QByteArray("[Configuracion huella]\nthresholdId=105\nthresholdVr=60\n"),
          QByteArray("[Configuracion huella]\nthresholdId=105\n"),
          QByteArray("[Configuracion huella]\nthresholdId=135\nthresholdVr=54\n")}) {
        huella.motor = {159, 45, 60, 45};
        avisos.clear();
        poner(archivo);
        cargarTodo();
        EXPECT_TRUE(avisos.isEmpty()) << avisos.join(u'\n').toStdString();
        EXPECT_EQ(ajustes.thresholdId, archivo.contains("135") ? 135 : 105);
        EXPECT_EQ(huella.motor[0], ajustes.thresholdId);
        ASSERT_TRUE(ini.GuardarConfiguracion());
        EXPECT_TRUE(contenido().startsWith(archivo)) << contenido().toStdString();
    }
}

TEST_F(IniFileTest, OnlyATakenLowThresholdIsWarnedAsLowABadOneIsRefused) {
    QStringList avisos;
    ini.ponerAviso([&](const QString& t) { avisos << t; });
    huella.aceptaValidos = true;
    huella.motor = {159, 45, 60, 45};
    poner("[Configuracion huella]\nthresholdId=15\nthresholdVr=120\n");
    cargarTodo();
    EXPECT_EQ(avisos, QStringList{"Accesos.ini: [Configuracion huella] thresholdId=15 es muy bajo "
                                  "para este motor (por defecto 159): puede aceptar huellas "
                                  "ajenas."});
    EXPECT_EQ(huella.motor[0], 15);
    EXPECT_EQ(huella.motor[2], 120);

    // Not a number, or below zero: refused, said once, never called low.
    for (const char* malo : {"abc", "-5", "5"}) {
        huella.motor = {159, 45, 60, 45};
        avisos.clear();
        poner(QByteArray("[Configuracion huella]\nthresholdId=") + malo + "\n");
        cargarTodo();
        EXPECT_EQ(avisos, QStringList{QStringLiteral("Accesos.ini: [Configuracion huella] "
                                                     "thresholdId=%1 no valido; se usa 159.")
                                          .arg(QLatin1String(malo))});
        EXPECT_EQ(huella.motor[0], 159);
    }
}
