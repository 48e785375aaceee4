#pragma once

#include "Reloj.h"

namespace portiva::prueba {

// A clock that stands where the test puts it.
class RelojFijo final : public Reloj {
public:
    explicit RelojFijo(QDateTime momento = QDateTime(QDate(2026, 12, 8), QTime(10, 30, 0)))
        : momento_(momento) {}
    QDateTime ahora() const override { return momento_; }
    void poner(QDateTime momento) { momento_ = momento; }
    void ponerDia(QDate dia) { momento_.setDate(dia); }

private:
    QDateTime momento_;
};

} // namespace portiva::prueba
