// The four member counts on the edge dates, and their error box. Today is 2026-12-08.
#include "EntornoPrueba.h"

#include <gtest/gtest.h>

using namespace portiva;
using namespace portiva::prueba;

namespace {

using C = VistaClientes::Contador;

class ContadoresTest : public ::testing::Test {
protected:
    struct Cuentas {
        int personal, permitidos, noPermitidos, total;
    };
    Cuentas contar(std::vector<QVariantMap> clientes) {
        e.base.clientes(clientes);
        EXPECT_TRUE(e.db.AbrirDB());
        return {e.db.Stuff(), e.db.Permitidos(), e.db.NoPermitidos(), e.db.TotalClientes()};
    }
    QVariant hoyA(int hora) const { return QDateTime(e.hoy(), QTime(hora, 0)); }
    EntornoPrueba e;
};

TEST_F(ContadoresTest, EmptyTableReadsZeroEverywhere) {
    e.base.clientes({});
    ASSERT_TRUE(e.db.AbrirDB());
    e.db.ActContadores();
    for (auto c : {C::Personal, C::ClientesPermitidos, C::ClientesNoPermitidos, C::TotalRegistros})
        EXPECT_EQ(e.vista.contador(c), "0");
    EXPECT_TRUE(e.msgBox.mostrados.empty());
}

TEST_F(ContadoresTest, ExpiryDayItselfIsRefused) {
    const auto c = contar({Cliente("x", e.dias(-30), e.dias(0))});
    EXPECT_EQ(c.permitidos, 0);
    EXPECT_EQ(c.noPermitidos, 1);
}

TEST_F(ContadoresTest, StartTomorrowIsRefusedStartTodayIsAllowed) {
    const auto c =
        contar({Cliente("manana", e.dias(1), e.dias(30)), Cliente("hoy", e.dias(0), e.dias(1))});
    EXPECT_EQ(c.permitidos, 1);
    EXPECT_EQ(c.noPermitidos, 1);
}

TEST_F(ContadoresTest, StaffWithExpiredDatesCountsOnlyAsStaff) {
    const auto c = contar({Cliente("p", e.dias(-400), e.dias(-35), true)});
    EXPECT_EQ(c.personal, 1);
    EXPECT_EQ(c.permitidos, 0);
    EXPECT_EQ(c.noPermitidos, 0);
    EXPECT_EQ(c.total, 1);
}

TEST_F(ContadoresTest, EmptyValuesCountOnlyInTheTotal) {
    const auto c = contar({Cliente("sin fechas"), Cliente("sin inicio", {}, e.dias(10)),
                           Cliente("personal vacio", e.dias(-1), e.dias(10), QVariant()),
                           Cliente("personal sin fechas", {}, {}, true)});
    EXPECT_EQ(c.personal, 1);
    EXPECT_EQ(c.permitidos, 0);
    EXPECT_EQ(c.noPermitidos, 0);
    EXPECT_EQ(c.total, 4);
}

TEST_F(ContadoresTest, DatesWithATimeOfDayCompareAsTheyStand) {
    // Start today at 10:00 has not started yet; expiry today at 18:00 still lets in.
    const auto c =
        contar({Cliente("inicio", hoyA(10), e.dias(5)), Cliente("caduca", e.dias(-5), hoyA(18))});
    EXPECT_EQ(c.permitidos, 1);
    EXPECT_EQ(c.noPermitidos, 1);
}

TEST_F(ContadoresTest, ActContadoresWritesTheFourLabels) {
    e.base.clientes({Cliente("p", {}, {}, true), Cliente("a", e.dias(-1), e.dias(1)),
                     Cliente("b", e.dias(-1), e.dias(1)), Cliente("c", e.dias(-9), e.dias(-1))});
    ASSERT_TRUE(e.db.AbrirDB());
    e.db.ActContadores();
    EXPECT_EQ(e.vista.contador(C::Personal), "1");
    EXPECT_EQ(e.vista.contador(C::ClientesPermitidos), "2");
    EXPECT_EQ(e.vista.contador(C::ClientesNoPermitidos), "1");
    EXPECT_EQ(e.vista.contador(C::TotalRegistros), "4");
    EXPECT_EQ(e.db.rsTemp().State(), 0);
}

TEST_F(ContadoresTest, CountsFollowTheClockNotTheLabels) {
    e.base.clientes({Cliente("a", e.dias(-1), e.dias(1))});
    ASSERT_TRUE(e.db.AbrirDB());
    EXPECT_EQ(e.db.Permitidos(), 1);
    e.reloj.ponerDia(e.hoy().addDays(1)); // midnight passes
    EXPECT_EQ(e.db.Permitidos(), 0);
    EXPECT_EQ(e.db.NoPermitidos(), 1);
}

TEST_F(ContadoresTest, AFailedCountShowsItsErrorBoxAndReadsZero) {
    e.base.clientes({Cliente("p", {}, {}, true), Cliente("q", {}, {}, true)});
    ASSERT_TRUE(e.db.AbrirDB());
    // A search holds the scratch recordset open: every count fails to open it.
    ASSERT_TRUE(
        e.db.rsTemp().Open(QStringLiteral("SELECT * FROM ClientesDB"), e.db.cnClientes()).ok());
    e.db.ActContadores();
    ASSERT_EQ(e.msgBox.mostrados.size(), 4u);
    const char* nombres[] = {"Stuff", "Permitidos", "NoPermitidos", "TotalClientes"};
    for (int i = 0; i < 4; ++i) {
        const auto& m = e.msgBox.mostrados[i];
        EXPECT_TRUE(m.texto.startsWith("Error 3705 (")) << qPrintable(m.texto);
        EXPECT_TRUE(m.texto.endsWith(QStringLiteral(") in procedure %1 of Módulo DbClientes")
                                         .arg(QString::fromLatin1(nombres[i]))))
            << qPrintable(m.texto);
        EXPECT_EQ(m.estilo, 0);
        EXPECT_EQ(m.titulo, "");
    }
    EXPECT_EQ(e.vista.contador(C::Personal), "0");
    EXPECT_EQ(e.vista.contador(C::TotalRegistros), "0");
    EXPECT_EQ(e.db.rsTemp().State(), 1); // the search's recordset is left alone
    ASSERT_TRUE(e.db.rsTemp().Close().ok());
    EXPECT_EQ(e.db.Stuff(), 2);
}

} // namespace
