// Translation of the Jet SQL the station writes into SQLite's.
#include "DialectoJet.h"

#include <gtest/gtest.h>

using namespace portiva;

namespace {

QString traducir(const QString& sql, const QSet<QString>& siNo = {QStringLiteral("fldstuffsino")}) {
    auto r = TraducirJet(sql, siNo);
    EXPECT_TRUE(r.ok()) << qPrintable(sql);
    return r.ok() ? r.valor() : QString();
}

TEST(DialectoJetTest, DateLiteralsBecomeIsoText) {
    EXPECT_EQ(traducir("a = #03-01-2009#"), "a = '2009-03-01'");
    EXPECT_EQ(traducir("a = #3/1/2009#"), "a = '2009-03-01'");
    EXPECT_EQ(traducir("a = #2009-03-01#"), "a = '2009-03-01'");
    EXPECT_EQ(traducir("a = #03-01-09#"), "a = '2009-03-01'");
    EXPECT_EQ(traducir("a = #03-01-1999 18:05#"), "a = '1999-03-01 18:05:00'");
    EXPECT_EQ(traducir("a = #03-01-1999 00:00:00#"), "a = '1999-03-01'");
    EXPECT_EQ(traducir("#11-08-2026# <= a AND a <= #12-15-2026#"),
              "'2026-11-08' <= a AND a <= '2026-12-15'");
}

TEST(DialectoJetTest, BadDateLiteralIsASyntaxError) {
    for (const char* sql :
         {"a = #13-01-2009#", "a = #02-30-2009#", "a = #hoy#", "a = #03-01-2009"}) {
        auto r = TraducirJet(QString::fromLatin1(sql), {});
        ASSERT_FALSE(r.ok()) << sql;
        EXPECT_EQ(r.error().numero, ErrorDB::ErrorSintaxis);
    }
}

TEST(DialectoJetTest, IsNullFunctionBecomesTheOperator) {
    EXPECT_EQ(traducir("NOT ISNULL(fldTemplate) ORDER BY ID"),
              "NOT ((fldTemplate) IS NULL) ORDER BY ID");
    EXPECT_EQ(traducir("isnull ( f(a, b) )"), "(( f(a, b) ) IS NULL)");
    EXPECT_EQ(traducir("ISNULL(ISNULL(a))"), "((((a) IS NULL)) IS NULL)");
    // Names that merely contain the word, and the postfix operator, are left alone.
    EXPECT_EQ(traducir("SELECT IsNullable, a ISNULL FROM t"), "SELECT IsNullable, a ISNULL FROM t");
}

TEST(DialectoJetTest, QuotedTextAndPlaceholdersAreNeverTouched) {
    EXPECT_EQ(traducir("a = '#1-1-2000#' AND b = 'ISNULL(x)' AND c = ?"),
              "a = '#1-1-2000#' AND b = 'ISNULL(x)' AND c = ?");
    EXPECT_EQ(traducir("a = 'it''s #x#' ORDER BY ID"), "a = 'it''s #x#' ORDER BY ID");
    EXPECT_EQ(traducir("SELECT [a#b] FROM t"), "SELECT [a#b] FROM t");
}

TEST(DialectoJetTest, YesNoColumnsSortAsJetsMinusOne) {
    EXPECT_EQ(traducir("x OR fldStuffSiNo = True ORDER BY fldStuffSiNo DESC, ID ASC"),
              "x OR fldStuffSiNo = True ORDER BY (0 - fldStuffSiNo) DESC, ID ASC");
    EXPECT_EQ(traducir("x ORDER BY ClientesDB.[fldStuffSiNo]"),
              "x ORDER BY (0 - ClientesDB.[fldStuffSiNo])");
    EXPECT_EQ(traducir("x ORDER BY fldNombre"), "x ORDER BY fldNombre");
    // Only the statement's own ORDER BY; a subquery's is its own business.
    EXPECT_EQ(traducir("x IN (SELECT ID FROM t ORDER BY fldStuffSiNo)"),
              "x IN (SELECT ID FROM t ORDER BY fldStuffSiNo)");
    EXPECT_EQ(traducir("x ORDER BY fldStuffSiNo", {}), "x ORDER BY fldStuffSiNo");
}

} // namespace
