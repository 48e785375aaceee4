#pragma once

#include "ErrorDB.h"

#include <QHash>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace portiva {

class DbClientes;
class FormatoFecha;
class MsgBox;
struct PanelInfo;

// The text each record box was given when the current row was shown: a box still holding it
// was left as shown, and its field is neither checked again nor written.
using TextosMostrados = QHash<const QWidget*, QString>;

// The checks of the record boxes before a member is saved: staff flag, name, dates, price,
// contracted service (offering to add a new one, or to put the expiry date right from a known
// one) and a member code used by nobody else. It trims the name, code and service boxes in
// place. The service name is bound as a parameter, so any name an operator can type works.
class ValidacionCliente {
public:
    // A balloon with the warning icon on one box.
    using Globo = std::function<void(const QString& texto, const QString& titulo, QWidget* caja)>;

    ValidacionCliente(const PanelInfo& cajas, DbClientes& db, MsgBox& msgBox,
                      const FormatoFecha& fechas, const TextosMostrados& mostrados, Globo globo);

    // True when the save may go on; every problem found has been told to the operator.
    bool DatosOK();

private:
    // The checks that can fail at run time; a failure comes back for the error box.
    std::optional<ErrorDB> comprobar(bool& resultado);
    std::optional<ErrorDB> buscarServicio(const QString& nombre, long long dias, bool& resultado);
    std::optional<ErrorDB> agregarServicio(const QString& nombre, long long dias);
    void informar(const QString& texto);

    const PanelInfo& cajas_;
    DbClientes& db_;
    MsgBox& msgBox_;
    const FormatoFecha& fechas_;
    const TextosMostrados& mostrados_;
    Globo globo_;
};

} // namespace portiva
