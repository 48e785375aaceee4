#include "TraduccionesQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace portiva {

bool CargarTraduccionesQt(QCoreApplication& aplicacion) {
    const QString carpeta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale espanol(QLocale::Spanish, QLocale::Spain);
    bool alguna = false;
    for (const char* nombre : {"qtbase", "qtmultimedia"}) {
        auto* traductor = new QTranslator(&aplicacion);
        if (traductor->load(espanol, QString::fromLatin1(nombre), QStringLiteral("_"), carpeta) &&
            QCoreApplication::installTranslator(traductor)) {
            alguna = true;
        } else {
            delete traductor;
        }
    }
    return alguna;
}

} // namespace portiva
