// The options dialog (on a fake engine adapter that checks ranges as the real one does) and
// the calendar dialog (on the window: which box it fills, and the search it starts).

#include "ColorBgr.h"
#include "GloboTexto.h"
#include "ImagenesVentana.h"
#include "ParametrosHuella.h"
#include "SelectorColor.h"
#include "SkinSupportCode.h"
#include "VentanaPrueba.h"
#include "formOptions.h"
#include "frmCalendario.h"

#include "BotonImagen.h"
#include "BuscadorClientes.h"
#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace portiva::prueba {
namespace {

TEST(ParametroOpciones, ReadsTheLeadingNumberWithHalvesToEven) {
    EXPECT_EQ(LeerParametro(u"2.5"), 2);
    EXPECT_EQ(LeerParametro(u"1.5"), 2);
    EXPECT_EQ(LeerParametro(u"3.5"), 4);
    EXPECT_EQ(LeerParametro(u" 50"), 50);
    EXPECT_EQ(LeerParametro(u"50x"), 50);
    EXPECT_EQ(LeerParametro(u"abc"), 0);
    EXPECT_EQ(LeerParametro(u""), 0);
    EXPECT_EQ(LeerParametro(u"-1"), -1);
    EXPECT_EQ(LeerParametro(u"9e99"), 2147483647);
}

// The engine adapter: its parameters, the range check with the refusal of a bad pair, and
// the colours it was given.
class AdaptadorFalso final : public ParametrosHuella {
public:
    void LeerParametrosHuella(AjustesEstacion& a) override {
        a.thresholdId = id[0];
        a.rotationMaxId = id[1];
        a.thresholdVr = vr[0];
        a.rotationMaxVr = vr[1];
    }
    void AplicarParametrosHuella(const AjustesEstacion& a) override {
        const auto valido = [this](int u, int r) {
            return !rechazarSiempre && u >= 10 && u <= 200 && r >= 0 && r <= 180;
        };
        if (valido(a.thresholdId, a.rotationMaxId))
            id = {a.thresholdId, a.rotationMaxId};
        else
            rechazos << QStringLiteral("Identificación");
        if (valido(a.thresholdVr, a.rotationMaxVr))
            vr = {a.thresholdVr, a.rotationMaxVr};
        else
            rechazos << QStringLiteral("Verificación");
    }
    void ColoresPorDefecto(AjustesEstacion&) override {}
    void AplicarColoresHuella(const AjustesEstacion& a) override {
        colores = {a.minutiaeColor,      a.minutiaeMatchColor, a.segmentsColor,
                   a.segmentsMatchColor, a.directionsColor,    a.directionsMatchColor};
        ++vecesColores;
    }
    std::array<int, 2> id{25, 45}, vr{23, 45};
    std::array<qint32, 6> colores{};
    int vecesColores = 0;
    QStringList rechazos;
    bool rechazarSiempre = false; // as an engine that refuses what it is given
};

class ColorGuion final : public SelectorColor {
public:
    std::optional<QColor> elegir(const QColor& inicial, QWidget*) override {
        iniciales.push_back(inicial);
        return respuesta;
    }
    std::optional<QColor> respuesta;
    std::vector<QColor> iniciales;
};

class AspectoFijo final : public AspectoSkin {
public:
    qint32 ColorFondoSkin() const override { return color; }
    QPixmap Fondo() const override { return fondo; }
    qint32 color = 0x336699;
    QPixmap fondo;
};

class Opciones : public ::testing::Test {
protected:
    formOptions& abrir() {
        dialogo =
            std::make_unique<formOptions>(ajustes, adaptador, selector, aspecto, imagenes, nullptr);
        dialogo->Form_Load();
        return *dialogo;
    }
    AjustesEstacion ajustes;
    AdaptadorFalso adaptador;
    ColorGuion selector;
    AspectoFijo aspecto;
    ImagenesVentana imagenes;
    std::unique_ptr<formOptions> dialogo;
};

TEST_F(Opciones, OpensOnTheEngineValuesInBoxesOfThreeCharacters) {
    formOptions& d = abrir();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.txtIdentThres->text(), QStringLiteral("25"));
    EXPECT_EQ(d.txtIdentRotTol->text(), QStringLiteral("45"));
    EXPECT_EQ(d.txtVerifThres->text(), QStringLiteral("23"));
    d.txtVerifRotTol->clear();
    QTest::keyClicks(d.txtVerifRotTol, QStringLiteral("1234"));
    EXPECT_EQ(d.txtVerifRotTol->text(), QStringLiteral("123"));
    EXPECT_TRUE(d.txtIdentThres->alignment() & Qt::AlignRight);
    // The skin: the title's text and the controls' backgrounds.
    EXPECT_EQ(d.lblTituloGeneral()->palette().color(QPalette::WindowText), ColorDesdeBgr(0x336699));
    EXPECT_EQ(d.btOk->palette().color(QPalette::Button), ColorDesdeBgr(0x336699));
    EXPECT_EQ(d.lblTituloGeneral()->text(), QStringLiteral("Configuración"));
}

