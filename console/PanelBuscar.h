#pragma once

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace portiva {

class BotonImagen;
class ComboBloqueable;
class ImagenesVentana;

// The search panel, folded out under the other two areas: the search kind and value boxes,
// the calendar, search and report pictures with the grey twins of the last two, the result
// line, the progress bar, the result list and its clear and column-fit buttons.
struct PanelBuscar {
    QLabel* lblBuscar = nullptr;
    ComboBloqueable* cboTipoDeBusqueda = nullptr;
    QComboBox* CboDatoBusqueda = nullptr;
    BotonImagen* imgCalendBusqueda = nullptr;
    QLabel* imgBuscarGris = nullptr;
    QLabel* imgReportGris = nullptr;
    BotonImagen* imgBuscar = nullptr;
    BotonImagen* imgReport = nullptr;
    QPushButton* cmdLvwAutoAjustar = nullptr;

    QLabel* lblResultados = nullptr;
    QLabel* lblResultBusqueda = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPushButton* cmdClearResults = nullptr;
    QTreeWidget* lvwResutadoBusqueda = nullptr;

    static PanelBuscar construir(QWidget* ventana, const ImagenesVentana& imagenes);
};

} // namespace portiva
