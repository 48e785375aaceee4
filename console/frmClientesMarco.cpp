// The main window's chrome: close, hide and show, the tray icon's clicks, the popup menu,
// the drag by the title picture and the painted background.

#include "frmClientes.h"

#include "BandejaSistema.h"
#include "BotonImagen.h"
#include "CodigoAcceso.h"
#include "Entorno.h"
#include "PuertaEstacion.h"
#include "RegistroEventos.h"
#include "Twips.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace portiva {

void frmClientes::imgClose_Click() {
    close();
}

void frmClientes::mnuCloseMe_Click() {
    close();
}

void frmClientes::imgMinim_Click() {
    Ocultar();
}

void frmClientes::mnuHideMe_Click() {
    Ocultar();
}

void frmClientes::Ocultar() {
    // Hidden, the station is reached again through its tray icon. Without a notification area
    // there would be no way back to it: it is minimised to the task bar instead.
    if (bandejaSistema_.hayAreaNotificacion())
        hide();
    else
        showMinimized();
}

void frmClientes::mnuShowMe_Click() {
    show();
    raise();
    activateWindow();
}

void frmClientes::MostrarMenu() {
    menu_.mnuDoRestoreDB->setChecked(ajustes_.RestaurarAlIniciar);
    menu_.mnuDoCopyDBOnEnd->setChecked(ajustes_.CopiaSegAlSalir);
    menu_.mnuDoCompactDB->setChecked(estado_.CompactarAlSalir);
    menu_.mnuShowMe->setChecked(isVisible());
    menu_.mnuHideMe->setChecked(!isVisible());
    // The relay board and the station modes, as the door last said it stands.
    const PuertaEstacion::Estado puerta = puerta_->estado();
    const bool conectada = puerta.puertoAbierto;
    menu_.mnuReconnetRelay->setChecked(conectada);
    menu_.mnuReconnetRelay->setText(conectada ? QStringLiteral("Dispositivo Conectado")
                                              : QStringLiteral("Conectar con Disp. de Apertura"));
    const int estado = puerta.accesoActual;
    menu_.mnuDoReady->setChecked(!EsEstadoFijo(estado));
    menu_.mnuDoReady->setText(puerta.lectorDetectado
                                  ? QStringLiteral("Control por Huella")
                                  : QStringLiteral("Lector Huella Error (sólo Apert. Manual)"));
    menu_.mnuDoNoReady_Closed->setChecked(estado == CodigoAcceso::FijoCerrado);
    menu_.mnuDoNoReady_Open->setChecked(estado == CodigoAcceso::FijoAbierto);
    CargarMenuSkins();
    menu_.mnuMenu->exec(QCursor::pos());
}

void frmClientes::menuImgFromFile_Click() {
    // The chosen print arrives as a capture from the sensor "File" and takes the finger's road.
    const QString elegido = elegirBmp(QStringLiteral("Huellas"));
    if (elegido.isEmpty())
        return;
    if (huella_->CargarImagen(elegido) != 0)
        registro_->Escribir(QStringLiteral("Cargando Archivo: Error!"));
}

void frmClientes::SysTray_MSG_MouseMove(int mensaje) {
    if (atendiendoBandeja_ || descargada_)
        return;
    atendiendoBandeja_ = true;
    switch (mensaje) {
    case BandejaSistema::ClicIzquierdo:
        if (!isVisible())
            ShowBallon(puerta_->estado().accesoActual, QStringLiteral("Inform. Ultimo Acceso"),
                       columna_.lblInfoHuella->text(), Globo::Informacion);
        break;
    case BandejaSistema::DobleClic:
        mnuShowMe_Click();
        break;
    case BandejaSistema::ClicDerecho:
        MostrarMenu();
        break;
    default:
        break;
    }
    atendiendoBandeja_ = false;
}

void frmClientes::mousePressEvent(QMouseEvent* evento) {
    // A right click on the window's surface (its background, captions, frames) opens the
    // menu; one on a control that ignored it (a check box, a button) does not.
    if (evento->button() == Qt::RightButton &&
        esSuperficie(childAt(evento->position().toPoint()))) {
        MostrarMenu();
        evento->accept();
        return;
    }
    QWidget::mousePressEvent(evento);
}

void frmClientes::imgMyTitleBar_MouseDown(Qt::MouseButton boton, QPoint posicionGlobal) {
    arrastre_.Pulsar(*this, boton, posicionGlobal);
}

void frmClientes::imgMyTitleBar_MouseMove(Qt::MouseButtons botones, QPoint posicionGlobal) {
    arrastre_.Mover(*this, botones, posicionGlobal);
}

void frmClientes::paintEvent(QPaintEvent*) {
    QPainter pintor(this);
    if (fondo_.isNull())
        pintor.fillRect(rect(), palette().window());
    else
        pintor.drawPixmap(0, 0, fondo_);
    // The title picture stops a few pixels short of the wide window's edge: its last column
    // carries it on to the edge.
    const QPixmap barra = columna_.imgMyTitleBar->pixmap();
    const QSizeF tamanoBarra = barra.deviceIndependentSize();
    if (!barra.isNull() && width() > tamanoBarra.width()) {
        const qreal escala = barra.devicePixelRatio();
        pintor.drawPixmap(
            QRectF(tamanoBarra.width(), 0, width() - tamanoBarra.width(), tamanoBarra.height()),
            barra, QRectF(barra.width() - escala, 0, escala, barra.height()));
    }
}

void frmClientes::ponerTamano(int anchoTwips, int altoTwips) {
    setFixedSize(Px(anchoTwips), Px(altoTwips));
}

bool frmClientes::esSuperficie(const QWidget* hijo) {
    if (!hijo)
        return true;
    if (qobject_cast<const BotonImagen*>(hijo))
        return false;
    return qobject_cast<const QLabel*>(hijo) || qobject_cast<const QGroupBox*>(hijo) ||
           hijo->metaObject() == &QFrame::staticMetaObject;
}

} // namespace portiva
