#include "ListaResultados.h"

#include "CodigoAcceso.h"
#include "FileExists.h"
#include "FormatoFecha.h"
#include "MsgBox.h"
#include "NumeroTexto.h"
#include "Recordset.h"
#include "ReglaAcceso.h"
#include "Reloj.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QProgressBar>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <vector>

namespace portiva {

namespace {

// The value a cell sorts by, beside the text it shows.
constexpr int RolOrden = Qt::UserRole + 1;

class FilaResultado final : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& otra) const override {
        const int col = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant a = data(col, RolOrden);
        const QVariant b = otra.data(col, RolOrden);
        if (a.isValid() || b.isValid()) {
            // Empty dates go first, as the smallest value.
            if (!a.isValid() || !b.isValid())
                return !a.isValid() && b.isValid();
            if (a.toDouble() != b.toDouble())
                return a.toDouble() < b.toDouble();
        }
        return text(col) < otra.text(col);
    }
};

QVariant ClaveFecha(const QVariant& v) {
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime t = v.toDateTime();
        return static_cast<double>(t.date().toJulianDay()) +
               t.time().msecsSinceStartOfDay() / 864e5;
    }
    const QDate d = v.toDate();
    return d.isValid() ? QVariant(static_cast<double>(d.toJulianDay())) : QVariant();
}

} // namespace

ListaResultados::ListaResultados(QTreeWidget& lista, QProgressBar& progreso, MsgBox& msgBox,
                                 const Reloj& reloj, const FormatoFecha& fechas)
    : lista_(lista), progreso_(progreso), msgBox_(msgBox), reloj_(reloj), fechas_(fechas) {
    // One shot at a time: a step that shows a box cannot be entered again from the box's loop.
    temporizador_.setSingleShot(true);
    temporizador_.setInterval(0);
    QObject::connect(&temporizador_, &QTimer::timeout, &lista_, [this] { siguientePaso(); });
}

void ListaResultados::lvwMostrarResutladoBusqueda(Recordset rs,
                                                  std::function<void(Recordset&)> alTerminar) {
    Cancelar();
    auto l = std::make_unique<Llenado>();
    l->rs = std::move(rs);
    l->alTerminar = std::move(alTerminar);
    l->total = l->rs.RecordCount();
    l->hoy = reloj_.hoy();
    const char* nombres[] = {
        "ID",         "fldCodigo",    "fldStuffSiNo", "fldFechaInicio",    "fldFechaCaducidad",
        "fldNombre",  "fldNomFiscal", "fldFotoPath",  "fldServContratado", "fldPrecio",
        "fldTemplate"};
    for (std::size_t i = 0; i < l->columnas.size(); ++i) {
        l->columnas[i] = l->rs.IndiceCampo(QString::fromLatin1(nombres[i]));
        if (l->columnas[i] < 0) {
            msgBox_(QStringLiteral("Error 3265 (No se encontró el elemento en la colección que "
                                   "corresponde con el nombre o el ordinal solicitado.) in "
                                   "procedure lvwMostrarResutladoBusqueda of Módulo DbClientes"),
                    EstiloMsg::Ok);
            if (l->alTerminar)
                l->alTerminar(l->rs);
            return;
        }
    }
    if (auto r = l->rs.MoveFirst(); !r.ok() && l->total > 0) {
        msgBox_(r.error().enProcedimiento(QStringLiteral("lvwMostrarResutladoBusqueda"),
                                          QStringLiteral("DbClientes")),
                EstiloMsg::Ok);
        if (l->alTerminar)
            l->alTerminar(l->rs);
        return;
    }
    // Sorting stays off while the rows go in; only a header click sorts.
    lista_.setSortingEnabled(false);
    llenado_ = std::move(l);
    siguientePaso();
}

void ListaResultados::Cancelar() {
    temporizador_.stop();
    llenado_.reset();
}

void ListaResultados::Vaciar() {
    Cancelar();
    lista_.clear();
}

void ListaResultados::siguientePaso() {
    if (!llenado_)
        return;
    Llenado* l = llenado_.get();
    if (paso(*l)) {
        // The step may have shown a box, in whose loop a new listing took this one's place.
        if (llenado_.get() == l)
            terminar();
        return;
    }
    if (llenado_.get() == l)
        temporizador_.start();
}

void ListaResultados::terminar() {
    std::unique_ptr<Llenado> l = std::move(llenado_);
    if (l->columnaOrden >= 0)
        lista_.sortItems(l->columnaOrden, descendente_ ? Qt::DescendingOrder : Qt::AscendingOrder);
    if (l->alTerminar)
        l->alTerminar(l->rs);
}

