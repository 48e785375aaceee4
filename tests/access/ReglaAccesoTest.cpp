// The access rule on the values a member row gives.
#include "ReglaAcceso.h"
#include "CodigoAcceso.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace portiva {
namespace {

const QDate kHoy(2026, 12, 8);

TEST(ReglaAccesoTest, LaTablaDeDecisionEnOrden) {
    struct Caso {
        QVariant personal, inicio, caducidad;
        int tipo;
        const char* estado;
    };
    const Caso casos[] = {
        {true, QVariant(), QVariant(), 1, "Personal"},
        {true, kHoy.addDays(5), kHoy.addDays(-5), 1, "Personal"},
        {QVariant(), kHoy, kHoy.addDays(1), 2, "Permitido"}, // Null staff flag: a member
        {false, QVariant(), kHoy.addDays(10), 3, "Fecha vacia"},
        {false, kHoy, QVariant(), 3, "Fecha vacia"},
        {false, kHoy.addDays(1), kHoy.addDays(10), 3, "Inicio posterior"},
        {false, kHoy.addDays(1), kHoy.addDays(-10), 3, "Inicio posterior"},
        {false, kHoy.addDays(-10), kHoy.addDays(1), 2, "Permitido"},
        {false, kHoy.addDays(-10), kHoy, 3, "No perm."},
        {false, kHoy.addDays(-10), kHoy.addDays(-1), 3, "No perm."},
    };
    for (const Caso& c : casos) {
        const DecisionAcceso d = DecidirAcceso(c.personal, c.inicio, c.caducidad, kHoy);
        EXPECT_EQ(d.tipo, c.tipo) << c.estado;
        EXPECT_EQ(d.estado, QString::fromUtf8(c.estado));
    }
}

TEST(ReglaAccesoTest, SoloCuentanLosDiasNoLaHora) {
    // Expiry today late in the evening is still the expiry day.
    EXPECT_EQ(DecidirAcceso(false, QDateTime(kHoy.addDays(-3), QTime(8, 0)),
                            QDateTime(kHoy, QTime(23, 59, 59)), kHoy)
                  .estado,
              QStringLiteral("No perm."));
    // Start today late in the evening has started.
    EXPECT_EQ(DecidirAcceso(false, QDateTime(kHoy, QTime(23, 0)),
                            QDateTime(kHoy.addDays(1), QTime(0, 0, 1)), kHoy)
                  .estado,
              QStringLiteral("Permitido"));
}

TEST(ReglaAccesoTest, ValoresIlegiblesNoDejanPasar) {
    // A date the recordset could not read comes as text: refused like an empty one.
    EXPECT_EQ(DecidirAcceso(false, QStringLiteral("2026-02-30"), kHoy.addDays(9), kHoy).estado,
              QStringLiteral("Fecha vacia"));
    EXPECT_EQ(DecidirAcceso(false, kHoy, QStringLiteral("mañana"), kHoy).tipo,
              CodigoAcceso::ClienteDenegado);
    // A staff flag that is no yes/no or number is not staff.
    EXPECT_EQ(DecidirAcceso(QStringLiteral("SI"), QVariant(), QVariant(), kHoy).tipo,
              CodigoAcceso::ClienteDenegado);
    EXPECT_EQ(DecidirAcceso(qlonglong(1), QVariant(), QVariant(), kHoy).tipo,
              CodigoAcceso::Personal);
    EXPECT_EQ(DecidirAcceso(qlonglong(0), kHoy, kHoy.addDays(1), kHoy).tipo,
              CodigoAcceso::ClientePermitido);
}

} // namespace
} // namespace portiva
