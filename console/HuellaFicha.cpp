#include "HuellaFicha.h"

#include "DbClientes.h"
#include "HuellaEstacion.h"
#include "PanelInfo.h"
#include "Recordset.h"

#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace portiva {

namespace {

// The current row's value of `campo`; invalid when there is no current row.
QVariant ValorActual(Recordset& rs, const QString& campo) {
    if (rs.State() == 0 || rs.Bof() || rs.Eof())
        return {};
    const int indice = rs.IndiceCampo(campo);
    return indice < 0 ? QVariant() : rs.valorEn(indice);
}

} // namespace

HuellaFicha::HuellaFicha(const PanelInfo& info, DbClientes& db, HuellaEstacion& huella,
                         std::function<bool()> modoEdicion)
    : info_(info), db_(db), huella_(huella), modoEdicion_(std::move(modoEdicion)) {}

qint32 HuellaFicha::IdActual() const {
    bool ok = false;
    const qint64 id = ValorActual(db_.rsClientes(), QStringLiteral("ID")).toLongLong(&ok);
    if (!ok || id < 0 || id > std::numeric_limits<qint32>::max())
        return 0;
    return static_cast<qint32>(id);
}

QVariant HuellaFicha::PlantillaGuardada() const {
    return ValorActual(db_.rsClientes(), QStringLiteral("fldTemplate"));
}

void HuellaFicha::cmdAddTemplateDB_Click() {
    // The button is enabled only while editing; a stray click outside it changes nothing.
    if (!modoEdicion_())
        return;
    // The door checks for duplicates with its own reader and gallery; its answer comes back
    // here, to the window's thread.
    huella_.cmdAddTemplateDB_Click(IdActual(), [this](bool enrolada) {
        if (!enrolada || !modoEdicion_())
            return;
        info_.txtTemplateSiNo->setText(QStringLiteral("SI"));
        info_.cmdVerificarHuellaDB->setEnabled(true);
    });
}

void HuellaFicha::cmdVerificarHuellaDB_Click() {
    huella_.cmdVerificarHuellaDB_Click(modoEdicion_(), IdActual(), PlantillaGuardada());
}

} // namespace portiva
