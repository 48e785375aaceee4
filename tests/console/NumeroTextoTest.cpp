#include "NumeroTexto.h"
#include "SelectorArchivos.h"

#include <gtest/gtest.h>

using namespace portiva;

TEST(TextoNumero, PutsASignPlaceAndAPoint) {
    EXPECT_EQ(TextoNumero(30), QStringLiteral(" 30"));
    EXPECT_EQ(TextoNumero(25.5), QStringLiteral(" 25.5"));
    EXPECT_EQ(TextoNumero(0), QStringLiteral(" 0"));
    EXPECT_EQ(TextoNumero(-0.0), QStringLiteral(" 0"));
    EXPECT_EQ(TextoNumero(-3), QStringLiteral("-3"));
    EXPECT_EQ(TextoNumero(-12.75), QStringLiteral("-12.75"));
    EXPECT_EQ(TextoNumero(12), QStringLiteral(" 12"));
}

TEST(TextoNumero, KeepsPriceDecimalsWithoutBinaryNoise) {
    EXPECT_EQ(TextoNumero(0.1 + 0.2), QStringLiteral(" 0.3"));
    EXPECT_EQ(TextoNumero(19.99), QStringLiteral(" 19.99"));
    EXPECT_EQ(TextoNumero(1234567), QStringLiteral(" 1234567"));
}

TEST(LeerNumero, ReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(LeerNumero(u" 30"), 30);
    EXPECT_DOUBLE_EQ(LeerNumero(u"25.5"), 25.5);
    EXPECT_DOUBLE_EQ(LeerNumero(u"25,5"), 25); // a decimal comma stops the reading
    EXPECT_DOUBLE_EQ(LeerNumero(u"12 euros"), 12);
    EXPECT_DOUBLE_EQ(LeerNumero(u"-7.25abc"), -7.25);
    EXPECT_DOUBLE_EQ(LeerNumero(u"+4"), 4);
    EXPECT_DOUBLE_EQ(LeerNumero(u".5"), 0.5);
    EXPECT_DOUBLE_EQ(LeerNumero(u"1.2.3"), 1.2);
}

TEST(LeerNumero, TextWithoutANumberReadsZero) {
    EXPECT_DOUBLE_EQ(LeerNumero(u""), 0);
    EXPECT_DOUBLE_EQ(LeerNumero(u"   "), 0);
    EXPECT_DOUBLE_EQ(LeerNumero(u"abc"), 0);
    EXPECT_DOUBLE_EQ(LeerNumero(u"-"), 0);
    EXPECT_DOUBLE_EQ(LeerNumero(u"."), 0);
    EXPECT_DOUBLE_EQ(LeerNumero(u"euros 12"), 0);
}

TEST(LeerNumero, SkipsBlanksAnywhere) {
    EXPECT_DOUBLE_EQ(LeerNumero(u"  1 250"), 1250);
    EXPECT_DOUBLE_EQ(LeerNumero(u"\t- 5"), -5);
    EXPECT_DOUBLE_EQ(LeerNumero(u"3 . 5"), 3.5);
}

TEST(LeerNumero, TakesAnExponentOnlyWithDigits) {
    EXPECT_DOUBLE_EQ(LeerNumero(u"1e3"), 1000);
    EXPECT_DOUBLE_EQ(LeerNumero(u"2.5E-1"), 0.25);
    EXPECT_DOUBLE_EQ(LeerNumero(u"12e"), 12);
    EXPECT_DOUBLE_EQ(LeerNumero(u"12 euros"), 12); // "e" of euros is no exponent
    EXPECT_DOUBLE_EQ(LeerNumero(u"12e+x"), 12);
}

TEST(LeerNumero, ANumberTooLargeToHoldReadsZero) {
    EXPECT_DOUBLE_EQ(LeerNumero(u"1e999"), 0);
    EXPECT_DOUBLE_EQ(LeerNumero(u"-1e999"), 0);
}

TEST(TextoYLectura, RoundTripOfThePriceBox) {
    for (double precio : {0.0, 30.0, 25.5, 1999.95, -4.0})
        EXPECT_DOUBLE_EQ(LeerNumero(TextoNumero(precio)), precio);
}

TEST(TextoPrecio, ShowsCentsWithACommaAndReadsBack) {
    EXPECT_EQ(TextoPrecio(45.5), QStringLiteral(" 45,50"));
    EXPECT_EQ(TextoPrecio(30), QStringLiteral(" 30"));
    EXPECT_EQ(TextoPrecio(0), QStringLiteral(" 0"));
    EXPECT_EQ(TextoPrecio(-3.25), QStringLiteral("-3,25"));
    EXPECT_EQ(TextoPrecio(1000.5), QStringLiteral(" 1000,50"));
    EXPECT_EQ(TextoPrecio(0.125), QStringLiteral(" 0,125"));
    EXPECT_EQ(TextoPrecio(0.1 + 0.2), QStringLiteral(" 0,30"));
    for (double precio : {0.0, 30.0, 25.5, 1999.95, -4.0, 1000.0, 0.125, 12345.67})
        EXPECT_EQ(LeerPrecio(TextoPrecio(precio)), precio) << precio;
}

TEST(FiltrosDialogo, TurnsDescriptionPatternPairsIntoNameFilters) {
    EXPECT_EQ(
        FiltrosDialogo(QStringLiteral("BMP files (*.bmp)|*.bmp|All files (*.*)|*.*")),
        (QStringList{QStringLiteral("BMP files (*.bmp)"), QStringLiteral("All files (*.*)")}));
    EXPECT_EQ(FiltrosDialogo(QStringLiteral("Bases de Datos (*.mdb)|*.mdb")),
              QStringList{QStringLiteral("Bases de Datos (*.mdb)")});
    EXPECT_EQ(FiltrosDialogo(QStringLiteral("Pictures|*.jpg;*.png")),
              QStringList{QStringLiteral("Pictures (*.jpg *.png)")});
    EXPECT_TRUE(FiltrosDialogo(QString()).isEmpty());
    EXPECT_TRUE(FiltrosDialogo(QStringLiteral("odd")).isEmpty());
}

TEST(LeerPrecio, ReadsAPriceWholeEitherWayOrNotAtAll) {
    EXPECT_EQ(LeerPrecio(u" 25"), 25.0);
    EXPECT_EQ(LeerPrecio(u"29.90"), 29.9);
    EXPECT_EQ(LeerPrecio(u"29,90"), 29.9);
    EXPECT_EQ(LeerPrecio(u"1.000,50"), 1000.5);
    EXPECT_EQ(LeerPrecio(u"-3,5"), -3.5);
    EXPECT_EQ(LeerPrecio(u"1.000"), 1000.0); // a thousand, as a Spanish desk writes it
    EXPECT_EQ(LeerPrecio(u"12.500.000"), 12500000.0);
    EXPECT_EQ(LeerPrecio(u"1.5"), 1.5); // no group of three: a decimal point
    EXPECT_EQ(LeerPrecio(u",5"), 0.5);
    for (const char16_t* malo : {u"", u"treinta", u"30 euros", u"1,2,3", u"1.00,5", u"1e400"})
        EXPECT_FALSE(LeerPrecio(malo)) << QString::fromUtf16(malo).toStdString();
}
