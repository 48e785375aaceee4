// A recordset whose binary values stay in the file: each is read by the row's ID when the
// field is read, and reads, edits and new rows give what a snapshot holding them would.
#include "BaseDatosPrueba.h"
#include "Conexion.h"
#include "Recordset.h"
#include "RelojFijo.h"

#include <gtest/gtest.h>

using namespace portiva;
using namespace portiva::prueba;

namespace {

const QString kTodos = QStringLiteral("SELECT * FROM ClientesDB");

QByteArray Bytes(char c, int n) {
    return QByteArray(n, c);
}

class RecordsetDiferidoTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto conPlantilla = [](const char* codigo, QVariant plantilla) {
            QVariantMap fila = Cliente(QString::fromLatin1(codigo));
            fila.insert(QStringLiteral("fldTemplate"), plantilla);
            return fila;
        };
        db.clientes({conPlantilla("A1", Bytes('a', 3000)), conPlantilla("A2", QVariant()),
                     conPlantilla("A3", Bytes('c', 10))});
        cn.setConnectionString(db.ruta());
        otra.setConnectionString(db.ruta());
        ASSERT_TRUE(cn.Open().ok());
        ASSERT_TRUE(otra.Open().ok());
        rs.DiferirBinarios(true);
        ASSERT_TRUE(rs.Open(kTodos, cn).ok());
        campo = rs.IndiceCampo(QStringLiteral("fldTemplate"));
        ASSERT_GE(campo, 0);
    }

    QByteArray Guardada(int id) {
        Recordset r;
        EXPECT_TRUE(
            r.Open(QStringLiteral("SELECT fldTemplate FROM ClientesDB WHERE ID = ?"), otra, {id})
                .ok());
        return r.valorEn(0).toByteArray();
    }

    BaseDatosPrueba db;
    RelojFijo reloj;
    Conexion cn{reloj};
    Conexion otra{reloj};
    Recordset rs;
    int campo = -1;
};

TEST_F(RecordsetDiferidoTest, SeLeeComoLoGuardaElArchivo) {
    EXPECT_EQ(rs.Valor(QStringLiteral("fldTemplate")).valor().toByteArray(), Bytes('a', 3000));
    EXPECT_EQ(rs.valorEn(campo).toByteArray(), Bytes('a', 3000));
    EXPECT_EQ(rs.bytesEn(campo).toByteArray(), Bytes('a', 3000));
    EXPECT_FALSE(rs.esNuloEn(campo));
    EXPECT_EQ(rs.largoEn(campo), 3000);
    ASSERT_TRUE(rs.MoveNext().ok());
    EXPECT_EQ(rs.largoEn(campo), 0);
    EXPECT_TRUE(rs.Valor(QStringLiteral("fldTemplate")).valor().isNull());
    EXPECT_TRUE(rs.esNuloEn(campo));
    EXPECT_TRUE(rs.bytesEn(campo).isEmpty());
    ASSERT_TRUE(rs.MoveNext().ok());
    EXPECT_EQ(rs.bytesEn(campo).toByteArray(), Bytes('c', 10));
    // Other fields are in the snapshot as always.
    EXPECT_EQ(rs.Valor(QStringLiteral("fldCodigo")).valor().toString(), "A3");

    // Not held in memory: what the file holds when the field is read, Null once the row is gone.
    ASSERT_TRUE(otra.Execute(QStringLiteral("UPDATE ClientesDB SET fldTemplate = ? WHERE ID = 3"),
                             {Bytes('z', 20)})
                    .ok());
    EXPECT_EQ(rs.valorEn(campo).toByteArray(), Bytes('z', 20));
    ASSERT_TRUE(otra.Execute(QStringLiteral("DELETE FROM ClientesDB WHERE ID = 3")).ok());
    EXPECT_TRUE(rs.Valor(QStringLiteral("fldTemplate")).valor().isNull());
    EXPECT_EQ(rs.Valor(QStringLiteral("fldCodigo")).valor().toString(), "A3");

    // A recordset without the option keeps its snapshot.
    Recordset instantanea;
    ASSERT_TRUE(instantanea.Open(kTodos, cn).ok());
    ASSERT_TRUE(otra.Execute(QStringLiteral("UPDATE ClientesDB SET fldTemplate = ? WHERE ID = 1"),
                             {Bytes('y', 5)})
                    .ok());
    EXPECT_EQ(instantanea.valorEn(campo).toByteArray(), Bytes('a', 3000));
}

