#include "PanelBuscar.h"

#include "BotonImagen.h"
#include "ComboBloqueable.h"
#include "CrearControl.h"
#include "ImagenesVentana.h"

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

namespace portiva {

PanelBuscar PanelBuscar::construir(QWidget* v, const ImagenesVentana& img) {
    PanelBuscar p;

    auto* separador = CrearControl<QFrame>(v, QStringLiteral("linBuscar"), QRect(6, 403, 770, 2));
    separador->setFrameShape(QFrame::HLine);
    separador->setFrameShadow(QFrame::Sunken);

    QFont negrita = v->font();
    negrita.setBold(true);

    p.lblBuscar = CrearEtiqueta(v, QStringLiteral("lblBuscar"), QRect(8, 414, 56, 18),
                                QStringLiteral("Buscar..."));
    p.lblBuscar->setFont(negrita);
    p.cboTipoDeBusqueda = CrearControl<ComboBloqueable>(v, QStringLiteral("cboTipoDeBusqueda"),
                                                        QRect(64, 412, 222, 22));
    p.cboTipoDeBusqueda->setEditText(QStringLiteral("Elegir un tipo de Busqueda"));
    p.cboTipoDeBusqueda->setBloqueado(true);
    p.CboDatoBusqueda =
        CrearControl<QComboBox>(v, QStringLiteral("CboDatoBusqueda"), QRect(292, 412, 218, 22));
    p.CboDatoBusqueda->setEditable(true);
    p.CboDatoBusqueda->setInsertPolicy(QComboBox::NoInsert);
    p.CboDatoBusqueda->setEnabled(false);

    p.imgCalendBusqueda = CrearBotonImagen(v, QStringLiteral("imgCalendBusqueda"),
                                           QRect(514, 411, 24, 24), img.imagen("Calend"));
    p.imgCalendBusqueda->hide();

    const QRect buscar(546, 407, 32, 32);
    const QRect informe(582, 407, 32, 32);
    p.imgBuscarGris =
        CrearImagen(v, QStringLiteral("imgBuscarGris"), buscar, img.imagen("BuscarGris"));
    p.imgBuscarGris->setEnabled(false);
    p.imgReportGris =
        CrearImagen(v, QStringLiteral("imgReportGris"), informe, img.imagen("ReportGris"));
    p.imgReportGris->setEnabled(false);
    p.imgBuscar = CrearBotonImagen(v, QStringLiteral("imgBuscar"), buscar, img.imagen("Buscar"));
    p.imgReport = CrearBotonImagen(v, QStringLiteral("imgReport"), informe, img.imagen("Report"));

    p.cmdLvwAutoAjustar =
        CrearControl<QPushButton>(v, QStringLiteral("cmdLvwAutoAjustar"), QRect(690, 412, 84, 22),
                                  QStringLiteral(">< Conten."));

    p.lblResultados = CrearEtiqueta(v, QStringLiteral("lblResultados"), QRect(8, 446, 170, 16),
                                    QStringLiteral("Resultados de la busqueda:"));
    p.lblResultados->setFont(negrita);
    p.lblResultBusqueda =
        CrearEtiqueta(v, QStringLiteral("lblResultBusqueda"), QRect(184, 446, 388, 16), QString());
    p.ProgressBar =
        CrearControl<QProgressBar>(v, QStringLiteral("ProgressBar"), QRect(576, 447, 108, 14));
    p.ProgressBar->setRange(0, 100);
    p.ProgressBar->setValue(0);
    p.ProgressBar->setTextVisible(false);
    p.cmdClearResults = CrearControl<QPushButton>(
        v, QStringLiteral("cmdClearResults"), QRect(690, 442, 84, 22), QStringLiteral("Borrar"));

    p.lvwResutadoBusqueda = CrearControl<QTreeWidget>(v, QStringLiteral("lvwResutadoBusqueda"),
                                                      QRect(8, 468, 766, 129));
    p.lvwResutadoBusqueda->setRootIsDecorated(false);
    p.lvwResutadoBusqueda->setUniformRowHeights(true);
    p.lvwResutadoBusqueda->setColumnCount(0);
    p.lvwResutadoBusqueda->setHeaderHidden(false);
    p.lvwResutadoBusqueda->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont lista(QStringLiteral("Lucida Console"));
    lista.setStyleHint(QFont::Monospace);
    lista.setPointSizeF(8.25);
    p.lvwResutadoBusqueda->setFont(lista);

    return p;
}

} // namespace portiva
