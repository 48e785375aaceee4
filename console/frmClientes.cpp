// The main window's life: construction with the station's layers and start-up; the closing
// questions and shutdown are in frmClientesCierre.cpp, its chrome in frmClientesMarco.cpp.

#include "frmClientes.h"

#include "BandejaSistema.h"
#include "BotonImagen.h"
#include "BuscadorClientes.h"
#include "BusquedaFicha.h"
#include "ComandosBaseDatos.h"
#include "ComandosMenu.h"
#include "ControlAcceso.h"
#include "CopiasSeguridad.h"
#include "DbClientes.h"
#include "Entorno.h"
#include "FechasCliente.h"
#include "FileExists.h"
#include "GuardadoEnEspera.h"
#include "HuellaEnPuerta.h"
#include "HuellaFicha.h"
#include "HuellaPredeterminada.h"
#include "IniFile.h"
#include "NavegadorWeb.h"
#include "PantallaHuellaVentana.h"
#include "ProgresoCopias.h"
#include "PuertaEstacion.h"
#include "RecordsetVacio.h"
#include "RegistroEventos.h"
#include "ReproductorSonidoQt.h"
#include "SaltoDeLinea.h"
#include "SelectorArchivos.h"
#include "SelectorColor.h"
#include "ValidacionCliente.h"
#include "formOptions.h"
#include "frmCalendario.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

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
      pasos_(servicios.pasos), fechas_(servicios.locale), notify_(servicios.bandeja),
      bandejaSistema_(servicios.bandeja) {
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
    info_.lblEstadistica->installEventFilter(this);

    ponerTamano(5970, 6060);

    // The station's layers: the member database shows itself through this window, the door
    // and the station modes draw on it, the fingerprint side works on both.
    if (servicios.sonido) {
        sonido_ = servicios.sonido;
    } else {
        auto propio = std::make_unique<ReproductorSonidoQt>();
        // Only the door plays sounds, so the log is there by the time this is said.
        propio->ponerAviso([this](const QString& aviso) { registro_->Escribir(aviso); });
        sonidoPropio_ = std::move(propio);
        sonido_ = sonidoPropio_.get();
    }
    db_ = std::make_unique<DbClientes>(entorno_, *this);
    const auto globo = [this](const QString& texto, const QString& titulo, QWidget* caja) {
        MostrarBalloon(texto, 2, titulo, caja);
    };
    validacion_ = std::make_unique<ValidacionCliente>(info_, *db_, entorno_.msgBox, fechas_,
                                                      mostrados_, globo);
    CrearGuardado();
    fechasCliente_ = std::make_unique<FechasCliente>(
        info_, *db_, entorno_, fechas_, [this] { return estado_.ModoEdicion; }, globo);
    busqueda_ = std::make_unique<BusquedaFicha>(
        info_, *db_, [this] { return estado_.ModoEdicion; }, [this](qint16 n) { gotoRecordNum(n); },
        [this] { ActNavegador(); });
    EnlaceBuscador enlaceBuscador;
    enlaceBuscador.modoEdicion = [this] { return estado_.ModoEdicion; };
    enlaceBuscador.irAMiembro = [this](qint32 id) {
        const ResultadoDe<qint32> posicion = db_->PosicionID(id);
        if (posicion.ok() && *posicion >= 1)
            gotoRecordNum(static_cast<qint16>(*posicion));
    };
    enlaceBuscador.abrirCalendario = [this] { imgCalendBusqueda_Click(); };
    enlaceBuscador.colorTexto = [this] { return colorTextoVentana(); };
    buscador_ = std::make_unique<BuscadorClientes>(buscar_, *db_, entorno_, fechas_,
                                                   estado_.ModoAjusteLvw, enlaceBuscador);
    registro_ = std::make_unique<RegistroEventos>(*this, entorno_.reloj);
    pantallaHuella_ = std::make_unique<PantallaHuellaVentana>(*this);
    // The door, on its own thread: it reaches this window only by queued calls.
    puerta_ = std::make_unique<PuertaEstacion>(ContextoPuerta{
        entorno_, *this, *pantallaHuella_, *sonido_, servicios.fabricaHuella,
        servicios.prefijoDispositivo,
        servicios.puertaEnHilo ? HiloPuerta::Modo::HiloPropio : HiloPuerta::Modo::EnLinea});
    if (puerta_->hiloPropio()) {
        huellaEnPuerta_ = std::make_unique<HuellaEnPuerta>(*puerta_);
        huella_ = huellaEnPuerta_.get();
    } else {
        huella_ = &puerta_->huella();
    }
    huellaFicha_ = std::make_unique<HuellaFicha>(info_, *db_, *huella_,
                                                 [this] { return estado_.ModoEdicion; });
    ini_ = std::make_unique<IniFile>(entorno_.carpetaPrograma, ajustes_, huella_->parametros());
    ini_->ponerAviso([this](const QString& aviso) { registro_->Escribir(aviso); });
    construirComandos(servicios);

    if (servicios.selectorColor) {
        selectorColor_ = servicios.selectorColor;
    } else {
        selectorColorPropio_ = std::make_unique<SelectorColorQt>();
        selectorColor_ = selectorColorPropio_.get();
    }
    conectar();
    conectarSkins();
    bandejaSistema_.ponerReceptorRaton([this](int mensaje) { SysTray_MSG_MouseMove(mensaje); });
}

