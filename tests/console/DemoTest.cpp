// The demo station: the folder portiva-demo prepares, its reader feeder, and the door working
// on that folder through the real window as a newcomer would see it.

#include "AlimentadorLector.h"
#include "CodigoAcceso.h"
#include "Conexion.h"
#include "ControlAcceso.h"
#include "InstanciaUnica.h"
#include "PreparadorDemo.h"
#include "Recordset.h"
#include "ReleSimulado.h"
#include "VentanaPrueba.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>

using namespace portiva;
using namespace portiva::prueba;
using namespace portiva::demo;

namespace {

using Bytes = std::vector<std::uint8_t>;

// One demo folder for the whole suite: preparing it takes a few seconds.
class Demo : public VentanaPrueba {
protected:
    static void SetUpTestSuite() {
        plantillaDemo = new CarpetaTemporal;
        const QString programa = plantillaDemo->archivo(QStringLiteral("programa-falso"));
        QFile f(programa);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        f.setPermissions(f.permissions() | QFile::ExeOwner);
        OpcionesDemo o;
        o.carpeta = plantillaDemo->archivo(QStringLiteral("demo"));
        o.programa = programa;
        o.recursos = QStringLiteral(PORTIVA_ASSETS);
        o.hoy = QDate(2026, 12, 8);
        PreparadorDemo preparador(o);
        preparado = preparador.Preparar();
        errorPreparar = preparador.error();
    }
    static void TearDownTestSuite() {
        delete plantillaDemo;
        plantillaDemo = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(preparado) << qPrintable(errorPreparar);
        demo = QDir(plantillaDemo->archivo(QStringLiteral("demo")));
    }
    QStringList archivos(const QString& sub) const {
        return QDir(demo.filePath(sub)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    static inline CarpetaTemporal* plantillaDemo = nullptr;
    static inline bool preparado = false;
    static inline QString errorPreparar;
    QDir demo;
};

TEST_F(Demo, TheFolderHoldsAReadyStation) {
    for (const char* f :
         {"Portiva.mdb", "portiva", "Skins/Default.JPG", "Sonidos/0.wav", "Sonidos/4.wav"})
        EXPECT_TRUE(QFileInfo(demo.filePath(QString::fromLatin1(f))).isFile()) << f;
    EXPECT_TRUE(QFileInfo(demo.filePath(QStringLiteral("portiva"))).isExecutable());
    EXPECT_TRUE(QFileInfo(demo.filePath(QStringLiteral("Fotos"))).isDir());
    EXPECT_TRUE(archivos(QStringLiteral("LectorSimulado")).isEmpty());
    // Two prints of every member's finger and two of a finger nobody has.
    const QStringList huellas = archivos(QStringLiteral("Huellas"));
    EXPECT_EQ(huellas.size(), 18);
    for (const QString& quien : AlimentadorLector::Turno())
        for (int n = 1; n <= PreparadorDemo::ImpresionesPorDedo; ++n)
            EXPECT_TRUE(huellas.contains(PreparadorDemo::ArchivoHuella(quien, n)))
                << qPrintable(quien);
}

TEST_F(Demo, EveryMemberHasAFingerEnrolledAsTheStationStoresIt) {
    Conexion cn(reloj);
    cn.setConnectionString(demo.filePath(QStringLiteral("Portiva.mdb")));
    ASSERT_TRUE(cn.Open().ok());
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    EXPECT_EQ(rs.RecordCount(), 8);
    QSet<QByteArray> distintas;
    // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
    for (; !rs.Eof(); (void)rs.MoveNext()) {
        const QByteArray t = rs.Valor(QStringLiteral("fldTemplate")).valor().toByteArray();
        ASSERT_GT(t.size(), 32);
        EXPECT_TRUE(t.startsWith("PTVH"));
        EXPECT_EQ(t.back(), '\0'); // the station's one extra trailing byte
        distintas.insert(t);
    }
    EXPECT_EQ(distintas.size(), 8);
}

TEST_F(Demo, PreparingAgainReplacesTheDemoAndLeavesOtherFilesAlone) {
    CarpetaTemporal otra;
    OpcionesDemo o;
    o.carpeta = otra.archivo(QStringLiteral("demo"));
    o.programa = plantillaDemo->archivo(QStringLiteral("programa-falso"));
    o.recursos = QStringLiteral(PORTIVA_ASSETS);
    ASSERT_TRUE(QDir().mkpath(o.carpeta + QStringLiteral("/Huellas")));
    for (const char* viejo : {"Accesos.ini", "Huellas/vieja.bmp", "notas.txt"}) {
        QFile f(QDir(o.carpeta).filePath(QString::fromLatin1(viejo)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    PreparadorDemo preparador(o);
    ASSERT_TRUE(preparador.Preparar()) << qPrintable(preparador.error());
    EXPECT_FALSE(QFile::exists(o.carpeta + QStringLiteral("/Accesos.ini")));
    EXPECT_FALSE(QFile::exists(o.carpeta + QStringLiteral("/Huellas/vieja.bmp")));
    EXPECT_TRUE(QFile::exists(o.carpeta + QStringLiteral("/notas.txt")));
}

TEST_F(Demo, AMissingProgramIsFoundBeforeAnythingIsTouched) {
    CarpetaTemporal otra;
    OpcionesDemo o;
    o.carpeta = otra.archivo(QStringLiteral("demo"));
    o.programa = otra.archivo(QStringLiteral("no-existe"));
    o.recursos = QStringLiteral(PORTIVA_ASSETS);
    ASSERT_TRUE(QDir().mkpath(o.carpeta));
    {
        QFile f(o.carpeta + QStringLiteral("/Portiva.mdb"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("la de antes");
    }
    PreparadorDemo sinPrograma(o);
    EXPECT_FALSE(sinPrograma.Preparar());
    EXPECT_TRUE(sinPrograma.error().contains(QStringLiteral("no-existe")));
    QFile f(o.carpeta + QStringLiteral("/Portiva.mdb"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("la de antes"));
}

TEST_F(Demo, AStationRunningOnTheFolderKeepsItsDatabase) {
    CarpetaTemporal otra;
    OpcionesDemo o;
    o.carpeta = otra.ruta();
    o.programa = plantillaDemo->archivo(QStringLiteral("programa-falso"));
    o.recursos = QStringLiteral(PORTIVA_ASSETS);
    {
        QFile f(otra.archivo(QStringLiteral("Portiva.mdb")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("en uso");
    }
    InstanciaUnica estacion(otra.ruta());
    ASSERT_EQ(estacion.adquirir(), InstanciaUnica::Resultado::Adquirida);
    PreparadorDemo preparador(o);
    EXPECT_FALSE(preparador.Preparar());
    EXPECT_TRUE(preparador.error().contains(QStringLiteral("en marcha")));
    QFile f(otra.archivo(QStringLiteral("Portiva.mdb")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("en uso"));
}

TEST_F(Demo, TheFeederTakesTurnsAndWaitsForTheReader) {
    CarpetaTemporal otra;
    const QDir raiz(otra.ruta());
    ASSERT_TRUE(raiz.mkdir(QStringLiteral("Huellas")));
    for (const QString& f : archivos(QStringLiteral("Huellas")))
        ASSERT_TRUE(QFile::copy(demo.filePath(QStringLiteral("Huellas/") + f),
                                raiz.filePath(QStringLiteral("Huellas/") + f)));
    AlimentadorLector alimentador(otra.ruta());
    QString mensaje;

    // No reader folder: the reader is unplugged, nothing is dropped.
    EXPECT_FALSE(alimentador.SoltarSiguiente(mensaje));
    EXPECT_TRUE(mensaje.contains(QStringLiteral("no hay lector")));
    ASSERT_TRUE(raiz.mkdir(QStringLiteral("LectorSimulado")));
    const QDir lector(raiz.filePath(QStringLiteral("LectorSimulado")));

    QStringList soltadas;
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(alimentador.SoltarSiguiente(mensaje)) << qPrintable(mensaje);
        const QStringList hay = lector.entryList(QDir::Files | QDir::Hidden);
        ASSERT_EQ(hay.size(), 1) << "only the print, no half-written file";
        soltadas << hay.front();
        // Until the reader takes it, no further print is dropped.
        EXPECT_FALSE(alimentador.SoltarSiguiente(mensaje));
        EXPECT_TRUE(mensaje.contains(QStringLiteral("sigue en el lector")));
        QFile::remove(lector.filePath(hay.front()));
    }
    EXPECT_EQ(soltadas,
              (QStringList{"0000_P001_1.bmp", "0001_A001_1.bmp", "0002_B001_1.bmp",
                           "0003_C001_1.bmp", "0004_desconocido_1.bmp", "0005_P001_2.bmp"}));
}

TEST_F(Demo, TheDoorWorksOnTheDemoFolder) {
    // The station on a copy of the demo folder, its relay board on COM4, the real engine.
    CarpetaTemporal estacion;
    for (const QString& sub : {QStringLiteral("Huellas"), QStringLiteral("LectorSimulado"),
                               QStringLiteral("Sonidos"), QStringLiteral("Skins")}) {
        ASSERT_TRUE(QDir(estacion.ruta()).mkdir(sub));
        for (const QString& f : archivos(sub))
            ASSERT_TRUE(QFile::copy(demo.filePath(sub + u'/' + f),
                                    QDir(estacion.ruta()).filePath(sub + u'/' + f)));
    }
    ASSERT_TRUE(QFile::copy(demo.filePath(QStringLiteral("Portiva.mdb")),
                            estacion.archivo(QStringLiteral("Portiva.mdb"))));
    auto placa = PlacaEnPuerto(estacion.ruta(), 4);
    ASSERT_NE(placa, nullptr);
    Entorno enDemo{estacion.ruta(), msgBox, reloj};
    ServiciosConsola s = servicios();
    ServiciosConsola sd{enDemo, selector, visor, bandeja};
    sd.sonido = s.sonido;
    sd.prefijoDispositivo = s.prefijoDispositivo;
    sd.locale = s.locale;
    ventana = std::make_unique<frmClientes>(sd);
    ASSERT_TRUE(ventana->Form_Load());
    ASSERT_TRUE(EsperarHasta([&] { return ventana->puerta().estado().lectorDetectado; }));
    ASSERT_TRUE(EsperarHasta([&] { return placa->estado() == 2; }));

    // One turn of the feeder: staff, allowed, expired, not started, unknown.
    AlimentadorLector alimentador(estacion.ruta());
    std::vector<int> pulsos;
    for (int i = 0; i < 5; ++i) {
        placa->olvidar();
        QString mensaje;
        ASSERT_TRUE(alimentador.SoltarSiguiente(mensaje)) << qPrintable(mensaje);
        // The pulse is the byte set right after the status request (91, 92, mask, ...); a
        // resting byte still on its way from the previous step may come before it.
        const auto inicioPulso = [&] {
            const auto b = placa->bytesRecibidos();
            for (std::size_t k = 0; k + 4 < b.size(); ++k)
                if (b[k] == 91 && b[k + 1] == 92)
                    return static_cast<int>(k);
            return -1;
        };
        ASSERT_TRUE(EsperarHasta([&] { return inicioPulso() >= 0; })) << qPrintable(mensaje);
        pulsos.push_back(placa->bytesRecibidos()[static_cast<std::size_t>(inicioPulso()) + 2]);
    }
    EXPECT_EQ(pulsos, (std::vector<int>{17, 33, 64, 64, 128}));
    // The counts reach the window as the door's queued calls.
    EXPECT_TRUE(EsperarHasta(
        [&] { return control<QLabel>("lblResult_Acceso(4)")->text() == QStringLiteral("1"); }));
    EXPECT_EQ(control<QLabel>("lblResult_TotalHoy")->text(), QStringLiteral("2"));
    EXPECT_EQ(control<QLabel>("lblResult_Acceso(3)")->text(), QStringLiteral("2"));
    EXPECT_EQ(control<QLabel>("lblResult_Acceso(4)")->text(), QStringLiteral("1"));
    EXPECT_TRUE(msgBox.mostrados.empty()) << qPrintable(
        msgBox.mostrados.front().titulo + QStringLiteral(": ") + msgBox.mostrados.front().texto);
}

} // namespace
