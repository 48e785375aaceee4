#pragma once

#include <QObject>

#include <functional>

class QLineEdit;
class QWidget;

namespace portiva {

class DbClientes;
class FormatoFecha;
struct Entorno;
struct PanelInfo;

// The three date boxes of the record form and the service box's choice: a date box whose text
// is not a date is put back to the stored date and keeps the focus; the expiry date follows
// from the start date and the chosen service; choosing a service fills its price. All of it
// acts only while a record is edited, so showing or tabbing through a member never changes
// what a later save would store.
class FechasCliente : public QObject {
public:
    using Globo = std::function<void(const QString& texto, const QString& titulo, QWidget* caja)>;

    FechasCliente(const PanelInfo& cajas, DbClientes& db, Entorno& entorno,
                  const FormatoFecha& fechas, std::function<bool()> modoEdicion, Globo globo);

    // The operator chose an entry of the service box's list.
    void cboServContratado_Click();
    // The expiry date from the start box and the chosen service.
    void CalcularCaducidad();
    // The date check of one box: true when the focus may leave it.
    bool ValidarFecha(QLineEdit* caja);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void retenerFoco(QLineEdit* caja);

    const PanelInfo& cajas_;
    DbClientes& db_;
    Entorno& entorno_;
    const FormatoFecha& fechas_;
    std::function<bool()> modoEdicion_;
    Globo globo_;
    QLineEdit* reteniendo_ = nullptr;
};

} // namespace portiva
