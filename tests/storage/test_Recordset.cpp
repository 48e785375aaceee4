// The recordset layer on a real station database file: navigation, fields, writes through to
// the table, errors, nested snapshots.
#include "BaseDatosPrueba.h"
#include "Conexion.h"
#include "Recordset.h"
#include "RecordsetVacio.h"
#include "RelojFijo.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace portiva;
using namespace portiva::prueba;

namespace {

class RecordsetTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.clientes({Cliente("A1"), Cliente("A2"), Cliente("A3")});
        cn.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                               db.ruta() + QStringLiteral(";"));
        ASSERT_TRUE(cn.Open().ok());
    }

    QStringList codigos(const QString& sql = QStringLiteral("SELECT * FROM ClientesDB")) {
        Recordset rs;
        const Resultado r = rs.Open(sql, cn);
        EXPECT_TRUE(r.ok()) << qPrintable(r.ok() ? QString() : r.error().texto());
        QStringList salida;
        // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
        for (; !rs.Eof(); (void)rs.MoveNext())
            salida << rs.Valor(QStringLiteral("fldCodigo")).valor_o({}).toString();
        return salida;
    }

    BaseDatosPrueba db;
    RelojFijo reloj;
    Conexion cn{reloj};
};

TEST_F(RecordsetTest, OpenReadsEveryRowAndStandsOnTheFirst) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    EXPECT_EQ(rs.State(), 1);
    EXPECT_EQ(rs.RecordCount(), 3);
    EXPECT_FALSE(rs.Bof());
    EXPECT_FALSE(rs.Eof());
    EXPECT_EQ(rs.AbsolutePosition(), 1);
    EXPECT_EQ(rs.Fields(QStringLiteral("fldCodigo")).Value().valor().toString(), "A1");
    // Field names compare in any case, as Jet's do.
    EXPECT_EQ(rs.Valor(QStringLiteral("FLDCODIGO")).valor().toString(), "A1");
}

TEST_F(RecordsetTest, EmptyResultIsAtBothEnds) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB WHERE ID < 0"), cn).ok());
    EXPECT_TRUE(rs.Bof());
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_LT(rs.AbsolutePosition(), 0);
    EXPECT_TRUE(RecordsetVacio(rs));
    // Moving to either end of nothing is no error; reading a field is.
    EXPECT_TRUE(rs.MoveFirst().ok());
    EXPECT_TRUE(rs.MoveLast().ok());
    auto v = rs.Valor(QStringLiteral("ID"));
    ASSERT_FALSE(v.ok());
    EXPECT_EQ(v.error().numero, ErrorDB::SinRegistroActual);
}

TEST_F(RecordsetTest, MovesStopAtTheEndsAndMoveCountsFromTheFirstRow) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    ASSERT_TRUE(rs.MoveLast().ok());
    EXPECT_EQ(rs.AbsolutePosition(), 3);
    ASSERT_TRUE(rs.MoveNext().ok());
    EXPECT_TRUE(rs.Eof());
    EXPECT_FALSE(rs.Bof());
    EXPECT_LT(rs.AbsolutePosition(), 0);
    // Past the end once is allowed; again is an error, and the caller wraps itself.
    EXPECT_EQ(rs.MoveNext().error().numero, ErrorDB::SinRegistroActual);
    ASSERT_TRUE(rs.MoveFirst().ok());
    ASSERT_TRUE(rs.MovePrevious().ok());
    EXPECT_TRUE(rs.Bof());
    EXPECT_EQ(rs.MovePrevious().error().numero, ErrorDB::SinRegistroActual);

    ASSERT_TRUE(rs.MoveLast().ok());
    ASSERT_TRUE(rs.Move(1).ok()); // from the first row, not from the current one
    EXPECT_EQ(rs.AbsolutePosition(), 2);
    ASSERT_TRUE(rs.Move(0).ok());
    EXPECT_EQ(rs.AbsolutePosition(), 1);
    ASSERT_TRUE(rs.Move(3).ok());
    EXPECT_TRUE(rs.Eof());
    ASSERT_TRUE(rs.Move(-1).ok());
    EXPECT_TRUE(rs.Bof());
}

