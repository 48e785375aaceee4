#include "ComboBloqueable.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

namespace portiva {

ComboBloqueable::ComboBloqueable(QWidget* padre) : QComboBox(padre) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void ComboBloqueable::setBloqueado(bool bloqueado) {
    bloqueado_ = bloqueado;
    if (lineEdit())
        lineEdit()->setReadOnly(bloqueado);
}

void ComboBloqueable::showPopup() {
    emit desplegado();
    if (!bloqueado_)
        QComboBox::showPopup();
}

void ComboBloqueable::keyPressEvent(QKeyEvent* evento) {
    if (bloqueado_) {
        // Moving through the list would change the choice; Tab and the like still work.
        switch (evento->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_F4:
            evento->accept();
            return;
        default:
            break;
        }
    }
    QComboBox::keyPressEvent(evento);
}

void ComboBloqueable::wheelEvent(QWheelEvent* evento) {
    if (bloqueado_) {
        evento->ignore();
        return;
    }
    QComboBox::wheelEvent(evento);
}

} // namespace portiva
