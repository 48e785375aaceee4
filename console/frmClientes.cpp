// The main window's life: construction, start-up, the closing questions and shutdown, and
// the window chrome (drag by the title picture, close, hide and show, popup menu).

#include "frmClientes.h"

#include "BandejaSistema.h"
#include "BotonImagen.h"
#include "Entorno.h"
#include "Twips.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWindow>

namespace portiva {

namespace {

QFont fuenteVentana(QFont base) {
    base.setPixelSize(11);
    return base;
}

} // namespace

frmClientes::frmClientes(const ServiciosConsola& servicios, QWidget* padre)
    : QWidget(padre, Qt::Window | Qt::FramelessWindowHint), entorno_(servicios.entorno),
      selectorArchivos_(servicios.selectorArchivos), visorArchivos_(servicios.visorArchivos),
      notify_(servicios.bandeja) {
    setObjectName(QStringLiteral("frmClientes"));
    setWindowTitle(QStringLiteral("Control de Accesos"));
    setFont(fuenteVentana(font()));
    setWindowIcon(imagenes_.IconoVentana());
    fondo_ = imagenes_.Fondo();

    columna_ = ColumnaEstacion::construir(this, imagenes_);
    info_ = PanelInfo::construir(this, imagenes_);
    buscar_ = PanelBuscar::construir(this, imagenes_);
    menu_ = MenuEstacion::construir(this);

    // The chrome pictures stay above the title bar and the panels' pictures.
    for (QWidget* w :
         {static_cast<QWidget*>(columna_.imgMinim), static_cast<QWidget*>(columna_.imgClose)})
        w->raise();

    columna_.lbLog->setFocusPolicy(Qt::ClickFocus);
    info_.txtStuffSiNo->installEventFilter(this);
    info_.chkOnTop->installEventFilter(this);

    ponerTamano(5970, 6060);
    conectar();
}

frmClientes::~frmClientes() = default;

void frmClientes::conectar() {
    connect(columna_.imgMyTitleBar, &BotonImagen::ratonPulsado, this,
            &frmClientes::imgMyTitleBar_MouseDown);
    connect(columna_.imgMyTitleBar, &BotonImagen::ratonMovido, this,
            &frmClientes::imgMyTitleBar_MouseMove);
    connect(columna_.imgClose, &BotonImagen::click, this, &frmClientes::imgClose_Click);
    connect(columna_.imgMinim, &BotonImagen::click, this, &frmClientes::imgMinim_Click);
    connect(menu_.mnuShowMe, &QAction::triggered, this, &frmClientes::mnuShowMe_Click);
    connect(menu_.mnuHideMe, &QAction::triggered, this, &frmClientes::mnuHideMe_Click);
    connect(menu_.mnuCloseMe, &QAction::triggered, this, &frmClientes::mnuCloseMe_Click);

    // A double click on an arrow or a sound picture does what its single click does.
    auto ambos = [this](BotonImagen* boton, void (frmClientes::*accion)()) {
        connect(boton, &BotonImagen::click, this, accion);
        connect(boton, &BotonImagen::dobleClick, this, accion);
    };
    ambos(columna_.imgDesplegarInfo, &frmClientes::imgDesplegarInfo_Click);
    ambos(columna_.imgRecogerInfo, &frmClientes::imgRecogerInfo_Click);
    ambos(info_.imgDesplegarBuscar, &frmClientes::imgDesplegarBuscar_Click);
    ambos(info_.imgRecogerBuscar, &frmClientes::imgRecogerBuscar_Click);
    ambos(columna_.imgSoundOn, &frmClientes::imgSoundOn_Click);
    ambos(columna_.imgSoundOff, &frmClientes::imgSoundOff_Click);

    connect(columna_.chkInformacionAmpliada, &QCheckBox::clicked, this,
            &frmClientes::chkInformacionAmpliada_Click);
    connect(columna_.chkMostrarHuella, &QCheckBox::clicked, this,
            &frmClientes::chkMostrarHuella_Click);
    connect(columna_.cmdClearEvents, &QPushButton::clicked, this,
            &frmClientes::cmdClearEvents_Click);

    connect(info_.imgFotoPath, &BotonImagen::click, this, &frmClientes::imgFotoPath_Click);
    connect(info_.imgFoto, &BotonImagen::dobleClick, this, &frmClientes::imgFoto_DblClick);
}

// ---------------------------------------------------------------------------------------------
// Start-up

void frmClientes::Form_Load() {
    InitVariables();
    InitForm();
    // The skin, the backup settings with a scheduled restore, the member database, the relay
    // board and the fingerprint engine come up here, in that order, once those layers are
    // given to the window.

    // The station starts under fingerprint control.
    MostrarResultado(8);
    InfoHuella(QStringLiteral("Sistema de Apertura por Huella"), false);
    show();
}

void frmClientes::InitVariables() {
    estado_.RestaurandoDB = false;
    estado_.RestaurarAlIniciar = false;
    estado_.CopiaSegEstaVez = false;
    estado_.ModoEdicion = false;
    estado_.RegistroNuevo = false;
    estado_.InfoDesplegada = false;
    estado_.BuscarDesplegado = false;
    estado_.SonidoActivo = true;
}

void frmClientes::InitForm() {
    columna_.imgSoundOn->show();
    columna_.imgSoundOff->hide();
    ponerTamano(5970, 6060);
    columna_.imgClose->move(ColumnaEstacion::CloseEstrecha, ColumnaEstacion::TopChrome);
    columna_.imgMinim->move(ColumnaEstacion::MinimEstrecha, ColumnaEstacion::TopChrome);
    columna_.imgDesplegarInfo->show();
    info_.imgDesplegarBuscar->show();
    columna_.imgRecogerInfo->hide();
    info_.imgRecogerBuscar->hide();
    columna_.imgCapturaHuella->setPixmap(imagenes_.NoMostrar(columna_.imgCapturaHuella->size()));
    info_.imgFoto->setPixmap(imagenes_.NoFoto(info_.imgFoto->size()));
    buscar_.imgBuscar->hide();
    buscar_.imgReport->hide();
    EditMode(false);
    // The search kinds are listed by the search module when it is given to the window.
    Init_lvwtResultadoBusqueda();
}

// ---------------------------------------------------------------------------------------------
// Closing

bool frmClientes::Form_QueryUnload() {
    if (estado_.ModoEdicion) {
        entorno_.msgBox(QStringLiteral("Esta editando un registro, termine con la edicion antes de "
                                       "salir. Gracias"),
                        EstiloMsg::Informacion, QStringLiteral("Salir de Portiva..."));
        return true;
    }
    // The backup question for a database holding members is asked here once the database is
    // given to the window.
    return false;
}

void frmClientes::Form_Unload() {
    if (descargada_)
        return;
    descargada_ = true;
    // Settings, fingerprint engine, database and exit backup are shut down here, in that
    // order, once those layers are given to the window; then the open dialogs are closed.
    globos_.OcultarBalloon();
    RemoveBallonIcon();
    hide();
    emit cerrado();
}

void frmClientes::closeEvent(QCloseEvent* evento) {
    if (descargada_) {
        evento->accept();
        return;
    }
    if (Form_QueryUnload()) {
        evento->ignore();
        return;
    }
    Form_Unload();
    evento->accept();
}

// ---------------------------------------------------------------------------------------------
// Chrome

void frmClientes::imgClose_Click() {
    close();
}

void frmClientes::mnuCloseMe_Click() {
    close();
}

void frmClientes::imgMinim_Click() {
    hide();
}

void frmClientes::mnuHideMe_Click() {
    hide();
}

void frmClientes::mnuShowMe_Click() {
    show();
    raise();
    activateWindow();
}

void frmClientes::MostrarMenu() {
    // Only the marks of the window's own commands are set here; the rest of the menu comes
    // alive with the layers it commands.
    menu_.mnuShowMe->setChecked(isVisible());
    menu_.mnuHideMe->setChecked(!isVisible());
    entorno_.bombeo.procesarEventos();
    menu_.mnuMenu->exec(QCursor::pos());
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
    if (boton != Qt::LeftButton)
        return;
    origenArrastre_ = posicionGlobal - pos();
    arrastreManual_ = false;
}

void frmClientes::imgMyTitleBar_MouseMove(Qt::MouseButtons botones, QPoint posicionGlobal) {
    // Only the left button alone drags the window.
    if (botones != Qt::LeftButton)
        return;
    if (!arrastreManual_) {
        // The window system moves the window itself when it can; otherwise follow the mouse.
        if (windowHandle() && windowHandle()->startSystemMove())
            return;
        arrastreManual_ = true;
    }
    move(posicionGlobal - origenArrastre_);
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

QString frmClientes::carpeta(const QString& subcarpeta) const {
    return QDir(entorno_.carpetaPrograma).filePath(subcarpeta);
}

QColor frmClientes::colorTextoVentana() const {
    return palette().color(QPalette::WindowText);
}

bool frmClientes::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == info_.txtStuffSiNo) {
        switch (evento->type()) {
        case QEvent::FocusIn:
            txtStuffSiNo_GotFocus();
            break;
        case QEvent::FocusOut:
            txtStuffSiNo_LostFocus();
            break;
        case QEvent::KeyPress: {
            // Tab moves on between the boxes as anywhere else; every other key with a
            // character goes to the typing aid.
            const auto* tecla = static_cast<QKeyEvent*>(evento);
            const bool tabulador = tecla->key() == Qt::Key_Tab || tecla->key() == Qt::Key_Backtab;
            if (!tabulador && !tecla->text().isEmpty() &&
                txtStuffSiNo_KeyPress(tecla->text().front()))
                return true;
            break;
        }
        default:
            break;
        }
    } else if (objeto == info_.chkOnTop && evento->type() == QEvent::MouseButtonRelease) {
        // Any mouse button released over the box flips the always-on-top state.
        const auto* raton = static_cast<QMouseEvent*>(evento);
        if (info_.chkOnTop->rect().contains(raton->position().toPoint()))
            chkOnTop_MouseUp();
    }
    return QWidget::eventFilter(objeto, evento);
}

} // namespace portiva
