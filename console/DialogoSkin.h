#pragma once

#include "ArrastreVentana.h"

#include <QDialog>
#include <QPixmap>
#include <QPoint>

#include <vector>

class QLabel;

namespace portiva {

class AspectoSkin;
class BotonImagen;
class ImagenesVentana;

// What the station's two dialogs share: a borderless window with its own title strip (it
// drags the window), the title with its shadow one pixel lower and to the right, the close
// picture at the top right, and the skin: the window's background picture painted 41 pixels
// higher than the dialog's top, the skin colour on the title's text and the controls'
// backgrounds. Shown modeless; Escape closes it, Enter presses its default button.
class DialogoSkin : public QDialog {
    Q_OBJECT
public:
    DialogoSkin(const QString& titulo, QSize tamano, const AspectoSkin& skin,
                const ImagenesVentana& imagenes, QWidget* padre, Qt::WindowFlags extra = {});

    // Paints the dialog in the current skin.
    void SetSkin();

    // How far above the dialog the window's background picture starts.
    static constexpr int DesplazamientoFondo = -41;
    static constexpr int AltoTitulo = 32;

    QLabel* lblTituloGeneral() const { return lblTituloGeneral_; }
    QLabel* lblTituloGralSombra() const { return lblTituloGralSombra_; }
    BotonImagen* imgClose() const { return imgClose_; }
    BotonImagen* imgMyTitleBar() const { return imgMyTitleBar_; }

protected:
    void PonerTitulo(const QString& titulo);
    // The controls that take the skin colour as their background.
    void PonerControlesSkin(std::vector<QWidget*> controles) {
        controlesSkin_ = std::move(controles);
    }
    void paintEvent(QPaintEvent* evento) override;

private:
    void imgMyTitleBar_MouseDown(Qt::MouseButton boton, QPoint posicionGlobal);
    void imgMyTitleBar_MouseMove(Qt::MouseButtons botones, QPoint posicionGlobal);

    const AspectoSkin& skin_;
    QPixmap fondo_;
    BotonImagen* imgMyTitleBar_ = nullptr;
    QLabel* lblTituloGralSombra_ = nullptr;
    QLabel* lblTituloGeneral_ = nullptr;
    BotonImagen* imgClose_ = nullptr;
    std::vector<QWidget*> controlesSkin_;
    ArrastreVentana arrastre_;
};

// Gives a control a background colour (buttons, check boxes, frames, the calendar).
void PonerColorFondo(QWidget* control, const QColor& color);
// Gives a label or box a text colour.
void PonerColorTextoControl(QWidget* control, const QColor& color);

} // namespace portiva