QTreeWidgetItem* ListaResultados::fila(const Llenado& l) const {
    const Recordset& rs = l.rs;
    const auto [cId, cCodigo, cStuff, cInicio, cCaduca, cNombre, cFiscal, cFoto, cServicio, cPrecio,
                cHuella] = l.columnas;
    auto* item = new FilaResultado();
    const qlonglong id = rs.valorEn(cId).toLongLong();
    item->setText(0, QString::number(id).rightJustified(5, u' '));
    item->setData(0, RolOrden, static_cast<double>(id));
    item->setText(1, rs.valorEn(cCodigo).toString());
    // Staff and the access column as the door decides them, on the same stored values.
    const QVariant personal = rs.valorEn(cStuff);
    item->setText(2, EsPersonal(personal) ? QStringLiteral("SI") : QStringLiteral("NO"));
    const QVariant inicio = rs.valorEn(cInicio);
    const QVariant caduca = rs.valorEn(cCaduca);
    item->setText(3, fechas_.Texto(inicio));
    item->setData(3, RolOrden, ClaveFecha(inicio));
    item->setText(4, fechas_.Texto(caduca));
    item->setData(4, RolOrden, ClaveFecha(caduca));
    const DecisionAcceso decision = DecidirAcceso(personal, inicio, caduca, l.hoy);
    QString abrir;
    if (decision.tipo == CodigoAcceso::Personal)
        abrir = QStringLiteral("Pers.");
    else if (decision.estado == QLatin1String("Fecha vacia"))
        abrir = QStringLiteral("Error");
    else
        abrir = decision.tipo == CodigoAcceso::ClientePermitido ? QStringLiteral("SI")
                                                                : QStringLiteral("NO");
    item->setText(5, abrir);
    item->setText(6, rs.valorEn(cNombre).toString());
    item->setText(7, rs.valorEn(cFiscal).toString());
    const QString foto = rs.valorEn(cFoto).toString();
    item->setText(8, foto.isEmpty()     ? QStringLiteral("No")
                     : FileExists(foto) ? QStringLiteral("Valida")
                                        : QStringLiteral("No Valida"));
    item->setText(9, rs.valorEn(cServicio).toString());
    const double precio = rs.valorEn(cPrecio).toDouble();
    item->setText(10, TextoPrecio(precio));
    item->setData(10, RolOrden, precio);
    item->setText(11, rs.esNuloEn(cHuella) || rs.largoEn(cHuella) == 0 ? QStringLiteral("NO")
                                                                       : QStringLiteral("SI"));
    for (int c = 1; c < 12; ++c)
        item->setTextAlignment(c, (c == 6 || c == 7 ? Qt::AlignLeft : Qt::AlignHCenter) |
                                      Qt::AlignVCenter);
    return item;
}

bool ListaResultados::paso(Llenado& l) {
    // The rows go in one batch per step of the bar, so a long result is laid out a few times,
    // not once per row.
    QList<QTreeWidgetItem*> lote;
    const long hasta = l.fila + FilasPorPaso;
    for (; !l.rs.Eof() && l.fila < hasta; ++l.fila) {
        const int porcentaje = l.total > 0 ? static_cast<int>(l.fila * 100 / l.total) : 100;
        lote.append(fila(l));
        if (porcentaje != l.ultimoPorcentaje) {
            lista_.addTopLevelItems(lote);
            lote.clear();
            progreso_.setValue(porcentaje);
            l.ultimoPorcentaje = porcentaje;
        }
        if (auto r = l.rs.MoveNext(); !r.ok()) {
            lista_.addTopLevelItems(lote);
            msgBox_(r.error().enProcedimiento(QStringLiteral("lvwMostrarResutladoBusqueda"),
                                              QStringLiteral("DbClientes")),
                    EstiloMsg::Ok);
            return true;
        }
    }
    lista_.addTopLevelItems(lote);
    return l.rs.Eof();
}

int ListaResultados::AnchoCabecera(const QTreeWidget& lista, int columna) {
    const QHeaderView* cabecera = lista.header();
    // The header's label is drawn inside its margins, and cut short when it does not fit.
    const int margen = lista.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, cabecera);
    const QString titulo = lista.headerItem() ? lista.headerItem()->text(columna) : QString();
    return std::max(cabecera->sectionSizeHint(columna),
                    cabecera->fontMetrics().horizontalAdvance(titulo) + 2 * margen + 4);
}

void ListaResultados::AjustarColumnasLvw(QTreeWidget& lista, int modo) {
    const int columnas = lista.columnCount();
    if (columnas < 1)
        return;
    QHeaderView* cabecera = lista.header();
    // Both fits keep every header whole: -1 fits the rows, never narrower than the header;
    // -2 fits the header and, as the list control does, never cuts the rows under it, and its
    // last column takes what is left of the list's width.
    // The rows are measured as the view does, on the first thousand (the widest text of a
    // long list is there in practice, and the fit stays quick on 32,767 rows).
    const QFontMetrics medida(lista.font());
    const int filasMedidas = std::min(lista.topLevelItemCount(), 1000);
    auto ancho = [&](int c) {
        int filas = 0;
        for (int i = 0; i < filasMedidas; ++i)
            filas = std::max(filas, medida.horizontalAdvance(lista.topLevelItem(i)->text(c)));
        filas += 2 * lista.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &lista) + 8;
        return std::max({AnchoCabecera(lista, c), filas, cabecera->minimumSectionSize()});
    };
    int total = 0;
    for (int c = 0; c < columnas; ++c) {
        lista.setColumnWidth(c, ancho(c));
        total += lista.columnWidth(c);
    }
    const int resto = lista.viewport()->width() - total;
    if (modo == -2 && resto > 0)
        lista.setColumnWidth(columnas - 1, lista.columnWidth(columnas - 1) + resto);
}

void ListaResultados::OrdenarPorColumna(int columna) {
    descendente_ = !descendente_;
    lista_.sortItems(columna, descendente_ ? Qt::DescendingOrder : Qt::AscendingOrder);
    if (llenado_)
        llenado_->columnaOrden = columna;
}

qint32 ListaResultados::IdDeFila(const QString& textoColumna0) {
    return static_cast<qint32>(std::llround(LeerNumero(textoColumna0)));
}

} // namespace portiva
