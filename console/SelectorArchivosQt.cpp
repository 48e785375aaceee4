#include "SelectorArchivosQt.h"

#include <QFileDialog>

namespace portiva {

QString SelectorArchivosQt::abrir(const QString& carpetaInicial, const QString& filtro,
                                  int indiceFiltro, QWidget* padre) {
    const QStringList filtros = FiltrosDialogo(filtro);
    QFileDialog dialogo(padre, QString(), carpetaInicial);
    dialogo.setAcceptMode(QFileDialog::AcceptOpen);
    dialogo.setFileMode(QFileDialog::ExistingFile);
    if (!filtros.isEmpty()) {
        dialogo.setNameFilters(filtros);
        if (indiceFiltro >= 1 && indiceFiltro <= filtros.size())
            dialogo.selectNameFilter(filtros[indiceFiltro - 1]);
    }
    if (dialogo.exec() != QDialog::Accepted)
        return {};
    const QStringList elegidos = dialogo.selectedFiles();
    return elegidos.isEmpty() ? QString() : elegidos.first();
}

} // namespace portiva
