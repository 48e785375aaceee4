#include "GloboTexto.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>

namespace portiva {

namespace {

constexpr int Margen = 8;
constexpr int Punta = 10;        // height of the pointer
constexpr int PuntaX = 16;       // where the pointer stands along the top edge
constexpr int AnchoMaximo = 240; // text wraps beyond this
constexpr int LadoIcono = 16;

const QColor Fondo(255, 255, 225);
const QColor Borde(118, 118, 118);

QPainterPath contorno(const QSize& tamano) {
    const QRectF cuerpo(0.5, Punta + 0.5, tamano.width() - 1.0, tamano.height() - Punta - 1.0);
    QPainterPath camino;
    camino.addRoundedRect(cuerpo, 6, 6);
    QPainterPath punta;
    punta.moveTo(PuntaX, Punta + 1.5);
    punta.lineTo(PuntaX + 2, 0.5);
    punta.lineTo(PuntaX + 14, Punta + 1.5);
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
    disponer();
    move(destino->mapToGlobal(
        QPoint(qMin(12, destino->width() / 2) - PuntaX - 2, destino->height() - 2)));
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
    return QRect(Margen, Punta + Margen, ancho, alto);
}

void GloboTexto::disponer() {
    const QRect zona = zonaTexto();
    const QSize tamano(qMax(zona.width() + 2 * Margen, PuntaX + 24),
                       zona.height() + 2 * Margen + Punta);
    resize(tamano);
    setMask(QRegion(contorno(tamano).toFillPolygon().toPolygon()));
}

void GloboTexto::paintEvent(QPaintEvent*) {
    QPainter pintor(this);
    pintor.setRenderHint(QPainter::Antialiasing);
    pintor.setPen(Borde);
    pintor.setBrush(Fondo);
    pintor.drawPath(contorno(size()));

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
