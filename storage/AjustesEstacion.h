#pragma once

#include <QString>
#include <QtGlobal>

namespace portiva {

// The station's settings in memory, loaded from "Accesos.ini" at start-up and written back at
// exit (IniFile). Colours are 0x00BBGGRR numbers; 0x1FFFFFFF means "not drawn".
struct AjustesEstacion {
    // [Appearance]
    QString SkinActual = QStringLiteral("Default.JPG");
    // [Copias Seguridad]
    bool CopiaSegAlSalir = false;
    bool RestaurarAlIniciar = false;
    QString NombreDBRestaurar;
    // [Configuracion huella]
    qint32 thresholdId = 0;
    qint32 rotationMaxId = 0;
    qint32 thresholdVr = 0;
    qint32 rotationMaxVr = 0;
    // [Colores huella]
    qint32 minutiaeColor = 0xFF0000;
    qint32 minutiaeMatchColor = 0x800080;
    qint32 segmentsColor = 0xFF00;
    qint32 segmentsMatchColor = 0x800080;
    qint32 directionsColor = 0xFF;
    qint32 directionsMatchColor = 0x800080;
};

} // namespace portiva
