// The window's side of the skins and of its two dialogs: the submenu's handlers, the colours
// given to the controls, the options command and the calendar buttons.

#include "frmClientes.h"

#include "BotonImagen.h"
#include "BuscadorClientes.h"
#include "DialogoSkin.h"
#include "Entorno.h"
#include "SelectorColor.h"
#include "formOptions.h"
#include "frmCalendario.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace portiva {

void frmClientes::conectarSkins() {
    skins_ = std::make_unique<SkinSupportCode>(
        entorno_, ajustes_, static_cast<VentanaSkin&>(*this),
        SkinSupportCode::Menu{menu_.mnuSkins, menu_.mnuSelectedSkin});
    for (int i = 0; i < static_cast<int>(menu_.mnuSelectedSkin.size()); ++i)
        connect(menu_.mnuSelectedSkin[static_cast<size_t>(i)], &QAction::triggered, this,
                [this, i] { mnuSelectedSkin_Click(i + 1); });
    // The open dialogs take each newly applied skin.
    connect(skins_.get(), &SkinSupportCode::skinAplicado, this, [this] {
        if (formOptions* o = opciones())
            o->SetSkin();
        if (frmCalendario* c = calendario())
            c->SetSkin();
    });
    connect(menu_.menuOptions, &QAction::triggered, this, &frmClientes::menuOptions_Click);
    for (int i = 0; i < static_cast<int>(info_.imgCalend.size()); ++i)
        connect(info_.imgCalend[static_cast<size_t>(i)], &BotonImagen::click, this,
                [this, i] { imgCalend_Click(i + 1); });
    // The search panel's calendar picture reaches imgCalendBusqueda_Click through the search.
}

void frmClientes::LoadLastSkin() {
    skins_->LoadLastSkin();
}

void frmClientes::CargarMenuSkins() {
    skins_->CargarMenuSkins();
}

void frmClientes::mnuSelectedSkin_Click(int Index) {
    skins_->mnuSelectedSkin_Click(Index);
}

void frmClientes::PonerFondo(const QPixmap& fondo) {
    fondo_ = fondo;
    update();
}

void frmClientes::ColorearControles(const QColor& color) {
    QWidget* const controles[] = {columna_.cmdAperturaManual,
                                  columna_.cmdAnalizarHuella,
                                  columna_.cmdIndentificarHuellaDB,
                                  columna_.cmdClearEvents,
                                  info_.cmdAddTemplateDB,
                                  info_.cmdVerificarHuellaDB,
                                  buscar_.cmdClearResults,
                                  info_.cmdMover[0],
                                  info_.cmdMover[1],
                                  info_.cmdMover[2],
                                  info_.cmdMover[3],
                                  columna_.chkAutoAnalizar,
                                  columna_.chkAutoIdentify,
                                  columna_.chkMostrarHuella,
                                  columna_.chkMostrarAnalisis,
                                  columna_.chkMostrarIdentificacion,
                                  columna_.chkInformacionAmpliada,
                                  buscar_.cmdLvwAutoAjustar,
                                  info_.chkOnTop};
    for (QWidget* control : controles)
        PonerColorFondo(control, color);
    // The title's colour is set by a style sheet at design: it gives way to the skin's.
    columna_.lblTituloGeneral->setStyleSheet(QString());
    ponerColorTexto(columna_.lblTituloGeneral, color);
}

formOptions* frmClientes::opciones() const {
    return opciones_ && !opciones_->isHidden() ? opciones_.data() : nullptr;
}

frmCalendario* frmClientes::calendario() const {
    return calendario_ && !calendario_->isHidden() ? calendario_.data() : nullptr;
}

void frmClientes::menuOptions_Click() {
    // A second command while the dialog is open leaves it as it is, edits included.
    if (opciones())
        return;
    auto* dialogo =
        new formOptions(ajustes_, huella_->parametros(), *selectorColor_, *skins_, imagenes_, this);
    dialogo->setAttribute(Qt::WA_DeleteOnClose);
    opciones_ = dialogo;
    dialogo->Form_Load();
}

void frmClientes::imgCalend_Click(int Index) {
    if (!estado_.ModoEdicion)
        return;
    estado_.CampoCalendario = Index;
    AbrirCalendario();
}

void frmClientes::imgCalendBusqueda_Click() {
    estado_.CampoCalendario = 4;
    AbrirCalendario();
}

void frmClientes::AbrirCalendario() {
    // An open calendar keeps its date and serves the newly named box.
    if (calendario())
        return;
    DestinosCalendario destinos{
        {info_.txtFechaInscripcion, info_.txtFechaInicio, info_.txtFechaCaducidad},
        buscar_.CboDatoBusqueda,
        estado_.CampoCalendario,
        [this] { return estado_.ModoEdicion; },
        [this] { BuscarDesdeCalendario(); }};
    auto* dialogo =
        new frmCalendario(std::move(destinos), entorno_.reloj, fechas_, *skins_, imagenes_, this);
    dialogo->setAttribute(Qt::WA_DeleteOnClose);
    calendario_ = dialogo;
    dialogo->Form_Load();
}

void frmClientes::BuscarDesdeCalendario() {
    buscar_.imgBuscar->show();
    buscar_.imgReport->show();
    buscador_->BuscarAhora();
}

void frmClientes::CerrarCalendario() {
    if (frmCalendario* c = calendario())
        c->close();
}

void frmClientes::CerrarDialogos() {
    CerrarCalendario();
    if (formOptions* o = opciones())
        o->close();
}

} // namespace portiva
