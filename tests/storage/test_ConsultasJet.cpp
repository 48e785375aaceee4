// Every query text the member database, the counts and the member search run, through the
// recordset layer on a real file: the rows Jet would give, in Jet's order. Today is
// 2026-12-08 on the station clock.
#include "BaseDatosPrueba.h"
#include "Conexion.h"
#include "ConsultaBusqueda.h"
#include "Recordset.h"
#include "RelojFijo.h"

#include <gtest/gtest.h>

using namespace portiva;
using namespace portiva::prueba;

namespace {

QVariant dia(int anio, int mes, int d) {
    return QDate(anio, mes, d);
}

QVariant momento(int anio, int mes, int d, int hora) {
    return QDateTime(QDate(anio, mes, d), QTime(hora, 0));
}

class ConsultasJetTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto con = [](QVariantMap fila, std::initializer_list<std::pair<QString, QVariant>> mas) {
            for (const auto& [k, v] : mas)
                fila[k] = v;
            return fila;
        };
        const QByteArray plantilla(401, '\x11');
        const QString servicio = QStringLiteral("fldServContratado");
        const QString inscripcion = QStringLiteral("fldFechaInscripcion");
        db.clientes({
            /* 1 */ Cliente("P1", dia(2025, 1, 1), dia(2025, 6, 1), true),
            /* 2 */
            con(Cliente("P2", {}, {}, true),
                {{"fldTemplate", plantilla}, {"fldFotoPath", QStringLiteral("/f/p2.jpg")}}),
            /* 3 */
            con(Cliente("a1", dia(2026, 12, 1), dia(2027, 1, 1), false, "Ana Lopez"),
                {{servicio, "Mensual"},
                 {"fldTemplate", plantilla},
                 {"fldFotoPath", QStringLiteral("/f/a1.jpg")},
                 {inscripcion, dia(2009, 3, 1)}}),
            /* 4 */
            con(Cliente("B1", dia(2026, 10, 1), dia(2026, 11, 30), false, "Beatriz"),
                {{servicio, "Mensual"}, {inscripcion, momento(2009, 3, 1, 12)}}),
            /* 5 */
            con(Cliente("A2", dia(2026, 11, 8), dia(2026, 12, 8), false, "ana maria"),
                {{servicio, "Trimestral"}, {inscripcion, dia(2009, 3, 1)}}),
            /* 6 */
            con(Cliente("C1", dia(2026, 12, 9), dia(2027, 1, 9), false, "Carlos"),
                {{servicio, "Bono"}}),
            /* 7 */
            con(Cliente("A3", dia(2026, 12, 8), dia(2026, 12, 9), false, "Andres"),
                {{servicio, "mensual"}}),
            /* 8 */ Cliente("D1", momento(2026, 12, 8, 10), dia(2027, 1, 8), false, "Diana"),
            /* 9 */ Cliente("D2", dia(2026, 11, 1), momento(2026, 12, 8, 18), false, "Dario"),
            /* 10 */ con(Cliente("E1", {}, {}, false, "Eva"), {{"fldFotoPath", QVariant()}}),
            /* 11 */
            con(Cliente("E2", dia(2026, 11, 1), dia(2026, 12, 14), false, "Emilio"),
                {{"fldTemplate", plantilla}}),
            /* 12 */ Cliente("F1", dia(2026, 12, 8), dia(2026, 12, 12), false, "Fabio"),
            /* 13 */ Cliente("G1", dia(2026, 1, 1), dia(2026, 11, 8), false, "Gema"),
            /* 14 */ Cliente("G2", dia(2026, 1, 1), dia(2026, 11, 7), false, "Gonzalo"),
            /* 15 */ Cliente("O'Brien", dia(2026, 1, 1), dia(2027, 6, 1), false, "O'Brien"),
        });
        db.servicios({Servicio("Mensual", 30), Servicio("Trimestral", 80.5, "m", 3),
                      Servicio("Bono", 12.5)});
        cn.setConnectionString(db.ruta());
        ASSERT_TRUE(cn.Open().ok());
    }

    // The codes of the rows a query gives, in its order.
    QStringList filas(const QString& sql, const QString& campo = QStringLiteral("fldCodigo")) {
        Recordset rs;
        const Resultado r = rs.Open(sql, cn);
        EXPECT_TRUE(r.ok()) << qPrintable(sql) << " -> "
                            << qPrintable(r.ok() ? QString() : r.error().texto());
        QStringList salida;
        // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
        for (; !rs.Eof(); (void)rs.MoveNext())
            salida << rs.Valor(campo).valor_o({}).toString();
        EXPECT_EQ(rs.RecordCount(), salida.size());
        return salida;
    }
    QStringList busqueda(const QString& resto) {
        return filas(QStringLiteral("SELECT * FROM ClientesDB WHERE ") + resto);
    }
    int cuenta(const QString& sql) {
        Recordset rs;
        EXPECT_TRUE(rs.Open(sql, cn).ok()) << qPrintable(sql);
        EXPECT_EQ(rs.RecordCount(), 1);
        return rs.Valor(QStringLiteral("Result")).valor_o(-1).toInt();
    }

    BaseDatosPrueba db;
    RelojFijo reloj{QDateTime(QDate(2026, 12, 8), QTime(23, 59, 0))};
    Conexion cn{reloj};
    const QStringList todos = {"P1", "P2", "a1", "B1", "A2", "C1", "A3",     "D1",
                               "D2", "E1", "E2", "F1", "G1", "G2", "O'Brien"};
    const QStringList permitidos = {"a1", "A3", "D2", "E2", "F1", "O'Brien"};
    const QStringList noPermitidos = {"B1", "A2", "C1", "D1", "G1", "G2"};
};

