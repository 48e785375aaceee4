#include "BotonImagen.h"

#include <QMouseEvent>

namespace portiva {

BotonImagen::BotonImagen(QWidget* padre) : QLabel(padre) {
    setFocusPolicy(Qt::NoFocus);
    setAlignment(Qt::AlignCenter);
}

void BotonImagen::mousePressEvent(QMouseEvent* evento) {
    trasDobleClick_ = false;
    emit ratonPulsado(evento->button(), evento->globalPosition().toPoint());
    evento->accept();
}

void BotonImagen::mouseReleaseEvent(QMouseEvent* evento) {
    evento->accept();
    if (trasDobleClick_) {
        trasDobleClick_ = false;
        return;
    }
    if (evento->button() == Qt::LeftButton && rect().contains(evento->position().toPoint()))
        emit click();
}

void BotonImagen::mouseDoubleClickEvent(QMouseEvent* evento) {
    evento->accept();
    if (evento->button() != Qt::LeftButton)
        return;
    trasDobleClick_ = true;
    emit dobleClick();
}

void BotonImagen::mouseMoveEvent(QMouseEvent* evento) {
    emit ratonMovido(evento->buttons(), evento->globalPosition().toPoint());
    evento->accept();
}

} // namespace portiva
