#pragma once

#include "Recordset.h"

#include <QDate>
#include <QString>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

class QProgressBar;
class QTreeWidgetItem;
class QTreeWidget;

namespace portiva {

class FormatoFecha;
class MsgBox;
class Reloj;

// The search result list: one row of twelve text columns per member found, the progress bar
// moving per row. Dates and prices show their text but sort by their value; the ID column
// sorts by number.
//
// A long result goes in step by step: each step adds FilasPorPaso rows and moves the bar, and
// the next one runs from the event loop once the window has drawn them and handled what the
// operator did meanwhile (the door never waits on the list).
class ListaResultados {
public:
    // Rows added in one step; a result of no more rows is listed at once.
    static constexpr long FilasPorPaso = 500;

    ListaResultados(QTreeWidget& lista, QProgressBar& progreso, MsgBox& msgBox, const Reloj& reloj,
                    const FormatoFecha& fechas);
    ListaResultados(const ListaResultados&) = delete;
    ListaResultados& operator=(const ListaResultados&) = delete;

    // Adds one row per record of rs, from the first; it does not clear the list. The list keeps
    // rs until its last row is in, then calls `alTerminar` with it (the caller closes it). The
    // first step runs now, so a short result is listed when this returns. An error ends the
    // filling with its message; the rows added so far stay and `alTerminar` still runs. A
    // listing under way is dropped first (Cancelar).
    void lvwMostrarResutladoBusqueda(Recordset rs, std::function<void(Recordset&)> alTerminar);
    // True while rows of a long result are still going in.
    bool Llenando() const { return llenado_ != nullptr; }
    // Drops a listing under way: its remaining rows are not added, its `alTerminar` does not
    // run; the rows already in stay.
    void Cancelar();
    // Cancelar, and the list emptied.
    void Vaciar();

    // Column widths: every column fits its rows and its whole header (-1); with -2 the last
    // column also takes what is left of the list's width. Nothing without columns.
    static void AjustarColumnasLvw(QTreeWidget& lista, int modo);
    // The width that shows a column's header whole.
    static int AnchoCabecera(const QTreeWidget& lista, int columna);

    // A header click: one sort order for the whole list, flipped on every click, starting
    // ascending (so the first click sorts descending).
    void OrdenarPorColumna(int columna);

    // The member ID a row's first column shows, 0 when it shows none.
    static qint32 IdDeFila(const QString& textoColumna0);

private:
    // A result being listed.
    struct Llenado {
        Recordset rs;
        std::function<void(Recordset&)> alTerminar;
        // ID, code, staff, start, expiry, name, fiscal name, photo, service, price, template.
        std::array<int, 11> columnas{};
        long total = 0;
        long fila = 1;
        int ultimoPorcentaje = -1;
        QDate hoy;
        // A header click during the filling: the column, sorted again once every row is in.
        int columnaOrden = -1;
    };

    // Adds the next rows; true when the result is all in (or an error ended it).
    bool paso(Llenado& l);
    void siguientePaso();
    void terminar();
    QTreeWidgetItem* fila(const Llenado& l) const;

    QTreeWidget& lista_;
    QProgressBar& progreso_;
    MsgBox& msgBox_;
    const Reloj& reloj_;
    const FormatoFecha& fechas_;
    bool descendente_ = false;
    std::unique_ptr<Llenado> llenado_;
    QTimer temporizador_;
};

} // namespace portiva
