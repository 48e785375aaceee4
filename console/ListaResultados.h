#pragma once

#include <QString>

class QProgressBar;
class QTreeWidget;

namespace portiva {

class Bombeo;
class FormatoFecha;
class MsgBox;
class Recordset;
class Reloj;

// The search result list: one row of twelve text columns per member found, the progress bar
// moving per row. Dates and prices show their text but sort by their value; the ID column
// sorts by number.
class ListaResultados {
public:
    ListaResultados(QTreeWidget& lista, QProgressBar& progreso, MsgBox& msgBox, Bombeo& bombeo,
                    const Reloj& reloj, const FormatoFecha& fechas);

    // Adds one row per record of rs, from the first; neither clears the list nor closes rs. An
    // error ends the filling with its message; the rows added so far stay.
    void lvwMostrarResutladoBusqueda(Recordset& rs);

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
    QTreeWidget& lista_;
    QProgressBar& progreso_;
    MsgBox& msgBox_;
    Bombeo& bombeo_;
    const Reloj& reloj_;
    const FormatoFecha& fechas_;
    bool descendente_ = false;
};

} // namespace portiva
