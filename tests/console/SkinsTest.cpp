// Skins: the folder listing and the submenu, loading a picture, the sampled colour and where
// it goes; the colour numbers' round trip through the options dialog, the engine's overlay
// and the settings file.

#include "ColorBgr.h"
#include "DibujoOverlay.h"
#include "IniFile.h"
#include "ParametrosHuella.h"
#include "SkinSupportCode.h"
#include "VentanaPrueba.h"
#include "formOptions.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QPushButton>

#include <algorithm>

namespace portiva::prueba {
namespace {

bool GuardarSkin(const QString& ruta, QSize tamano, const QColor& color) {
    QImage imagen(tamano, QImage::Format_RGB32);
    imagen.fill(color);
    return imagen.save(ruta, "JPG", 100);
}

TEST(ListaSkins, CaseOfTheExtensionAsideAndSortedByName) {
    CarpetaTemporal carpeta;
    for (const char* nombre : {"zeta.jpg", "Default.JPG", "azul.Jpg", "notas.txt", "b.jpeg"})
        ASSERT_TRUE(GuardarSkin(carpeta.archivo(QString::fromLatin1(nombre)), {4, 4}, Qt::red));
    EXPECT_EQ(ListarSkins(carpeta.ruta()), (QStringList{"azul.Jpg", "Default.JPG", "zeta.jpg"}));
    EXPECT_TRUE(ListarSkins(carpeta.archivo(QStringLiteral("no-hay"))).isEmpty());

    EXPECT_TRUE(EsSkinActual(QStringLiteral("Default"), QStringLiteral("Default.JPG")));
    EXPECT_TRUE(EsSkinActual(QStringLiteral("Blue"), QStringLiteral("blue.jpg")));
    EXPECT_FALSE(EsSkinActual(QStringLiteral("Blue"), QStringLiteral("Blue2.jpg")));
    EXPECT_FALSE(EsSkinActual(QString(), QStringLiteral(".jpg")));
}

TEST(ListaSkins, TheTwentyFourthElementEndsWithTheLastFile) {
    QStringList archivos;
    for (int i = 1; i <= 30; ++i)
        archivos << QStringLiteral("s%1.jpg").arg(i, 2, 10, QChar(u'0'));
    const auto titulos = RepartirSkins(archivos);
    for (int i = 0; i < 23; ++i)
        EXPECT_EQ(titulos[static_cast<size_t>(i)],
                  QStringLiteral("s%1").arg(i + 1, 2, 10, QChar(u'0')));
    EXPECT_EQ(titulos[23], QStringLiteral("s30"));
    EXPECT_TRUE(RepartirSkins({QStringLiteral("Blue.jpg")})[1].isEmpty());
    EXPECT_EQ(RepartirSkins({QStringLiteral("Blue.jpg")})[0], QStringLiteral("Blue"));
}

TEST(ColoresSkin, RedIsTheLowByte) {
    EXPECT_EQ(BgrDesdeColor(QColor(0, 0, 255)), 0xFF0000);
    EXPECT_EQ(BgrDesdeColor(QColor(255, 0, 0)), 0xFF);
    EXPECT_EQ(ColorDesdeBgr(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ColorDesdeBgr(0x123456), QColor(0x56, 0x34, 0x12));
    QImage imagen(10, 310, QImage::Format_RGB32);
    imagen.fill(QColor(0, 0, 255));
    EXPECT_EQ(MuestraColor(imagen, {8, 308}), std::optional<qint32>(0xFF0000));
    EXPECT_FALSE(MuestraColor(imagen, {10, 10}).has_value());
}

// The window on a folder whose "Skins" holds the shipped Default.JPG.
class Skins : public VentanaPrueba {
protected:
    QString skin(const QString& nombre) {
        return carpeta.archivo(QStringLiteral("Skins/") + nombre);
    }
    QAction* elemento(int i) { return ventana->menu().mnuSelectedSkin[static_cast<size_t>(i - 1)]; }
    // The start-up's boxes about the skin (the empty database has its own).
    int cajasSkin() const {
        return static_cast<int>(std::count_if(arranque.begin(), arranque.end(), [](const auto& m) {
            return m.titulo == QStringLiteral("Estilo visual Error...") ||
                   m.titulo == QStringLiteral("Aplicando el estilo visual...");
        }));
    }
    QColor fondoDe(const char* nombre) {
        return control<QWidget>(nombre)->palette().color(QPalette::Button);
    }
};

TEST_F(Skins, BeforeAnySampleTheColourIsTheDialogsDesignBackground) {
    EXPECT_EQ(ventana->skins().ColorFondoSkin(), 0xFFEFE3);
    // The shipped "Default.JPG" is found and sampled at start-up.
    ASSERT_TRUE(arrancar());
    EXPECT_EQ(cajasSkin(), 0);
    EXPECT_NE(ventana->skins().ColorFondoSkin(), 0xFFEFE3);
}

TEST_F(Skins, ThirtyFilesFillElementsOneToTwentyFour) {
    for (int i = 1; i <= 29; ++i)
        ASSERT_TRUE(GuardarSkin(skin(QStringLiteral("s%1.jpg").arg(i, 2, 10, QChar(u'0'))), {8, 8},
                                Qt::gray));
    ventana->CargarMenuSkins();
    // Default.JPG sorts first, then s01 to s29.
    EXPECT_EQ(elemento(1)->text(), QStringLiteral("Default"));
    for (int i = 2; i <= 23; ++i)
        EXPECT_EQ(elemento(i)->text(), QStringLiteral("s%1").arg(i - 1, 2, 10, QChar(u'0')));
    EXPECT_EQ(elemento(24)->text(), QStringLiteral("s29"));
    for (int i = 1; i <= 24; ++i)
        EXPECT_TRUE(elemento(i)->isVisible()) << i;
    EXPECT_FALSE(elemento(25)->isVisible());
    EXPECT_TRUE(ventana->menu().mnuSkins->menuAction()->isVisible());
    // "Default.JPG" is the current skin: its element is ticked whatever the letter case.
    EXPECT_TRUE(elemento(1)->isChecked());
    EXPECT_FALSE(elemento(2)->isChecked());
}

TEST_F(Skins, NoSkinFileHidesTheSubmenu) {
    ASSERT_TRUE(QFile::remove(skin(QStringLiteral("Default.JPG"))));
    ventana->CargarMenuSkins();
    EXPECT_FALSE(ventana->menu().mnuSkins->menuAction()->isVisible());
}

TEST_F(Skins, ASecondSkinPaintsTheWindowAndItsControls) {
    ASSERT_TRUE(arrancar());
    ASSERT_TRUE(GuardarSkin(skin(QStringLiteral("Azul.jpg")), {781, 603}, QColor(0, 0, 255)));
    ventana->CargarMenuSkins();
    ASSERT_EQ(elemento(1)->text(), QStringLiteral("Azul"));
    elemento(1)->trigger();
    EXPECT_TRUE(msgBox.mostrados.empty());
    EXPECT_EQ(ventana->ajustes().SkinActual, QStringLiteral("Azul.jpg"));
    const QColor azul = ColorDesdeBgr(ventana->skins().ColorFondoSkin());
    EXPECT_LT(azul.red(), 12);
    EXPECT_GT(azul.blue(), 240);
    for (const char* nombre : {"cmdAperturaManual", "chkOnTop", "cmdLvwAutoAjustar", "cmdMover(3)"})
        EXPECT_EQ(fondoDe(nombre), azul) << nombre;
    EXPECT_EQ(control<QWidget>("lblTituloGeneral")->palette().color(QPalette::WindowText), azul);
    // An open dialog takes a skin applied while it is open.
    ventana->menuOptions_Click();
    ASSERT_TRUE(GuardarSkin(skin(QStringLiteral("Blanco.jpg")), {781, 603}, Qt::white));
    ventana->CargarMenuSkins();
    ASSERT_EQ(elemento(2)->text(), QStringLiteral("Blanco"));
    elemento(2)->trigger();
    EXPECT_EQ(ventana->opciones()->btOk->palette().color(QPalette::Button),
              ColorDesdeBgr(ventana->skins().ColorFondoSkin()));
    EXPECT_GT(ventana->opciones()->btOk->palette().color(QPalette::Button).red(), 240);
    ventana->opciones()->btCancel_Click();
    // The menu ticks the new skin at its next opening.
    ventana->CargarMenuSkins();
    EXPECT_FALSE(elemento(1)->isChecked());
    EXPECT_TRUE(elemento(2)->isChecked());
}

TEST_F(Skins, ChoosingTheTickedElementDoesNothing) {
    ASSERT_TRUE(arrancar());
    ventana->CargarMenuSkins();
    ASSERT_TRUE(elemento(1)->isChecked());
    // Were it loaded again, the missing file would be an error.
    ASSERT_TRUE(QFile::remove(skin(QStringLiteral("Default.JPG"))));
    elemento(1)->trigger();
    EXPECT_TRUE(msgBox.mostrados.empty());
    EXPECT_EQ(ventana->ajustes().SkinActual, QStringLiteral("Default.JPG"));
}

TEST_F(Skins, AMissingOrUnreadableChoiceKeepsThePreviousSkin) {
    ASSERT_TRUE(arrancar());
    QFile roto(skin(QStringLiteral("Roto.jpg")));
    ASSERT_TRUE(roto.open(QIODevice::WriteOnly));
    roto.write("no es una imagen");
    roto.close();
    ventana->CargarMenuSkins();
    ASSERT_EQ(elemento(2)->text(), QStringLiteral("Roto"));
    elemento(2)->trigger();
    ASSERT_EQ(msgBox.mostrados.size(), 1u);
    EXPECT_EQ(msgBox.ultimo().texto,
              QStringLiteral("Sorry, it was an error trying to load the selected skin."));
    EXPECT_EQ(msgBox.ultimo().estilo, 48);
    EXPECT_EQ(msgBox.ultimo().titulo, QStringLiteral("Skin load error..."));
    EXPECT_EQ(ventana->ajustes().SkinActual, QStringLiteral("Default.JPG"));
}

TEST_F(Skins, APictureSmallerThanTheSamplePointTakesTheErrorPath) {
    ASSERT_TRUE(arrancar());
    const QColor antes = fondoDe("cmdAperturaManual");
    ASSERT_TRUE(GuardarSkin(skin(QStringLiteral("Mini.jpg")), {8, 308}, Qt::black));
    ventana->CargarMenuSkins();
    ASSERT_EQ(elemento(2)->text(), QStringLiteral("Mini"));
    elemento(2)->trigger();
    ASSERT_EQ(msgBox.mostrados.size(), 1u);
    EXPECT_EQ(msgBox.ultimo().texto, QStringLiteral("Error en la funcion GetPixel() "));
    EXPECT_EQ(msgBox.ultimo().titulo, QStringLiteral("Aplicando el estilo visual..."));
    // The picture is shown, the controls keep their colours.
    EXPECT_EQ(ventana->ajustes().SkinActual, QStringLiteral("Mini.jpg"));
    EXPECT_EQ(ventana->skins().ColorFondoSkin(), 0xFFEFE3);
    EXPECT_EQ(fondoDe("cmdAperturaManual"), antes);
}

TEST_F(Skins, ANameSavedInAnotherLetterCaseIsStillFound) {
    QFile ini(carpeta.archivo(IniFile::nombreArchivo()));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Appearance]\nskin=default.jpg\n");
    ini.close();
    ASSERT_TRUE(arrancar());
    EXPECT_EQ(cajasSkin(), 0);
    EXPECT_NE(ventana->skins().ColorFondoSkin(), 0xFFEFE3);
    EXPECT_EQ(ventana->ajustes().SkinActual, QStringLiteral("default.jpg"));
    ventana->CargarMenuSkins();
    EXPECT_TRUE(elemento(1)->isChecked());
}

TEST_F(Skins, TheLastSkinMissingAtStartIsToldAndKept) {
    QFile ini(carpeta.archivo(IniFile::nombreArchivo()));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Appearance]\nskin=Falta.jpg\n");
    ini.close();
    ASSERT_TRUE(arrancar());
    ASSERT_EQ(cajasSkin(), 1);
    EXPECT_EQ(arranque[0].texto, QStringLiteral("Ocurrio un error el la carga del ultimo estilo "
                                                "visual seleccionado."));
    EXPECT_EQ(arranque[0].titulo, QStringLiteral("Estilo visual Error..."));
    EXPECT_EQ(ventana->ajustes().SkinActual, QStringLiteral("Falta.jpg"));
    EXPECT_EQ(ventana->skins().ColorFondoSkin(), 0xFFEFE3);
}

// The engine adapter's parameter calls as the options dialog and the settings file use them:
// the colours it was given are kept, like the engine keeps them.
class ColoresMotor final : public ParametrosHuella {
public:
    void LeerParametrosHuella(AjustesEstacion&) override {}
    void AplicarParametrosHuella(const AjustesEstacion&) override {}
    void ColoresPorDefecto(AjustesEstacion& a) override { a = AjustesEstacion{}; }
    void AplicarColoresHuella(const AjustesEstacion& a) override { minucias = a.minutiaeColor; }
    qint32 minucias = 0;
};

TEST(ColoresSkin, ABlueSwatchStaysBlueThroughTheEngineAndTheSettingsFile) {
    const qint32 azul = BgrDesdeColor(QColor(0, 0, 255));
    // The engine draws it blue.
    motor::DatosPlantilla plantilla;
    plantilla.ancho = plantilla.alto = 40;
    plantilla.minucias.push_back({20, 20, 0, motor::TipoMinucia::Terminacion, 90});
    const std::vector<std::uint8_t> gris(40 * 40, 255);
    const motor::ImagenRGB dibujo = motor::DibujoOverlay::biometrico(
        plantilla, gris.data(), 40, 40, 500,
        {azul, ColorNoDibujado, ColorNoDibujado, ColorNoDibujado, ColorNoDibujado, ColorNoDibujado},
        nullptr);
    bool hayAzul = false;
    for (size_t i = 0; i + 2 < dibujo.bytes.size(); i += 3)
        hayAzul |= dibujo.bytes[i] == 0 && dibujo.bytes[i + 1] == 0 && dibujo.bytes[i + 2] == 255;
    EXPECT_TRUE(hayAzul);

    // The settings file keeps the number and gives it back.
    CarpetaTemporal carpeta;
    AjustesEstacion ajustes;
    ColoresMotor motor;
    ajustes.minutiaeColor = azul;
    ajustes.directionsColor = ColorNoDibujado;
    IniFile ini(carpeta.ruta(), ajustes, motor);
    ASSERT_TRUE(ini.GuardarConfiguracion());
    EXPECT_EQ(LeerIni(carpeta.archivo(IniFile::nombreArchivo()), QStringLiteral("Colores huella"),
                      QStringLiteral("minutiaeColor")),
              QStringLiteral("16711680"));
    AjustesEstacion leidos;
    IniFile lector(carpeta.ruta(), leidos, motor);
    lector.CargarConfigHuella();
    EXPECT_EQ(leidos.minutiaeColor, azul);
    EXPECT_EQ(leidos.directionsColor, ColorNoDibujado);
    EXPECT_EQ(motor.minucias, azul);
    EXPECT_EQ(ColorDesdeBgr(leidos.minutiaeColor), QColor(0, 0, 255));
}

} // namespace
} // namespace portiva::prueba
