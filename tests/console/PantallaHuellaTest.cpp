// The window as the fingerprint flow sees it, and the access sounds.

#include "ComboBloqueable.h"
#include "PantallaHuellaVentana.h"
#include "ReproductorSonidoQt.h"
#include "VentanaPrueba.h"

#include <QAudioDevice>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMediaDevices>

using namespace portiva;
using namespace portiva::prueba;

namespace {

class PantallaHuellaTest : public VentanaPrueba {};

motor::ImagenRGB Dibujo(int ancho, int alto, std::uint8_t gris) {
    motor::ImagenRGB img;
    img.ancho = ancho;
    img.alto = alto;
    img.bytes.assign(size_t(ancho) * size_t(alto) * 3, gris);
    return img;
}

TEST_F(PantallaHuellaTest, ThePanelAndTheJumpAreTheWindows) {
    ASSERT_TRUE(CreadorBaseDatos::Insertar(
                    carpeta.archivo(QStringLiteral("Portiva.mdb")), QStringLiteral("ClientesDB"),
                    {Cliente(QStringLiteral("A1")), Cliente(QStringLiteral("B2"))})
                    .ok());
    ASSERT_TRUE(arrancar());
    PantallaHuellaVentana p(*ventana);
    EXPECT_FALSE(p.InfoDesplegada());
    p.DesplegarInfo(true);
    EXPECT_TRUE(p.InfoDesplegada());
    EXPECT_TRUE(ventana->estado().InfoDesplegada);
    p.gotoRecordNum(2);
    EXPECT_EQ(control<QLineEdit>("txtCodigo")->text(), QStringLiteral("B2"));
    p.gotoRecordNum(3); // beyond the list: nothing moves
    EXPECT_EQ(control<QLineEdit>("txtCodigo")->text(), QStringLiteral("B2"));
    // The identification is refused while a restore runs.
    EXPECT_FALSE(p.RestaurandoDB());
    ventana->setRestaurandoDB(true);
    EXPECT_TRUE(p.RestaurandoDB());
}

TEST_F(PantallaHuellaTest, TheCapturedPictureFillsItsBox) {
    PantallaHuellaVentana p(*ventana);
    auto* img = control<QLabel>("imgCapturaHuella");
    const QImage antes = img->pixmap().toImage();

    // A picture whose bytes do not cover its size is left out.
    motor::ImagenRGB corta = Dibujo(400, 400, 0);
    corta.bytes.resize(100);
    p.MostrarCapturaHuella(corta);
    EXPECT_EQ(img->pixmap().toImage(), antes);
    p.MostrarCapturaHuella(Dibujo(0, 0, 0));
    EXPECT_EQ(img->pixmap().toImage(), antes);

    // A square dark print: the whole box is taken, the print in the middle, its own
    // background colour above and below.
    p.MostrarCapturaHuella(Dibujo(400, 400, 40));
    const QImage vista = img->pixmap().toImage();
    EXPECT_EQ(vista.size(), img->contentsRect().size());
    EXPECT_EQ(QColor(vista.pixel(vista.width() / 2, vista.height() / 2)), QColor(40, 40, 40));
    EXPECT_EQ(QColor(vista.pixel(vista.width() / 2, 1)), QColor(40, 40, 40));
}

TEST(ReproductorSonidoQt, NeverWaitsAndSaysWhenNothingPlays) {
    ReproductorSonidoQt reproductor;
    EXPECT_FALSE(reproductor.Reproducir(QStringLiteral("/no/existe/1.wav")));
    const QString sonido = QStringLiteral(PORTIVA_ASSETS "/Sonidos/1.wav");
    const bool hayAudio = !QMediaDevices::audioOutputs().isEmpty();
    // The same access twice in a row: each call starts the sound and comes back at once
    // (without an audio output, at once with false).
    EXPECT_EQ(reproductor.Reproducir(sonido), hayAudio);
    EXPECT_EQ(reproductor.Reproducir(sonido), hayAudio);
}

TEST(ReproductorSonidoQt, WithoutAnAudioOutputItSaysSoOnce) {
    if (!QMediaDevices::audioOutputs().isEmpty())
        GTEST_SKIP() << "this machine has an audio output";
    ReproductorSonidoQt reproductor;
    QStringList avisos;
    reproductor.ponerAviso([&](const QString& aviso) { avisos << aviso; });
    // A missing file is not the missing output: nothing is said.
    EXPECT_FALSE(reproductor.Reproducir(QStringLiteral("/no/existe/1.wav")));
    EXPECT_TRUE(avisos.isEmpty());
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(reproductor.Reproducir(QStringLiteral(PORTIVA_ASSETS "/Sonidos/2.wav")));
    EXPECT_EQ(avisos, QStringList{QStringLiteral("Sin salida de audio (tarjeta o servidor de "
                                                 "sonido): la estacion funciona sin sonido.")});
}

} // namespace
