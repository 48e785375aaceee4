#pragma once

#include "SelectorArchivos.h"

namespace portiva {

// The file picker as a QFileDialog.
class SelectorArchivosQt final : public SelectorArchivos {
public:
    QString abrir(const QString& carpetaInicial, const QString& filtro, int indiceFiltro,
                  QWidget* padre) override;
    QString guardar(const QString& carpetaInicial, const QString& filtro, int indiceFiltro,
                    QWidget* padre) override;
};

} // namespace portiva
