#pragma once

#include "ColumnaEstacion.h"
#include "EditBallon_GreyText.h"
#include "Imagenes.h"
#include "InfoCaducidad.h"
#include "MenuEstacion.h"
#include "NotifyBallon.h"
#include "PanelBuscar.h"
#include "PanelInfo.h"

#include <QPixmap>
#include <QPoint>
#include <QWidget>

class QLineEdit;

namespace portiva {

struct Entorno;
class BandejaSistema;
class SelectorArchivos;
class VisorArchivos;

// What the window is given instead of reaching for the system itself: the program folder,
// message boxes, clock and event pump (Entorno), the file picker, the system viewer and the
// notification area.
struct ServiciosConsola {
    Entorno& entorno;
    SelectorArchivos& selectorArchivos;
    VisorArchivos& visorArchivos;
    BandejaSistema& bandeja;
};

// The window's own state, reset at start-up by InitVariables.
struct EstadoVentana {
    bool RestaurandoDB = false;      // a database restore is running
    bool RestaurarAlIniciar = false; // a restore is scheduled for this start
    bool CopiaSegEstaVez = false;    // back up the database at this exit
    bool ModoEdicion = false;        // a member record is being edited
    bool RegistroNuevo = false;      // the record being edited was just added
    bool InfoDesplegada = false;     // the member-information panel is out
    bool BuscarDesplegado = false;   // the search panel is out
    bool SonidoActivo = true;        // access sounds are played
    bool SiempreEncima = false;      // the window stays above the others
    int PosicionPrevia = 0;          // position of the row shown before a New action
    int InfoAmpliadaPrevia = 0;      // "Inform. ampliada" as it was when editing started
    int CampoCalendario = 0;         // which box the calendar fills
    int ModoAjusteLvw = -2;          // column fit of the result list: -1 contents, -2 headers
};

// The station's main window: a borderless window of three areas, the station column on the
// left (always shown), the member-information panel to its right and the search panel below,
// both folded out on demand. Creating it and calling Form_Load starts the station.
class frmClientes : public QWidget {
    Q_OBJECT
public:
    explicit frmClientes(const ServiciosConsola& servicios, QWidget* padre = nullptr);
    ~frmClientes() override;

    // ---- Life cycle
    // The start-up sequence; ends with the window shown.
    void Form_Load();
    void InitVariables();
    void InitForm();
    // The closing questions: true cancels the close.
    bool Form_QueryUnload();
    // The shutdown sequence; runs once and ends with `cerrado`.
    void Form_Unload();

    // ---- Record form
    void EditMode(bool Value);
    void InitTextBoxes();
    // Shows the photo file in imgFoto; false (and imgNoFoto's picture) when the file is no
    // picture, with the reader's reason in `error`.
    bool MostrarFoto(const QString& ruta, QString* error = nullptr);

    // The pieces of showing a member row that need only its values; the row itself is read
    // by the record display once the member list is given to the window.
    // The service box: the value as its text, and the first list entry exactly equal to it
    // (case counts) chosen; no entry chosen when none is equal. A Null value empties the box.
    void MostrarServicio(const QString& servicio, bool nulo);
    // The photo path and picture of a row: imgNoFoto's picture when the file does not exist;
    // false when it exists but is no picture (reason in `error`).
    bool MostrarFotoCliente(const QString& ruta, QString* error = nullptr);
    // The fingerprint indicator and the verify button.
    void MostrarTemplateSiNo(bool tieneHuella);
    // The record counter: position (1 for the first row; -1, no position, shows 0) and rows.
    void MostrarNavegador(long long posicion, long long total);
    // The staff flag as the staff box shows it, and back: only "SI" exactly means staff.
    static QString TextoEmpleado(bool personal);
    static bool LeerEmpleado(const QString& texto);

    // ---- Membership status line
    // Decides the line for a member row (the shown row, whether the list is empty and
    // RegistroNuevo) on the station's today, and shows it.
    void InfoCaducidadDB(const FilaCaducidad& fila, bool vacio);
    void AplicarInfoCaducidad(const InfoCaducidad& info);

