#pragma once

#include <QLabel>

namespace portiva {

// A picture that works as a button: it never takes the keyboard focus (so a box being typed
// into keeps it while the picture is clicked) and reports clicks, double clicks and the raw
// mouse movements of the title bar.
class BotonImagen : public QLabel {
    Q_OBJECT
public:
    explicit BotonImagen(QWidget* padre = nullptr);

signals:
    // The left button released over the picture; not sent for the release that ends a
    // double click.
    void click();
    void dobleClick();
    void ratonPulsado(Qt::MouseButton boton, QPoint posicionGlobal);
    void ratonMovido(Qt::MouseButtons botones, QPoint posicionGlobal);

protected:
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;
    void mouseDoubleClickEvent(QMouseEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;

private:
    bool trasDobleClick_ = false;
};

} // namespace portiva
