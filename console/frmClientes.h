#pragma once

#include "ArrastreVentana.h"

#include "AjustesEstacion.h"
#include "ColumnaEstacion.h"
#include "EditBallon_GreyText.h"
#include "FormatoFecha.h"
#include "HuellaEstacion.h"
#include "ImagenesVentana.h"
#include "InfoCaducidad.h"
#include "MenuEstacion.h"
#include "NotifyBallon.h"
#include "OperacionesArchivo.h"
#include "PanelBuscar.h"
#include "PanelInfo.h"
#include "PantallaAcceso.h"
#include "Resultado.h"
#include "SkinSupportCode.h"
#include "ValidacionCliente.h"
#include "VistaClientes.h"

#include <QLocale>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QLineEdit;

namespace portiva {

struct Entorno;
class BandejaSistema;
class BuscadorClientes;
class ComandosBaseDatos;
class ComandosMenu;
class ControlAcceso;
class CopiasSeguridad;
class DbClientes;
class BusquedaFicha;
class FechasCliente;
class GuardadoEnEspera;
class HuellaEnPuerta;
class HuellaFicha;
class IniFile;
class NavegadorWeb;
class PantallaHuellaVentana;
class PuertaEstacion;
class RegistroEventos;
class ProgresoCopias;
class ReproductorSonido;
class SelectorArchivos;
class SelectorColor;
class formOptions;
class frmCalendario;
class VisorArchivos;

// What the window is given instead of reaching for the system itself: the program folder,
// message boxes and clock (Entorno), the file picker, the system viewer and the
// notification area; optionally the sound player, the fingerprint side, where serial ports
// without a link in the program folder are looked for, the locale of the date boxes, and an
// observer of the start-up and shutdown steps.
struct ServiciosConsola {
    Entorno& entorno;
    SelectorArchivos& selectorArchivos;
    VisorArchivos& visorArchivos;
    BandejaSistema& bandeja;
    // Null: the access sounds through QSoundEffect.
    ReproductorSonido* sonido = nullptr;
    // Null: the system colour picker (QColorDialog).
    SelectorColor* selectorColor = nullptr;
    // Empty: the station's own fingerprint engine.
    FabricaHuella fabricaHuella = {};
    // "COMn" without a link in the program folder is this prefix followed by n - 1.
    QString prefijoDispositivo = QStringLiteral("/dev/ttyS");
    QLocale locale = FormatoFecha::LocaleEstacion(QLocale::system());
    // Null: the desktop's browser through QDesktopServices.
    NavegadorWeb* navegador = nullptr;
    // Told the name of each start-up and shutdown step as it begins ("CargarSkin",
    // "InitAndShowDBData", "GuardarConfiguracion", ...).
    std::function<void(const QString&)> pasos = {};
    // The door (relay board, turnstile, modes, reader, capture flow) runs on a thread of its
    // own; false keeps it on the window's thread, with every call made at once (the window's
    // unit tests with a recording fingerprint side).
    bool puertaEnHilo = true;
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
    bool CompactarAlSalir = false;   // compact the database at exit (never saved)
    qint16 PosicionPrevia = 0;       // position of the row shown before a New action
    int InfoAmpliadaPrevia = 0;      // "Inform. ampliada" as it was when editing started
    int CampoCalendario = 0;         // which box the calendar fills
    int ModoAjusteLvw = -2;          // column fit of the result list: -1 contents, -2 headers
};

// The station's main window: a borderless window of three areas, the station column on the
// left (always shown), the member-information panel to its right and the search panel below,
// both folded out on demand. It owns the station's layers (member database, settings, door and
// station modes, fingerprint side) and shows them: it is the record form the database calls
// back (VistaClientes) and the screen of the door (PantallaAcceso). Creating it and calling
// Form_Load starts the station.
class frmClientes : public QWidget,
                    public VistaClientes,
                    public PantallaAcceso,
                    private VentanaSkin {
    Q_OBJECT
public:
    explicit frmClientes(const ServiciosConsola& servicios, QWidget* padre = nullptr);
    ~frmClientes() override;

    // ---- Life cycle
    // The start-up sequence; ends with the window shown. False when the station could not
    // start (the database did not open): the operator has been told and `cerrado` follows.
    bool Form_Load();
    void InitVariables();
    void InitForm();
    // Opens the database and shows the first member; false when the database cannot be
    // opened, after which the program ends without writing anything.
    bool InitAndShowDBData();
    // The closing questions: true cancels the close.
    bool Form_QueryUnload();
    // The shutdown sequence; runs once and ends with `cerrado`.
    void Form_Unload();
    // A stop asked from outside (SIGTERM, SIGINT): the shutdown sequence without the closing
    // questions, once any door pulse or relay wait under way is over (the relays are back at
    // rest). Asked during the start-up, an open box is closed as if cancelled, the start-up
    // goes on to its end, and the shutdown follows from the event loop.
    void TerminarPorSenal();
    // True once the program has ended (normal shutdown or a start that could not go on).
    bool terminado() const { return descargada_; }

    // ---- Record form (VistaClientes and the window's own helpers)
    void RecordSetToText() override;
    void InitTextBoxes() override;
    void ActNavegador() override;
    void EditMode(bool Value) override;
    void InfoCaducidadDB() override;
    Resultado GuardarCliente() override;
    Resultado DeshacerCambiosDB() override;
    void LimpiarServicios() override;
    void AgregarServicio(const QString& nombre, qint32 id) override;
    void MostrarContador(Contador contador, const QString& texto) override;
    bool ModoEdicion() const override { return estado_.ModoEdicion; }
    // The checks of the record boxes before a save.
    bool DatosOK() override;
    bool RegistroNuevo() const override { return estado_.RegistroNuevo; }
    void setRegistroNuevo(bool valor) override { estado_.RegistroNuevo = valor; }
    qint16 PosicionPrevia() const override { return estado_.PosicionPrevia; }
    void setPosicionPrevia(qint16 valor) override { estado_.PosicionPrevia = valor; }
    int InfoAmpliadaPrevia() const override { return estado_.InfoAmpliadaPrevia; }
    void setInfoAmpliadaPrevia(int valor) override { estado_.InfoAmpliadaPrevia = valor; }
    int chkInformacionAmpliada() const override;
    void setChkInformacionAmpliada(int valor) override;

    // Copies the boxes into the current member row without storing it. False, with a message
    // box and nothing written, when a box cannot be read into its field (a date that does not
    // exist); the focus then goes to that box.
    bool TextToRecordSet();
    // The fingerprint indicator and the verify button from the current row.
    void ActTemplateSiNo();
    // Makes the member at a 1-based position of the member list current and shows it; a
    // position outside the list only shows the counter again.
    void gotoRecordNum(qint16 RegNumber);

    // Shows the photo file in imgFoto; false (and imgNoFoto's picture) when the file is no
    // picture, with the reader's reason in `error`.
    bool MostrarFoto(const QString& ruta, QString* error = nullptr);
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

    // ---- What the door and the station modes show on the window (PantallaAcceso)
    // Appends a line to the event log (the oldest goes when it holds LineasLogMaximas),
    // scrolls to it and leaves nothing selected.
    void EscribirLog(const QString& linea) override;
    static constexpr int LineasLogMaximas = 5000;
    // How soon a close that came inside a wait is tried again.
    static constexpr int IntervaloCierreAplazadoMs = 50;
    // How often the database file is looked for while the station runs.
    static constexpr int IntervaloVigiaBaseDatosMs = 5000;
    void MostrarResultado(int indice) override;
    void ShowBallon(int icono, const QString& titulo, const QString& texto, int flags) override;
    void InfoHuella(const QString& texto, bool rojo) override;
    void HabilitarAperturaManual(bool habilitar) override;
    void MostrarContAperturas(int tipo, long valor, long totalHoy) override;
    void RemoveBallonIcon();
    // imgCapturaHuella takes a captured fingerprint picture, fitted to the box.
    void MostrarCapturaHuella(const QImage& imagen);

    // ---- Skins and the two dialogs
    void CargarMenuSkins();
    void mnuSelectedSkin_Click(int Index);
    SkinSupportCode& skins() { return *skins_; }
    // The dialog while it is open; null otherwise.
    formOptions* opciones() const;
    frmCalendario* calendario() const;
    bool OpcionesAbierto() const { return opciones() != nullptr; }
    bool CalendarioAbierto() const { return calendario() != nullptr; }

    // ---- State, layers and controls
    const EstadoVentana& estado() const { return estado_; }
    void setRestaurandoDB(bool valor);
    // The option boxes, the information panel and the restore flag, sent to the door.
    void PublicarOpcionesHuella();

    DbClientes& db() { return *db_; }
    // The member search behind the search panel (search now, clear the results, fit button).
    BuscadorClientes& buscador() { return *buscador_; }
    // The door; `acceso()` and the door's own fingerprint side are used on its thread only
    // (PuertaEstacion::Enviar / Ejecutar), or on line.
    PuertaEstacion& puerta() { return *puerta_; }
    ControlAcceso& acceso();
    HuellaEstacion& huella() { return *huella_; }
    // The window's own lines of the event log.
    RegistroEventos& registro() { return *registro_; }
    AjustesEstacion& ajustes() { return ajustes_; }
    const FormatoFecha& fechas() const { return fechas_; }
    GuardadoEnEspera& guardado() { return *guardado_; }

    const ColumnaEstacion& columna() const { return columna_; }
    const PanelInfo& info() const { return info_; }
    const PanelBuscar& buscar() const { return buscar_; }
    const MenuEstacion& menu() const { return menu_; }
    const ImagenesVentana& imagenes() const { return imagenes_; }
    EditBallon_GreyText& globos() { return globos_; }
    const NotifyBallon& bandeja() const { return notify_; }

    CopiasSeguridad& copias() { return *copias_; }
    ComandosBaseDatos& comandosBaseDatos() { return *comandosDb_; }
    ComandosMenu& comandosMenu() { return *comandosMenu_; }
    const ProgresoCopias& progresoCopias() const { return *progreso_; }

signals:
    // The program has ended: the event loop may finish.
    void cerrado();
    // A restore replaced the database file while the station ran: lists showing rows of the
    // old database drop them.
    void baseDeDatosSustituida();

public slots:
    // Window chrome and popup menu.
    void imgClose_Click();
    void imgMinim_Click();
    void mnuShowMe_Click();
    void mnuHideMe_Click();
    void mnuCloseMe_Click();
    void MostrarMenu();
    void menuImgFromFile_Click();
    void menuImgSave_Click();
    void mnuDoCopyDB_Click();
    void mnuDoCopyDBOnEnd_Click();
    void mnuDoCompactDB_Click();
    void mnuDoRestoreDB_Click();
    QString SelectDBToRestore();
    void menuOptions_Click();
    void mnuVisitWebPage_Click();
    void menuVersion_Click();
    // The calendar buttons: beside the date boxes (1 to 3, only while editing) and beside the
    // search value box.
    void imgCalend_Click(int Index);
    void imgCalendBusqueda_Click();
    // The mouse on the tray icon (BandejaSistema's numbers): a left click while the window is
    // hidden tells the last access in a balloon, a double click shows the window, a right
    // click opens the menu. A callback arriving while one is handled is ignored.
    void SysTray_MSG_MouseMove(int mensaje);

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

    // The station column's actions and fingerprint boxes.
    void cmdAperturaManual_Click();
    void cmdAnalizarHuella_Click();
    void cmdIndentificarHuellaDB_Click();
    void chkAutoAnalizar_Click();
    // The record form's "Añadir" and "Verificar".
    void cmdAddTemplateDB_Click();
    void cmdVerificarHuellaDB_Click();
    void chkAutoIdentify_Click();

    // Record form.
    void imgFotoPath_Click();
    void imgFoto_DblClick();
    void txtStuffSiNo_GotFocus();
    // True when the key was taken care of here.
    bool txtStuffSiNo_KeyPress(QChar tecla);
    void txtStuffSiNo_LostFocus();
    void lblEstadistica_Click();
    void imgEditarCliente_Click();
    void imgNuevoCliente_Click();
    void imgGuardarCliente_Click();
    void imgDeshacerEdicion_Click();
    void imgBorrarCliente_Click();
    void cmdMover_Click(int Index);

protected:
    void paintEvent(QPaintEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void conectar();
    void conectarPuerta();
    // Start-up steps 11-14 on the door: fingerprint control, no reader yet unless one already
    // announced itself, the reader-detection timeout.
    void ControlPorHuella();
    void construirComandos(const ServiciosConsola& servicios);
    void conectarComandos();
    void paso(const QString& nombre);
    void Ocultar();
    void LoadLastSkin();
    void conectarSkins();
    void AbrirCalendario();
    void BuscarDesdeCalendario();
    void CerrarDialogos();
    void CerrarCalendario();
    // VentanaSkin
    void PonerFondo(const QPixmap& fondo) override;
    QPixmap Fondo() const override { return fondo_; }
    void ColorearControles(const QColor& color) override;
    void RestaurarAlCargar();
    void CopiaSeguridadAlSalir(bool compactar);
    void TerminarPrograma();
    // Warns of a read-only database now and of one removed later.
    void VigilarBaseDatos();
    void LockTextBoxes(bool bLocked);
    void MostrarErrorRegistro(const ErrorDB& error, const QString& accion, const QString& titulo);
    // The save button's save, waiting with the busy cursor while another program holds the file.
    void CrearGuardado();
    void GuardarAhora();
    void imgMyTitleBar_MouseDown(Qt::MouseButton boton, QPoint posicionGlobal);
    void imgMyTitleBar_MouseMove(Qt::MouseButtons botones, QPoint posicionGlobal);
    void ponerTamano(int anchoTwips, int altoTwips);
    void ponerColorTexto(QWidget* control, const QColor& color);
    QColor colorTextoVentana() const;
    QString carpeta(const QString& subcarpeta) const;
    // A picture chosen by the operator from the program's folder `subcarpeta`; empty if none.
    QString elegirBmp(const QString& subcarpeta);
    static bool esSuperficie(const QWidget* hijo);

    Entorno& entorno_;
    SelectorArchivos& selectorArchivos_;
    VisorArchivos& visorArchivos_;
    std::function<void(const QString&)> pasos_;
    FormatoFecha fechas_;

    ImagenesVentana imagenes_;
    QPixmap fondo_;
    ColumnaEstacion columna_;
    PanelInfo info_;
    PanelBuscar buscar_;
    MenuEstacion menu_;
    EditBallon_GreyText globos_;
    NotifyBallon notify_;

    bool CargarFormulario();
    // The door has an access, a pulse or the board's scan under way.
    bool PuertaOcupada();

    EstadoVentana estado_;
    bool descargada_ = false;
    bool cargando_ = false;
    bool pararTrasCargar_ = false;
    bool atendiendoBandeja_ = false;
    BandejaSistema& bandejaSistema_;
    ArrastreVentana arrastre_;

    // The station's layers, built in this order and taken down in the reverse one.
    AjustesEstacion ajustes_;
    std::unique_ptr<ReproductorSonido> sonidoPropio_;
    ReproductorSonido* sonido_ = nullptr;
    std::unique_ptr<DbClientes> db_;
    TextosMostrados mostrados_;
    std::unique_ptr<ValidacionCliente> validacion_;
    std::unique_ptr<GuardadoEnEspera> guardado_;
    std::unique_ptr<FechasCliente> fechasCliente_;
    std::unique_ptr<BusquedaFicha> busqueda_;
    std::unique_ptr<BuscadorClientes> buscador_;
    std::unique_ptr<RegistroEventos> registro_;
    std::unique_ptr<PantallaHuellaVentana> pantallaHuella_;
    std::unique_ptr<PuertaEstacion> puerta_;
    std::unique_ptr<HuellaEnPuerta> huellaEnPuerta_;
    HuellaEstacion* huella_ = nullptr;
    std::unique_ptr<HuellaFicha> huellaFicha_;
    std::unique_ptr<IniFile> ini_;
    OperacionesArchivoPosix operacionesArchivo_;
    std::unique_ptr<CopiasSeguridad> copias_;
    std::unique_ptr<ProgresoCopias> progreso_;
    std::unique_ptr<NavegadorWeb> navegadorPropio_;
    std::unique_ptr<ComandosBaseDatos> comandosDb_;
    std::unique_ptr<ComandosMenu> comandosMenu_;

    std::unique_ptr<SelectorColor> selectorColorPropio_;
    SelectorColor* selectorColor_ = nullptr;
    std::unique_ptr<SkinSupportCode> skins_;
    QPointer<formOptions> opciones_;
    QPointer<frmCalendario> calendario_;
};

} // namespace portiva