TEST_F(RecordsetTest, SecondOpenAndClosedUseAreErrors) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    EXPECT_EQ(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).error().numero,
              ErrorDB::ObjetoAbierto);
    ASSERT_TRUE(rs.Close().ok());
    EXPECT_EQ(rs.State(), 0);
    EXPECT_EQ(rs.Close().error().numero, ErrorDB::ObjetoCerrado);
    EXPECT_EQ(rs.MoveFirst().error().numero, ErrorDB::ObjetoCerrado);
    EXPECT_TRUE(RecordsetVacio(rs));
    // It opens again after closing.
    EXPECT_TRUE(rs.Open(QStringLiteral("SELECT ID FROM ClientesDB"), cn).ok());
}

TEST_F(RecordsetTest, BadSqlAndUnknownFieldCarryNumberAndDescription) {
    Recordset rs;
    const Resultado r = rs.Open(QStringLiteral("SELECT * FROM NoHay"), cn);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().numero, 0);
    EXPECT_TRUE(r.error().descripcion.contains(QStringLiteral("NoHay")));
    EXPECT_EQ(rs.State(), 0);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    EXPECT_EQ(rs.Valor(QStringLiteral("fldNoExiste")).error().numero, ErrorDB::CampoNoEncontrado);
}

TEST_F(RecordsetTest, AddNewUpdateStoresAtOnceAsTheLastRowWithItsId) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    ASSERT_TRUE(rs.AddNew().ok());
    EXPECT_EQ(rs.RecordCount(), 4);
    ASSERT_TRUE(rs.Fields(QStringLiteral("fldCodigo")).setValue(QStringLiteral("N1")).ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldFechaInicio"), QDate(2026, 12, 8)).ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldStuffSiNo"), false).ok());
    ASSERT_TRUE(rs.Update().ok());
    EXPECT_EQ(rs.AbsolutePosition(), 4);
    EXPECT_EQ(rs.Valor(QStringLiteral("ID")).valor().toInt(), 4);
    // Fields never written keep the table's default: empty.
    EXPECT_TRUE(rs.Valor(QStringLiteral("fldPrecio")).valor().isNull());
    EXPECT_TRUE(rs.Valor(QStringLiteral("fldTemplate")).valor().isNull());
    EXPECT_EQ(rs.Valor(QStringLiteral("fldFechaInicio")).valor(), QVariant(QDate(2026, 12, 8)));
    EXPECT_EQ(codigos(), QStringList({"A1", "A2", "A3", "N1"}));
}

TEST_F(RecordsetTest, WritesSurviveReopeningTheFile) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    ASSERT_TRUE(rs.Move(1).ok());
    const QByteArray plantilla(401, '\x5a');
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldNombre"), QStringLiteral("Íñigo")).ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldTemplate"), plantilla).ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldPrecio"), 25.5).ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldFechaCaducidad"),
                              QDateTime(QDate(2027, 1, 2), QTime(9, 30)))
                    .ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldStuffSiNo"), true).ok());
    ASSERT_TRUE(rs.Update().ok());
    ASSERT_TRUE(rs.Close().ok());
    ASSERT_TRUE(cn.Close().ok());

    ASSERT_TRUE(cn.Open().ok());
    ASSERT_TRUE(
        rs.Open(QStringLiteral("SELECT * FROM ClientesDB WHERE fldCodigo = 'A2'"), cn).ok());
    EXPECT_EQ(rs.Valor(QStringLiteral("fldNombre")).valor().toString(), QStringLiteral("Íñigo"));
    EXPECT_EQ(rs.Valor(QStringLiteral("fldTemplate")).valor().toByteArray(), plantilla);
    EXPECT_EQ(rs.bytesEn(rs.IndiceCampo(QStringLiteral("fldTemplate"))).size(), 401);
    EXPECT_DOUBLE_EQ(rs.Valor(QStringLiteral("fldPrecio")).valor().toDouble(), 25.5);
    EXPECT_EQ(rs.Valor(QStringLiteral("fldFechaCaducidad")).valor(),
              QVariant(QDateTime(QDate(2027, 1, 2), QTime(9, 30))));
    EXPECT_EQ(rs.Valor(QStringLiteral("fldStuffSiNo")).valor(), QVariant(true));
}

