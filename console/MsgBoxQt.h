#pragma once

#include "MsgBox.h"

#include <QPointer>
#include <QWidget>

namespace portiva {

// The station's message boxes as modal QMessageBoxes: the style gives the buttons
// (0 OK, 3 Yes/No/Cancel, 4 Yes/No) and the icon (16 critical, 32 question, 48 exclamation,
// 64 information); a box without a title of its own shows the application's title. A box is
// never narrower than its title, which often says what the box is about ("La huella ya esta
// presente en la base de datos:"), so the window's title bar shows it whole.
class MsgBoxQt final : public MsgBox {
public:
    void setPadre(QWidget* padre) { padre_ = padre; }
    Respuesta operator()(const QString& texto, int estilo, const QString& titulo = {}) override;

    // The width a box needs for its title in the title bar (the title's text, the window
    // icon and the title bar's buttons).
    static int AnchoParaTitulo(const QString& titulo);

private:
    QPointer<QWidget> padre_;
};

} // namespace portiva
