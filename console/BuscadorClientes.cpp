#include "BuscadorClientes.h"

#include "BotonImagen.h"
#include "ComboBloqueable.h"
#include "ConsultaBusqueda.h"
#include "DbClientes.h"
#include "EditBallon_GreyText.h"
#include "Entorno.h"
#include "FormatoFecha.h"
#include "InformeBusqueda.h"
#include "PanelBuscar.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

namespace portiva {

namespace {

const QString TituloIniciando = QStringLiteral("Iniciando busqueda...");

// Enter and Escape in the value box, seen before the box acts on them; the key goes on.
class TeclasDato final : public QObject {
public:
    TeclasDato(QObject* padre, std::function<void(int)> tecla)
        : QObject(padre), tecla_(std::move(tecla)) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::KeyPress) {
            const int k = static_cast<QKeyEvent*>(e)->key();
            if (k == Qt::Key_Return || k == Qt::Key_Enter)
                tecla_(13);
            else if (k == Qt::Key_Escape)
                tecla_(27);
        }
        return false;
    }

private:
    std::function<void(int)> tecla_;
};

} // namespace

BuscadorClientes::BuscadorClientes(PanelBuscar& panel, DbClientes& db, Entorno& entorno,
                                   const FormatoFecha& fechas, int& modoAjusteLvw,
                                   EnlaceBuscador enlace)
    : panel_(panel), db_(db), entorno_(entorno), fechas_(fechas), enlace_(std::move(enlace)),
      lista_(*panel.lvwResutadoBusqueda, *panel.ProgressBar, entorno.msgBox, entorno.reloj, fechas),
      modoAjusteLvw_(modoAjusteLvw) {
    conectar();
}

void BuscadorClientes::conectar() {
    QObject* ctx = panel_.lvwResutadoBusqueda;
    QObject::connect(panel_.cboTipoDeBusqueda, &ComboBloqueable::desplegado, ctx,
                     [this] { cboTipoDeBusqueda_DropDown(); });
    QObject::connect(panel_.cboTipoDeBusqueda, qOverload<int>(&QComboBox::activated), ctx,
                     [this](int i) { cboTipoDeBusqueda_Click(i); });
    QObject::connect(panel_.CboDatoBusqueda, qOverload<int>(&QComboBox::activated), ctx,
                     [this](int) { CboDatoBusqueda_Click(); });
    // The box itself has the keyboard focus (its edit field is reached through it, and a key
    // sent to the field alone comes back to the box unhandled): watching the box sees every
    // Enter and Escape once.
    panel_.CboDatoBusqueda->installEventFilter(new TeclasDato(
        panel_.CboDatoBusqueda, [this](int tecla) { CboDatoBusqueda_KeyPress(tecla); }));
    if (QLineEdit* edit = panel_.CboDatoBusqueda->lineEdit())
        indicacion_ = new TextoGris(*edit);
    QObject::connect(panel_.imgBuscar, &BotonImagen::click, ctx, [this] { Buscar(false); });
    QObject::connect(panel_.imgReport, &BotonImagen::click, ctx, [this] { Buscar(true); });
    QObject::connect(panel_.imgCalendBusqueda, &BotonImagen::click, ctx,
                     [this] { imgCalendBusqueda_Click(); });
    QObject::connect(panel_.cmdClearResults, &QPushButton::clicked, ctx,
                     [this] { LimpiarResultados(); });
    QObject::connect(panel_.cmdLvwAutoAjustar, &QPushButton::clicked, ctx,
                     [this] { cmdLvwAutoAjustar_Click(); });
    QObject::connect(panel_.lvwResutadoBusqueda, &QTreeWidget::itemClicked, ctx,
                     [this](QTreeWidgetItem* item, int) {
                         if (item)
                             lvwResutadoBusqueda_ItemClick(item->text(0));
                     });
    QHeaderView* cabecera = panel_.lvwResutadoBusqueda->header();
    cabecera->setSectionsClickable(true);
    QObject::connect(cabecera, &QHeaderView::sectionClicked, ctx,
                     [this](int c) { lvwResutadoBusqueda_ColumnClick(c); });
}

QPushButton* BuscadorClientes::botonAjuste() const {
    return panel_.cmdLvwAutoAjustar;
}

void BuscadorClientes::SetCboTipoBusqueda() {
    panel_.cboTipoDeBusqueda->clear(); // a second set-up lists the kinds once, not twice
    panel_.cboTipoDeBusqueda->addItems(TiposBusqueda());
    panel_.cboTipoDeBusqueda->setCurrentIndex(-1);
    panel_.cboTipoDeBusqueda->setEditText(QStringLiteral("Elegir un tipo de Busqueda"));
}

void BuscadorClientes::mostrarBotones(bool visibles) {
    panel_.imgBuscar->setVisible(visibles);
    panel_.imgReport->setVisible(visibles);
}

