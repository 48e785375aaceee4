// Renders the window in a second skin and its two dialogs into PNG files in the folder given:
// skin.png (the whole window in the skin "Atardecer"), opciones.png, calendario.png, and
// pantalla.png (the screen with all three, when the platform can grab it). Ends with 1 when
// the skin was not applied or a picture cannot be written.

#include "CarpetaTemporal.h"
#include "ColorBgr.h"
#include "CreadorBaseDatos.h"
#include "Entorno.h"
#include "Falsos.h"
#include "MsgBoxGuion.h"
#include "RelojFijo.h"
#include "formOptions.h"
#include "frmCalendario.h"
#include "frmClientes.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScreen>
#include <QStyleFactory>
#include <cstdio>

using namespace portiva;

namespace {

bool guardar(const QImage& imagen, const QString& carpeta, const char* nombre) {
    const QString ruta = QDir(carpeta).filePath(QString::fromLatin1(nombre));
    if (imagen.isNull() || !imagen.save(ruta)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(ruta));
        return false;
    }
    std::printf("%s (%dx%d)\n", qPrintable(ruta), imagen.width(), imagen.height());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (QStyle* estilo = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(estilo);
    const QString salida = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("capturas");
    if (!QDir().mkpath(salida))
        return 1;

    prueba::CarpetaTemporal carpeta;
    QDir(carpeta.ruta()).mkdir(QStringLiteral("Skins"));
    for (const char* skin : {"Default.JPG", "Atardecer.jpg"})
        QFile::copy(QStringLiteral(PORTIVA_ASSETS "/Skins/") + QString::fromLatin1(skin),
                    carpeta.archivo(QStringLiteral("Skins/") + QString::fromLatin1(skin)));
    if (!CreadorBaseDatos::CrearVacia(carpeta.archivo(QStringLiteral("Portiva.mdb"))).ok())
        return 1;
    prueba::MsgBoxGuion msgBox;
    prueba::RelojFijo reloj(QDateTime(QDate(2026, 12, 9), QTime(10, 30, 5)));
    Entorno entorno{carpeta.ruta(), msgBox, reloj};
    prueba::SelectorGuion selector;
    prueba::VisorFalso visor;
    prueba::BandejaFalsa bandeja;
    ServiciosConsola servicios{entorno, selector, visor, bandeja};
    servicios.locale = QLocale(QLocale::Spanish, QLocale::Spain);
    frmClientes ventana(servicios);
    ventana.Form_Load();
    ventana.move(20, 20);
    ventana.DesplegarInfo(true);
    ventana.DesplegarBuscar(true);

    // The second skin, chosen from the menu as the operator would.
    QElapsedTimer reloj_menu;
    reloj_menu.start();
    ventana.CargarMenuSkins();
    const qint64 menuUs = reloj_menu.nsecsElapsed() / 1000;
    int fallos = 0;
    QAction* atardecer = ventana.menu().mnuSelectedSkin[0];
    if (atardecer->text() != QStringLiteral("Atardecer")) {
        std::fprintf(stderr, "the skin menu lists %s first\n", qPrintable(atardecer->text()));
        ++fallos;
    }
    QElapsedTimer reloj_skin;
    reloj_skin.start();
    atardecer->trigger();
    const qint64 skinUs = reloj_skin.nsecsElapsed() / 1000;
    std::printf("skin menu built in %lld us, skin loaded and applied in %lld us\n",
                static_cast<long long>(menuUs), static_cast<long long>(skinUs));
    if (ventana.ajustes().SkinActual != QStringLiteral("Atardecer.jpg"))
        ++fallos;
    const QColor color = ColorDesdeBgr(ventana.skins().ColorFondoSkin());
    std::printf("skin colour %s\n", qPrintable(color.name()));
    QApplication::processEvents();
    fallos += !guardar(ventana.grab().toImage(), salida, "skin.png");

    ventana.menuOptions_Click();
    ventana.imgCalendBusqueda_Click();
    if (!ventana.opciones() || !ventana.calendario())
        return 1;
    ventana.opciones()->move(ventana.pos() + QPoint(40, 120));
    ventana.calendario()->move(ventana.pos() + QPoint(500, 300));
    QApplication::processEvents();
    fallos += !guardar(ventana.opciones()->grab().toImage(), salida, "opciones.png");
    fallos += !guardar(ventana.calendario()->grab().toImage(), salida, "calendario.png");
    if (QScreen* pantalla = QApplication::primaryScreen();
        pantalla && QApplication::platformName() == QStringLiteral("xcb")) {
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents();
        fallos += !guardar(pantalla->grabWindow(0).toImage(), salida, "pantalla.png");
    }
    return fallos == 0 ? 0 : 1;
}
