#include "ReglaCaducidad.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace portiva;

namespace {

QVariant dia(int a, int m, int d) {
    return QVariant(QDate(a, m, d));
}

QVariant sumar(const QVariant& inicio, const char* intervalo, double numero) {
    return SumarIntervalo(inicio, QString::fromLatin1(intervalo), numero).value_or(QVariant());
}

} // namespace

TEST(ReglaCaducidad, CalendarStepsTakeTheLastDayOfAShorterMonth) {
    EXPECT_EQ(sumar(dia(2009, 1, 31), "m", 1), dia(2009, 2, 28));
    EXPECT_EQ(sumar(dia(2008, 1, 31), "m", 1), dia(2008, 2, 29));
    EXPECT_EQ(sumar(dia(2008, 2, 29), "yyyy", 1), dia(2009, 2, 28));
    EXPECT_EQ(sumar(dia(2009, 11, 30), "q", 1), dia(2010, 2, 28));
    EXPECT_EQ(sumar(dia(2009, 3, 31), "m", -1), dia(2009, 2, 28));
    EXPECT_EQ(sumar(dia(2009, 5, 15), "yyyy", 2), dia(2011, 5, 15));
}

TEST(ReglaCaducidad, DaysAndWeeksAreFixedLengths) {
    EXPECT_EQ(sumar(dia(2009, 1, 1), "d", 30), dia(2009, 1, 31));
    EXPECT_EQ(sumar(dia(2009, 1, 1), "y", 30), dia(2009, 1, 31));
    EXPECT_EQ(sumar(dia(2009, 1, 1), "w", 30), dia(2009, 1, 31));
    EXPECT_EQ(sumar(dia(2009, 1, 1), "ww", 2), dia(2009, 1, 15));
    EXPECT_EQ(sumar(dia(2009, 1, 10), "d", -10), dia(2008, 12, 31));
    // A time of day is kept and shown.
    EXPECT_EQ(sumar(dia(2009, 1, 1), "h", 30), QVariant(QDateTime(QDate(2009, 1, 2), QTime(6, 0))));
    EXPECT_EQ(sumar(dia(2009, 1, 1), "n", 1440), dia(2009, 1, 2));
    EXPECT_EQ(sumar(QVariant(QDateTime(QDate(2009, 1, 1), QTime(23, 59, 59))), "s", 1),
              dia(2009, 1, 2));
}

TEST(ReglaCaducidad, NothingForWhatCannotBeComputed) {
    EXPECT_FALSE(SumarIntervalo(dia(2009, 1, 1), QStringLiteral("mes"), 1));
    EXPECT_FALSE(SumarIntervalo(QVariant(), QStringLiteral("d"), 1));
    EXPECT_FALSE(SumarIntervalo(QVariant(QStringLiteral("01/01/2009")), QStringLiteral("d"), 1));
    EXPECT_FALSE(SumarIntervalo(dia(9999, 12, 1), QStringLiteral("m"), 1));
    EXPECT_FALSE(SumarIntervalo(dia(2009, 1, 1), QStringLiteral("d"), 1e12));
    EXPECT_FALSE(SumarIntervalo(dia(2009, 1, 1), QStringLiteral("d"), std::nan("")));
}
