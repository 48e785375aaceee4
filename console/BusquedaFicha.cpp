#include "BusquedaFicha.h"

#include "BotonImagen.h"
#include "DbClientes.h"
#include "NumeroTexto.h"
#include "PanelInfo.h"
#include "RecordsetVacio.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <cmath>
#include <limits>

namespace portiva {

namespace {

// The typed number rounded half to even; nothing when it does not fit 32 bits.
std::optional<qint32> Entero32(const QString& texto) {
    const double v = std::nearbyint(LeerNumero(texto));
    if (!std::isfinite(v) || v < std::numeric_limits<qint32>::min() ||
        v > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(v);
}

} // namespace

BusquedaFicha::BusquedaFicha(const PanelInfo& cajas, DbClientes& db,
                             std::function<bool()> modoEdicion,
                             std::function<void(qint16)> gotoRecordNum,
                             std::function<void()> actNavegador)
    : cajas_(cajas), db_(db), modoEdicion_(std::move(modoEdicion)),
      gotoRecordNum_(std::move(gotoRecordNum)), actNavegador_(std::move(actNavegador)) {
    for (QLineEdit* caja : {cajas_.txtID, cajas_.txtCodigo, cajas_.txtNavReg})
        caja->installEventFilter(this);
    connect(cajas_.imgFindID, &BotonImagen::click, this, [this] {
        if (!modoEdicion_())
            BuscarID();
    });
    connect(cajas_.imgFindCodigo, &BotonImagen::click, this, [this] {
        if (!modoEdicion_())
            BuscarCodigo();
    });
}

void BusquedaFicha::restaurar(QLineEdit* caja) {
    Recordset& rs = db_.rsClientes();
    if (RecordsetVacio(rs))
        return;
    const QVariant v =
        rs.Valor(caja == cajas_.txtID ? QStringLiteral("ID") : QStringLiteral("fldCodigo"))
            .valor_o({});
    caja->setText(v.isNull() ? QString() : v.toString());
}

void BusquedaFicha::irA(long long posicion) {
    // Only a position of the list reaches the form: anything else shows the counter again.
    if (posicion < 1 || posicion > db_.rsClientes().RecordCount() ||
        posicion > DbClientes::MaximoClientes) {
        actNavegador_();
        return;
    }
    gotoRecordNum_(static_cast<qint16>(posicion));
}

void BusquedaFicha::BuscarID() {
    const std::optional<qint32> id = Entero32(cajas_.txtID->text());
    qint32 posicion = 0;
    if (id) {
        const ResultadoDe<qint32> p = db_.PosicionID(*id);
        posicion = p.valor_o(0);
    }
    if (posicion < 1)
        restaurar(cajas_.txtID);
    else
        irA(posicion);
}

void BusquedaFicha::BuscarCodigo() {
    const ResultadoDe<qint32> p = db_.BuscarCodigo(cajas_.txtCodigo->text().trimmed());
    const qint32 posicion = p.valor_o(0);
    if (posicion < 1)
        restaurar(cajas_.txtCodigo);
    else
        irA(posicion);
}

void BusquedaFicha::SaltarANumero() {
    const double v = std::nearbyint(LeerNumero(cajas_.txtNavReg->text()));
    if (!std::isfinite(v) || std::fabs(v) > 1e9) {
        actNavegador_();
        return;
    }
    irA(static_cast<long long>(v));
}

bool BusquedaFicha::eventFilter(QObject* objeto, QEvent* evento) {
    auto* caja = qobject_cast<QLineEdit*>(objeto);
    if (!caja)
        return false;
    const bool editando = modoEdicion_();
    switch (evento->type()) {
    case QEvent::KeyPress: {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        const bool intro = tecla == Qt::Key_Return || tecla == Qt::Key_Enter;
        const bool esc = tecla == Qt::Key_Escape;
        if (caja == cajas_.txtNavReg) {
            if (esc)
                actNavegador_();
            else if (intro && !editando)
                SaltarANumero();
        } else if (!editando && (intro || esc)) {
            if (esc) {
                restaurar(caja);
                caja->setFocus(Qt::OtherFocusReason);
            } else if (caja == cajas_.txtID) {
                BuscarID();
            } else {
                BuscarCodigo();
            }
        }
        break;
    }
    case QEvent::FocusIn:
        if (caja == cajas_.txtNavReg)
            caja->clear();
        break;
    case QEvent::FocusOut:
        if (editando)
            break;
        if (caja == cajas_.txtNavReg)
            SaltarANumero();
        else
            restaurar(caja);
        break;
    default:
        break;
    }
    return false;
}

} // namespace portiva
