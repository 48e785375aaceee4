#include "ComboBloqueable.h"
#include "GloboTexto.h"
#include "VentanaPrueba.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using namespace portiva;

namespace {

class Globos : public prueba::VentanaPrueba {
protected:
    void SetUp() override {
        VentanaPrueba::SetUp();
        ventana->DesplegarInfo(true);
        ventana->show();
    }
    EditBallon_GreyText& globos() { return ventana->globos(); }
    const GloboTexto& globo() { return globos().globo(); }
};

} // namespace

TEST_F(Globos, BalloonOnATextBox) {
    auto* nombre = control<QLineEdit>("txtNombre");
    ventana->MostrarBalloon(
        QStringLiteral("Este campo no puede estar vacio, introduzca un nombre."), 2,
        QStringLiteral("Campo vacio"), nombre);
    EXPECT_EQ(globos().hWndBalloon(), nombre);
    EXPECT_TRUE(globo().isVisible());
    EXPECT_EQ(globo().titulo(), QStringLiteral("Campo vacio"));
    EXPECT_EQ(globo().texto(),
              QStringLiteral("Este campo no puede estar vacio, introduzca un nombre."));
    EXPECT_EQ(globo().icono(), 2);
    EXPECT_TRUE(globos().tmrMsgboxTT().isActive());
    EXPECT_EQ(globos().tmrMsgboxTT().interval(), 3500);
    // It points at the box: just under it, starting near its left edge.
    const QPoint caja = nombre->mapToGlobal(QPoint(0, nombre->height()));
    EXPECT_NEAR(globo().y(), caja.y(), 4);
    EXPECT_NEAR(globo().x(), caja.x(), 20);
}

TEST_F(Globos, BalloonOnAComboGoesToItsEditPart) {
    auto* servicio = control<ComboBloqueable>("cboServContratado");
    ventana->MostrarBalloon(QStringLiteral("Debe introducir un Servicio Contratado valido"), 2,
                            QStringLiteral("Campo vacio"), servicio);
    ASSERT_NE(servicio->lineEdit(), nullptr);
    EXPECT_EQ(globos().hWndBalloon(), servicio->lineEdit());
    EXPECT_TRUE(globo().isVisible());
}

TEST_F(Globos, BalloonOnAComboWithoutEditPartGoesToTheCombo) {
    QComboBox lista(ventana.get());
    lista.setEditable(false);
    ventana->MostrarBalloon(QStringLiteral("x"), 1, QStringLiteral("y"), &lista);
    EXPECT_EQ(globos().hWndBalloon(), &lista);
}

TEST_F(Globos, OtherControlsGetNothing) {
    ventana->MostrarBalloon(QStringLiteral("texto"), 2, QStringLiteral("titulo"),
                            control<QLabel>("lblInfoDB"));
    ventana->MostrarBalloon(QStringLiteral("texto"), 2, QStringLiteral("titulo"), nullptr);
    EXPECT_EQ(globos().hWndBalloon(), nullptr);
    EXPECT_FALSE(globo().isVisible());
    EXPECT_FALSE(globos().tmrMsgboxTT().isActive());
}

TEST_F(Globos, HidingBeforeAnyBalloonDoesNothing) {
    globos().tmrMsgboxTT().start(); // an odd state: the timer runs without a balloon
    globos().tmrMsgboxTT_Timer();
    EXPECT_TRUE(globos().tmrMsgboxTT().isActive()); // left as it was
    EXPECT_FALSE(globo().isVisible());
}

TEST_F(Globos, TwoBalloonsWithinTheIntervalHideTogetherAtTheTick) {
    auto* nombre = control<QLineEdit>("txtNombre");
    auto* inscripcion = control<QLineEdit>("txtFechaInscripcion");
    ventana->MostrarBalloon(QStringLiteral("uno"), 2, QStringLiteral("Campo vacio"), nombre);
    ventana->MostrarBalloon(QStringLiteral("dos"), 2, QStringLiteral("Fecha no valida"),
                            inscripcion);
    EXPECT_EQ(globos().hWndBalloon(), inscripcion);
    EXPECT_EQ(globo().texto(), QStringLiteral("dos"));
    EXPECT_TRUE(globos().tmrMsgboxTT().isActive());

    globos().tmrMsgboxTT_Timer(); // the tick, without waiting for it
    EXPECT_FALSE(globo().isVisible());
    EXPECT_FALSE(globos().tmrMsgboxTT().isActive());
    EXPECT_EQ(globos().hWndBalloon(), inscripcion); // kept until the next balloon
}

TEST_F(Globos, TheTimerReallyHidesTheBalloon) {
    globos().tmrMsgboxTT().setInterval(10); // the same timer, shortened for the test
    ventana->MostrarBalloon(QStringLiteral("uno"), 2, QStringLiteral("t"),
                            control<QLineEdit>("txtNombre"));
    ASSERT_TRUE(globo().isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !globo().isVisible(); }, 10000));
    EXPECT_FALSE(globos().tmrMsgboxTT().isActive());
}

TEST_F(Globos, BalloonDoesNotTakeTheFocus) {
    auto* codigo = control<QLineEdit>("txtCodigo");
    ventana->activateWindow();
    codigo->setFocus();
    ventana->MostrarBalloon(QStringLiteral("x"), 2, QStringLiteral("y"),
                            control<QLineEdit>("txtNombre"));
    EXPECT_EQ(ventana->focusWidget(), codigo);
    EXPECT_EQ(globo().focusPolicy(), Qt::NoFocus);
}
