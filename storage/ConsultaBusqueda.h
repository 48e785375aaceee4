#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <optional>

namespace portiva {

// The member search's kinds, in the order of the kind box (the list index is the kind).
namespace TipoBusqueda {
constexpr int Primero = 0;
constexpr int Ultimo = 14;
constexpr int CaducaronHoy = 14;
} // namespace TipoBusqueda

// How the value box of a kind starts: a prompt text, or items and a text, or the service list
// (filled from the database), or today's date; and whether the calendar button is shown.
struct PreparacionBusqueda {
    enum class Caja { Texto, Opciones, Servicios, Hoy };
    Caja caja = Caja::Texto;
    QString texto;
    QStringList opciones;
    bool calendario = false;
};

// The fifteen captions of the kind box, in kind order.
QStringList TiposBusqueda();
// The value box of a kind; nothing for a kind outside 0 to 14.
std::optional<PreparacionBusqueda> PrepararBusqueda(int tipo);

// The short dates the station shows and reads, handed in by the window.
struct FechasCortas {
    std::function<std::optional<QDate>(const QString&)> leer;
    std::function<QString(const QDate&)> escribir;
};

// One search: the SQL (Jet dialect, "?" placeholders), the text the operator typed bound as
// parameters, the title, and the text the value box is to show afterwards when it changes.
struct ConsultaBuscada {
    QString sql; // empty: the input makes no query
    QVariantList parametros;
    std::optional<QString> titulo; // nothing: the previous title stays
    std::optional<QString> textoCaja;
    bool valida() const { return !sql.isEmpty(); }
};

// Turns kind, chosen item (-1 when typed or none), value text and today's date into the
// search. A kind outside 0 to 14 gives no query and an empty title, as does a list kind with
// no item chosen; a value that is no date, or a day count that leaves years 100 to 9999,
// gives no query and leaves the previous title.
ConsultaBuscada ConstruirBusqueda(int tipo, int opcion, const QString& dato, const QDate& hoy,
                                  const FechasCortas& fechas);

// A typed pattern for "LIKE ? ESCAPE '\'": the operator's wildcards "*" (any run) and "?" (one
// character) become the engine's; everything else, "%", "_" and "\" included, stands for itself.
QString PatronOperador(const QString& texto);

// The number a text begins with (blanks skipped), 0 when it begins with none.
double NumeroInicial(const QString& texto);

} // namespace portiva
