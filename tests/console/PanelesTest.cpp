#include "VentanaPrueba.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>

using namespace portiva;

namespace {

class Paneles : public prueba::VentanaPrueba {
protected:
    QSize tamano() const { return ventana->size(); }
    int xClose() { return control<QWidget>("imgClose")->x(); }
    int xMinim() { return control<QWidget>("imgMinim")->x(); }
};

const QSize Estrecha(398, 404); // 5970 x 6060 twips
const QSize Ancha(781, 404);    // 11715 x 6060
const QSize Entera(781, 603);   // 11715 x 9045

} // namespace

TEST_F(Paneles, StartsWithTheStationColumnOnly) {
    EXPECT_EQ(tamano(), Estrecha);
    EXPECT_TRUE(visible("imgDesplegarInfo"));
    EXPECT_TRUE(visible("imgDesplegarBuscar"));
    EXPECT_FALSE(visible("imgRecogerInfo"));
    EXPECT_FALSE(visible("imgRecogerBuscar"));
    EXPECT_TRUE(visible("imgSoundOn"));
    EXPECT_FALSE(visible("imgSoundOff"));
    EXPECT_TRUE(ventana->estado().SonidoActivo);
    EXPECT_FALSE(ventana->estado().SiempreEncima);
    EXPECT_FALSE(ventana->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(ventana->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(xClose(), 371);
    EXPECT_EQ(xMinim(), 348);
}

TEST_F(Paneles, FoldSequenceRemembersTheSearchPanel) {
    ventana->DesplegarInfo(true);
    EXPECT_EQ(tamano(), Ancha);
    EXPECT_EQ(xClose(), 754);
    EXPECT_EQ(xMinim(), 731);
    EXPECT_FALSE(visible("imgDesplegarInfo"));
    EXPECT_TRUE(visible("imgRecogerInfo"));

    ventana->DesplegarBuscar(true);
    EXPECT_EQ(tamano(), Entera);
    EXPECT_FALSE(visible("imgDesplegarBuscar"));
    EXPECT_TRUE(visible("imgRecogerBuscar"));
    EXPECT_EQ(xClose(), 754); // the search panel does not move the chrome

    ventana->DesplegarInfo(false);
    EXPECT_EQ(tamano(), Estrecha);
    EXPECT_TRUE(ventana->estado().BuscarDesplegado);
    EXPECT_EQ(xClose(), 371);
    EXPECT_EQ(xMinim(), 348);

    ventana->DesplegarInfo(true);
    EXPECT_EQ(tamano(), Entera);

    ventana->DesplegarBuscar(false);
    EXPECT_EQ(tamano(), Ancha);
    EXPECT_FALSE(ventana->estado().BuscarDesplegado);
    EXPECT_TRUE(ventana->estado().InfoDesplegada);
}

TEST_F(Paneles, ArrowsFoldOnClickAndDoubleClick) {
    click("imgDesplegarInfo");
    EXPECT_EQ(tamano(), Ancha);
    click("imgDesplegarBuscar");
    EXPECT_EQ(tamano(), Entera);
    click("imgRecogerBuscar");
    EXPECT_EQ(tamano(), Ancha);
    click("imgRecogerInfo");
    EXPECT_EQ(tamano(), Estrecha);

    dobleClick("imgDesplegarInfo");
    EXPECT_TRUE(ventana->estado().InfoDesplegada);
    dobleClick("imgRecogerInfo");
    EXPECT_FALSE(ventana->estado().InfoDesplegada);
}

TEST_F(Paneles, RightButtonOnAnArrowDoesNothing) {
    QTest::mouseClick(control<QWidget>("imgDesplegarInfo"), Qt::RightButton);
    EXPECT_EQ(tamano(), Estrecha);
}

TEST_F(Paneles, SoundSwitchTogglesThePictures) {
    click("imgSoundOn");
    EXPECT_FALSE(ventana->estado().SonidoActivo);
    EXPECT_FALSE(visible("imgSoundOn"));
    EXPECT_TRUE(visible("imgSoundOff"));
    click("imgSoundOff");
    EXPECT_TRUE(ventana->estado().SonidoActivo);
    EXPECT_TRUE(visible("imgSoundOn"));
    EXPECT_FALSE(visible("imgSoundOff"));
    dobleClick("imgSoundOn");
    EXPECT_FALSE(ventana->estado().SonidoActivo);
    dobleClick("imgSoundOff");
    EXPECT_TRUE(ventana->estado().SonidoActivo);
}

TEST_F(Paneles, OnTopFlipsOnAnyButtonReleaseByTheFlag) {
    auto* caja = control<QCheckBox>("chkOnTop");
    ventana->DesplegarInfo(true);
    ventana->show();
    const QPoint centro = caja->rect().center();

    raton(caja, QEvent::MouseButtonPress, centro, Qt::RightButton, Qt::RightButton);
    raton(caja, QEvent::MouseButtonRelease, centro, Qt::RightButton, Qt::NoButton);
    EXPECT_TRUE(ventana->estado().SiempreEncima);
    EXPECT_TRUE(ventana->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(ventana->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(ventana->isVisible());
    EXPECT_FALSE(caja->isChecked()); // the right button does not tick the box

    QTest::mouseClick(caja, Qt::LeftButton);
    EXPECT_FALSE(ventana->estado().SiempreEncima);
    EXPECT_FALSE(ventana->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(caja->isChecked()); // the tick and the state now disagree; the state decides

    QTest::mouseClick(caja, Qt::LeftButton);
    EXPECT_TRUE(ventana->estado().SiempreEncima);

    // Released outside the box: nothing.
    raton(caja, QEvent::MouseButtonPress, centro, Qt::LeftButton, Qt::LeftButton);
    raton(caja, QEvent::MouseButtonRelease, QPoint(-20, -20), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(ventana->estado().SiempreEncima);
}

TEST_F(Paneles, ExtendedInformationFoldsOutOnlyWhenTickedWithThePanelIn) {
    auto* caja = control<QCheckBox>("chkInformacionAmpliada");
    QTest::mouseClick(caja, Qt::LeftButton);
    EXPECT_TRUE(caja->isChecked());
    EXPECT_TRUE(ventana->estado().InfoDesplegada);

    ventana->DesplegarInfo(false);
    QTest::mouseClick(caja, Qt::LeftButton); // unticking
    EXPECT_FALSE(ventana->estado().InfoDesplegada);

    ventana->DesplegarInfo(true);
    QTest::mouseClick(caja, Qt::LeftButton); // ticking with the panel out
    EXPECT_TRUE(ventana->estado().InfoDesplegada);
    EXPECT_EQ(tamano(), Ancha);
}

TEST_F(Paneles, UntickingTheFingerprintBoxShowsThePlaceholder) {
    auto* huella = control<QLabel>("imgCapturaHuella");
    const QImage marcador = huella->pixmap().toImage();
    QPixmap captura(huella->size());
    captura.fill(Qt::white);
    huella->setPixmap(captura);

    auto* caja = control<QCheckBox>("chkMostrarHuella");
    ASSERT_TRUE(caja->isChecked());
    QTest::mouseClick(caja, Qt::LeftButton);
    EXPECT_FALSE(caja->isChecked());
    EXPECT_EQ(huella->pixmap().toImage(), marcador);

    huella->setPixmap(captura);
    QTest::mouseClick(caja, Qt::LeftButton); // ticking shows nothing until the next capture
    EXPECT_TRUE(caja->isChecked());
    EXPECT_EQ(huella->pixmap().toImage(), captura.toImage());
}

TEST_F(Paneles, EventLogAppendsScrollsAndSelectsNothing) {
    auto* log = control<QListWidget>("lbLog");
    for (int i = 1; i <= 40; ++i)
        ventana->EscribirLog(
            QStringLiteral("10:30:%1 -> linea %2").arg(i, 2, 10, QLatin1Char('0')).arg(i));
    ASSERT_EQ(log->count(), 40);
    EXPECT_EQ(log->item(39)->text(), QStringLiteral("10:30:40 -> linea 40"));
    EXPECT_EQ(log->item(0)->text(), QStringLiteral("10:30:01 -> linea 1"));
    EXPECT_TRUE(log->selectedItems().isEmpty());
    EXPECT_EQ(log->currentItem(), nullptr);

    // The newest line is in view.
    log->resize(log->size()); // layout is done lazily
    ventana->show();
    QApplication::processEvents();
    const QRect visto = log->viewport()->rect();
    EXPECT_TRUE(visto.intersects(log->visualItemRect(log->item(39))));
    EXPECT_FALSE(visto.intersects(log->visualItemRect(log->item(0))));
}

// A long run through the shown window: lines of every length arrive one at a time with the
// event loop running between them, as a station's day does. The newest line is in view after
// every one of them, and the horizontal scrollbar does not come and go from line to line.
TEST_F(Paneles, ThousandsOfEventsKeepTheNewestLineInViewAndTheScrollbarSteady) {
    auto* log = control<QListWidget>("lbLog");
    ventana->show();
    QApplication::processEvents();
    int cambiosDeBarra = 0;
    bool barraAntes = log->horizontalScrollBar()->isVisible();
    int fueraDeVista = 0;
    for (int i = 1; i <= 3000; ++i) {
        const QString largo = i % 7 == 0 ? QStringLiteral(" con un detalle bastante largo que no "
                                                          "cabe en el ancho de la lista")
                                         : QString();
        ventana->EscribirLog(QStringLiteral("10:30:00 -> linea %1%2").arg(i).arg(largo));
        QApplication::processEvents();
        const QRect visto = log->viewport()->rect();
        if (!visto.intersects(log->visualItemRect(log->item(log->count() - 1))))
            ++fueraDeVista;
        const bool barra = log->horizontalScrollBar()->isVisible();
        if (barra != barraAntes && i > 20)
            ++cambiosDeBarra;
        barraAntes = barra;
    }
    EXPECT_EQ(log->count(), 3000);
    EXPECT_EQ(fueraDeVista, 0);
    EXPECT_LE(cambiosDeBarra, 1);
    EXPECT_EQ(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
}

TEST_F(Paneles, TheLogKeepsItsNewestLinesUpToItsMaximum) {
    auto* log = control<QListWidget>("lbLog");
    const int maximo = frmClientes::LineasLogMaximas;
    for (int i = 1; i <= maximo + 3; ++i)
        ventana->EscribirLog(QStringLiteral("linea %1").arg(i));
    ASSERT_EQ(log->count(), maximo);
    EXPECT_EQ(log->item(0)->text(), QStringLiteral("linea 4"));
    EXPECT_EQ(log->item(maximo - 1)->text(), QStringLiteral("linea %1").arg(maximo + 3));
    EXPECT_TRUE(log->selectedItems().isEmpty());
}

TEST_F(Paneles, ClearingTheLogStartsAgainFromTheTop) {
    auto* log = control<QListWidget>("lbLog");
    ventana->EscribirLog(QStringLiteral("a"));
    ventana->EscribirLog(QStringLiteral("b"));
    click("cmdClearEvents");
    EXPECT_EQ(log->count(), 0);
    ventana->EscribirLog(QStringLiteral("c"));
    ASSERT_EQ(log->count(), 1);
    EXPECT_EQ(log->item(0)->text(), QStringLiteral("c"));
}

TEST_F(Paneles, ResultListHasItsTwelveColumns) {
    auto* lista = control<QTreeWidget>("lvwResutadoBusqueda");
    const QStringList cabeceras = {
        QStringLiteral(" ID "),     QStringLiteral("Codigo"),       QStringLiteral("Empleado"),
        QStringLiteral("F.Inicio"), QStringLiteral("F.Caducidad."), QStringLiteral("Abrir s/n"),
        QStringLiteral("Nombre"),   QStringLiteral("NomFiscal"),    QStringLiteral("Foto"),
        QStringLiteral("Servicio"), QStringLiteral("Precio"),       QStringLiteral("Huella")};
    const int anchos[] = {30, 50, 50, 75, 75, 50, 150, 150, 50, 150, 75, 50};
    ASSERT_EQ(lista->columnCount(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(lista->headerItem()->text(i), cabeceras[i]);
        // The set-up widths, wider only where the screen's font would cut the header.
        if (anchos[i] >= 150)
            EXPECT_EQ(lista->columnWidth(i), anchos[i]) << i;
        else
            EXPECT_GE(lista->columnWidth(i), anchos[i]) << i;
    }
    EXPECT_TRUE(lista->headerItem()->textAlignment(1) & Qt::AlignHCenter);
    EXPECT_TRUE(lista->headerItem()->textAlignment(6) & Qt::AlignLeft);
    EXPECT_EQ(ventana->estado().ModoAjusteLvw, -2);
    auto* ajuste = control<QPushButton>("cmdLvwAutoAjustar");
    EXPECT_FALSE(ajuste->isVisibleTo(ventana.get()));
    EXPECT_EQ(ajuste->text(), QStringLiteral(">< Conten."));
}
