#include "DialogoSkin.h"

#include "BotonImagen.h"
#include "ColorBgr.h"
#include "CrearControl.h"
#include "ImagenesVentana.h"
#include "SkinSupportCode.h"

#include <QLabel>
#include <QPainter>
#include <QWindow>

namespace portiva {

void PonerColorFondo(QWidget* control, const QColor& color) {
    QPalette paleta = control->palette();
    paleta.setColor(QPalette::Button, color);
    paleta.setColor(QPalette::Window, color);
    control->setPalette(paleta);
    control->setAutoFillBackground(true);
}

void PonerColorTextoControl(QWidget* control, const QColor& color) {
    QPalette paleta = control->palette();
    paleta.setColor(QPalette::WindowText, color);
    paleta.setColor(QPalette::Text, color);
    control->setPalette(paleta);
}

DialogoSkin::DialogoSkin(const QString& titulo, QSize tamano, const AspectoSkin& skin,
                         const ImagenesVentana& imagenes, QWidget* padre, Qt::WindowFlags extra)
    : QDialog(padre, Qt::Dialog | Qt::FramelessWindowHint | extra), skin_(skin) {
    setModal(false);
    setFixedSize(tamano);
    QFont fuente(QStringLiteral("Verdana"));
    fuente.setPixelSize(11);
    setFont(fuente);

    imgMyTitleBar_ = CrearBotonImagen(
        this, QStringLiteral("imgMyTitleBar"), QRect(0, 0, tamano.width(), AltoTitulo),
        imagenes.imagen(QStringLiteral("MyTitleBar"), QSize(tamano.width(), AltoTitulo)));
    imgMyTitleBar_->setScaledContents(true);
    QFont negrita = fuente;
    negrita.setBold(true);
    negrita.setPixelSize(14);
    lblTituloGralSombra_ = CrearEtiqueta(this, QStringLiteral("lblTituloGralSombra"),
                                         QRect(9, 5, tamano.width() - 40, 24), titulo);
    lblTituloGeneral_ = CrearEtiqueta(this, QStringLiteral("lblTituloGeneral"),
                                      QRect(8, 4, tamano.width() - 40, 24), titulo);
    for (QLabel* l : {lblTituloGralSombra_, lblTituloGeneral_}) {
        l->setFont(negrita);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    imgClose_ = CrearBotonImagen(
        this, QStringLiteral("imgClose"), QRect(tamano.width() - 26, 4, 22, 22),
        imagenes.imagen(QStringLiteral("Close"), QSize(22, 22)), QStringLiteral(" Cerrar "));
    connect(imgMyTitleBar_, &BotonImagen::ratonPulsado, this,
            &DialogoSkin::imgMyTitleBar_MouseDown);
    connect(imgMyTitleBar_, &BotonImagen::ratonMovido, this, &DialogoSkin::imgMyTitleBar_MouseMove);
    connect(imgClose_, &BotonImagen::click, this, &QDialog::reject);
}

void DialogoSkin::PonerTitulo(const QString& titulo) {
    lblTituloGralSombra_->setText(titulo);
    lblTituloGeneral_->setText(titulo);
}

void DialogoSkin::SetSkin() {
    const QColor color = ColorDesdeBgr(skin_.ColorFondoSkin());
    PonerColorTextoControl(lblTituloGeneral_, color);
    for (QWidget* control : controlesSkin_)
        PonerColorFondo(control, color);
    fondo_ = skin_.Fondo();
    update();
}

void DialogoSkin::paintEvent(QPaintEvent*) {
    QPainter pintor(this);
    pintor.fillRect(rect(), ColorDesdeBgr(SkinSupportCode::ColorFondoDiseno));
    if (!fondo_.isNull())
        pintor.drawPixmap(0, DesplazamientoFondo, fondo_);
}

void DialogoSkin::imgMyTitleBar_MouseDown(Qt::MouseButton boton, QPoint posicionGlobal) {
    arrastre_.Pulsar(*this, boton, posicionGlobal);
}

void DialogoSkin::imgMyTitleBar_MouseMove(Qt::MouseButtons botones, QPoint posicionGlobal) {
    arrastre_.Mover(*this, botones, posicionGlobal);
}

} // namespace portiva