    // ---- Panels and switches
    void DesplegarInfo(bool Value);
    void DesplegarBuscar(bool Value);
    void Init_lvwtResultadoBusqueda();
    void MostrarBalloon(const QString& Text, int Icon, const QString& Title, QWidget* Control);

    // ---- What the door and the station modes show on the window
    // Appends a line to the event log, scrolls to it and leaves nothing selected.
    void EscribirLog(const QString& linea);
    // imgResultHuella takes picture `indice` of imgTipoDeAcceso (0-13).
    void MostrarResultado(int indice);
    // The tray icon: picture `icono` of imgSysTray (0-9), or the window's icon for -1; tip
    // " Control de Accesos "; balloon flags 0 none, 1 information, 2 warning.
    void ShowBallon(int icono, const QString& titulo, const QString& texto, int flags);
    void RemoveBallonIcon();
    // The status line: red, or the window's text colour.
    void InfoHuella(const QString& texto, bool rojo);
    void HabilitarAperturaManual(bool habilitar);
    // A day counter (0-4) and the day's total.
    void MostrarContAperturas(int tipo, long long valor, long long totalHoy);

    // ---- State and controls
    const EstadoVentana& estado() const { return estado_; }
    void setRegistroNuevo(bool valor) { estado_.RegistroNuevo = valor; }
    void setPosicionPrevia(int valor) { estado_.PosicionPrevia = valor; }
    void setInfoAmpliadaPrevia(int valor) { estado_.InfoAmpliadaPrevia = valor; }
    void setRestaurandoDB(bool valor) { estado_.RestaurandoDB = valor; }

    const ColumnaEstacion& columna() const { return columna_; }
    const PanelInfo& info() const { return info_; }
    const PanelBuscar& buscar() const { return buscar_; }
    const MenuEstacion& menu() const { return menu_; }
    const Imagenes& imagenes() const { return imagenes_; }
    EditBallon_GreyText& globos() { return globos_; }
    const NotifyBallon& bandeja() const { return notify_; }

    static constexpr auto TipBandeja = " Control de Accesos ";

signals:
    // The shutdown has ended: the program may finish.
    void cerrado();

public slots:
    // Window chrome and popup menu.
    void imgClose_Click();
    void imgMinim_Click();
    void mnuShowMe_Click();
    void mnuHideMe_Click();
    void mnuCloseMe_Click();
    void MostrarMenu();

    // Switches.
    void imgDesplegarInfo_Click();
    void imgRecogerInfo_Click();
    void imgDesplegarBuscar_Click();
    void imgRecogerBuscar_Click();
    void imgSoundOn_Click();
    void imgSoundOff_Click();
    void chkOnTop_MouseUp();
    void chkInformacionAmpliada_Click();
    void chkMostrarHuella_Click();
    void cmdClearEvents_Click();

    // Record form aids.
    void imgFotoPath_Click();
    void imgFoto_DblClick();
    void txtStuffSiNo_GotFocus();
    // True when the key was taken care of here.
    bool txtStuffSiNo_KeyPress(QChar tecla);
    void txtStuffSiNo_LostFocus();

protected:
    void paintEvent(QPaintEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void conectar();
    void LockTextBoxes(bool bLocked);
    void imgMyTitleBar_MouseDown(Qt::MouseButton boton, QPoint posicionGlobal);
    void imgMyTitleBar_MouseMove(Qt::MouseButtons botones, QPoint posicionGlobal);
    void ponerTamano(int anchoTwips, int altoTwips);
    void ponerColorTexto(QWidget* control, const QColor& color);
    QColor colorTextoVentana() const;
    QString carpeta(const QString& subcarpeta) const;
    static bool esSuperficie(const QWidget* hijo);

    Entorno& entorno_;
    SelectorArchivos& selectorArchivos_;
    VisorArchivos& visorArchivos_;

    Imagenes imagenes_;
    QPixmap fondo_;
    ColumnaEstacion columna_;
    PanelInfo info_;
    PanelBuscar buscar_;
    MenuEstacion menu_;
    EditBallon_GreyText globos_;
    NotifyBallon notify_;

    EstadoVentana estado_;
    bool descargada_ = false;
    QPoint origenArrastre_;
    bool arrastreManual_ = false;
};

} // namespace portiva
