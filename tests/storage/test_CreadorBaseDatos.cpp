// Making empty and demo station databases, with the library and with the command-line tool.
#include "EntornoPrueba.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace portiva;
using namespace portiva::prueba;

namespace {

TEST(CreadorBaseDatosTest, EmptyDatabaseHasBothTablesWithTheirFieldsAndNoRows) {
    EntornoPrueba e; // made with CrearVacia
    ASSERT_TRUE(e.db.AbrirDB());
    EXPECT_TRUE(EsquemaEstacion::comprobar(e.db.cnClientes()).ok());
    EXPECT_EQ(e.db.rsClientes().RecordCount(), 0);
    QStringList campos;
    for (int i = 0; i < e.db.rsClientes().FieldCount(); ++i)
        campos << e.db.rsClientes().FieldName(i);
    EXPECT_EQ(campos, EsquemaEstacion::camposClientes());
    EXPECT_FALSE(e.db.CargarServicios());
}

TEST(CreadorBaseDatosTest, NeverOverwritesAFile) {
    CarpetaTemporal c;
    const QString ruta = c.archivo("Portiva.mdb");
    {
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("datos de otra estacion");
    }
    EXPECT_FALSE(CreadorBaseDatos::CrearVacia(ruta).ok());
    EXPECT_FALSE(CreadorBaseDatos::CrearDemo(ruta, QDate(2026, 12, 8)).ok());
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "datos de otra estacion");
}

TEST(CreadorBaseDatosTest, DemoCoversEveryKindOfMember) {
    EntornoPrueba e;
    ASSERT_TRUE(QFile::remove(e.base.ruta()));
    ASSERT_TRUE(CreadorBaseDatos::CrearDemo(e.base.ruta(), e.hoy()).ok());
    ASSERT_TRUE(e.db.AbrirDB());
    EXPECT_TRUE(e.db.CargarServicios());
    QStringList intervalos;
    Recordset servicios;
    ASSERT_TRUE(servicios.Open("SELECT fldIntervalo FROM ServiciosDB", e.db.cnClientes()).ok());
    // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
    for (; !servicios.Eof(); (void)servicios.MoveNext())
        intervalos << servicios.valorEn(0).toString();
    EXPECT_TRUE(intervalos.contains("d"));
    EXPECT_TRUE(intervalos.contains("m"));

    EXPECT_EQ(e.db.Stuff(), 2);
    EXPECT_EQ(e.db.Permitidos(), 3);
    EXPECT_EQ(e.db.NoPermitidos(), 3);
    EXPECT_EQ(e.db.TotalClientes(), 8);
    Recordset rs;
    auto cuenta = [&](const char* donde) {
        EXPECT_TRUE(rs.Open(QStringLiteral("SELECT COUNT(*) AS Result FROM ClientesDB WHERE ") +
                                QString::fromLatin1(donde),
                            e.db.cnClientes())
                        .ok());
        const int n = rs.valorEn(0).toInt();
        // Closing a scratch recordset has nothing left to report: what it read is already taken.
        (void)rs.Close();
        return n;
    };
    EXPECT_EQ(cuenta("fldStuffSiNo = True AND fldFechaCaducidad < DATE()"), 1);
    EXPECT_EQ(cuenta("fldStuffSiNo = True AND ISNULL(fldFechaInicio)"), 1);
    EXPECT_EQ(cuenta("fldFechaCaducidad = DATE()"), 1);
    EXPECT_EQ(cuenta("fldFechaInicio > DATE()"), 1);
    EXPECT_EQ(cuenta("NOT ISNULL(fldTemplate)"), 0);
}

TEST(CreadorBaseDatosTest, CommandLineToolCreatesEmptyAndDemoFiles) {
    CarpetaTemporal c;
    const QString vacia = c.archivo("vacia.mdb");
    const QString demo = c.archivo("demo.mdb");
    EXPECT_EQ(QProcess::execute(QStringLiteral(CREARDB), {vacia}), 0);
    EXPECT_EQ(QProcess::execute(QStringLiteral(CREARDB), {"--demo", "--hoy", "2026-12-08", demo}),
              0);
    EXPECT_NE(QProcess::execute(QStringLiteral(CREARDB), {vacia}), 0); // exists already
    EXPECT_NE(QProcess::execute(QStringLiteral(CREARDB), {"--hoy", "ayer", c.archivo("x.mdb")}), 0);
    EXPECT_NE(QProcess::execute(QStringLiteral(CREARDB), {}), 0);
    EXPECT_FALSE(QFile::exists(c.archivo("x.mdb")));

    RelojFijo reloj;
    for (const QString& ruta : {vacia, demo}) {
        Conexion cn(reloj);
        cn.setConnectionString(ruta);
        ASSERT_TRUE(cn.Open().ok());
        EXPECT_TRUE(EsquemaEstacion::comprobar(cn).ok());
    }
}

} // namespace