TEST_F(Opciones, HalvesGoToEvenAndAnEngineRefusalIsReported) {
    formOptions& d = abrir();
    d.txtIdentRotTol->setText(QStringLiteral("2.5"));
    d.txtVerifRotTol->setText(QStringLiteral("1.5 grados"));
    adaptador.rechazarSiempre = true;
    d.btOk_Click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(ajustes.rotationMaxId, 2);
    EXPECT_EQ(ajustes.rotationMaxVr, 2);
    // The engine refused both pairs; the dialog still sent the colours.
    EXPECT_EQ(adaptador.rechazos, (QStringList{"Identificación", "Verificación"}));
    EXPECT_EQ(adaptador.vecesColores, 1);

    // Reopening shows what the engine holds, not what was refused.
    formOptions& otra = abrir();
    EXPECT_EQ(otra.txtIdentRotTol->text(), QStringLiteral("45"));
}

// Typed as the operator types: a click into the box, the keys, Enter for OK.
TEST_F(Opciones, ABadValueKeepsTheDialogOpenOnItsBoxWithItsRange) {
    formOptions& d = abrir();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    const auto teclear = [](QLineEdit* caja, const QString& texto) {
        QTest::mouseClick(caja, Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), texto);
    };
    teclear(d.txtVerifThres, QStringLiteral("60"));
    selector.respuesta = QColor(0, 0, 255);
    QTest::mouseDClick(d.swatches[0], Qt::LeftButton);
    teclear(d.txtIdentThres, QStringLiteral("abc"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), d.txtIdentThres);
    EXPECT_EQ(d.globos().hWndBalloon(), d.txtIdentThres);
    EXPECT_TRUE(d.globos().globo().isVisible());
    EXPECT_EQ(d.globos().globo().titulo(), QStringLiteral("Identificación: Umbral Límite"));
    EXPECT_EQ(d.globos().globo().texto(),
              QStringLiteral("\"abc\" no es un número. Escriba un número entero entre 10 y 200."));
    EXPECT_EQ(adaptador.vecesColores, 0); // nothing applied
    EXPECT_TRUE(adaptador.rechazos.isEmpty());
    // The other edits are still there.
    EXPECT_EQ(d.txtVerifThres->text(), QStringLiteral("60"));
    EXPECT_EQ(ColorDesdeBgr(d.colorSwatch(0)), QColor(0, 0, 255));

    // Typed over at once (the bad text is selected), then a rotation out of its range.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("50"));
    teclear(d.txtVerifRotTol, QStringLiteral("-1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.globos().globo().titulo(), QStringLiteral("Verificación: Tolerancia Rotación"));
    EXPECT_EQ(d.globos().globo().texto(),
              QStringLiteral("-1 está fuera del rango. Escriba un número entero entre 0 y 180."));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("30"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());
    EXPECT_FALSE(d.globos().globo().isVisible());
    EXPECT_TRUE(adaptador.rechazos.isEmpty());
    EXPECT_EQ(adaptador.id, (std::array<int, 2>{50, 45}));
    EXPECT_EQ(adaptador.vr, (std::array<int, 2>{60, 30}));
    EXPECT_EQ(ColorDesdeBgr(adaptador.colores[0]), QColor(0, 0, 255));
}

TEST(ProblemaParametro, NamesTheRangeOrNothing) {
    EXPECT_EQ(ProblemaParametro(u"50", 10, 200), QString());
    EXPECT_EQ(ProblemaParametro(u" 50x", 10, 200), QString()); // read from its start
    EXPECT_EQ(ProblemaParametro(u"200", 10, 200), QString());
    EXPECT_EQ(ProblemaParametro(u"9", 10, 200),
              QStringLiteral("9 está fuera del rango. Escriba un número entero entre 10 y 200."));
    EXPECT_EQ(ProblemaParametro(u"", 0, 180),
              QStringLiteral("Falta el valor. Escriba un número entero entre 0 y 180."));
    EXPECT_EQ(ProblemaParametro(u"abc", 0, 180),
              QStringLiteral("\"abc\" no es un número. Escriba un número entero entre 0 y 180."));
}

TEST_F(Opciones, ValidValuesReachTheEngine) {
    formOptions& d = abrir();
    d.txtIdentThres->setText(QStringLiteral("200"));
    d.txtIdentRotTol->setText(QStringLiteral(" 0"));
    d.txtVerifThres->setText(QStringLiteral("10"));
    d.txtVerifRotTol->setText(QStringLiteral("180"));
    d.btOk_Click();
    EXPECT_TRUE(adaptador.rechazos.isEmpty());
    EXPECT_EQ(adaptador.id, (std::array<int, 2>{200, 0}));
    EXPECT_EQ(adaptador.vr, (std::array<int, 2>{10, 180}));
}

TEST_F(Opciones, AnUndrawnElementBothWays) {
    ajustes.segmentsColor = ColorNoDibujado;
    formOptions& d = abrir();
    // Unticked, with its default colour in the swatch.
    EXPECT_FALSE(d.mostrar[2]->isChecked());
    EXPECT_EQ(d.colorSwatch(2), 0xFF00);
    EXPECT_TRUE(d.mostrar[0]->isChecked());
    // Ticking it gives it the swatch's colour; unticking another sends "not drawn".
    d.mostrar[2]->setChecked(true);
    d.mostrar[4]->setChecked(false);
    d.btOk_Click();
    EXPECT_EQ(ajustes.segmentsColor, 0xFF00);
    EXPECT_EQ(ajustes.directionsColor, ColorNoDibujado);
    EXPECT_EQ(adaptador.colores[2], 0xFF00);
    EXPECT_EQ(adaptador.colores[4], ColorNoDibujado);

    // OK without a change keeps an undrawn element undrawn.
    formOptions& otra = abrir();
    EXPECT_FALSE(otra.mostrar[4]->isChecked());
    otra.btOk_Click();
    EXPECT_EQ(ajustes.directionsColor, ColorNoDibujado);
}

TEST_F(Opciones, ABlueSwatchIsSentAsBlue) {
    formOptions& d = abrir();
    selector.respuesta = QColor(0, 0, 255);
    QTest::mouseDClick(d.swatches[3], Qt::LeftButton);
    ASSERT_EQ(selector.iniciales.size(), 1u);
    // The picker opened on the swatch's colour (purple, 0x800080).
    EXPECT_EQ(selector.iniciales[0], QColor(0x80, 0, 0x80));
    // A cancelled picker keeps the colour.
    selector.respuesta.reset();
    d.pbColor_DblClick(0);
    EXPECT_EQ(d.colorSwatch(0), 0xFF0000);
    d.btOk_Click();
    EXPECT_EQ(ajustes.segmentsMatchColor, 0xFF0000);
    EXPECT_EQ(ColorDesdeBgr(adaptador.colores[3]), QColor(0, 0, 255));
}

TEST_F(Opciones, CancelAndEscapeApplyNothingEnterIsOk) {
    formOptions& d = abrir();
    d.txtIdentThres->setText(QStringLiteral("99"));
    d.mostrar[0]->setChecked(false);
    d.btCancel->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(adaptador.vecesColores, 0);
    EXPECT_EQ(ajustes.minutiaeColor, 0xFF0000);

    formOptions& e = abrir();
    e.txtIdentThres->setText(QStringLiteral("99"));
    QTest::keyClick(e.txtIdentThres, Qt::Key_Escape);
    EXPECT_FALSE(e.isVisible());
    EXPECT_EQ(adaptador.id[0], 25);

    formOptions& f = abrir();
    f.txtIdentThres->setText(QStringLiteral("99"));
    QTest::keyClick(f.txtIdentThres, Qt::Key_Return);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(adaptador.id[0], 99);
}

// The calendar on the window.
class Calendario : public VentanaPrueba {
protected:
    void SetUp() override {
        VentanaPrueba::SetUp();
        reloj.poner(QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
    }
    frmCalendario* cal() { return ventana->calendario(); }
    QLineEdit* caja(const char* nombre) { return control<QLineEdit>(nombre); }
    QComboBox* valorBusqueda() { return control<QComboBox>("CboDatoBusqueda"); }
};

TEST_F(Calendario, RecordDateButtonsOnlyWhileEditing) {
    ventana->imgCalend_Click(2);
    EXPECT_EQ(cal(), nullptr);
    ventana->EditMode(true);
    ventana->imgCalend_Click(2);
    ASSERT_NE(cal(), nullptr);
    EXPECT_EQ(cal()->lblTituloGeneral()->text(), QStringLiteral("  Hoy es 09/12/2026"));
    EXPECT_EQ(cal()->Calendar->selectedDate(), QDate(2026, 12, 9));
    EXPECT_EQ(cal()->lblDate->text(), QStringLiteral("miércoles, 9 de diciembre de 2026"));
    EXPECT_TRUE(cal()->windowFlags() & Qt::WindowStaysOnTopHint);
    cal()->Calendar->setSelectedDate(QDate(2027, 1, 3));
    QTest::keyClick(cal(), Qt::Key_Return);
    EXPECT_EQ(cal(), nullptr);
    EXPECT_EQ(caja("txtFechaInicio")->text(), QStringLiteral("03/01/2027"));
    EXPECT_TRUE(caja("txtFechaInscripcion")->text().isEmpty());
    EXPECT_EQ(ventana->estado().CampoCalendario, 0);
}

TEST_F(Calendario, OpensOnTheDateTheBoxHolds) {
    ventana->EditMode(true);
    caja("txtFechaCaducidad")->setText(QStringLiteral("15/03/2027"));
    caja("txtFechaInicio")->setText(QStringLiteral("31/02/2027"));
    ventana->imgCalend_Click(3);
    ASSERT_NE(cal(), nullptr);
    EXPECT_EQ(cal()->Calendar->selectedDate(), QDate(2027, 3, 15));
    cal()->cmdHoy_Click();
    EXPECT_EQ(cal()->Calendar->selectedDate(), QDate(2026, 12, 9));
    QTest::keyClick(cal(), Qt::Key_Escape);
    EXPECT_EQ(cal(), nullptr);
    EXPECT_EQ(caja("txtFechaCaducidad")->text(), QStringLiteral("15/03/2027"));
    // A box without a valid date: today.
    ventana->imgCalend_Click(2);
    ASSERT_NE(cal(), nullptr);
    EXPECT_EQ(cal()->Calendar->selectedDate(), QDate(2026, 12, 9));
}

TEST_F(Calendario, TheLastButtonClickedWinsAndTheSearchBoxSearches) {
    ventana->EditMode(true);
    ventana->imgCalend_Click(2);
    ASSERT_NE(cal(), nullptr);
    cal()->Calendar->setSelectedDate(QDate(2026, 11, 20));
    click("imgCalendBusqueda");
    ASSERT_NE(cal(), nullptr);
    // The open dialog keeps its date and now serves the search box.
    EXPECT_EQ(cal()->Calendar->selectedDate(), QDate(2026, 11, 20));
    EXPECT_EQ(ventana->estado().CampoCalendario, 4);
    click("cmdOk");
    EXPECT_EQ(cal(), nullptr);
    EXPECT_EQ(valorBusqueda()->currentText(), QStringLiteral("20/11/2026"));
    EXPECT_TRUE(caja("txtFechaInicio")->text().isEmpty());
    EXPECT_TRUE(visible("imgBuscar"));
    EXPECT_TRUE(visible("imgReport"));
}

TEST_F(Calendario, FromTheSearchPanelItRunsTheSearchOfTheDate) {
    ASSERT_TRUE(arrancar());
    ventana->DesplegarInfo(true);
    ventana->DesplegarBuscar(true);
    control<QComboBox>("cboTipoDeBusqueda")->setCurrentIndex(11);
    ventana->buscador().cboTipoDeBusqueda_Click(11);
    ASSERT_TRUE(visible("imgCalendBusqueda"));
    // The value box holds a date already: the calendar opens on it.
    valorBusqueda()->setEditText(QStringLiteral("05/12/2026"));
    click("imgCalendBusqueda");
    ASSERT_NE(cal(), nullptr);
    EXPECT_EQ(cal()->Calendar->selectedDate(), QDate(2026, 12, 5));
    cal()->Calendar->setSelectedDate(QDate(2026, 12, 1));
    msgBox.limpiar();
    click("cmdOk");
    EXPECT_EQ(cal(), nullptr);
    EXPECT_EQ(valorBusqueda()->currentText(), QStringLiteral("01/12/2026"));
    EXPECT_EQ(control<QLabel>("lblResultBusqueda")->text(),
              QStringLiteral("No se han encontrado los datos buscados"));
    EXPECT_TRUE(msgBox.mostrados.empty());
}

TEST_F(Calendario, EnteringEditModeResetsTheTargetSoOkOnlyCloses) {
    ventana->imgCalendBusqueda_Click();
    ASSERT_NE(cal(), nullptr);
    ventana->EditMode(true);
    ASSERT_NE(cal(), nullptr);
    cal()->cmdOk_Click();
    EXPECT_EQ(cal(), nullptr);
    EXPECT_TRUE(valorBusqueda()->currentText().isEmpty());
    EXPECT_FALSE(visible("imgBuscar"));
}

TEST_F(Calendario, LeavingEditModeClosesItAndTheClosePictureWritesNothing) {
    ventana->EditMode(true);
    ventana->imgCalend_Click(1);
    ASSERT_NE(cal(), nullptr);
    ventana->EditMode(false);
    EXPECT_EQ(cal(), nullptr);
    EXPECT_EQ(ventana->estado().CampoCalendario, 0);

    ventana->imgCalendBusqueda_Click();
    ASSERT_NE(cal(), nullptr);
    QTest::mouseClick(cal()->imgClose(), Qt::LeftButton);
    EXPECT_EQ(cal(), nullptr);
    EXPECT_TRUE(valorBusqueda()->currentText().isEmpty());
    EXPECT_EQ(ventana->estado().CampoCalendario, 4);
}

TEST_F(Calendario, AMessageBoxRaisedWhileItIsOpenStaysAboveIt) {
    ventana->show();
    ventana->imgCalendBusqueda_Click();
    ASSERT_NE(cal(), nullptr);
    bool encimaDuranteLaCaja = true;
    QTimer::singleShot(0, [&] {
        encimaDuranteLaCaja = cal()->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        if (QWidget* caja = QApplication::activeModalWidget())
            caja->close();
    });
    QMessageBox::warning(ventana.get(), QStringLiteral("Buscando..."), QStringLiteral("Error"));
    EXPECT_FALSE(encimaDuranteLaCaja);
    QCoreApplication::processEvents();
    ASSERT_NE(cal(), nullptr);
    EXPECT_TRUE(cal()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(cal()->isVisible());
}

TEST_F(Calendario, OpensOnceAndTheOptionsDialogToo) {
    ASSERT_TRUE(arrancar());
    ventana->imgCalendBusqueda_Click();
    frmCalendario* primero = cal();
    ventana->imgCalendBusqueda_Click();
    EXPECT_EQ(cal(), primero);
    ventana->menu().menuOptions->trigger();
    ASSERT_TRUE(ventana->OpcionesAbierto());
    formOptions* opciones = ventana->opciones();
    opciones->txtIdentThres->setText(QStringLiteral("77"));
    ventana->menuOptions_Click();
    EXPECT_EQ(ventana->opciones(), opciones);
    EXPECT_EQ(opciones->txtIdentThres->text(), QStringLiteral("77"));
    // The shutdown closes both, applying nothing.
    ASSERT_TRUE(ventana->CalendarioAbierto());
    pasos.clear();
    ventana->Form_Unload();
    EXPECT_FALSE(ventana->OpcionesAbierto());
    EXPECT_FALSE(ventana->CalendarioAbierto());
    EXPECT_FALSE(pasos.contains(QStringLiteral("huella.AplicarColoresHuella")));
}

} // namespace
} // namespace portiva::prueba
