#pragma once

#include <QObject>

#include <functional>

class QLineEdit;

namespace portiva {

class DbClientes;
struct PanelInfo;

// The lookup boxes of the record form: an ID or a member code typed and confirmed (Enter or
// the magnifier) shows that member; a record number typed into the counter jumps to it. A
// typed value that names no member, does not fit, or is out of range moves nothing and puts
// the box back. Off while a record is edited, except Esc in the counter.
class BusquedaFicha : public QObject {
public:
    BusquedaFicha(const PanelInfo& cajas, DbClientes& db, std::function<bool()> modoEdicion,
                  std::function<void(qint16)> gotoRecordNum, std::function<void()> actNavegador);

    void BuscarID();
    void BuscarCodigo();
    void SaltarANumero();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    // The box takes the current member's value again (nothing when the table is empty).
    void restaurar(QLineEdit* caja);
    void irA(long long posicion);

    const PanelInfo& cajas_;
    DbClientes& db_;
    std::function<bool()> modoEdicion_;
    std::function<void(qint16)> gotoRecordNum_;
    std::function<void()> actNavegador_;
};

} // namespace portiva