TEST_F(RecordsetTest, StoredFormsAreIsoTextZeroOneAndBlob) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldFechaInicio"), QDate(2009, 3, 1)).ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldFechaCaducidad"),
                              QDateTime(QDate(2009, 4, 1), QTime(0, 0)))
                    .ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldFechaInscripcion"),
                              QDateTime(QDate(2009, 2, 1), QTime(18, 5, 7)))
                    .ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldStuffSiNo"), true).ok());
    ASSERT_TRUE(rs.Update().ok());
    Recordset crudo;
    ASSERT_TRUE(crudo
                    .Open(QStringLiteral("SELECT typeof(fldFechaInicio) || ':' || fldFechaInicio, "
                                         "'' || fldFechaCaducidad, '' || fldFechaInscripcion, "
                                         "typeof(fldStuffSiNo) || ':' || fldStuffSiNo "
                                         "FROM ClientesDB WHERE ID = 1"),
                          cn)
                    .ok());
    EXPECT_EQ(crudo.valorEn(0).toString(), "text:2009-03-01");
    EXPECT_EQ(crudo.valorEn(1).toString(), "2009-04-01"); // midnight is a plain date
    EXPECT_EQ(crudo.valorEn(2).toString(), "2009-02-01 18:05:07");
    EXPECT_EQ(crudo.valorEn(3).toString(), "integer:1");
}

TEST_F(RecordsetTest, WrongValuesAreRefusedBeforeTouchingTheTable) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    EXPECT_EQ(
        rs.PonerValor(QStringLiteral("fldFechaInicio"), QStringLiteral("mañana")).error().numero,
        ErrorDB::TipoIncorrecto);
    EXPECT_EQ(rs.PonerValor(QStringLiteral("fldPrecio"), QStringLiteral("caro")).error().numero,
              ErrorDB::TipoIncorrecto);
    EXPECT_EQ(rs.PonerValor(QStringLiteral("fldTemplate"), QStringLiteral("x")).error().numero,
              ErrorDB::TipoIncorrecto);
    // The automatic number is never written.
    EXPECT_EQ(rs.PonerValor(QStringLiteral("ID"), 99).error().numero, ErrorDB::NoActualizable);
    // An ISO text is a date; a typed number text is a price.
    EXPECT_TRUE(rs.PonerValor(QStringLiteral("fldFechaInicio"), QStringLiteral("2026-01-31")).ok());
    EXPECT_TRUE(rs.PonerValor(QStringLiteral("fldPrecio"), QStringLiteral(" 12.5")).ok());
    ASSERT_TRUE(rs.Update().ok());
    EXPECT_EQ(rs.Valor(QStringLiteral("fldFechaInicio")).valor(), QVariant(QDate(2026, 1, 31)));
    EXPECT_DOUBLE_EQ(rs.Valor(QStringLiteral("fldPrecio")).valor().toDouble(), 12.5);
}

TEST_F(RecordsetTest, ExpressionsAreReadOnly) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT COUNT(*) AS Result FROM ClientesDB"), cn).ok());
    EXPECT_EQ(rs.Valor(QStringLiteral("Result")).valor().toInt(), 3);
    EXPECT_EQ(rs.PonerValor(QStringLiteral("Result"), 1).error().numero, ErrorDB::NoActualizable);
    EXPECT_EQ(rs.AddNew().error().numero, ErrorDB::NoActualizable);
}

TEST_F(RecordsetTest, DeleteThenUpdateRemovesTheRowAndMovingOnFindsTheNext) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    ASSERT_TRUE(rs.Move(1).ok());
    ASSERT_TRUE(rs.Delete().ok());
    ASSERT_TRUE(rs.Update().ok());
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.Valor(QStringLiteral("ID")).error().numero, ErrorDB::SinRegistroActual);
    ASSERT_TRUE(rs.MoveNext().ok());
    EXPECT_EQ(rs.Valor(QStringLiteral("fldCodigo")).valor().toString(), "A3");
    EXPECT_EQ(codigos(), QStringList({"A1", "A3"}));

    // Deleting the last row and moving next reaches EOF.
    ASSERT_TRUE(rs.MoveLast().ok());
    ASSERT_TRUE(rs.Delete().ok());
    ASSERT_TRUE(rs.MoveNext().ok());
    EXPECT_TRUE(rs.Eof());
    // Deleting the only row leaves an empty recordset.
    ASSERT_TRUE(rs.MoveFirst().ok());
    ASSERT_TRUE(rs.Delete().ok());
    ASSERT_TRUE(rs.Update().ok());
    ASSERT_TRUE(rs.MoveFirst().ok());
    EXPECT_TRUE(RecordsetVacio(rs));
    EXPECT_EQ(rs.AbsolutePosition(), -1);
    EXPECT_TRUE(codigos().isEmpty());
}