frmClientes::~frmClientes() {
    // The dialogs work on the window's layers: they go before them.
    delete calendario_.data();
    delete opciones_.data();
    bandejaSistema_.ponerReceptorRaton({});
    // The fingerprint side goes first: it works on the door and the database. The door then
    // stops (if the shutdown did not stop it) while the window it shows on is still whole.
    huellaFicha_.reset();
    huella_ = nullptr;
    huellaEnPuerta_.reset();
    puerta_.reset();
}

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
    connect(columna_.chkAutoAnalizar, &QCheckBox::clicked, this,
            &frmClientes::chkAutoAnalizar_Click);
    connect(columna_.chkAutoIdentify, &QCheckBox::clicked, this,
            &frmClientes::chkAutoIdentify_Click);
    connect(columna_.cmdClearEvents, &QPushButton::clicked, this,
            &frmClientes::cmdClearEvents_Click);
    connect(columna_.cmdAperturaManual, &QPushButton::clicked, this,
            &frmClientes::cmdAperturaManual_Click);
    connect(columna_.cmdAnalizarHuella, &QPushButton::clicked, this,
            &frmClientes::cmdAnalizarHuella_Click);
    connect(info_.cmdAddTemplateDB, &QPushButton::clicked, this,
            &frmClientes::cmdAddTemplateDB_Click);
    connect(info_.cmdVerificarHuellaDB, &QPushButton::clicked, this,
            &frmClientes::cmdVerificarHuellaDB_Click);
    connect(columna_.cmdIndentificarHuellaDB, &QPushButton::clicked, this,
            &frmClientes::cmdIndentificarHuellaDB_Click);

    connect(menu_.menuImgFromFile, &QAction::triggered, this, &frmClientes::menuImgFromFile_Click);
    conectarComandos();
    conectarPuerta();

    connect(info_.imgFotoPath, &BotonImagen::click, this, &frmClientes::imgFotoPath_Click);
    connect(info_.imgFoto, &BotonImagen::dobleClick, this, &frmClientes::imgFoto_DblClick);
    connect(info_.imgEditarCliente, &BotonImagen::click, this,
            &frmClientes::imgEditarCliente_Click);
    connect(info_.imgNuevoCliente, &BotonImagen::click, this, &frmClientes::imgNuevoCliente_Click);
    connect(info_.imgGuardarCliente, &BotonImagen::click, this,
            &frmClientes::imgGuardarCliente_Click);
    connect(info_.imgDeshacerEdicion, &BotonImagen::click, this,
            &frmClientes::imgDeshacerEdicion_Click);
    connect(info_.imgBorrarCliente, &BotonImagen::click, this,
            &frmClientes::imgBorrarCliente_Click);
    for (int i = 0; i < static_cast<int>(info_.cmdMover.size()); ++i)
        connect(info_.cmdMover[static_cast<size_t>(i)], &QPushButton::clicked, this,
                [this, i] { cmdMover_Click(i); });
}

void frmClientes::paso(const QString& nombre) {
    if (pasos_)
        pasos_(nombre);
}

// ---------------------------------------------------------------------------------------------
// Start-up

bool frmClientes::Form_Load() {
    cargando_ = true;
    const bool cargado = CargarFormulario();
    cargando_ = false;
    // A stop asked during the start-up: the shutdown runs from the event loop, in its order.
    if (cargado && pararTrasCargar_)
        QTimer::singleShot(0, this, &frmClientes::TerminarPorSenal);
    return cargado;
}

bool frmClientes::CargarFormulario() {
    paso(QStringLiteral("InitVariables"));
    InitVariables();
    paso(QStringLiteral("InitForm"));
    InitForm();
    paso(QStringLiteral("CargarSkin"));
    ini_->CargarSkin();
    paso(QStringLiteral("LoadLastSkin"));
    LoadLastSkin();
    paso(QStringLiteral("CargarConfigCopias"));
    ini_->CargarConfigCopias();
    // What an interrupted backup, compaction or restore left behind goes first; a file that
    // stays is said in the event log.
    for (const QString& problema : copias_->LimpiarTemporales()) {
        qWarning("%s", qUtf8Printable(problema));
        registro_->Escribir(problema);
    }
    estado_.RestaurarAlIniciar = ajustes_.RestaurarAlIniciar;
    if (estado_.RestaurarAlIniciar) {
        paso(QStringLiteral("RestaurarAlCargar"));
        RestaurarAlCargar();
    }
    paso(QStringLiteral("InitAndShowDBData"));
    if (!InitAndShowDBData())
        return false;
    // The door reads the member table through a connection of its own, opened on its thread.
    puerta_->AbrirConexion(db_->cnClientes().ConnectionString());
    paso(QStringLiteral("InitRelayInterface"));
    puerta_->Enviar([p = puerta_.get()] { p->acceso().modos().InitRelayInterface(); });
    paso(QStringLiteral("IniciarHuella"));
    huella_->IniciarHuella();
    paso(QStringLiteral("CargarConfigHuella"));
    ini_->CargarConfigHuella();
    // Fingerprint control (state 8, its picture and relay byte), the status caption, no
    // reader yet and the reader-detection timeout. A reader that already announced itself
    // (a message box of the settings lets events run) is not forgotten: it would otherwise be
    // reported missing five seconds later while it works.
    paso(QStringLiteral("ControlPorHuella"));
    ControlPorHuella();
    paso(QStringLiteral("Show"));
    show();
    return true;
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
    puerta_->Enviar([p = puerta_.get()] { p->acceso().torno().PonerSonidoActivo(true); });
    PublicarOpcionesHuella();
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
    buscador_->SetCboTipoBusqueda();
    Init_lvwtResultadoBusqueda();
}

