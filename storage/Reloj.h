#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace portiva {

// The station's clock: "today" for the access rule and SQL DATE(), the time of day for log
// lines. Injected so tests can stand on any day.
class Reloj {
public:
    virtual ~Reloj() = default;
    virtual QDateTime ahora() const = 0;
    QDate hoy() const { return ahora().date(); }
    QTime hora() const { return ahora().time(); }
};

class RelojSistema final : public Reloj {
public:
    QDateTime ahora() const override { return QDateTime::currentDateTime(); }
};

} // namespace portiva