TEST_F(RecordsetTest, DeletingAFreshNewRowOnlyDropsIt) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    ASSERT_TRUE(rs.AddNew().ok());
    ASSERT_TRUE(rs.Delete().ok());
    EXPECT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(codigos().size(), 3);
}

TEST_F(RecordsetTest, MovingWithAPendingEditStoresItFirst) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldCodigo"), QStringLiteral("Z1")).ok());
    EXPECT_EQ(rs.Valor(QStringLiteral("fldCodigo")).valor().toString(), "Z1");
    ASSERT_TRUE(rs.MoveNext().ok());
    EXPECT_EQ(codigos().first(), "Z1");
}

TEST_F(RecordsetTest, CancelUpdateDropsTheEdit) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldCodigo"), QStringLiteral("Z1")).ok());
    ASSERT_TRUE(rs.CancelUpdate().ok());
    EXPECT_EQ(rs.Valor(QStringLiteral("fldCodigo")).valor().toString(), "A1");
    ASSERT_TRUE(rs.AddNew().ok());
    ASSERT_TRUE(rs.CancelUpdate().ok());
    EXPECT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(rs.AbsolutePosition(), 1);
}

TEST_F(RecordsetTest, FailedUpdateLeavesSnapshotAsTheTable) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    // A trigger refuses this one write, as a full disk or a locked file would.
    ASSERT_TRUE(cn.Execute(QStringLiteral(
                               "CREATE TEMP TRIGGER no_z BEFORE UPDATE ON ClientesDB WHEN "
                               "NEW.fldCodigo = 'Z' BEGIN SELECT RAISE(ABORT, 'rechazado'); END"))
                    .ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldCodigo"), QStringLiteral("Z")).ok());
    const Resultado r = rs.Update();
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.error().descripcion.contains(QStringLiteral("rechazado")));
    EXPECT_EQ(rs.Valor(QStringLiteral("fldCodigo")).valor().toString(), "A1");
    EXPECT_EQ(codigos().first(), "A1");

    ASSERT_TRUE(cn.Execute(QStringLiteral("CREATE TEMP TRIGGER no_alta BEFORE INSERT ON ClientesDB "
                                          "BEGIN SELECT RAISE(ABORT, 'sin altas'); END"))
                    .ok());
    ASSERT_TRUE(rs.Move(1).ok());
    ASSERT_TRUE(rs.AddNew().ok());
    ASSERT_FALSE(rs.Update().ok());
    EXPECT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(rs.AbsolutePosition(), 2); // back where it stood before AddNew
    EXPECT_EQ(codigos().size(), 3);
}

TEST_F(RecordsetTest, AddingAServiceThroughTheServicesList) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ServiciosDB "), cn).ok());
    ASSERT_TRUE(rs.AddNew().ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldIntervalo"), QStringLiteral("d")).ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldNumero"), 45.0).ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldServicio"), QStringLiteral("Verano")).ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldPrecio"), 25.0).ok());
    ASSERT_TRUE(rs.Update().ok());
    ASSERT_TRUE(rs.MoveFirst().ok());
    QStringList nombres;
    // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
    for (; !rs.Eof(); (void)rs.MoveNext())
        nombres << QString::number(rs.valorEn(0).toInt()) + ":" + rs.valorEn(1).toString();
    EXPECT_EQ(nombres, QStringList({"1:Verano"}));
}

TEST_F(RecordsetTest, CompactedCopyThroughTheConnection) {
    CarpetaTemporal destino;
    const QString copia = destino.archivo(QStringLiteral("2009-03-01 (09-05-07).mdb"));
    ASSERT_TRUE(cn.Execute(QStringLiteral("VACUUM INTO ?"), {copia}).ok());
    EXPECT_TRUE(QFile::exists(copia));
    // An existing destination is refused.
    EXPECT_FALSE(cn.Execute(QStringLiteral("VACUUM INTO ?"), {copia}).ok());
    Conexion otra(reloj);
    otra.setConnectionString(copia);
    ASSERT_TRUE(otra.Open().ok());
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), otra).ok());
    EXPECT_EQ(rs.RecordCount(), 3);
}