bool frmClientes::InitAndShowDBData() {
    if (!db_->AbrirDB()) {
        const QString motivo = db_->MotivoError();
        qWarning("%s: %s", qUtf8Printable(DbClientes::nombreArchivo()), qUtf8Printable(motivo));
        entorno_.msgBox(
            QStringLiteral("Se produjo un error al intentar conectar con la base de "
                           "datos, ") +
                SaltoDeLinea +
                QStringLiteral("asegurese de que se encuentra en la carpeta del "
                               "programa.") +
                SaltoDeLinea + SaltoDeLinea + QStringLiteral("Motivo: ") + motivo + SaltoDeLinea +
                SaltoDeLinea + QStringLiteral("             El programa no puede continuar."),
            EstiloMsg::Critico, QStringLiteral("Error conectando con la base de datos..."));
        TerminarPrograma();
        return false;
    }
    VigilarBaseDatos();
    if (!db_->CargarServicios()) {
        entorno_.msgBox(QStringLiteral("Se produjo un error al intentar conectar con la base de "
                                       "datos, asegurese de que ") +
                            SaltoDeLinea +
                            QStringLiteral("contiene los datos correctos que usa el programa. "
                                           "Gracias."),
                        EstiloMsg::Exclamacion,
                        QStringLiteral("Buscando tipos de servicios contratados..."));
    }
    Recordset& rs = db_->rsClientes();
    if (RecordsetVacio(rs)) {
        entorno_.msgBox(QStringLiteral("Pulse en el icono de nuevo cliente, introduzca los datos "
                                       "en las casillas de texto y ") +
                            SaltoDeLinea +
                            QStringLiteral("haga click en guardar para añadir clientes a la base "
                                           "de datos. Gracias."),
                        EstiloMsg::Informacion, QStringLiteral("La base de datos esta vacia."));
        InitTextBoxes();
    } else {
        // Repositioning on a snapshot that holds rows: a move within its range cannot fail.
        (void)rs.MoveFirst();
        RecordSetToText();
    }
    db_->ActContadores();
    InfoCaducidadDB();
    ActNavegador();
    return true;
}

void frmClientes::VigilarBaseDatos() {
    // Said at once rather than at the first save that fails: a read-only file or folder, and
    // later a file taken away while the station runs.
    const auto avisar = [this](const QString& aviso) {
        qWarning("%s", qUtf8Printable(aviso));
        registro_->Escribir(aviso);
    };
    if (const QString aviso = db_->AvisoSoloLectura(); !aviso.isEmpty()) {
        avisar(aviso);
        entorno_.msgBox(aviso, EstiloMsg::Exclamacion, QStringLiteral("Base de datos..."));
    }
    if (const QString& aviso = db_->AvisoRegistroAnticipado(); !aviso.isEmpty())
        avisar(aviso);
    auto* vigia = new QTimer(this);
    connect(vigia, &QTimer::timeout, this, [this, avisar] {
        if (const QString aviso = db_->AvisoArchivoDesaparecido(); !aviso.isEmpty())
            avisar(aviso);
    });
    vigia->start(IntervaloVigiaBaseDatosMs);
}

void frmClientes::TerminarPrograma() {
    // The station cannot run: it ends without writing the settings or the database. The
    // engine has not been started yet at this point; a tray icon may already be up.
    descargada_ = true;
    RemoveBallonIcon();
    hide();
    emit cerrado();
}

QString frmClientes::carpeta(const QString& subcarpeta) const {
    return QDir(entorno_.carpetaPrograma).filePath(subcarpeta);
}

QString frmClientes::elegirBmp(const QString& subcarpeta) {
    return selectorArchivos_.abrir(carpeta(subcarpeta),
                                   QStringLiteral("BMP files (*.bmp)|*.bmp|All files (*.*)|*.*"), 1,
                                   this);
}

QColor frmClientes::colorTextoVentana() const {
    return palette().color(QPalette::WindowText);
}

} // namespace portiva
