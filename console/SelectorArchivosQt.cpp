#include "SelectorArchivosQt.h"

#include <QFileDialog>

namespace portiva {

namespace {

QString elegir(const QString& carpetaInicial, const QString& filtro, int indiceFiltro,
               QWidget* padre, bool abrir) {
    const QStringList filtros = FiltrosDialogo(filtro);
    QFileDialog dialogo(padre, QString(), carpetaInicial);
    dialogo.setAcceptMode(abrir ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialogo.setFileMode(abrir ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
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

} // namespace

QString SelectorArchivosQt::abrir(const QString& carpetaInicial, const QString& filtro,
                                  int indiceFiltro, QWidget* padre) {
    return elegir(carpetaInicial, filtro, indiceFiltro, padre, true);
}

QString SelectorArchivosQt::guardar(const QString& carpetaInicial, const QString& filtro,
                                    int indiceFiltro, QWidget* padre) {
    return elegir(carpetaInicial, filtro, indiceFiltro, padre, false);
}

} // namespace portiva
