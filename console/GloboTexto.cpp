#include "GloboTexto.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace portiva {

namespace {

constexpr int Margen = 8;
constexpr int Punta = 10;        // height of the pointer
constexpr int PuntaX = 16;       // where the pointer stands along the top edge
constexpr int AnchoMaximo = 240; // text wraps beyond this
constexpr int LadoIcono = 16;

const QColor Fondo(255, 255, 225);
const QColor Borde(118, 118, 118);

// The balloon's outline: the body, and the pointer at `puntaX` on its top edge (the balloon
// under the box) or on its bottom edge (the balloon over it).
QPainterPath contorno(const QSize& tamano, int puntaX, bool debajo) {
    const double arriba = debajo ? Punta + 0.5 : 0.5;
    const QRectF cuerpo(0.5, arriba, tamano.width() - 1.0, tamano.height() - Punta - 1.0);
    QPainterPath camino;
    camino.addRoundedRect(cuerpo, 6, 6);
    QPainterPath punta;
    if (debajo) {
        punta.moveTo(puntaX, Punta + 1.5);
        punta.lineTo(puntaX + 2, 0.5);
        punta.lineTo(puntaX + 14, Punta + 1.5);
    } else {
        const double base = tamano.height() - Punta - 1.5;
        punta.moveTo(puntaX, base);
        punta.lineTo(puntaX + 2, tamano.height() - 0.5);
        punta.lineTo(puntaX + 14, base);
    }
    punta.closeSubpath();
    return camino.united(punta);
}

QIcon iconoEstandar(int icono) {
    const QStyle* estilo = QApplication::style();
    switch (icono) {
    case 1:
        return estilo->standardIcon(QStyle::SP_MessageBoxInformation);
    case 2:
        return estilo->standardIcon(QStyle::SP_MessageBoxWarning);
    case 3:
        return estilo->standardIcon(QStyle::SP_MessageBoxCritical);
    default:
        return {};
    }
}

} // namespace

GloboTexto::GloboTexto(QWidget* padre)
    : QWidget(padre, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
}

void GloboTexto::mostrar(QWidget* destino, const QString& titulo, const QString& texto, int icono) {
    titulo_ = titulo;
    texto_ = texto;
    icono_ = icono;
    // Under the box, its pointer near the box's left end; kept whole on the screen: moved left
    // at the screen's right edge (the pointer stays on the box), over the box at its foot.
    debajo_ = true;
    puntaX_ = PuntaX;
    disponer();
    const QPoint objetivo = destino->mapToGlobal(QPoint(qMin(12, destino->width() / 2), 0));
    QRect lugar(QPoint(objetivo.x() - PuntaX - 2, objetivo.y() + destino->height() - 2), size());
    const QScreen* pantalla = destino->screen();
    const QRect libre = pantalla ? pantalla->availableGeometry() : QRect();
    if (libre.isValid()) {
        if (lugar.bottom() > libre.bottom()) {
            debajo_ = false;
            lugar.moveBottom(objetivo.y() + 2);
        }
        if (lugar.right() > libre.right())
            lugar.moveRight(libre.right());
        if (lugar.left() < libre.left())
            lugar.moveLeft(libre.left());
        if (lugar.top() < libre.top())
            lugar.moveTop(libre.top());
        puntaX_ = std::clamp(objetivo.x() - lugar.left() - 2, 6, width() - 20);
        disponer();
    }
    move(lugar.topLeft());
    show();
    raise();
    update();
}

QRect GloboTexto::zonaTexto() const {
    QFont negrita = font();
    negrita.setBold(true);
    const QFontMetrics fm(font());
    const QFontMetrics fmTitulo(negrita);
    const int anchoTitulo = fmTitulo.horizontalAdvance(titulo_) + (icono_ > 0 ? LadoIcono + 6 : 0);
    const QRect texto = fm.boundingRect(QRect(0, 0, AnchoMaximo, 2000), Qt::TextWordWrap, texto_);
    const int ancho = qMax(anchoTitulo, texto.width());
    const int alto = qMax(fmTitulo.height(), icono_ > 0 ? LadoIcono : 0) + 4 + texto.height();
    return QRect(Margen, (debajo_ ? Punta : 0) + Margen, ancho, alto);
}

void GloboTexto::disponer() {
    const QRect zona = zonaTexto();
    const QSize tamano(qMax(zona.width() + 2 * Margen, PuntaX + 24),
                       zona.height() + 2 * Margen + Punta);
    resize(tamano);
    setMask(QRegion(contorno(tamano, puntaX_, debajo_).toFillPolygon().toPolygon()));
}

void GloboTexto::paintEvent(QPaintEvent*) {
    QPainter pintor(this);
    pintor.setRenderHint(QPainter::Antialiasing);
    pintor.setPen(Borde);
    pintor.setBrush(Fondo);
    pintor.drawPath(contorno(size(), puntaX_, debajo_));

    const QRect zona = zonaTexto();
    QFont negrita = font();
    negrita.setBold(true);
    const QFontMetrics fmTitulo(negrita);
    int x = zona.left();
    const int altoTitulo = qMax(fmTitulo.height(), icono_ > 0 ? LadoIcono : 0);
    if (icono_ > 0) {
        iconoEstandar(icono_).paint(&pintor, QRect(x, zona.top(), LadoIcono, LadoIcono));
        x += LadoIcono + 6;
    }
    pintor.setPen(Qt::black);
    pintor.setFont(negrita);
    pintor.drawText(QRect(x, zona.top(), zona.right() - x + 1, altoTitulo),
                    Qt::AlignVCenter | Qt::AlignLeft, titulo_);
    pintor.setFont(font());
    pintor.drawText(QRect(zona.left(), zona.top() + altoTitulo + 4, AnchoMaximo, 2000),
                    Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, texto_);
}

void GloboTexto::mousePressEvent(QMouseEvent* evento) {
    // A click on the balloon puts it away, as the system's own balloons do.
    evento->accept();
    hide();
}

} // namespace portiva
