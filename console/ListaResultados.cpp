#include "ListaResultados.h"

#include "Bombeo.h"
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
                                 Bombeo& bombeo, const Reloj& reloj, const FormatoFecha& fechas)
    : lista_(lista), progreso_(progreso), msgBox_(msgBox), bombeo_(bombeo), reloj_(reloj),
      fechas_(fechas) {}

void ListaResultados::lvwMostrarResutladoBusqueda(Recordset& rs) {
    // One pass of the event queue (no wait) before the list is filled.
    bombeo_.procesarEventos();
    const long total = rs.RecordCount();
    const int cId = rs.IndiceCampo(QStringLiteral("ID"));
    const int cCodigo = rs.IndiceCampo(QStringLiteral("fldCodigo"));
    const int cStuff = rs.IndiceCampo(QStringLiteral("fldStuffSiNo"));
    const int cInicio = rs.IndiceCampo(QStringLiteral("fldFechaInicio"));
    const int cCaduca = rs.IndiceCampo(QStringLiteral("fldFechaCaducidad"));
    const int cNombre = rs.IndiceCampo(QStringLiteral("fldNombre"));
    const int cFiscal = rs.IndiceCampo(QStringLiteral("fldNomFiscal"));
    const int cFoto = rs.IndiceCampo(QStringLiteral("fldFotoPath"));
    const int cServicio = rs.IndiceCampo(QStringLiteral("fldServContratado"));
    const int cPrecio = rs.IndiceCampo(QStringLiteral("fldPrecio"));
    const int cHuella = rs.IndiceCampo(QStringLiteral("fldTemplate"));
    for (int c : {cId, cCodigo, cStuff, cInicio, cCaduca, cNombre, cFiscal, cFoto, cServicio,
                  cPrecio, cHuella}) {
        if (c < 0) {
            msgBox_(QStringLiteral("Error 3265 (No se encontró el elemento en la colección que "
                                   "corresponde con el nombre o el ordinal solicitado.) in "
                                   "procedure lvwMostrarResutladoBusqueda of Módulo DbClientes"),
                    EstiloMsg::Ok);
            return;
        }
    }

    // Sorting stays off while the rows go in; the rows are added in one batch per step of the
    // progress bar, so a long result is laid out a few times, not once per row.
    const bool ordenando = lista_.isSortingEnabled();
    lista_.setSortingEnabled(false);
    const QDate hoy = reloj_.hoy();
    const auto fallo = [&](const ErrorDB& e) {
        msgBox_(e.enProcedimiento(QStringLiteral("lvwMostrarResutladoBusqueda"),
                                  QStringLiteral("DbClientes")),
                EstiloMsg::Ok);
    };
    if (auto r = rs.MoveFirst(); !r.ok() && total > 0) {
        fallo(r.error());
        return;
    }
    QList<QTreeWidgetItem*> lote;
    int ultimoPorcentaje = -1;
    for (long fila = 1; !rs.Eof(); ++fila) {
        const int porcentaje = total > 0 ? static_cast<int>(fila * 100 / total) : 100;
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
        const DecisionAcceso decision = DecidirAcceso(personal, inicio, caduca, hoy);
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
        lote.append(item);
        if (porcentaje != ultimoPorcentaje) {
            lista_.addTopLevelItems(lote);
            lote.clear();
            progreso_.setValue(porcentaje);
            ultimoPorcentaje = porcentaje;
        }
        if (auto r = rs.MoveNext(); !r.ok()) {
            lista_.addTopLevelItems(lote);
            fallo(r.error());
            return;
        }
    }
    lista_.addTopLevelItems(lote);
    if (ordenando)
        lista_.setSortingEnabled(false); // sorting again is only done by a header click
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
}

qint32 ListaResultados::IdDeFila(const QString& textoColumna0) {
    return static_cast<qint32>(std::llround(LeerNumero(textoColumna0)));
}

} // namespace portiva
