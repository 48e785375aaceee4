#include "SelectorColor.h"

#include <QColorDialog>

namespace portiva {

std::optional<QColor> SelectorColorQt::elegir(const QColor& inicial, QWidget* padre) {
    const QColor elegido = QColorDialog::getColor(inicial, padre);
    if (!elegido.isValid())
        return std::nullopt;
    return elegido;
}

} // namespace portiva
