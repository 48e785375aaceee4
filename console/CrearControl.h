#pragma once

#include "BotonImagen.h"

#include <QLabel>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

namespace portiva {

// Creates a control of the window at a fixed place (window pixels) with its control name.
template <class Control, class... Args>
Control* CrearControl(QWidget* ventana, const QString& nombre, QRect lugar, Args&&... args) {
    auto* control = new Control(std::forward<Args>(args)..., ventana);
    control->setObjectName(nombre);
    control->setGeometry(lugar);
    return control;
}

// A caption label.
inline QLabel* CrearEtiqueta(QWidget* ventana, const QString& nombre, QRect lugar,
                             const QString& texto,
                             Qt::Alignment alineacion = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* etiqueta = CrearControl<QLabel>(ventana, nombre, lugar, texto);
    etiqueta->setAlignment(alineacion);
    return etiqueta;
}

// A picture that is only shown (no clicks): a greyed twin, a status picture.
inline QLabel* CrearImagen(QWidget* ventana, const QString& nombre, QRect lugar,
                           const QPixmap& imagen) {
    auto* etiqueta = CrearControl<QLabel>(ventana, nombre, lugar);
    etiqueta->setPixmap(imagen);
    etiqueta->setAlignment(Qt::AlignCenter);
    return etiqueta;
}

// A picture used as a button.
inline BotonImagen* CrearBotonImagen(QWidget* ventana, const QString& nombre, QRect lugar,
                                     const QPixmap& imagen, const QString& tip = {}) {
    auto* boton = CrearControl<BotonImagen>(ventana, nombre, lugar);
    boton->setPixmap(imagen);
    if (!tip.isEmpty())
        boton->setToolTip(tip);
    return boton;
}

} // namespace portiva
