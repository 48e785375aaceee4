#include "ProgresoCopias.h"

#include "Bombeo.h"

#include <QProgressDialog>

namespace portiva {

ProgresoCopias::ProgresoCopias(QWidget* padre, Bombeo& bombeo) : padre_(padre), bombeo_(bombeo) {}

ProgresoCopias::~ProgresoCopias() {
    fin();
}

void ProgresoCopias::avance() {
    if (!reloj_.isValid())
        reloj_.start();
    if (dialogo_.isNull() && reloj_.elapsed() > RetrasoMs) {
        // A busy bar without a cancel button: the copy is one engine step.
        dialogo_ = new QProgressDialog(QStringLiteral("Copiando la base de datos, espere por "
                                                      "favor..."),
                                       QString(), 0, 0, padre_);
        dialogo_->setWindowTitle(QStringLiteral("Base de Datos"));
        dialogo_->setWindowModality(Qt::ApplicationModal);
        dialogo_->setMinimumDuration(0);
        dialogo_->show();
    }
    // One pass of the event queue (no wait) so the progress shows while the copy runs; the
    // door depends on none of these passes.
    bombeo_.procesarEventos();
}

void ProgresoCopias::fin() {
    reloj_.invalidate();
    delete dialogo_.data();
}

} // namespace portiva
