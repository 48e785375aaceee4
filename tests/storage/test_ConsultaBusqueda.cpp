// The member search: every kind's query, parameters, title and value-box text, and the rows it
// gives on a real file with today fixed at 2026-12-08; text compared without regard to case
// for every letter.
#include "BaseDatosPrueba.h"
#include "Conexion.h"
#include "ConsultaBusqueda.h"
#include "Recordset.h"
#include "RelojFijo.h"
#include "TextoSinMayusculas.h"

#include <gtest/gtest.h>

using namespace portiva;
using namespace portiva::prueba;

namespace {

QVariant dia(int anio, int mes, int d) {
    return QDate(anio, mes, d);
}

// Day-first short dates as a Spanish station writes and reads them.
FechasCortas Espanol() {
    return {[](const QString& t) -> std::optional<QDate> {
                for (const char* f : {"d/M/yyyy", "d-M-yyyy", "d.M.yyyy"}) {
                    const QDate d = QDate::fromString(t.trimmed(), QString::fromLatin1(f));
                    if (d.isValid())
                        return d;
                }
                return std::nullopt;
            },
            [](const QDate& d) { return d.toString(QStringLiteral("dd/MM/yyyy")); }};
}

const QDate Hoy(2026, 12, 8);

ConsultaBuscada Construir(int tipo, int opcion, const QString& dato) {
    return ConstruirBusqueda(tipo, opcion, dato, Hoy, Espanol());
}

class ConsultaBusquedaTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto con = [](QVariantMap fila, std::initializer_list<std::pair<QString, QVariant>> mas) {
            for (const auto& [k, v] : mas)
                fila[k] = v;
            return fila;
        };
        const QByteArray plantilla(401, '\x11');
        const QString servicio = QStringLiteral("fldServContratado");
        db.clientes({
            /* 1 */ con(Cliente("P1", dia(2025, 1, 1), dia(2025, 6, 1), true),
                        {{"fldTemplate", plantilla}}),
            /* 2 */ Cliente("P2", {}, {}, true),
            /* 3 */
            con(Cliente("a1", dia(2026, 12, 1), dia(2027, 1, 1), false, "Ana Lopez"),
                {{servicio, "Mensual"},
                 {"fldFotoPath", QStringLiteral("/f/a1.jpg")},
                 {"fldFechaInscripcion", dia(2026, 3, 1)}}),
            /* 4 */
            con(Cliente("B1", dia(2026, 10, 1), dia(2026, 11, 30), false, "ángel muñoz"),
                {{servicio, "Año completo"}, {"fldFechaInscripcion", dia(2026, 3, 1)}}),
            /* 5 */
            con(Cliente("A2", dia(2026, 11, 8), dia(2026, 12, 8), false, "ana maria"),
                {{servicio, "Trimestral"}}),
            /* 6 */ Cliente("ñu1", dia(2026, 12, 8), dia(2026, 12, 9), false, "Ñoño"),
            /* 7 */ Cliente("E1", {}, {}, false, "Eva"),
            /* 8 */
            con(Cliente("O'Brien", dia(2026, 11, 1), dia(2026, 12, 12), false, "O'Brien"),
                {{servicio, "Socio d'Or"}}),
        });
        db.servicios({Servicio("Mensual", 30), Servicio("Socio d'Or", 50)});
        cn.setConnectionString(db.ruta());
        ASSERT_TRUE(cn.Open().ok());
    }

    // The codes of the rows a built search gives, in its order.
    QStringList filas(const ConsultaBuscada& c) {
        EXPECT_TRUE(c.valida());
        Recordset rs;
        const Resultado r = rs.Open(c.sql, cn, c.parametros);
        EXPECT_TRUE(r.ok()) << qPrintable(c.sql) << " -> "
                            << qPrintable(r.ok() ? QString() : r.error().texto());
        QStringList salida;
        // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
        for (; !rs.Eof(); (void)rs.MoveNext())
            salida << rs.Valor(QStringLiteral("fldCodigo")).valor_o({}).toString();
        return salida;
    }
    QStringList filas(int tipo, int opcion, const QString& dato) {
        return filas(Construir(tipo, opcion, dato));
    }

    BaseDatosPrueba db;
    RelojFijo reloj{QDateTime(Hoy, QTime(12, 0))};
    Conexion cn{reloj};
};