TEST_F(ConsultasJetTest, MemberListAndIdListKeepTheSameTableOrder) {
    EXPECT_EQ(filas(QStringLiteral("SELECT * FROM ClientesDB")), todos);
    QStringList ids;
    for (int i = 1; i <= 15; ++i)
        ids << QString::number(i);
    EXPECT_EQ(filas(QStringLiteral("SELECT ID FROM ClientesDB"), QStringLiteral("ID")), ids);
}

TEST_F(ConsultasJetTest, ServiceLookups) {
    EXPECT_EQ(filas(QStringLiteral("SELECT * FROM ServiciosDB"), QStringLiteral("fldServicio")),
              QStringList({"Mensual", "Trimestral", "Bono"}));
    EXPECT_EQ(filas(QStringLiteral("SELECT fldPrecio FROM ServiciosDB WHERE ID =2"),
                    QStringLiteral("fldPrecio")),
              QStringList({"80.5"}));
    EXPECT_TRUE(filas(QStringLiteral("SELECT fldPrecio FROM ServiciosDB WHERE ID =9"),
                      QStringLiteral("fldPrecio"))
                    .isEmpty());
}

TEST_F(ConsultasJetTest, CodeLookupsCompareWithoutRegardToCase) {
    EXPECT_EQ(filas(QStringLiteral("SELECT ID FROM ClientesDB WHERE ID <> 5 AND fldCodigo = 'A1'"),
                    QStringLiteral("ID")),
              QStringList({"3"}));
    EXPECT_TRUE(
        filas(QStringLiteral("SELECT ID FROM ClientesDB WHERE ID <> 3 AND fldCodigo = 'A1'"),
              QStringLiteral("ID"))
            .isEmpty());
    EXPECT_EQ(
        filas(QStringLiteral("SELECT * FROM ClientesDB WHERE fldCodigo LIKE 'A%' ORDER BY ID")),
        QStringList({"a1", "A2", "A3"}));
    EXPECT_EQ(
        filas(QStringLiteral("SELECT * FROM ClientesDB WHERE fldCodigo LIKE '_1' ORDER BY ID")),
        QStringList({"P1", "a1", "B1", "C1", "D1", "E1", "F1", "G1"}));
}

TEST_F(ConsultasJetTest, CountsFollowTheAccessRuleWrittenForTheEngine) {
    EXPECT_EQ(cuenta(QStringLiteral(
                  "SELECT COUNT(*) AS Result FROM ClientesDB WHERE fldStuffSiNo = True")),
              2);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) AS Result FROM ClientesDB WHERE "
                                    "fldFechaInicio <= DATE() AND fldFechaCaducidad > DATE() AND "
                                    "fldStuffSiNo = False")),
              permitidos.size());
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) AS Result FROM ClientesDB WHERE NOT ( "
                                    "fldFechaInicio <= DATE() AND fldFechaCaducidad > DATE() ) "
                                    "AND fldStuffSiNo = False")),
              noPermitidos.size());
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) AS Result FROM ClientesDB")), 15);
}

TEST_F(ConsultasJetTest, SearchById) {
    EXPECT_EQ(busqueda(QStringLiteral("ID = 12 ORDER BY ID")), QStringList({"F1"}));
    EXPECT_TRUE(busqueda(QStringLiteral("ID = 0 ORDER BY ID")).isEmpty());
}