TEST_F(RecordsetDiferidoTest, EdicionesYFilasNuevasGuardanYMuestranLaPlantilla) {
    // Another field edited: the template stays as stored.
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldNombre"), QStringLiteral("Ana")).ok());
    ASSERT_TRUE(rs.Update().ok());
    EXPECT_EQ(Guardada(1), Bytes('a', 3000));
    EXPECT_EQ(rs.valorEn(campo).toByteArray(), Bytes('a', 3000));

    // The template itself: the pending value is shown until stored, then the stored one.
    ASSERT_TRUE(rs.MoveNext().ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldTemplate"), Bytes('b', 700)).ok());
    EXPECT_EQ(rs.Valor(QStringLiteral("fldTemplate")).valor().toByteArray(), Bytes('b', 700));
    ASSERT_TRUE(rs.Update().ok());
    EXPECT_EQ(Guardada(2), Bytes('b', 700));
    EXPECT_EQ(rs.bytesEn(campo).toByteArray(), Bytes('b', 700));
    EXPECT_FALSE(rs.esNuloEn(campo));

    // Undone: the stored value again.
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldTemplate"), Bytes('q', 9)).ok());
    ASSERT_TRUE(rs.CancelUpdate().ok());
    EXPECT_EQ(rs.valorEn(campo).toByteArray(), Bytes('b', 700));

    // A new row.
    ASSERT_TRUE(rs.AddNew().ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldCodigo"), QStringLiteral("A4")).ok());
    ASSERT_TRUE(rs.PonerValor(QStringLiteral("fldTemplate"), Bytes('d', 4000)).ok());
    ASSERT_TRUE(rs.Update().ok());
    const qlonglong id = rs.Valor(QStringLiteral("ID")).valor().toLongLong();
    EXPECT_EQ(Guardada(static_cast<int>(id)), Bytes('d', 4000));
    EXPECT_EQ(rs.valorEn(campo).toByteArray(), Bytes('d', 4000));
    ASSERT_TRUE(rs.MoveFirst().ok());
    ASSERT_TRUE(rs.MoveLast().ok());
    EXPECT_EQ(rs.bytesEn(campo).toByteArray(), Bytes('d', 4000));
    EXPECT_EQ(rs.RecordCount(), 4);
}

TEST_F(RecordsetDiferidoTest, ValoresQueNoSonBinariosSiguenEnLaInstantanea) {
    ASSERT_TRUE(
        otra.Execute(QStringLiteral("UPDATE ClientesDB SET fldTemplate = 7 WHERE ID = 1")).ok());
    Recordset r;
    r.DiferirBinarios(true);
    ASSERT_TRUE(r.Open(kTodos, cn).ok());
    EXPECT_EQ(r.valorEn(campo).toLongLong(), 7);
    EXPECT_TRUE(r.bytesEn(campo).isEmpty());
    EXPECT_EQ(r.largoEn(campo), 0);
    EXPECT_FALSE(r.esNuloEn(campo));
    // An expression has no table to be read from: its bytes stay in the snapshot.
    Recordset expresion;
    expresion.DiferirBinarios(true);
    ASSERT_TRUE(expresion
                    .Open(QStringLiteral("SELECT ID, CAST(fldTemplate || X'00' AS BLOB) AS t FROM "
                                         "ClientesDB WHERE ID = 3"),
                          cn)
                    .ok());
    EXPECT_EQ(expresion.valorEn(1).toByteArray(), Bytes('c', 10) + QByteArray(1, '\0'));
}

} // namespace
