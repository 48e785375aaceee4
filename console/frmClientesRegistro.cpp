// The member record form of the main window: the boxes, edit mode, the staff-box typing aid,
// the photo picker and viewer, and the membership status line.

#include "frmClientes.h"

#include "BotonImagen.h"
#include "ComboBloqueable.h"
#include "Entorno.h"
#include "FileExists.h"
#include "NumeroTexto.h"
#include "VisorArchivos.h"

#include <QCheckBox>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>

namespace portiva {

namespace {

const QColor AzulEdicion(0, 0, 255);
const QColor Rojo(255, 0, 0);
const QColor Azul(0, 0, 255);

} // namespace

void frmClientes::ponerColorTexto(QWidget* control, const QColor& color) {
    QPalette paleta = control->palette();
    paleta.setColor(QPalette::Text, color);
    paleta.setColor(QPalette::WindowText, color);
    control->setPalette(paleta);
    if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
        ponerColorTexto(combo->lineEdit(), color);
}

void frmClientes::EditMode(bool Value) {
    estado_.ModoEdicion = Value;
    columna_.chkInformacionAmpliada->setEnabled(!Value);
    LockTextBoxes(!Value);

    info_.imgEditarCliente->setVisible(!Value);
    info_.imgNuevoCliente->setVisible(!Value);
    info_.imgBorrarCliente->setVisible(!Value);
    info_.imgGuardarCliente->setVisible(Value);
    info_.imgDeshacerEdicion->setVisible(Value);

    if (Value)
        info_.txtCodigo->setFocus(Qt::OtherFocusReason);

    const QColor color = Value ? AzulEdicion : colorTextoVentana();
    QWidget* const cajas[] = {info_.txtID,
                              info_.txtCodigo,
                              info_.txtNombre,
                              info_.txtNomFiscal,
                              info_.txtFechaInscripcion,
                              info_.txtFechaInicio,
                              info_.txtFechaCaducidad,
                              info_.cboServContratado,
                              info_.txtPrecio,
                              info_.txtFotoPath,
                              info_.txtTemplateSiNo,
                              info_.txtStuffSiNo};
    for (QWidget* caja : cajas)
        ponerColorTexto(caja, color);

    estado_.CampoCalendario = 0;
    if (!Value)
        CerrarCalendario();
}

void frmClientes::LockTextBoxes(bool bLocked) {
    for (QLineEdit* caja :
         {info_.txtNombre, info_.txtNomFiscal, info_.txtPrecio, info_.txtFechaInscripcion,
          info_.txtFechaInicio, info_.txtFechaCaducidad, info_.txtFotoPath, info_.txtStuffSiNo})
        caja->setReadOnly(bLocked);
    info_.cboServContratado->setBloqueado(bLocked);
    info_.imgFotoPath->setEnabled(!bLocked);
    info_.cmdAddTemplateDB->setEnabled(!bLocked);
    // The fingerprint indicator is only ever written by the program.
    info_.txtTemplateSiNo->setReadOnly(true);
}

void frmClientes::InitTextBoxes() {
    for (QLineEdit* caja :
         {info_.txtID, info_.txtNombre, info_.txtNomFiscal, info_.txtFechaInscripcion,
          info_.txtFechaInicio, info_.txtFechaCaducidad, info_.txtFotoPath, info_.txtCodigo,
          info_.txtPrecio, info_.txtTemplateSiNo, info_.txtStuffSiNo})
        caja->clear();
    info_.cboServContratado->setCurrentIndex(-1);
    info_.cboServContratado->setEditText(QString());
    info_.imgFoto->setPixmap(imagenes_.NoFoto(info_.imgFoto->size()));
    info_.cmdVerificarHuellaDB->setEnabled(false);
}

bool frmClientes::MostrarFoto(const QString& ruta, QString* error) {
    QImageReader lector(ruta);
    lector.setAutoTransform(true);
    const QImage foto = lector.read();
    if (foto.isNull()) {
        if (error)
            *error = lector.errorString();
        info_.imgFoto->setPixmap(imagenes_.NoFoto(info_.imgFoto->size()));
        return false;
    }
    const QSize hueco = info_.imgFoto->size() - QSize(2, 2);
    info_.imgFoto->setPixmap(
        QPixmap::fromImage(foto.scaled(hueco, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    return true;
}

void frmClientes::MostrarServicio(const QString& servicio, bool nulo) {
    ComboBloqueable* combo = info_.cboServContratado;
    combo->setCurrentIndex(-1);
    combo->setEditText(nulo ? QString() : servicio);
    if (nulo)
        return;
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i) == servicio) {
            combo->setCurrentIndex(i);
            return;
        }
    }
}

bool frmClientes::MostrarFotoCliente(const QString& ruta, QString* error) {
    info_.txtFotoPath->setText(ruta);
    if (!FileExists(ruta)) {
        info_.imgFoto->setPixmap(imagenes_.NoFoto(info_.imgFoto->size()));
        return true;
    }
    return MostrarFoto(ruta, error);
}

void frmClientes::MostrarTemplateSiNo(bool tieneHuella) {
    info_.txtTemplateSiNo->setText(tieneHuella ? QStringLiteral("SI") : QStringLiteral("NO"));
    info_.cmdVerificarHuellaDB->setEnabled(tieneHuella);
}

void frmClientes::MostrarNavegador(long long posicion, long long total) {
    info_.txtNavReg->setText(TextoNumero(static_cast<double>(posicion == -1 ? 0 : posicion)));
    info_.txtRegTotales->setText(TextoNumero(static_cast<double>(total)));
}

QString frmClientes::TextoEmpleado(bool personal) {
    return personal ? QStringLiteral("SI") : QStringLiteral("NO");
}

bool frmClientes::LeerEmpleado(const QString& texto) {
    return texto == QStringLiteral("SI");
}

void frmClientes::imgFotoPath_Click() {
    // The picker is enabled only in edit mode.
    const QString elegido = elegirBmp(QStringLiteral("Fotos"));
    if (elegido.isEmpty())
        return;
    info_.txtFotoPath->setText(elegido);
    QString motivo;
    if (!MostrarFoto(elegido, &motivo)) {
        // 481: the number the station has always given for a file that is no picture.
        entorno_.msgBox(QStringLiteral("Error 481 (%1) in procedure imgFotoPath_Click of "
                                       "Formulario frmClientes")
                            .arg(motivo),
                        EstiloMsg::Ok);
    }
}

void frmClientes::imgFoto_DblClick() {
    const QString ruta = info_.txtFotoPath->text();
    if (FileExists(ruta))
        visorArchivos_.abrir(ruta);
}

// The staff box's typing aid, only while editing: entering the box empties it; S or N is
// completed to "SI" or "NO" and the focus goes on to the name; any other character stands
// alone; leaving the box upper-cases it, and an empty box becomes "NO".

void frmClientes::txtStuffSiNo_GotFocus() {
    if (!estado_.ModoEdicion)
        return;
    info_.txtStuffSiNo->clear();
}

bool frmClientes::txtStuffSiNo_KeyPress(QChar tecla) {
    if (!estado_.ModoEdicion)
        return false;
    QLineEdit* caja = info_.txtStuffSiNo;
    const char16_t c = tecla.unicode();
    if (c == u'S' || c == u's' || c == u'N' || c == u'n') {
        // The letter typed in front of the completion, upper-cased as leaving the box does.
        caja->setText((c == u'S' || c == u's') ? QStringLiteral("SI") : QStringLiteral("NO"));
        info_.txtNombre->setFocus(Qt::TabFocusReason);
        return true;
    }
    // Any other key empties the box; a printable one then stands alone in it.
    caja->setText(tecla.isPrint() ? QString(tecla) : QString());
    return true;
}

void frmClientes::txtStuffSiNo_LostFocus() {
    if (!estado_.ModoEdicion)
        return;
    QLineEdit* caja = info_.txtStuffSiNo;
    caja->setText(caja->text().toUpper());
    if (caja->text().isEmpty())
        caja->setText(QStringLiteral("NO"));
}

// ---------------------------------------------------------------------------------------------
// Membership status line

void frmClientes::InfoCaducidadDB(const FilaCaducidad& fila, bool vacio) {
    AplicarInfoCaducidad(
        CalcularInfoCaducidad(fila, entorno_.reloj.hoy(), estado_.RegistroNuevo, vacio));
}

void frmClientes::AplicarInfoCaducidad(const InfoCaducidad& info) {
    QColor color = colorTextoVentana();
    if (info.color == ColorInfo::Azul)
        color = Azul;
    else if (info.color == ColorInfo::Rojo)
        color = Rojo;
    info_.lblInfoDB->setText(info.texto);
    ponerColorTexto(info_.lblInfoDB, color);
    info_.imgUser->setPixmap(imagenes_.UserDB(info.imagen));
}

} // namespace portiva