TEST_F(ConsultasJetTest, SearchByCodeOrdersByCodeWithoutRegardToCase) {
    EXPECT_EQ(busqueda(QStringLiteral("fldCodigo LIKE 'A%' ORDER BY fldCodigo")),
              QStringList({"a1", "A2", "A3"}));
}

TEST_F(ConsultasJetTest, SearchStaffOrMembers) {
    EXPECT_EQ(busqueda(QStringLiteral("fldStuffSiNo = True ORDER BY ID")),
              QStringList({"P1", "P2"}));
    EXPECT_EQ(busqueda(QStringLiteral("fldStuffSiNo = False ORDER BY ID")), todos.mid(2));
}

TEST_F(ConsultasJetTest, SearchAllowedAndRefusedMembers) {
    EXPECT_EQ(busqueda(QStringLiteral("( fldFechaInicio <= DATE() AND fldFechaCaducidad > DATE() ) "
                                      "AND fldStuffSiNo = False ORDER BY ID")),
              permitidos);
    EXPECT_EQ(busqueda(QStringLiteral("NOT ( fldFechaInicio <= DATE() AND fldFechaCaducidad > "
                                      "DATE() ) AND fldStuffSiNo = False ORDER BY ID")),
              noPermitidos);
}

TEST_F(ConsultasJetTest, SearchByService) {
    EXPECT_EQ(busqueda(QStringLiteral(
                  "(fldStuffSiNo = False AND fldServContratado ='Mensual') ORDER BY ID")),
              QStringList({"a1", "B1", "A3"}));
    EXPECT_EQ(busqueda(QStringLiteral(
                  "(fldStuffSiNo = False AND fldServContratado LIKE 'men%') ORDER BY ID")),
              QStringList({"a1", "B1", "A3"}));
}

TEST_F(ConsultasJetTest, SearchByName) {
    EXPECT_EQ(busqueda(QStringLiteral("fldNombre LIKE 'ana%' ORDER BY ID")),
              QStringList({"a1", "A2"}));
}

TEST_F(ConsultasJetTest, SearchByPhotoLeavesEmptyPathsOutOfBoth) {
    EXPECT_EQ(busqueda(QStringLiteral("fldFotoPath <> '' ORDER BY ID")), QStringList({"P2", "a1"}));
    QStringList sinFoto = todos;
    for (const char* c : {"P2", "a1", "E1"})
        sinFoto.removeOne(QString::fromLatin1(c));
    EXPECT_EQ(busqueda(QStringLiteral("fldFotoPath = '' ORDER BY ID")), sinFoto);
}

TEST_F(ConsultasJetTest, SearchByTemplate) {
    EXPECT_EQ(busqueda(QStringLiteral("NOT ISNULL(fldTemplate) ORDER BY ID")),
              QStringList({"P2", "a1", "E2"}));
    QStringList sinHuella = todos;
    for (const char* c : {"P2", "a1", "E2"})
        sinHuella.removeOne(QString::fromLatin1(c));
    EXPECT_EQ(busqueda(QStringLiteral("ISNULL(fldTemplate) ORDER BY ID")), sinHuella);
}

TEST_F(ConsultasJetTest, SearchWhoOpensTheDoorListsMembersBeforeStaff) {
    EXPECT_EQ(busqueda(QStringLiteral("( fldFechaInicio <= DATE() AND fldFechaCaducidad > DATE() ) "
                                      "OR fldStuffSiNo = True ORDER BY fldStuffSiNo DESC, ID ASC")),
              permitidos + QStringList({"P1", "P2"}));
}

TEST_F(ConsultasJetTest, SearchByDatesWrittenMonthFirst) {
    EXPECT_EQ(busqueda(QStringLiteral("fldFechaInscripcion = #03-01-2009# ORDER BY ID")),
              QStringList({"a1", "A2"}));
    EXPECT_EQ(busqueda(QStringLiteral("fldFechaInicio = #12-08-2026# ORDER BY ID")),
              QStringList({"A3", "F1"}));
    EXPECT_EQ(busqueda(QStringLiteral("fldFechaCaducidad = #12-08-2026# ORDER BY ID")),
              QStringList({"A2"}));
}

TEST_F(ConsultasJetTest, SearchExpiringWithinDays) {
    EXPECT_EQ(
        busqueda(QStringLiteral("fldStuffSiNo = False AND fldFechaInicio < DATE() AND DATE() < "
                                "fldFechaCaducidad AND fldFechaCaducidad <= #12-15-2026# "
                                "ORDER BY ID")),
        QStringList({"D2", "E2"}));
}

