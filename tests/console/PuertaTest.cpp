// What the window does for the door and the station modes: the manual opening through the
// relay board on a pseudo-terminal, the sound switch, the mode commands of the popup menu,
// and the fingerprint boxes and buttons of the station column.

#include "CodigoAcceso.h"
#include "ControlAcceso.h"
#include "ReleSimulado.h"
#include "VentanaPrueba.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

using namespace portiva;
using namespace portiva::prueba;
using namespace std::chrono_literals;

namespace {

using Bytes = std::vector<std::uint8_t>;

class Puerta : public VentanaPrueba {
protected:
    // A relay board on COM4, the station started on it and its traffic so far forgotten.
    SimuladorRele& arrancarConPlaca() {
        placa = PlacaEnPuerto(carpeta.ruta(), 4);
        EXPECT_NE(placa, nullptr);
        if (!placa)
            std::abort();
        EXPECT_TRUE(arrancar());
        // Start-up ends with fingerprint control's resting byte 2.
        EXPECT_TRUE(EsperarBytes(*placa, 4, EsperaGenerosa));
        EXPECT_EQ(placa->estado(), 2);
        placa->olvidar();
        bandeja.llamadas.clear();
        return *placa;
    }
    void sonidos() {
        QDir(carpeta.ruta()).mkdir(QStringLiteral("Sonidos"));
        for (int i = 0; i <= 4; ++i) {
            QFile f(carpeta.archivo(QStringLiteral("Sonidos/%1.wav").arg(i)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }
    QStringList log() {
        QStringList lineas;
        auto* lista = control<QListWidget>("lbLog");
        for (int i = 0; i < lista->count(); ++i)
            lineas << lista->item(i)->text();
        return lineas;
    }
    QImage imagen(const char* nombre) { return control<QLabel>(nombre)->pixmap().toImage(); }

    std::unique_ptr<SimuladorRele> placa;
};

TEST_F(Puerta, ManualOpeningPulsesShowsCountsAndLogs) {
    SimuladorRele& rele = arrancarConPlaca();
    sonidos();
    click("cmdAperturaManual");

    // Relays 1 and 4 for the pulse, then the byte read before it.
    ASSERT_TRUE(EsperarBytes(rele, 5, EsperaGenerosa));
    EXPECT_EQ(rele.bytesRecibidos(), (Bytes{91, 92, 9, 92, 2}));
    const auto escrituras = EscriturasDeEstado(rele.recibidos());
    ASSERT_EQ(escrituras.size(), 2u);
    EXPECT_GE(Milisegundos(escrituras[1].momento - escrituras[0].momento), 450);

    EXPECT_EQ(imagen("imgResultHuella"), ventana->imagenes().TipoDeAcceso(0).toImage());
    EXPECT_EQ(control<QLabel>("lblResult_Acceso(0)")->text(), QStringLiteral("1"));
    EXPECT_EQ(control<QLabel>("lblResult_TotalHoy")->text(), QStringLiteral("1"));
    EXPECT_EQ(control<QLabel>("lblInfoHuella")->text(),
              QStringLiteral("Apertura manual del torno"));
    EXPECT_TRUE(log().contains(QStringLiteral("10:30:00 -> Apertura Manual del Torno")));
    // The tray icon becomes the manual opening's, without a balloon.
    ASSERT_FALSE(bandeja.llamadas.empty());
    EXPECT_EQ(bandeja.ultimoIcono.pixmap(32, 32).toImage(),
              ventana->imagenes().SysTray(0).pixmap(32, 32).toImage());
    EXPECT_EQ(bandeja.llamadas.back().tip, TipBandeja);
    EXPECT_EQ(sonido.reproducidos, QStringList{carpeta.archivo(QStringLiteral("Sonidos/0.wav"))});
    EXPECT_EQ(ventana->acceso().torno().AccesoActual(), CodigoAcceso::AperturaManual);
}

TEST_F(Puerta, ClosingDuringADoorPulseWaitsForThePulseToEnd) {
    SimuladorRele& rele = arrancarConPlaca();
    bool enElPulso = false;
    bool cerradaEnElPulso = false;
    bool cerrada = false;
    QObject::connect(ventana.get(), &frmClientes::cerrado, [&] {
        cerrada = true;
        cerradaEnElPulso = enElPulso;
    });
    // The close is queued now and delivered by the first pump inside the pulse.
    QTimer::singleShot(0, ventana.get(), [&] { ventana->close(); });
    enElPulso = true;
    click("cmdAperturaManual");
    enElPulso = false;

    ASSERT_TRUE(EsperarHasta([&] { return cerrada; }));
    EXPECT_FALSE(cerradaEnElPulso);
    // The pulse ran to its end: relays on, then the byte read before.
    ASSERT_TRUE(EsperarBytes(rele, 5, EsperaGenerosa));
    EXPECT_EQ(rele.bytesRecibidos(), (Bytes{91, 92, 9, 92, 2}));
}

TEST_F(Puerta, TheSoundSwitchReachesTheDoor) {
    SimuladorRele& rele = arrancarConPlaca();
    sonidos();
    click("imgSoundOn");
    EXPECT_FALSE(ventana->acceso().torno().SonidoActivo());
    click("cmdAperturaManual");
    ASSERT_TRUE(EsperarBytes(rele, 5, EsperaGenerosa));
    EXPECT_TRUE(sonido.reproducidos.isEmpty());
    EXPECT_EQ(control<QLabel>("lblResult_Acceso(0)")->text(), QStringLiteral("1"));

    click("imgSoundOff");
    EXPECT_TRUE(ventana->acceso().torno().SonidoActivo());
    click("cmdAperturaManual");
    EXPECT_EQ(sonido.reproducidos.size(), 1);
    ASSERT_TRUE(EsperarBytes(rele, 10, EsperaGenerosa));
    EXPECT_EQ(control<QLabel>("lblResult_Acceso(0)")->text(), QStringLiteral("2"));
    EXPECT_EQ(control<QLabel>("lblResult_TotalHoy")->text(), QStringLiteral("2"));
}

// Without a board the door did not open, and nothing at the desk says it did: the log line,
// the status line in red, the closed-door picture and tray icon, no count.
TEST_F(Puerta, WithoutARelayBoardTheOpeningIsShownAsFailed) {
    ASSERT_TRUE(arrancar());
    const QString antes = control<QLabel>("lblResult_Acceso(0)")->text();
    click("cmdAperturaManual");
    EXPECT_EQ(log().back(),
              QStringLiteral("10:30:00 ->       Apertura Fallida : Interface de Apertura sin "
                             "conexion."));
    EXPECT_EQ(control<QLabel>("lblResult_Acceso(0)")->text(), antes);
    EXPECT_EQ(control<QLabel>("lblResult_TotalHoy")->text(), antes);
    EXPECT_EQ(control<QLabel>("lblInfoHuella")->text(),
              QStringLiteral("Apertura manual del torno - Apertura Fallida"));
    EXPECT_EQ(imagen("imgResultHuella"),
              ventana->imagenes().TipoDeAcceso(Torno::ImagenNoAbierta).toImage());
    EXPECT_EQ(bandeja.ultimoIcono.pixmap(32, 32).toImage(),
              ventana->imagenes().SysTray(Torno::ImagenNoAbierta).pixmap(32, 32).toImage());
}

TEST_F(Puerta, TheModeCommandsOfTheMenuHoldTheDoor) {
    SimuladorRele& rele = arrancarConPlaca();
    msgBox.responder(Respuesta::Si);
    ventana->menu().mnuDoNoReady_Open->trigger();
    EXPECT_EQ(ventana->acceso().torno().AccesoActual(), CodigoAcceso::FijoAbierto);
    EXPECT_FALSE(control<QPushButton>("cmdAperturaManual")->isEnabled());
    EXPECT_EQ(control<QLabel>("lblInfoHuella")->text(),
              QStringLiteral("Fijado Disp. Apertura en ABIERTO!"));
    ASSERT_TRUE(EsperarBytes(rele, 2, EsperaGenerosa));
    EXPECT_EQ(rele.estado(), 5);

    // The menu shows how the door stands before it opens.
    ventana->acceso().modos().PonerLectorDetectado(true);
    ventana->menu().mnuDoReady->trigger();
    EXPECT_EQ(ventana->acceso().torno().AccesoActual(), CodigoAcceso::ControlPorHuella);
    EXPECT_TRUE(control<QPushButton>("cmdAperturaManual")->isEnabled());
    ASSERT_TRUE(EsperarBytes(rele, 4, EsperaGenerosa));
    EXPECT_EQ(rele.estado(), 2);
}

TEST_F(Puerta, TheMenuMarksFollowTheStation) {
    ASSERT_TRUE(arrancar());
    // MostrarMenu opens the menu modally; close it as soon as it shows.
    QTimer cierre;
    QObject::connect(&cierre, &QTimer::timeout, [this] {
        if (ventana->menu().mnuMenu->isVisible())
            ventana->menu().mnuMenu->close();
    });
    cierre.start(20);
    ventana->MostrarMenu();
    EXPECT_EQ(ventana->menu().mnuReconnetRelay->text(),
              QStringLiteral("Conectar con Disp. de Apertura"));
    EXPECT_FALSE(ventana->menu().mnuReconnetRelay->isChecked());
    EXPECT_EQ(ventana->menu().mnuDoReady->text(),
              QStringLiteral("Lector Huella Error (sólo Apert. Manual)"));
    EXPECT_TRUE(ventana->menu().mnuDoReady->isChecked());
    EXPECT_TRUE(ventana->menu().mnuShowMe->isChecked());
}

TEST_F(Puerta, TheAutomaticBoxesStayConsistent) {
    auto* analizar = control<QCheckBox>("chkAutoAnalizar");
    auto* identificar = control<QCheckBox>("chkAutoIdentify");
    ASSERT_TRUE(analizar->isChecked() && identificar->isChecked());
    QTest::mouseClick(analizar, Qt::LeftButton); // no analysis: no identification
    EXPECT_FALSE(analizar->isChecked());
    EXPECT_FALSE(identificar->isChecked());
    QTest::mouseClick(analizar, Qt::LeftButton); // analysis back: identification stays off
    EXPECT_TRUE(analizar->isChecked());
    EXPECT_FALSE(identificar->isChecked());
    QTest::mouseClick(analizar, Qt::LeftButton);
    QTest::mouseClick(identificar, Qt::LeftButton); // identification needs the analysis
    EXPECT_TRUE(identificar->isChecked());
    EXPECT_TRUE(analizar->isChecked());
    QTest::mouseClick(identificar, Qt::LeftButton); // clearing it leaves the analysis
    EXPECT_FALSE(identificar->isChecked());
    EXPECT_TRUE(analizar->isChecked());
}

TEST_F(Puerta, AFingerprintImageFileIsLoadedFromTheMenu) {
    selector.respuestas = {carpeta.archivo(QStringLiteral("Huellas/A1_1.bmp")), QString()};
    ventana->menu().menuImgFromFile->trigger();
    EXPECT_EQ(selector.carpeta, carpeta.archivo(QStringLiteral("Huellas")));
    EXPECT_EQ(selector.filtro, QStringLiteral("BMP files (*.bmp)|*.bmp|All files (*.*)|*.*"));
    EXPECT_EQ(pasos.back(), QStringLiteral("huella.CargarImagen ") +
                                carpeta.archivo(QStringLiteral("Huellas/A1_1.bmp")));
    ventana->menu().menuImgFromFile->trigger(); // cancelled: nothing is loaded
    EXPECT_EQ(pasos.count(QStringLiteral("huella.CargarImagen ") +
                          carpeta.archivo(QStringLiteral("Huellas/A1_1.bmp"))),
              1);

    // A file the engine refuses is logged.
    huellaFalsa->respuestaCargar = -208;
    selector.respuestas = {carpeta.archivo(QStringLiteral("Huellas/rota.bmp"))};
    ventana->menu().menuImgFromFile->trigger();
    EXPECT_EQ(log().back(), QStringLiteral("10:30:00 -> Cargando Archivo: Error!"));
}

TEST_F(Puerta, TheFingerprintButtonsGoToTheFingerprintSide) {
    click("cmdAnalizarHuella");
    click("cmdIndentificarHuellaDB");
    EXPECT_EQ(pasos.mid(pasos.size() - 2), (QStringList{"huella.Analizar", "huella.Identificar"}));
}

} // namespace
