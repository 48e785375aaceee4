#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace portiva {

// The file picker the window asks for a file to open. Filters come in the station's own form,
// pairs of description and pattern joined by "|" ("BMP files (*.bmp)|*.bmp|All files
// (*.*)|*.*"); `indiceFiltro` counts from 1. An empty result means nothing was chosen.
class SelectorArchivos {
public:
    virtual ~SelectorArchivos() = default;
    virtual QString abrir(const QString& carpetaInicial, const QString& filtro, int indiceFiltro,
                          QWidget* padre) = 0;
    // The same for a file to save; an empty folder leaves the dialog's own.
    virtual QString guardar(const QString& carpetaInicial, const QString& filtro, int indiceFiltro,
                            QWidget* padre) = 0;
};

// The filter text as a file dialog's list of name filters, one per description/pattern pair:
// "Description (pattern)", patterns separated by blanks. A description that already ends with
// its pattern in brackets is kept as it is.
QStringList FiltrosDialogo(const QString& filtro);

} // namespace portiva