TEST_F(RecordsetTest, AMovedRecordsetLeavesAClosedOneBehind) {
    Recordset a;
    ASSERT_TRUE(a.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    ASSERT_TRUE(a.MoveLast().ok());
    Recordset b = std::move(a);
    EXPECT_EQ(b.AbsolutePosition(), 3);
    EXPECT_EQ(a.State(), 0); // NOLINT(bugprone-use-after-move): checking what is left
    EXPECT_TRUE(RecordsetVacio(a));
    a = Recordset();
    EXPECT_TRUE(a.Open(QStringLiteral("SELECT ID FROM ClientesDB"), cn).ok());
}

TEST_F(RecordsetTest, SnapshotsOpenSideBySideAndNest) {
    Recordset fuera;
    ASSERT_TRUE(fuera.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    ASSERT_TRUE(fuera.MoveNext().ok());
    {
        Recordset dentro; // a scan inside a scan
        ASSERT_TRUE(dentro.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
        while (!dentro.Eof())
            ASSERT_TRUE(dentro.MoveNext().ok());
        ASSERT_TRUE(dentro.Close().ok());
    }
    EXPECT_EQ(fuera.AbsolutePosition(), 2);
    EXPECT_EQ(fuera.Valor(QStringLiteral("fldCodigo")).valor().toString(), "A2");
}

TEST_F(RecordsetTest, BoundParametersAreNeverSql) {
    db.clientes({Cliente(QStringLiteral("O'Brien"))});
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB WHERE fldCodigo = ?"), cn,
                        {QStringLiteral("O'Brien")})
                    .ok());
    EXPECT_EQ(rs.RecordCount(), 1);
    ASSERT_TRUE(rs.Close().ok());
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB WHERE fldCodigo = ?"), cn,
                        {QStringLiteral("x' OR '1'='1")})
                    .ok());
    EXPECT_EQ(rs.RecordCount(), 0);
    ASSERT_TRUE(rs.Close().ok());
    EXPECT_FALSE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB WHERE fldCodigo = ?"), cn).ok());
}

TEST_F(RecordsetTest, RecordsetOutlivingItsConnectionReadsButCannotWrite) {
    Recordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok());
    ASSERT_TRUE(cn.Close().ok());
    EXPECT_EQ(rs.Valor(QStringLiteral("fldCodigo")).valor().toString(), "A1");
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldCodigo"), QStringLiteral("Z")).ok());
    EXPECT_FALSE(rs.Update().ok());
    EXPECT_EQ(rs.Valor(QStringLiteral("fldCodigo")).valor().toString(), "A1");
    Recordset otro;
    EXPECT_EQ(otro.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).error().numero,
              ErrorDB::ObjetoCerrado);
}

TEST(ConexionTest, MissingFileIsAnErrorAndIsNotCreated) {
    CarpetaTemporal carpeta;
    RelojFijo reloj;
    Conexion cn(reloj);
    cn.setConnectionString(carpeta.archivo(QStringLiteral("Portiva.mdb")));
    const Resultado r = cn.Open();
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.error().descripcion.contains(QStringLiteral("Portiva.mdb")));
    EXPECT_EQ(cn.State(), 0);
    EXPECT_FALSE(QFile::exists(carpeta.archivo(QStringLiteral("Portiva.mdb"))));
    EXPECT_EQ(cn.Close().error().numero, ErrorDB::ObjetoCerrado);
}

TEST(ConexionTest, ConnectionStringNamesTheFile) {
    RelojFijo reloj;
    Conexion cn(reloj);
    cn.setConnectionString(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x/y/Portiva.mdb;"));
    EXPECT_EQ(cn.rutaArchivo(), "/x/y/Portiva.mdb");
    cn.setConnectionString(QStringLiteral("data source = /a b/c.mdb ;Jet OLEDB:Engine Type=5"));
    EXPECT_EQ(cn.rutaArchivo(), "/a b/c.mdb");
    cn.setConnectionString(QStringLiteral("/plain/path.mdb"));
    EXPECT_EQ(cn.rutaArchivo(), "/plain/path.mdb");
}

} // namespace
