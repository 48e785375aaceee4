#pragma once

#include <QPoint>
#include <QWidget>
#include <QWindow>

namespace portiva {

// Drags a frameless window by a strip of its own: the window system moves it when it can,
// otherwise the window follows the mouse. Only the left button alone drags.
class ArrastreVentana {
public:
    void Pulsar(const QWidget& ventana, Qt::MouseButton boton, QPoint posicionGlobal) {
        if (boton != Qt::LeftButton)
            return;
        origen_ = posicionGlobal - ventana.pos();
        manual_ = false;
    }
    void Mover(QWidget& ventana, Qt::MouseButtons botones, QPoint posicionGlobal) {
        if (botones != Qt::LeftButton)
            return;
        if (!manual_) {
            if (ventana.windowHandle() && ventana.windowHandle()->startSystemMove())
                return;
            manual_ = true;
        }
        ventana.move(posicionGlobal - origen_);
    }

private:
    QPoint origen_;
    bool manual_ = false;
};

} // namespace portiva
