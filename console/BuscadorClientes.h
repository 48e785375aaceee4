#pragma once

#include "ListaResultados.h"

#include <QColor>
#include <QString>
#include <functional>

class QPushButton;

namespace portiva {

struct Entorno;
struct PanelBuscar;
class DbClientes;
class FormatoFecha;
class TextoGris;
class Recordset;
struct ErrorDB;

// What the search panel asks of the window around it.
struct EnlaceBuscador {
    // A member record is being edited: a row click then leaves the record form alone.
    std::function<bool()> modoEdicion = [] { return false; };
    // Shows the member with this ID in the record form (nothing when there is none).
    std::function<void(qint32 id)> irAMiembro = [](qint32) {};
    // Opens the calendar for the value box (it writes the date there and calls BuscarAhora).
    std::function<void()> abrirCalendario = [] {};
    // The window's own text colour, for a result line that is not an error.
    std::function<QColor()> colorTexto = [] { return QColor(Qt::black); };
    // Shows the printed report of the open result set, modally; the label is the report's
    // title line. Empty: the print preview of InformeBusqueda.
    std::function<void(Recordset& rs, const QString& titulo)> mostrarInforme = {};
};

// The member search behind the search panel: the kind and value boxes, the search and report
// buttons, the result line, the list and its fit button, and going to a listed member.
class BuscadorClientes {
public:
    // modoAjusteLvw: the list's column-fit mode (-1 contents, -2 headers), kept by the window.
    BuscadorClientes(PanelBuscar& panel, DbClientes& db, Entorno& entorno,
                     const FormatoFecha& fechas, int& modoAjusteLvw, EnlaceBuscador enlace);
    BuscadorClientes(const BuscadorClientes&) = delete;
    BuscadorClientes& operator=(const BuscadorClientes&) = delete;

    void SetCboTipoBusqueda();
    void SetCboDatoBusqueda(int tipo);
    // Runs the search the panel describes; with imprimir and rows found, shows the report too.
    void Buscar(bool imprimir);
    // The search button's search, for callers outside the panel (the calendar).
    void BuscarAhora() { Buscar(false); }
    // Clears the rows, the progress bar and the result line, and gives the value box back its
    // prompt (the clear button; also after the database was replaced under the list).
    void LimpiarResultados();

    const QString& TituloBusqueda() const { return tituloBusqueda_; }
    int ModoAjusteLvw() const { return modoAjusteLvw_; }
    QPushButton* botonAjuste() const;
    ListaResultados& lista() { return lista_; }
    void setMostrarInforme(std::function<void(Recordset&, const QString&)> mostrar) {
        enlace_.mostrarInforme = std::move(mostrar);
    }

    // The panel's handlers, connected by the constructor.
    void cboTipoDeBusqueda_DropDown();
    void cboTipoDeBusqueda_Click(int indice);
    void CboDatoBusqueda_Click();
    void CboDatoBusqueda_KeyPress(int tecla);
    void imgCalendBusqueda_Click();
    void cmdLvwAutoAjustar_Click();
    void lvwResutadoBusqueda_ItemClick(const QString& textoColumna0);
    void lvwResutadoBusqueda_ColumnClick(int columna);

private:
    void conectar();
    void mostrarBotones(bool visibles);
    void ajustarColumnas();
    void lineaResultado(const QString& texto, const QColor& color);
    void errorProcedimiento(const ErrorDB& error, const char* procedimiento);
    void llenarServicios();
    void informe(Recordset& rs);
    // The value box's prompt, in grey until the operator types.
    void ponerIndicacion(const QString& texto);

    PanelBuscar& panel_;
    DbClientes& db_;
    Entorno& entorno_;
    const FormatoFecha& fechas_;
    EnlaceBuscador enlace_;
    ListaResultados lista_;
    QString tituloBusqueda_;
    int& modoAjusteLvw_;
    TextoGris* indicacion_ = nullptr; // owned by the value box's edit field
};

} // namespace portiva
