// The pictures and sounds made for the station are all there and readable.

#include "ImagenesVentana.h"

#include <QDataStream>
#include <QFile>
#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

using namespace portiva;

namespace {

// A picture that draws something: not null and not all one colour.
bool dibujaAlgo(const QPixmap& p) {
    if (p.isNull())
        return false;
    const QImage i = p.toImage();
    const QRgb primero = i.pixel(0, 0);
    for (int y = 0; y < i.height(); ++y)
        for (int x = 0; x < i.width(); ++x)
            if (i.pixel(x, y) != primero)
                return true;
    return false;
}

} // namespace

TEST(Recursos, ResultPicturesForEveryShownCode) {
    ImagenesVentana img;
    QSet<QByteArray> distintas;
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13}) {
        const QPixmap p = img.TipoDeAcceso(i);
        ASSERT_TRUE(dibujaAlgo(p)) << i;
        EXPECT_EQ(p.deviceIndependentSize().toSize(), QSize(48, 48));
        const QImage im = p.toImage();
        distintas.insert(
            QByteArray(reinterpret_cast<const char*>(im.constBits()), im.sizeInBytes()));
    }
    EXPECT_EQ(distintas.size(), 12); // each code has a picture of its own
    for (int i : {-1, 9, 10, 14})
        EXPECT_TRUE(img.TipoDeAcceso(i).isNull()) << i;
}

TEST(Recursos, TrayStatusAndWindowIcons) {
    ImagenesVentana img;
    for (int i = 0; i <= 9; ++i)
        EXPECT_TRUE(dibujaAlgo(img.SysTray(i).pixmap(16, 16))) << i;
    EXPECT_TRUE(img.SysTray(10).isNull());
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(dibujaAlgo(img.UserDB(i))) << i;
    EXPECT_TRUE(img.UserDB(0).isNull());
    EXPECT_TRUE(dibujaAlgo(img.IconoVentana().pixmap(64, 64)));
    EXPECT_TRUE(dibujaAlgo(img.NoFoto(QSize(96, 122))));
    EXPECT_TRUE(dibujaAlgo(img.NoMostrar(QSize(126, 206))));
    EXPECT_FALSE(img.Fondo().isNull());
    EXPECT_GE(img.Fondo().width(), 781);
    EXPECT_GE(img.Fondo().height(), 603);
}

TEST(Recursos, ButtonsAndTheirGreyTwins) {
    ImagenesVentana img;
    for (const char* nombre :
         {"NuevoCliente", "EditarCliente", "BorrarCliente", "DeshacerEdicion", "GuardarCliente"}) {
        const QPixmap color = img.imagen(QString::fromLatin1(nombre), QSize(48, 48));
        const QPixmap gris =
            img.imagen(QString::fromLatin1(nombre) + QStringLiteral("Disabled"), QSize(48, 48));
        ASSERT_TRUE(dibujaAlgo(color)) << nombre;
        ASSERT_TRUE(dibujaAlgo(gris)) << nombre;
        // The twin is grey: every pixel has red = green = blue.
        const QImage g = gris.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < g.height(); ++y)
            for (int x = 0; x < g.width(); ++x) {
                const QColor c = g.pixelColor(x, y);
                if (c.alpha() > 200) {
                    ASSERT_LE(std::abs(c.red() - c.blue()) + std::abs(c.green() - c.blue()), 6)
                        << nombre << " " << x << "," << y;
                }
            }
    }
    for (const char* nombre :
         {"DesplegarInfo", "RecogerInfo", "DesplegarBuscar", "RecogerBuscar", "SoundOn",
          "SoundOff",      "Close",       "Minim",           "MyTitleBar",    "Find",
          "Buscar",        "BuscarGris",  "Report",          "ReportGris",    "Calend",
          "FotoPath",      "Mover0",      "Mover1",          "Mover2",        "Mover3"})
        EXPECT_TRUE(dibujaAlgo(img.imagen(QString::fromLatin1(nombre)))) << nombre;
    EXPECT_TRUE(img.imagen(QStringLiteral("NoHayTal"), QSize(10, 10)).isNull());
}

TEST(Recursos, FiveAccessSoundsArePlayablePcm) {
    QSet<QByteArray> distintos;
    for (int i = 0; i <= 4; ++i) {
        QFile f(QStringLiteral(PORTIVA_ASSETS "/Sonidos/%1.wav").arg(i));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << i;
        const QByteArray datos = f.readAll();
        ASSERT_GT(datos.size(), 44) << i;
        EXPECT_EQ(datos.left(4), QByteArray("RIFF"));
        EXPECT_EQ(datos.mid(8, 4), QByteArray("WAVE"));
        QDataStream s(datos.mid(20, 16));
        s.setByteOrder(QDataStream::LittleEndian);
        quint16 formato, canales, bits, alinear;
        quint32 tasa, porSegundo;
        s >> formato >> canales >> tasa >> porSegundo >> alinear >> bits;
        EXPECT_EQ(formato, 1) << i; // PCM
        EXPECT_EQ(canales, 1) << i;
        EXPECT_EQ(bits, 16) << i;
        const double segundos = (datos.size() - 44) / double(porSegundo);
        EXPECT_GT(segundos, 0.1) << i; // heard,
        EXPECT_LT(segundos, 1.0) << i; // and short enough not to hold up the next person
        distintos.insert(datos);
    }
    EXPECT_EQ(distintos.size(), 5);
}

TEST(Recursos, DefaultSkinIsAJpegOfTheWindowSize) {
    QImage skin(QStringLiteral(PORTIVA_ASSETS "/Skins/Default.JPG"));
    ASSERT_FALSE(skin.isNull());
    EXPECT_EQ(skin.size(), QSize(781, 603));
}
