#include "FormatoFecha.h"

#include <QDate>
#include <QDateTime>
#include <gtest/gtest.h>

using namespace portiva;

namespace {

const QLocale Espanol(QLocale::Spanish, QLocale::Spain);

QVariant leer(const FormatoFecha& f, const char* texto) {
    const std::optional<QVariant> v = f.Leer(QString::fromUtf8(texto));
    EXPECT_TRUE(v.has_value()) << texto;
    return v.value_or(QVariant());
}

} // namespace

TEST(FormatoFecha, TakesTheOrderAndSeparatorOfTheLocaleWithFullFields) {
    EXPECT_EQ(FormatoFecha(Espanol).patron(), QStringLiteral("dd/MM/yyyy"));
    EXPECT_EQ(FormatoFecha(QLocale(QLocale::English, QLocale::UnitedStates)).patron(),
              QStringLiteral("MM/dd/yyyy"));
    EXPECT_EQ(FormatoFecha(QLocale(QLocale::German, QLocale::Germany)).patron(),
              QStringLiteral("dd.MM.yyyy"));
    // A machine without a locale of its own is a Spanish station.
    EXPECT_EQ(FormatoFecha::LocaleEstacion(QLocale::c()).language(), QLocale::Spanish);
    EXPECT_EQ(FormatoFecha(FormatoFecha::LocaleEstacion(QLocale::c())).patron(),
              QStringLiteral("dd/MM/yyyy"));
    EXPECT_EQ(FormatoFecha::LocaleEstacion(QLocale(QLocale::French)).language(), QLocale::French);
}

TEST(FormatoFecha, ShowsStoredValues) {
    const FormatoFecha f(Espanol);
    EXPECT_EQ(f.Texto(QDate(2026, 12, 8)), QStringLiteral("08/12/2026"));
    EXPECT_EQ(f.Texto(QDateTime(QDate(2026, 1, 2), QTime(9, 5, 7))),
              QStringLiteral("02/01/2026 09:05:07"));
    EXPECT_EQ(f.Texto(QVariant()), QString());
    EXPECT_EQ(f.Texto(QVariant(QStringLiteral("no es fecha"))), QString());
    const FormatoFecha us(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.Texto(QDate(2026, 12, 8)), QStringLiteral("12/08/2026"));
}

TEST(FormatoFecha, ReadsWhatAnOperatorTypes) {
    const FormatoFecha f(Espanol);
    EXPECT_EQ(leer(f, "08/12/2026"), QVariant(QDate(2026, 12, 8)));
    EXPECT_EQ(leer(f, "8/12/2026"), QVariant(QDate(2026, 12, 8)));
    EXPECT_EQ(leer(f, "  8-12-2026 "), QVariant(QDate(2026, 12, 8)));
    EXPECT_EQ(leer(f, "8.12.26"), QVariant(QDate(2026, 12, 8)));
    EXPECT_EQ(leer(f, "1/1/45"), QVariant(QDate(1945, 1, 1)));
    EXPECT_EQ(leer(f, "29/02/2028"), QVariant(QDate(2028, 2, 29)));
    // A time of day makes a date and time; midnight is a plain date.
    EXPECT_EQ(leer(f, "8/12/2026 10:30"), QVariant(QDateTime(QDate(2026, 12, 8), QTime(10, 30))));
    EXPECT_EQ(leer(f, "8/12/2026 7:05:09"),
              QVariant(QDateTime(QDate(2026, 12, 8), QTime(7, 5, 9))));
    EXPECT_EQ(leer(f, "8/12/2026 00:00:00"), QVariant(QDate(2026, 12, 8)));
    // An empty box is no date at all.
    const std::optional<QVariant> vacia = f.Leer(u"   ");
    ASSERT_TRUE(vacia.has_value());
    EXPECT_TRUE(vacia->isNull());
}

TEST(FormatoFecha, RefusesImpossibleOrMalformedDates) {
    const FormatoFecha f(Espanol);
    for (const char* texto : {"31/02/2026", "29/02/2027", "0/1/2026", "12/13/2026", "32/1/2026",
                              "8/12/202", "8/12", "abc", "8/12/2026 25:00", "8/12/2026 10:61",
                              "8/12/2026 diez", "2026-12-08", "8//2026", "8/12/2026/1"})
        EXPECT_FALSE(f.Leer(QString::fromLatin1(texto)).has_value()) << texto;
}

TEST(FormatoFecha, ShownTextReadsBackAsTheSameValue) {
    for (const QLocale& locale :
         {Espanol, QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German)}) {
        const FormatoFecha f(locale);
        for (const QVariant& v : {QVariant(QDate(2026, 12, 8)), QVariant(QDate(1999, 1, 31)),
                                  QVariant(QDateTime(QDate(2030, 6, 15), QTime(23, 59, 58)))}) {
            const std::optional<QVariant> vuelta = f.Leer(f.Texto(v));
            ASSERT_TRUE(vuelta.has_value()) << qPrintable(f.Texto(v));
            EXPECT_EQ(*vuelta, v) << qPrintable(f.Texto(v));
        }
    }
}
