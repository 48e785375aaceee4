#include "NotifyBallon.h"
#include "VentanaPrueba.h"

#include <QMenu>
#include <QTimer>

using namespace portiva;

namespace {

class Bandeja : public prueba::VentanaPrueba {};

} // namespace

TEST_F(Bandeja, FirstCallAddsTheIconLaterOnesChangeIt) {
    ventana->ShowBallon(8, QString(), QString(), 0);
    ventana->ShowBallon(2, QString(), QString(), 0);
    ASSERT_EQ(bandeja.llamadas.size(), 2u);
    EXPECT_EQ(bandeja.llamadas[0].que, QStringLiteral("anadir"));
    EXPECT_EQ(bandeja.llamadas[0].tip, QStringLiteral(" Control de Accesos "));
    EXPECT_EQ(bandeja.llamadas[1].que, QStringLiteral("modificar"));
    EXPECT_TRUE(ventana->bandeja().anadido());
}

TEST_F(Bandeja, IconOnlyWithoutTextShowsNoBalloon) {
    ventana->ShowBallon(3, QString(), QString(), 0);
    for (const auto& l : bandeja.llamadas)
        EXPECT_NE(l.que, QStringLiteral("globo"));
}

TEST_F(Bandeja, BalloonCarriesTitleTextAndFlags) {
    ventana->ShowBallon(5, QStringLiteral("Control de Accesos: Error"),
                        QStringLiteral("El Lector de Huella no ha sido detectado"), 2);
    ASSERT_EQ(bandeja.llamadas.size(), 2u);
    EXPECT_EQ(bandeja.llamadas[1].que, QStringLiteral("globo"));
    EXPECT_EQ(bandeja.llamadas[1].titulo, QStringLiteral("Control de Accesos: Error"));
    EXPECT_EQ(bandeja.llamadas[1].texto,
              QStringLiteral("El Lector de Huella no ha sido detectado"));
    EXPECT_EQ(bandeja.llamadas[1].flags, 2);
}

TEST_F(Bandeja, IconIndexPicksTheStatePictureAndMinusOneTheWindowIcon) {
    ventana->ShowBallon(7, QString(), QString(), 0);
    const QImage siete = bandeja.ultimoIcono.pixmap(32, 32).toImage();
    EXPECT_EQ(siete, ventana->imagenes().SysTray(7).pixmap(32, 32).toImage());
    EXPECT_NE(siete, ventana->imagenes().SysTray(8).pixmap(32, 32).toImage());
    ventana->ShowBallon(-1, QString(), QString(), 0);
    EXPECT_EQ(bandeja.ultimoIcono.pixmap(32, 32).toImage(),
              ventana->imagenes().IconoVentana().pixmap(32, 32).toImage());
}

TEST_F(Bandeja, RemovingBeforeAnyIconDoesNothing) {
    ventana->RemoveBallonIcon();
    EXPECT_TRUE(bandeja.llamadas.empty());
}

TEST_F(Bandeja, RemovingThenShowingAddsAgain) {
    ventana->ShowBallon(8, QString(), QString(), 0);
    ventana->RemoveBallonIcon();
    EXPECT_FALSE(ventana->bandeja().anadido());
    ventana->ShowBallon(8, QString(), QString(), 0);
    EXPECT_EQ(bandeja.llamadas.back().que, QStringLiteral("anadir"));
}

TEST_F(Bandeja, WithoutANotificationAreaTheIconCountsAsAddedAndIsNotRetried) {
    bandeja.disponible = false;
    ventana->ShowBallon(8, QString(), QString(), 0);
    ventana->ShowBallon(4, QStringLiteral("t"), QStringLiteral("x"), 1);
    EXPECT_EQ(bandeja.llamadas[0].que, QStringLiteral("anadir"));
    EXPECT_EQ(bandeja.llamadas[1].que, QStringLiteral("modificar"));
}

TEST(NotifyBallonTextos, LongTextsAreCutToTheirFields) {
    prueba::BandejaFalsa bandeja;
    NotifyBallon notify(bandeja);
    notify.ShowBallon(1, QIcon(), QString(70, QLatin1Char('t')), QString(300, QLatin1Char('x')),
                      QString(200, QLatin1Char('p')), 1);
    ASSERT_EQ(bandeja.llamadas.size(), 2u);
    EXPECT_EQ(bandeja.llamadas[0].tip.size(), 127);
    EXPECT_EQ(bandeja.llamadas[1].titulo.size(), 63);
    EXPECT_EQ(bandeja.llamadas[1].texto.size(), 255);
}

TEST_F(Bandeja, TheMouseOnTheIconTellsShowsAndOpensTheMenu) {
    ASSERT_TRUE(arrancar());
    ASSERT_TRUE(static_cast<bool>(bandeja.receptor));
    ventana->InfoHuella(QStringLiteral(" ID 2 Ana (Permitido)"), false);

    // A left click while the window shows: nothing.
    bandeja.llamadas.clear();
    bandeja.receptor(BandejaSistema::ClicIzquierdo);
    EXPECT_TRUE(bandeja.llamadas.empty());

    // Hidden: the last access in a balloon, with the state's icon.
    ventana->hide();
    bandeja.receptor(BandejaSistema::ClicIzquierdo);
    ASSERT_FALSE(bandeja.llamadas.empty());
    EXPECT_EQ(bandeja.llamadas.back().que, QStringLiteral("globo"));
    EXPECT_EQ(bandeja.llamadas.back().titulo, QStringLiteral("Inform. Ultimo Acceso"));
    EXPECT_EQ(bandeja.llamadas.back().texto, QStringLiteral(" ID 2 Ana (Permitido)"));
    EXPECT_EQ(bandeja.llamadas.back().flags, 1);
    EXPECT_EQ(bandeja.ultimoIcono.pixmap(32, 32).toImage(),
              ventana->imagenes().SysTray(8).pixmap(32, 32).toImage());

    // A double click brings the window back.
    bandeja.receptor(BandejaSistema::DobleClic);
    EXPECT_TRUE(ventana->isVisible());

    // A right click opens the menu (closed here as soon as it shows).
    QTimer cierre;
    QObject::connect(&cierre, &QTimer::timeout, [this] {
        if (ventana->menu().mnuMenu->isVisible())
            ventana->menu().mnuMenu->close();
    });
    cierre.start(20);
    bandeja.receptor(BandejaSistema::ClicDerecho);
    EXPECT_TRUE(ventana->menu().mnuShowMe->isChecked());

    // Once the window is gone nobody listens to the icon.
    ventana.reset();
    EXPECT_FALSE(static_cast<bool>(bandeja.receptor));
}

TEST_F(Bandeja, WithoutANotificationAreaMinimisingKeepsTheWindowReachable) {
    ASSERT_TRUE(arrancar());
    bandeja.disponible = false;
    click("imgMinim");
    EXPECT_TRUE(ventana->isVisible());
    EXPECT_TRUE(ventana->isMinimized());
    bandeja.disponible = true;
    ventana->showNormal();
    click("imgMinim");
    EXPECT_FALSE(ventana->isVisible());
}
