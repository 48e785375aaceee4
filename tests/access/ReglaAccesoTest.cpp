// The access rule on the values a member row gives.
#include "ReglaAcceso.h"
#include "CodigoAcceso.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace portiva {
namespace {

const QDate kHoy(2026, 12, 8);

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