TEST(TiposBusqueda, CaptionsAndValueBoxes) {
    const QStringList tipos = TiposBusqueda();
    ASSERT_EQ(tipos.size(), 15);
    EXPECT_EQ(tipos[12], QStringLiteral("Clientes que caducarán dentro de..."));
    EXPECT_EQ(tipos[13], QStringLiteral("Clientes que caducaron hace... "));
    EXPECT_EQ(PrepararBusqueda(3)->opciones,
              QStringList({"Clientes Permitidos", "Clientes No permitidos"}));
    EXPECT_EQ(PrepararBusqueda(11)->texto, QStringLiteral("Introduzca un fecha (dd/mm/aaaa)"));
    EXPECT_TRUE(PrepararBusqueda(9)->calendario);
    EXPECT_FALSE(PrepararBusqueda(12)->calendario);
    EXPECT_EQ(PrepararBusqueda(4)->caja, PreparacionBusqueda::Caja::Servicios);
    EXPECT_EQ(PrepararBusqueda(14)->caja, PreparacionBusqueda::Caja::Hoy);
    EXPECT_FALSE(PrepararBusqueda(15));
    EXPECT_FALSE(PrepararBusqueda(-1));
}

TEST(ConstruirBusqueda, NumbersTitlesAndBadInput) {
    auto c = Construir(0, -1, QStringLiteral("  12abc"));
    EXPECT_EQ(c.sql, QStringLiteral("SELECT * FROM ClientesDB WHERE ID = 12 ORDER BY ID"));
    EXPECT_EQ(c.titulo, QStringLiteral("Datos Cliente ID 12"));
    EXPECT_EQ(Construir(0, -1, QStringLiteral("Introduzca un valor")).titulo,
              QStringLiteral("Datos Cliente ID 0"));
    // List kinds without a chosen item, and kinds out of range: no query, empty title.
    for (int tipo : {2, 3, 6, 7, 8, -1, 15}) {
        c = Construir(tipo, -1, QStringLiteral("Elija una opcion"));
        EXPECT_FALSE(c.valida()) << tipo;
        EXPECT_EQ(c.titulo, QString()) << tipo;
    }
    // Not a date, and day counts outside years 100 to 9999: no query, previous title kept.
    for (auto [tipo, dato] : {std::pair{9, "no es fecha"},
                              {10, "31/02/2026"},
                              {12, "3000000"},
                              {13, "800000"},
                              {12, "1e300"}}) {
        c = Construir(tipo, -1, QString::fromLatin1(dato));
        EXPECT_FALSE(c.valida()) << dato;
        EXPECT_FALSE(c.titulo.has_value()) << dato;
    }
    EXPECT_EQ(Construir(13, -1, QStringLiteral("800000")).textoCaja,
              QStringLiteral("800000 dias atras."));
    EXPECT_FALSE(Construir(12, -1, QStringLiteral("3000000")).textoCaja);
}

TEST(ConstruirBusqueda, TypedTextIsBoundNeverPasted) {
    auto c = Construir(1, -1, QStringLiteral("O'B*"));
    EXPECT_EQ(c.sql, QStringLiteral("SELECT * FROM ClientesDB WHERE fldCodigo LIKE ? ESCAPE '\\' "
                                    "ORDER BY fldCodigo"));
    EXPECT_EQ(c.parametros, QVariantList({QStringLiteral("O'B%")}));
    EXPECT_EQ(c.titulo, QStringLiteral("Con Codigo similar a O'B*"));
    c = Construir(5, -1, QStringLiteral("  ana*  "));
    EXPECT_EQ(c.parametros, QVariantList({QStringLiteral("ana%")}));
    EXPECT_EQ(c.titulo, QStringLiteral("Listado nombres parecidos a ana*"));
    c = Construir(4, 1, QStringLiteral("Socio d'Or"));
    EXPECT_TRUE(c.sql.contains(QStringLiteral("fldServContratado = ?")));
    EXPECT_EQ(c.titulo, QStringLiteral("Contrataron Socio d'Or"));
    c = Construir(4, -1, QStringLiteral(" Men?ual "));
    EXPECT_EQ(c.parametros, QVariantList({QStringLiteral("Men_ual")}));
    EXPECT_EQ(c.titulo, QStringLiteral("Serv. contratado similar a Men?ual"));
}

