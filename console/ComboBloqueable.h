#pragma once

#include <QComboBox>

namespace portiva {

// A combo box that can be locked like a read-only text box: while locked nothing can be
// typed or chosen. Opening the list is announced first (`desplegado`), so a handler may
// unlock the box in answer; a box still locked then stays closed.
class ComboBloqueable : public QComboBox {
    Q_OBJECT
public:
    explicit ComboBloqueable(QWidget* padre = nullptr);

    void setBloqueado(bool bloqueado);
    bool bloqueado() const { return bloqueado_; }

    void showPopup() override;

signals:
    void desplegado();

protected:
    void keyPressEvent(QKeyEvent* evento) override;
    void wheelEvent(QWheelEvent* evento) override;

private:
    bool bloqueado_ = false;
};

} // namespace portiva
