// Portiva: the station program. There is no command line: the program folder is the current
// folder when it holds the member database "Portiva.mdb" (how the station is started from its
// own folder, as the installer's launcher and the demo do), else the folder of the executable.

#include "BandejaQt.h"
#include "Entorno.h"
#include "FormatoFecha.h"
#include "InstanciaUnica.h"
#include "MsgBoxQt.h"
#include "Reloj.h"
#include "SelectorArchivosQt.h"
#include "SenalesParada.h"
#include "TraduccionesQt.h"
#include "VisorArchivosQt.h"
#include "frmClientes.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>
#include <cstdio>

namespace {

QString carpetaPrograma() {
    const QDir actual = QDir::current();
    if (QFileInfo(actual.filePath(QStringLiteral("Portiva.mdb"))).isFile())
        return actual.absolutePath();
    return QCoreApplication::applicationDirPath();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Portiva"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // The station lives on in the tray with its window hidden: it ends only by its own close.
    QApplication::setQuitOnLastWindowClosed(false);
    portiva::CargarTraduccionesQt(app);
    if (QStyle* estilo = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(estilo);
    // Qt's own dialogs (the colour picker, the file pickers) speak the station's language,
    // Spanish when the system names none.
    QTranslator traduccionQt;
    const QLocale idioma = portiva::FormatoFecha::LocaleEstacion(QLocale::system());
    if (traduccionQt.load(idioma, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traduccionQt);

    const QString carpeta = carpetaPrograma();
    portiva::InstanciaUnica instancia(carpeta);
    switch (instancia.adquirir()) {
    case portiva::InstanciaUnica::Resultado::Adquirida:
        break;
    case portiva::InstanciaUnica::Resultado::OtraCopia:
        // Another station already runs on this folder: end at once, without a word.
        return 0;
    case portiva::InstanciaUnica::Resultado::SinBloqueo:
        std::fprintf(stderr,
                     "Portiva: no se puede crear %s en %s; no se comprueba si hay otra "
                     "copia en marcha.\n",
                     portiva::InstanciaUnica::NombreBloqueo, qPrintable(carpeta));
        break;
    }

    portiva::MsgBoxQt msgBox;
    portiva::RelojSistema reloj;
    portiva::Entorno entorno{carpeta, msgBox, reloj};
    portiva::SelectorArchivosQt selector;
    portiva::VisorArchivosQt visor;
    portiva::BandejaQt bandeja;

    portiva::frmClientes ventana({entorno, selector, visor, bandeja});
    msgBox.setPadre(&ventana);
    QObject::connect(&ventana, &portiva::frmClientes::cerrado, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // A service manager or a script stops the station with SIGTERM or SIGINT, at any moment
    // from here on, a start-up box included: the settings are written, the relays left at
    // rest and the lock removed, as on a close by the operator.
    portiva::SenalesParada senales([&ventana] { ventana.TerminarPorSenal(); });
    // A station that cannot start (its database did not open) has told the operator why.
    if (!ventana.Form_Load())
        return 1;
    return QApplication::exec();
}