TEST(ConstruirBusqueda, DatesAndDayCountsRewriteTheBox) {
    auto c = Construir(9, -1, QStringLiteral("1-3-2026"));
    EXPECT_EQ(c.sql, QStringLiteral("SELECT * FROM ClientesDB WHERE fldFechaInscripcion = "
                                    "#03-01-2026# ORDER BY ID"));
    EXPECT_EQ(c.textoCaja, QStringLiteral("01/03/2026"));
    EXPECT_EQ(c.titulo, QStringLiteral("Listado fecha inscripcion 01/03/2026"));
    c = Construir(12, -1, QStringLiteral("7"));
    EXPECT_TRUE(c.sql.contains(QStringLiteral("fldFechaCaducidad <= #12-15-2026#")));
    EXPECT_EQ(c.textoCaja, QStringLiteral("7 dias"));
    EXPECT_EQ(c.titulo, QStringLiteral("Caducaran del 08/12/2026 al 15/12/2026"));
    c = Construir(13, -1, QStringLiteral("30"));
    EXPECT_TRUE(c.sql.contains(QStringLiteral("#11-08-2026# <= fldFechaCaducidad")));
    EXPECT_EQ(c.textoCaja, QStringLiteral("30 dias atras."));
    EXPECT_EQ(c.titulo, QStringLiteral("Caducaron del 08/11/2026 al 08/12/2026"));
    c = Construir(14, -1, QString());
    EXPECT_EQ(c.textoCaja, QStringLiteral("08/12/2026"));
    EXPECT_EQ(c.titulo, QStringLiteral("Clientes que caducaron hoy 08/12/2026"));
}

TEST_F(ConsultaBusquedaTest, EveryKindGivesItsRowsInItsOrder) {
    EXPECT_EQ(filas(0, -1, "3"), QStringList({"a1"}));
    EXPECT_TRUE(filas(0, -1, "Introduzca un valor").isEmpty());
    EXPECT_EQ(filas(1, -1, "A*"), QStringList({"a1", "A2"})); // by code
    EXPECT_EQ(filas(2, 0, "Si"), QStringList({"P1", "P2"}));
    EXPECT_EQ(filas(2, 1, "No"), QStringList({"a1", "B1", "A2", "ñu1", "E1", "O'Brien"}));
    // Kind 3: the two listings split the members with dates; E1 (no dates) is in neither.
    EXPECT_EQ(filas(3, 0, ""), QStringList({"a1", "ñu1", "O'Brien"}));
    EXPECT_EQ(filas(3, 1, ""), QStringList({"B1", "A2"}));
    EXPECT_EQ(filas(4, 0, "Mensual"), QStringList({"a1"}));
    EXPECT_EQ(filas(4, -1, " *es* "), QStringList({"A2"}));
    EXPECT_EQ(filas(5, -1, "  ana*  "), QStringList({"a1", "A2"}));
    EXPECT_EQ(filas(6, 0, ""), QStringList({"a1"}));
    EXPECT_EQ(filas(6, 1, "").size(), 7);
    EXPECT_EQ(filas(7, 0, ""), QStringList({"P1"}));
    EXPECT_EQ(filas(7, 1, "").size(), 7);
    EXPECT_EQ(filas(8, 0, ""), QStringList({"a1", "ñu1", "O'Brien", "P1", "P2"}));
    EXPECT_EQ(filas(8, 1, ""), QStringList({"B1", "A2"}));
    EXPECT_EQ(filas(9, -1, "1/3/2026"), QStringList({"a1", "B1"}));
    EXPECT_EQ(filas(10, -1, "08-12-2026"), QStringList({"ñu1"}));
    EXPECT_EQ(filas(11, -1, "12.12.2026"), QStringList({"O'Brien"}));
    // Kind 12 leaves out ñu1, whose start is today, though kind 3 lets it in.
    EXPECT_EQ(filas(12, -1, "7"), QStringList({"O'Brien"}));
    EXPECT_EQ(filas(13, -1, "30"), QStringList({"B1"}));
    EXPECT_EQ(filas(14, -1, ""), QStringList({"A2"}));
}