void BuscadorClientes::SetCboDatoBusqueda(int tipo) {
    if (tipo < 0)
        return;
    mostrarBotones(false);
    panel_.imgCalendBusqueda->hide();
    QComboBox* caja = panel_.CboDatoBusqueda;
    caja->clear();
    caja->setEnabled(true);
    const auto p = PrepararBusqueda(tipo);
    if (!p) {
        entorno_.msgBox(QStringLiteral("Error en tipo de busqueda seleccionada..."),
                        EstiloMsg::Informacion, TituloIniciando);
        return;
    }
    using Caja = PreparacionBusqueda::Caja;
    switch (p->caja) {
    case Caja::Texto:
        ponerIndicacion(p->texto);
        break;
    case Caja::Opciones:
        caja->addItems(p->opciones);
        caja->setCurrentIndex(-1);
        ponerIndicacion(p->texto);
        break;
    case Caja::Servicios:
        llenarServicios();
        break;
    case Caja::Hoy:
        caja->setEditText(fechas_.Texto(entorno_.reloj.hoy()));
        break;
    }
    panel_.imgCalendBusqueda->setVisible(p->calendario);
}

void BuscadorClientes::llenarServicios() {
    QComboBox* caja = panel_.CboDatoBusqueda;
    Recordset& rs = db_.rsServicios();
    if (auto r = rs.Open(QStringLiteral("SELECT * FROM ServiciosDB"), db_.cnClientes()); !r.ok()) {
        errorProcedimiento(r.error(), "SetCboDatoBusqueda");
        return;
    }
    if (rs.Bof() && rs.Eof()) {
        entorno_.msgBox(QStringLiteral("No se han encontrado tipos de Servicios que ofrecer al "
                                       "cliente en la base de datos. Escriba uno."),
                        EstiloMsg::Informacion, QStringLiteral("Buscar tipos de Servicios..."));
    }
    // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
    for (; !rs.Eof(); (void)rs.MoveNext())
        caja->addItem(rs.Valor(QStringLiteral("fldServicio")).valor_o({}).toString(),
                      rs.Valor(QStringLiteral("ID")).valor_o({}));
    // Closing a scratch recordset has nothing left to report: what it read is already taken.
    (void)rs.Close();
    caja->setCurrentIndex(-1);
    ponerIndicacion(caja->count() > 0 ? QStringLiteral("Elija una opcion o introduzca uno")
                                      : QStringLiteral("Introduzca un tipo de servicio"));
}

void BuscadorClientes::ponerIndicacion(const QString& texto) {
    if (indicacion_)
        indicacion_->Mostrar(texto);
    else
        panel_.CboDatoBusqueda->setEditText(texto);
}

void BuscadorClientes::lineaResultado(const QString& texto, const QColor& color) {
    QLabel* linea = panel_.lblResultBusqueda;
    QPalette paleta = linea->palette();
    paleta.setColor(QPalette::WindowText, color);
    linea->setPalette(paleta);
    linea->setText(texto);
}

void BuscadorClientes::errorProcedimiento(const ErrorDB& error, const char* procedimiento) {
    entorno_.msgBox(
        error.enProcedimiento(QString::fromLatin1(procedimiento), QStringLiteral("DbClientes")),
        EstiloMsg::Ok);
}

void BuscadorClientes::ajustarColumnas() {
    QTreeWidget* lista = panel_.lvwResutadoBusqueda;
    lista->setUpdatesEnabled(false);
    ListaResultados::AjustarColumnasLvw(*lista, modoAjusteLvw_);
    lista->setUpdatesEnabled(true);
}

