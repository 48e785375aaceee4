// The main window's fold-out panels, its switches, the balloon tips on the record boxes, the
// result list's set-up, and what the door and the station modes show on the window: the event
// log, the result picture, the status line, the counters and the tray icon;
// the events of the boxes that listen to their own.

#include "frmClientes.h"

#include "HuellaFicha.h"

#include "BotonImagen.h"
#include "ControlAcceso.h"
#include "ListaResultados.h"
#include "PuertaEstacion.h"
#include "Twips.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>

namespace portiva {

// ---------------------------------------------------------------------------------------------
// Fold-out panels

void frmClientes::DesplegarInfo(bool Value) {
    if (Value) {
        ponerTamano(11715, estado_.BuscarDesplegado ? 9045 : 6060);
        columna_.imgClose->move(ColumnaEstacion::CloseAncha, ColumnaEstacion::TopChrome);
        columna_.imgMinim->move(ColumnaEstacion::MinimAncha, ColumnaEstacion::TopChrome);
    } else {
        // The search panel goes in with the information panel and comes back with it.
        ponerTamano(5970, 6060);
        columna_.imgClose->move(ColumnaEstacion::CloseEstrecha, ColumnaEstacion::TopChrome);
        columna_.imgMinim->move(ColumnaEstacion::MinimEstrecha, ColumnaEstacion::TopChrome);
    }
    estado_.InfoDesplegada = Value;
    PublicarOpcionesHuella();
    columna_.imgDesplegarInfo->setVisible(!Value);
    columna_.imgRecogerInfo->setVisible(Value);
}

void frmClientes::DesplegarBuscar(bool Value) {
    if (Value)
        ponerTamano(11715, 9045);
    else
        ponerTamano(estado_.InfoDesplegada ? 11715 : 5970, 6060);
    estado_.BuscarDesplegado = Value;
    info_.imgDesplegarBuscar->setVisible(!Value);
    info_.imgRecogerBuscar->setVisible(Value);
}

void frmClientes::imgDesplegarInfo_Click() {
    DesplegarInfo(true);
}

void frmClientes::imgRecogerInfo_Click() {
    DesplegarInfo(false);
}

void frmClientes::imgDesplegarBuscar_Click() {
    DesplegarBuscar(true);
}

void frmClientes::imgRecogerBuscar_Click() {
    DesplegarBuscar(false);
}

// ---------------------------------------------------------------------------------------------
// Switches

void frmClientes::imgSoundOn_Click() {
    estado_.SonidoActivo = false;
    puerta_->Enviar([p = puerta_.get()] { p->acceso().torno().PonerSonidoActivo(false); });
    columna_.imgSoundOn->hide();
    columna_.imgSoundOff->show();
}

void frmClientes::imgSoundOff_Click() {
    estado_.SonidoActivo = true;
    puerta_->Enviar([p = puerta_.get()] { p->acceso().torno().PonerSonidoActivo(true); });
    columna_.imgSoundOn->show();
    columna_.imgSoundOff->hide();
}

void frmClientes::chkOnTop_MouseUp() {
    // The state, not the box's tick, decides which way it goes.
    estado_.SiempreEncima = !estado_.SiempreEncima;
    const bool visible = isVisible();
    const QPoint lugar = pos();
    // Changing the flag re-creates the window: put it back where it was.
    setWindowFlag(Qt::WindowStaysOnTopHint, estado_.SiempreEncima);
    if (visible) {
        move(lugar);
        show();
    }
}

void frmClientes::chkInformacionAmpliada_Click() {
    if (columna_.chkInformacionAmpliada->isChecked() && !estado_.InfoDesplegada)
        DesplegarInfo(true);
}

void frmClientes::chkMostrarHuella_Click() {
    // Ticking shows nothing until the next captured image.
    if (!columna_.chkMostrarHuella->isChecked())
        columna_.imgCapturaHuella->setPixmap(
            imagenes_.NoMostrar(columna_.imgCapturaHuella->size()));
}

void frmClientes::cmdClearEvents_Click() {
    columna_.lbLog->clear();
}

// The two automatic boxes stay consistent: no identification without the analysis before it.
void frmClientes::chkAutoAnalizar_Click() {
    if (!columna_.chkAutoAnalizar->isChecked())
        columna_.chkAutoIdentify->setChecked(false);
}

void frmClientes::chkAutoIdentify_Click() {
    if (columna_.chkAutoIdentify->isChecked())
        columna_.chkAutoAnalizar->setChecked(true);
}

// ---------------------------------------------------------------------------------------------
// The station column's actions

void frmClientes::cmdAperturaManual_Click() {
    puerta_->Enviar([p = puerta_.get()] { p->acceso().modos().cmdAperturaManual_Click(); });
}

void frmClientes::cmdAnalizarHuella_Click() {
    huella_->cmdAnalizarHuella_Click();
}

void frmClientes::cmdIndentificarHuellaDB_Click() {
    huella_->cmdIndentificarHuellaDB_Click();
}

void frmClientes::cmdAddTemplateDB_Click() {
    huellaFicha_->cmdAddTemplateDB_Click();
}

void frmClientes::cmdVerificarHuellaDB_Click() {
    huellaFicha_->cmdVerificarHuellaDB_Click();
}

void frmClientes::MostrarBalloon(const QString& Text, int Icon, const QString& Title,
                                 QWidget* Control) {
    globos_.MostrarBalloon(Text, Icon, Title, Control);
}

// ---------------------------------------------------------------------------------------------
// Result list

void frmClientes::Init_lvwtResultadoBusqueda() {
    estado_.ModoAjusteLvw = -2;
    buscar_.cmdLvwAutoAjustar->hide();
    buscar_.cmdLvwAutoAjustar->setText(QStringLiteral(">< Conten."));

    struct Columna {
        const char* cabecera;
        int ancho;
        Qt::Alignment alineacion;
    };
    const Columna columnas[] = {
        {" ID ", 30, Qt::AlignLeft},
        {"Codigo", 50, Qt::AlignHCenter},
        {"Empleado", 50, Qt::AlignHCenter},
        {"F.Inicio", 75, Qt::AlignHCenter},
        {"F.Caducidad.", 75, Qt::AlignHCenter},
        {"Abrir s/n", 50, Qt::AlignHCenter},
        {"Nombre", 150, Qt::AlignLeft},
        {"NomFiscal", 150, Qt::AlignLeft},
        {"Foto", 50, Qt::AlignHCenter},
        {"Servicio", 150, Qt::AlignHCenter},
        {"Precio", 75, Qt::AlignHCenter},
        {"Huella", 50, Qt::AlignHCenter},
    };
    QTreeWidget* lista = buscar_.lvwResutadoBusqueda;
    lista->clear();
    lista->setColumnCount(static_cast<int>(std::size(columnas)));
    auto* cabecera = new QTreeWidgetItem();
    for (int i = 0; i < lista->columnCount(); ++i) {
        cabecera->setText(i, QString::fromLatin1(columnas[i].cabecera));
        cabecera->setTextAlignment(i, columnas[i].alineacion | Qt::AlignVCenter);
    }
    lista->setHeaderItem(cabecera);
    lista->header()->setStretchLastSection(false);
    // The set-up widths, widened where this screen's font would cut a header.
    for (int i = 0; i < lista->columnCount(); ++i)
        lista->setColumnWidth(
            i, std::max(columnas[i].ancho, ListaResultados::AnchoCabecera(*lista, i)));
}

// ---------------------------------------------------------------------------------------------
// What the door and the station modes show

void frmClientes::EscribirLog(const QString& linea) {
    QListWidget* log = columna_.lbLog;
    // A station runs for weeks: the oldest lines go once the log holds its maximum, so memory
    // and the cost of a line stay bounded.
    while (log->count() >= LineasLogMaximas)
        delete log->takeItem(0);
    log->addItem(linea);
    QListWidgetItem* nueva = log->item(log->count() - 1);
    log->scrollToItem(nueva);
    log->clearSelection();
    log->setCurrentItem(nullptr);
}

void frmClientes::MostrarResultado(int indice) {
    columna_.imgResultHuella->setPixmap(imagenes_.TipoDeAcceso(indice));
}

void frmClientes::ShowBallon(int icono, const QString& titulo, const QString& texto, int flags) {
    const QIcon dibujo =
        icono == IconoVentana ? imagenes_.IconoVentana() : imagenes_.SysTray(icono);
    notify_.ShowBallon(1, dibujo, titulo, texto, TipBandeja, flags);
}

void frmClientes::RemoveBallonIcon() {
    notify_.RemoveBallonIcon(1);
}

void frmClientes::InfoHuella(const QString& texto, bool rojo) {
    columna_.lblInfoHuella->setText(texto);
    ponerColorTexto(columna_.lblInfoHuella, rojo ? QColor(255, 0, 0) : colorTextoVentana());
}

void frmClientes::MostrarCapturaHuella(const QImage& imagen) {
    QLabel* caja = columna_.imgCapturaHuella;
    const QSize hueco = caja->contentsRect().size();
    if (imagen.isNull() || hueco.isEmpty())
        return;
    // The whole print, as large as the box allows; the rest of the box takes the colour of the
    // print's own background, so the picture reads as one sheet and not as a strip.
    const QImage escalada = imagen.scaled(hueco, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const QColor esquinas[] = {imagen.pixelColor(0, 0), imagen.pixelColor(imagen.width() - 1, 0),
                               imagen.pixelColor(0, imagen.height() - 1),
                               imagen.pixelColor(imagen.width() - 1, imagen.height() - 1)};
    int r = 0, g = 0, b = 0;
    for (const QColor& c : esquinas) {
        r += c.red();
        g += c.green();
        b += c.blue();
    }
    QPixmap lamina(hueco);
    lamina.fill(QColor(r / 4, g / 4, b / 4));
    QPainter pintor(&lamina);
    pintor.drawImage((hueco.width() - escalada.width()) / 2,
                     (hueco.height() - escalada.height()) / 2, escalada);
    pintor.end();
    caja->setPixmap(lamina);
}

void frmClientes::HabilitarAperturaManual(bool habilitar) {
    columna_.cmdAperturaManual->setEnabled(habilitar);
}

void frmClientes::MostrarContAperturas(int tipo, long valor, long totalHoy) {
    if (tipo >= 0 && tipo < static_cast<int>(columna_.lblResult_Acceso.size()))
        columna_.lblResult_Acceso[static_cast<size_t>(tipo)]->setText(QString::number(valor));
    columna_.lblResult_TotalHoy->setText(QString::number(totalHoy));
}

// The typing aid of the yes/no box, the statistics caption and the always-on-top box listen
// to their own events here.
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
    } else if (objeto == info_.lblEstadistica && evento->type() == QEvent::MouseButtonRelease) {
        const auto* raton = static_cast<QMouseEvent*>(evento);
        if (raton->button() == Qt::LeftButton &&
            info_.lblEstadistica->rect().contains(raton->position().toPoint()))
            lblEstadistica_Click();
    } else if (objeto == info_.chkOnTop && evento->type() == QEvent::MouseButtonRelease) {
        // Any mouse button released over the box flips the always-on-top state.
        const auto* raton = static_cast<QMouseEvent*>(evento);
        if (info_.chkOnTop->rect().contains(raton->position().toPoint()))
            chkOnTop_MouseUp();
    }
    return QWidget::eventFilter(objeto, evento);
}

} // namespace portiva
