#pragma once

#include <QString>
#include <QWidget>

namespace portiva {

// A balloon tip: a small pale-yellow window with a pointer, a bold title with its icon and the
// text below, pointing at a box. It never takes the focus from the box being typed into.
class GloboTexto : public QWidget {
    Q_OBJECT
public:
    explicit GloboTexto(QWidget* padre = nullptr);

    // Shows the balloon under `destino` (over it when there is no room below), whole on the
    // screen. Icon: 0 none, 1 information, 2 warning, 3 error.
    void mostrar(QWidget* destino, const QString& titulo, const QString& texto, int icono);

    QString titulo() const { return titulo_; }
    QString texto() const { return texto_; }
    int icono() const { return icono_; }
    // Whether the balloon stands under its box (pointer on top) or over it.
    bool debajo() const { return debajo_; }

protected:
    void paintEvent(QPaintEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;

private:
    void disponer();
    QRect zonaTexto() const;

    QString titulo_;
    QString texto_;
    int icono_ = 0;
    int puntaX_ = 16;
    bool debajo_ = true;
};

} // namespace portiva
