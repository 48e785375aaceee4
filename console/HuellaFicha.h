#pragma once

#include <QVariant>
#include <QtGlobal>

#include <functional>

namespace portiva {

class DbClientes;
class HuellaEstacion;
struct PanelInfo;

// The record form's two fingerprint buttons: "Añadir" enrols the last captured finger into
// the member being edited, "Verificar" checks a finger against the member's template. The
// fingerprint side does the work; this shows its outcome (the box "Huella" and the
// "Verificar" button) and hands it the member shown: the current row of rsClientes.
class HuellaFicha {
public:
    HuellaFicha(const PanelInfo& info, DbClientes& db, HuellaEstacion& huella,
                std::function<bool()> modoEdicion);

    void cmdAddTemplateDB_Click();
    void cmdVerificarHuellaDB_Click();

private:
    // The shown member's ID (0 for a row not stored yet or no row) and stored fldTemplate.
    qint32 IdActual() const;
    QVariant PlantillaGuardada() const;

    const PanelInfo& info_;
    DbClientes& db_;
    HuellaEstacion& huella_;
    std::function<bool()> modoEdicion_;
};

} // namespace portiva