TEST_F(ConsultasJetTest, SearchExpiredWithinDays) {
    EXPECT_EQ(busqueda(QStringLiteral("fldStuffSiNo = False AND #11-08-2026# <= fldFechaCaducidad "
                                      "AND fldFechaCaducidad < DATE() ORDER BY ID")),
              QStringList({"B1", "G1"}));
}

TEST_F(ConsultasJetTest, SearchExpiredToday) {
    EXPECT_EQ(
        busqueda(QStringLiteral("fldStuffSiNo = False AND fldFechaCaducidad = DATE() ORDER BY ID")),
        QStringList({"A2"}));
}

TEST_F(ConsultasJetTest, TodayIsTheStationClocksLocalDate) {
    reloj.poner(QDateTime(QDate(2030, 1, 2), QTime(0, 0, 1)));
    EXPECT_EQ(filas(QStringLiteral("SELECT DATE() AS Hoy"), QStringLiteral("Hoy")),
              QStringList({"2030-01-02"}));
    // The clock moving moves every query with it.
    EXPECT_EQ(
        busqueda(QStringLiteral("fldStuffSiNo = False AND fldFechaCaducidad = DATE() ORDER BY ID")),
        QStringList());
}

TEST_F(ConsultasJetTest, OperatorTextPastedWithAQuoteIsABadQueryNotAnInjection) {
    Recordset rs;
    const Resultado r = rs.Open(
        QStringLiteral("SELECT * FROM ClientesDB WHERE fldCodigo LIKE 'O'Brien' ORDER BY ID"), cn);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().numero, 0);
    EXPECT_FALSE(r.error().descripcion.isEmpty());
}

} // namespace

// What the operator types is taken literally except for the search's own wildcards "*" and
// "?": a "%", "_" or "\" in a code, name or service finds only itself.
TEST(BusquedaLiteral, OnlyStarAndQuestionMarkAreWildcards) {
    BaseDatosPrueba db;
    auto conServicio = [](QVariantMap fila, const char* servicio) {
        fila[QStringLiteral("fldServContratado")] = QString::fromUtf8(servicio);
        return fila;
    };
    db.clientes({conServicio(Cliente("Q1", {}, {}, false, "500 dto"), "Bono 5%"),
                 conServicio(Cliente("Q2", {}, {}, false, "50% dto"), "Bono 50"),
                 Cliente("Q_", {}, {}, false, "axb"), Cliente("Q\\", {}, {}, false, "a_b"),
                 Cliente("Q22", {}, {}, false, "Lucia")});
    RelojFijo reloj{QDateTime(QDate(2026, 12, 8), QTime(10, 0))};
    Conexion cn{reloj};
    cn.setConnectionString(db.ruta());
    ASSERT_TRUE(cn.Open().ok());
    const FechasCortas fechas{
        [](const QString&) { return std::optional<QDate>(); },
        [](const QDate& d) { return d.toString(QStringLiteral("dd/MM/yyyy")); }};
    auto buscar = [&](int tipo, const char* dato) {
        const ConsultaBuscada c =
            ConstruirBusqueda(tipo, -1, QString::fromUtf8(dato), reloj.hoy(), fechas);
        Recordset rs;
        const Resultado r = rs.Open(c.sql, cn, c.parametros);
        EXPECT_TRUE(r.ok()) << dato;
        QStringList codigos;
        for (; !rs.Eof(); (void)rs.MoveNext())
            codigos << rs.Valor(QStringLiteral("fldCodigo")).valor_o({}).toString();
        return codigos;
    };
    EXPECT_EQ(buscar(5, "50%*"), QStringList({"Q2"}));
    EXPECT_EQ(buscar(5, "a_b"), QStringList({"Q\\"}));
    EXPECT_EQ(buscar(5, "a?b"), QStringList({"Q_", "Q\\"}));
    EXPECT_EQ(buscar(1, "Q_"), QStringList({"Q_"}));
    EXPECT_EQ(buscar(1, "Q\\"), QStringList({"Q\\"}));
    EXPECT_EQ(buscar(1, "Q?"), QStringList({"Q1", "Q2", "Q\\", "Q_"}));
    EXPECT_EQ(buscar(1, "q2*"), QStringList({"Q2", "Q22"}));
    EXPECT_EQ(buscar(4, "Bono 5%"), QStringList({"Q1"}));
    EXPECT_EQ(buscar(4, "bono 5*"), QStringList({"Q1", "Q2"}));
}