void BuscadorClientes::Buscar(bool imprimir) {
    const int tipo = panel_.cboTipoDeBusqueda->currentIndex();
    const int opcion = panel_.CboDatoBusqueda->currentIndex();
    QComboBox* caja = panel_.CboDatoBusqueda;
    const QString dato = caja->currentText();
    if (tipo < TipoBusqueda::Primero || tipo > TipoBusqueda::Ultimo)
        entorno_.msgBox(QStringLiteral("Error en tipo de busqueda seleccionada..."),
                        EstiloMsg::Informacion, TituloIniciando);
    const FechasCortas cortas{[this](const QString& t) -> std::optional<QDate> {
                                  const auto v = fechas_.Leer(t);
                                  if (!v || v->isNull())
                                      return std::nullopt;
                                  return v->typeId() == QMetaType::QDateTime
                                             ? v->toDateTime().date()
                                             : v->toDate();
                              },
                              [this](const QDate& d) { return fechas_.Texto(d); }};
    const ConsultaBuscada c = ConstruirBusqueda(tipo, opcion, dato, entorno_.reloj.hoy(), cortas);
    if (c.titulo)
        tituloBusqueda_ = *c.titulo;
    if (c.textoCaja)
        caja->setEditText(*c.textoCaja);
    if (!c.valida()) {
        lineaResultado(QStringLiteral("Datos no validos o no escogio una opcion de la lista, "
                                      "intentelo de nuevo."),
                       QColor(255, 0, 0));
        return;
    }

    // A listing still under way gives way to this search.
    lista_.Vaciar();
    panel_.ProgressBar->setValue(0);
    // The emptied list is drawn before the search runs: a paint of its own, not a pass of the
    // event queue.
    panel_.lvwResutadoBusqueda->repaint();
    panel_.ProgressBar->repaint();
    Recordset& rs = db_.rsTemp();
    // The list shows whether a member has a template, not the template: the bytes stay in the
    // file.
    rs.DiferirBinarios(true);
    if (auto r = rs.Open(c.sql, db_.cnClientes(), c.parametros); !r.ok()) {
        // Another lookup holds the result set: it stays as it is.
        errorProcedimiento(r.error(), "Buscar");
        return;
    }
    if (rs.Bof() && rs.Eof()) {
        lineaResultado(QStringLiteral("No se han encontrado los datos buscados"),
                       QColor(255, 0, 0));
        panel_.ProgressBar->setValue(100);
        panel_.cmdLvwAutoAjustar->hide();
        // Closing a scratch recordset has nothing left to report: what it read is already taken.
        (void)rs.Close();
        return;
    }
    const long filas = rs.RecordCount();
    lineaResultado(tituloBusqueda_ + QStringLiteral(" (") + QString::number(filas) +
                       QStringLiteral(" registro/s)"),
                   enlace_.colorTexto());
    // The list keeps the result while a long one goes in; the scratch recordset is free at once.
    Recordset resultado = std::move(rs);
    rs = Recordset();
    lista_.lvwMostrarResutladoBusqueda(std::move(resultado), [this, imprimir](Recordset& hecho) {
        modoAjusteLvw_ = -1;
        panel_.cmdLvwAutoAjustar->setText(QStringLiteral(">< Titulos"));
        panel_.cmdLvwAutoAjustar->show();
        ajustarColumnas();
        if (imprimir)
            informe(hecho);
        // Closing the result has nothing left to report: what it read is already listed.
        (void)hecho.Close();
    });
}

void BuscadorClientes::informe(Recordset& rs) {
    QString etiqueta = tituloBusqueda_ + QStringLiteral(" (") + QString::number(rs.RecordCount()) +
                       QStringLiteral(" registro/s)");
    if (etiqueta.size() > 40)
        etiqueta = tituloBusqueda_;
    if (enlace_.mostrarInforme) {
        enlace_.mostrarInforme(rs, etiqueta);
        return;
    }
    InformeBusqueda::Mostrar(panel_.lvwResutadoBusqueda->window(), rs, etiqueta, fechas_,
                             entorno_.reloj.hoy());
}

void BuscadorClientes::LimpiarResultados() {
    lista_.Vaciar();
    panel_.ProgressBar->setValue(0);
    panel_.lblResultBusqueda->setText(QString());
    const int tipo = panel_.cboTipoDeBusqueda->currentIndex();
    if (tipo < 0)
        panel_.CboDatoBusqueda->setEditText(QString());
    else
        SetCboDatoBusqueda(tipo);
}

void BuscadorClientes::cboTipoDeBusqueda_DropDown() {
    panel_.cboTipoDeBusqueda->setBloqueado(false);
}

void BuscadorClientes::cboTipoDeBusqueda_Click(int indice) {
    panel_.CboDatoBusqueda->setEnabled(false);
    SetCboDatoBusqueda(indice);
    if (indice == TipoBusqueda::CaducaronHoy) {
        mostrarBotones(true);
        Buscar(false);
    }
    panel_.cboTipoDeBusqueda->setBloqueado(true);
}

void BuscadorClientes::CboDatoBusqueda_Click() {
    mostrarBotones(true);
    Buscar(false);
}

void BuscadorClientes::CboDatoBusqueda_KeyPress(int tecla) {
    if (tecla == 13) {
        if (panel_.CboDatoBusqueda->currentText().isEmpty())
            return;
        mostrarBotones(true);
        Buscar(false);
    } else if (tecla == 27) {
        mostrarBotones(false);
        panel_.imgCalendBusqueda->hide();
        SetCboDatoBusqueda(panel_.cboTipoDeBusqueda->currentIndex());
    }
}

void BuscadorClientes::imgCalendBusqueda_Click() {
    enlace_.abrirCalendario();
}

void BuscadorClientes::cmdLvwAutoAjustar_Click() {
    modoAjusteLvw_ = modoAjusteLvw_ == -1 ? -2 : -1;
    panel_.cmdLvwAutoAjustar->setText(modoAjusteLvw_ == -1 ? QStringLiteral(">< Titulos")
                                                           : QStringLiteral(">< Conten."));
    ajustarColumnas();
}

void BuscadorClientes::lvwResutadoBusqueda_ItemClick(const QString& textoColumna0) {
    if (enlace_.modoEdicion())
        return;
    enlace_.irAMiembro(ListaResultados::IdDeFila(textoColumna0));
}

void BuscadorClientes::lvwResutadoBusqueda_ColumnClick(int columna) {
    lista_.OrdenarPorColumna(columna);
}

} // namespace portiva