TEST_F(ConsultaBusquedaTest, QuotesAndAccentsWorkInEveryTypedKind) {
    EXPECT_EQ(filas(1, -1, "O'Brien"), QStringList({"O'Brien"}));
    EXPECT_EQ(filas(1, -1, "Introduzca un valor (use '*'  '?')"), QStringList());
    EXPECT_EQ(filas(5, -1, "Introduzca un nombre (use '*'  '?')"), QStringList());
    EXPECT_EQ(filas(1, -1, "Ñ*"), QStringList({"ñu1"}));
    EXPECT_EQ(filas(4, 1, "Socio d'Or"), QStringList({"O'Brien"}));
    EXPECT_EQ(filas(4, -1, "AÑO*"), QStringList({"B1"}));
    EXPECT_EQ(filas(5, -1, "ÁNGEL MUÑOZ"), QStringList({"B1"}));
    EXPECT_EQ(filas(5, -1, "ñoñ?"), QStringList({"ñu1"}));
    EXPECT_EQ(filas(5, -1, "Angel*"), QStringList()); // accents still count
}

TEST_F(ConsultaBusquedaTest, EqualityAndOrderIgnoreCaseForEveryLetter) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB WHERE fldNombre = ?"), cn,
                        {QStringLiteral("ÁNGEL MUÑOZ")})
                    .ok());
    EXPECT_EQ(rs.RecordCount(), 1);
    // Closing a scratch recordset has nothing left to report: what it read is already taken.
    (void)rs.Close();
    ASSERT_TRUE(
        rs.Open(QStringLiteral("SELECT * FROM ClientesDB WHERE ID > 2 ORDER BY fldNombre"), cn)
            .ok());
    QStringList nombres;
    // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
    for (; !rs.Eof(); (void)rs.MoveNext())
        nombres << rs.Valor(QStringLiteral("fldNombre")).valor_o({}).toString();
    // Case ignored; beyond it, code point order of the folded text.
    EXPECT_EQ(nombres,
              QStringList({"Ana Lopez", "ana maria", "Eva", "O'Brien", "ángel muñoz", "Ñoño"}));
}

TEST(TextoSinMayusculas, FoldingAndWildcards) {
    EXPECT_EQ(CompararSinMayusculas(u"MUÑOZ", u"muñoz"), 0);
    EXPECT_EQ(CompararSinMayusculas(u"ÁNGEL", u"ángel"), 0);
    EXPECT_LT(CompararSinMayusculas(u"abc", u"ABD"), 0);
    EXPECT_GT(CompararSinMayusculas(u"b", u"A"), 0);
    EXPECT_NE(CompararSinMayusculas(u"Angel", u"Ángel"), 0);
    EXPECT_TRUE(ParecidoSinMayusculas(u"Straße", u"STRA_E"));
    EXPECT_TRUE(ParecidoSinMayusculas(u"ñandú", u"Ñ%Ú"));
    EXPECT_TRUE(ParecidoSinMayusculas(u"abcabd", u"%ab_"));
    EXPECT_FALSE(ParecidoSinMayusculas(u"abc", u"ab"));
    EXPECT_TRUE(ParecidoSinMayusculas(u"", u"%"));
    EXPECT_TRUE(ParecidoSinMayusculas(u"50%", u"50!%", u'!'));
    EXPECT_FALSE(ParecidoSinMayusculas(u"500", u"50!%", u'!'));
    EXPECT_TRUE(ParecidoSinMayusculas(u"a😀b", u"a_b")); // one character, not one unit
}

} // namespace
