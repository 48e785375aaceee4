#pragma once

#include <QDate>
#include <QImage>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

class QPagedPaintDevice;
class QWidget;

namespace portiva {

class FormatoFecha;
class Recordset;

// The printed search report "Listado de Consultas": a report header (picture, title line,
// long date) on the first page, the column captions at the top of every page, one detail line
// per member, "Página n" at the foot of every page and, after the last line, the total of
// pages and the date again.
class InformeBusqueda {
public:
    // One detail line: ID, code, name, service, price, start, expiry, as the report shows them.
    using Linea = std::array<QString, 7>;

    struct Datos {
        QString titulo; // the title line
        QDate fecha;    // the date the report shows, in long Spanish form
        QImage imagen;  // the header's picture; none when null
        std::vector<Linea> lineas;
    };

    // The report's lines from an open result set, from its first row (the set is left on its
    // last row).
    static std::vector<Linea> Lineas(Recordset& rs, const FormatoFecha& fechas);
    // The date as the report writes it, in Spanish whatever the machine's language:
    // "martes, 8 de diciembre de 2026".
    static QString FechaLarga(const QDate& fecha);

    // The report of an open result set, as the window prints it.
    static Datos DatosDe(Recordset& rs, const QString& titulo, const FormatoFecha& fechas,
                         const QDate& hoy);
    // A4 with the report's margins, for a printer or a PDF writer.
    static void PrepararPagina(QPagedPaintDevice& destino);
    // Paints the whole report on a printer or PDF writer; its columns take the page's width.
    // Returns the number of pages.
    static int Imprimir(QPagedPaintDevice& destino, const Datos& datos);
    // Shows the modal print preview of the result set (print, PDF, zoom); returns when the
    // operator closes it.
    static void Mostrar(QWidget* padre, Recordset& rs, const QString& titulo,
                        const FormatoFecha& fechas, const QDate& hoy);
};

} // namespace portiva
