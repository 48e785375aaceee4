// The gallery kept current from the file's change log: after any mix of writes by another
// process it holds exactly what a full read of the file gives, it reads only the changed rows
// while the log is complete, and it reads everything when in doubt (no log, entries missing,
// the schema changed, a read-only file of an older version).
#include "BaseDatosPrueba.h"
#include "Conexion.h"
#include "EnlaceSqlite.h"
#include "GaleriaHuellas.h"
#include "GaleriaPrueba.h"
#include "HuellasPrueba.h"
#include "OtroProceso.h"
#include "RegistroCambios.h"
#include "RelojFijo.h"

#include <gtest/gtest.h>

#include <random>

namespace portiva {
namespace {

using prueba::Blob;
using prueba::EnOtroProceso;
using prueba::ExpectComoLeidaDeNuevo;
using prueba::PlantillaGuardada;

class GaleriaCambiosTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString sql;
        for (int i = 0; i < 30; ++i)
            sql +=
                QStringLiteral("INSERT INTO ClientesDB (fldCodigo, fldNombre, fldTemplate) "
                               "VALUES ('c%1', 'n%1', %2);")
                    .arg(i)
                    .arg(i % 4 == 3 ? QStringLiteral("NULL") : Blob(PlantillaGuardada(i % 5, 0)));
        EnOtroProceso(base.ruta(), sql);
        cn.setConnectionString(base.ruta());
        ASSERT_TRUE(cn.Open().ok());
    }

    bool ConRegistro() {
        const auto r = registro_cambios::Leer(cn);
        return r.ok() && r.valor().presente;
    }

    // Every value of every member row.
    QString Volcado() {
        prueba::OtraConexion otra(base.ruta());
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(otra.db(),
                                     "SELECT quote(ID), quote(fldCodigo), "
                                     "quote(fldNombre), quote(fldTemplate), "
                                     "typeof(fldTemplate) FROM ClientesDB",
                                     -1, &st, nullptr),
                  SQLITE_OK);
        QString texto;
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int i = 0; i < 5; ++i)
                texto +=
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i))) +
                    QLatin1Char('|');
        sqlite3_finalize(st);
        return texto;
    }

    prueba::BaseDatosPrueba base;
    prueba::RelojFijo reloj;
    Conexion cn{reloj};
    GaleriaHuellas galeria;
};

TEST_F(GaleriaCambiosTest, CambiosDeOtroProcesoSeLeenFilaAFilaYDanLaMismaGaleria) {
    QByteArray corrupta = PlantillaGuardada(2, 0);
    corrupta[40] = static_cast<char>(corrupta[40] ^ 0x5A);
    const std::vector<QString> valores = {
        Blob(PlantillaGuardada(0, 0)), Blob(PlantillaGuardada(1, 0)),
        Blob(PlantillaGuardada(6, 0)), Blob(corrupta),
        QStringLiteral("7"),           QStringLiteral("NULL"),
        QStringLiteral("'texto'"),     QStringLiteral("X''")};
    // A file of an older version: the log is made at the first read, the members' rows
    // untouched.
    ASSERT_FALSE(ConRegistro());
    const QString antes = Volcado();
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    EXPECT_TRUE(ConRegistro());
    EXPECT_EQ(Volcado(), antes);
    EXPECT_EQ(galeria.lecturasCompletas(), 1);

    std::mt19937 g(77);
    for (int vuelta = 0; vuelta < 10; ++vuelta) {
        QString sql;
        for (int k = 0; k < 6; ++k) {
            const int id = 1 + static_cast<int>(g() % 40);
            const QString valor = valores[g() % valores.size()];
            switch (g() % 5) {
            case 0:
                sql += QStringLiteral("INSERT INTO ClientesDB (fldCodigo, fldTemplate) VALUES "
                                      "('x', %1);")
                           .arg(valor);
                break;
            case 1:
                sql += QStringLiteral("UPDATE ClientesDB SET fldTemplate = %1 WHERE ID = %2;")
                           .arg(valor)
                           .arg(id);
                break;
            case 2:
                sql += QStringLiteral("UPDATE ClientesDB SET fldNombre = 'v%1', fldStuffSiNo = 1, "
                                      "fldFechaCaducidad = '2031-02-03' WHERE ID = %2;")
                           .arg(vuelta)
                           .arg(id);
                break;
            case 3:
                // A row that takes another ID moves in table order.
                sql += QStringLiteral("UPDATE OR IGNORE ClientesDB SET ID = %1 WHERE ID = %2;")
                           .arg(100 + vuelta * 10 + k)
                           .arg(id);
                break;
            default:
                sql += QStringLiteral("DELETE FROM ClientesDB WHERE ID = %1;").arg(id);
            }
        }
        EnOtroProceso(base.ruta(), sql);
        ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
        ExpectComoLeidaDeNuevo(galeria, base.ruta(), "vuelta " + std::to_string(vuelta));
    }
    // This station's own writes are logged as well.
    ASSERT_TRUE(cn.Execute(QStringLiteral("DELETE FROM ClientesDB WHERE ID = 2")).ok());
    ASSERT_TRUE(cn.Execute(QStringLiteral("UPDATE ClientesDB SET fldTemplate = ? WHERE ID = 5"),
                           {PlantillaGuardada(6, 0)})
                    .ok());
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    ExpectComoLeidaDeNuevo(galeria, base.ruta(), "escrito por esta estacion");
    EXPECT_EQ(galeria.lecturasCompletas(), 1);
}

TEST_F(GaleriaCambiosTest, EnLaDudaSeLeeTodo) {
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    ASSERT_EQ(galeria.lecturasCompletas(), 1);

    // More entries than the log keeps: the oldest unread ones are gone.
    QString muchos = QStringLiteral("BEGIN;");
    for (qint64 i = 0; i < registro_cambios::MaximoEntradas + 10; ++i)
        muchos += QStringLiteral("UPDATE ClientesDB SET fldNombre = 'm%1' WHERE ID = 1;").arg(i);
    EnOtroProceso(base.ruta(), muchos + QStringLiteral("DELETE FROM ClientesDB WHERE ID = 3;"
                                                       "COMMIT;"));
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    EXPECT_EQ(galeria.lecturasCompletas(), 2);
    ExpectComoLeidaDeNuevo(galeria, base.ruta(), "registro podado");
    // The log stays bounded.
    const auto estado = registro_cambios::Leer(cn);
    ASSERT_TRUE(estado.ok());
    EXPECT_GT(estado.valor().ultima, registro_cambios::MaximoEntradas);

    // An entry removed by hand from the middle of the unread ones.
    EnOtroProceso(base.ruta(), QStringLiteral("UPDATE ClientesDB SET fldNombre = 'a' WHERE ID = 4;"
                                              "UPDATE ClientesDB SET fldNombre = 'b' WHERE ID = 5;"
                                              "DELETE FROM CambiosClientesDB WHERE Orden = "
                                              "(SELECT MAX(Orden) - 1 FROM CambiosClientesDB);"));
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    EXPECT_EQ(galeria.lecturasCompletas(), 3);
    ExpectComoLeidaDeNuevo(galeria, base.ruta(), "hueco en el registro");

    // The log's triggers dropped by another program: the schema changed, and from then on
    // every change is read in full.
    EnOtroProceso(base.ruta(), QStringLiteral("DROP TRIGGER CambiosClientesDB_Baja;"
                                              "DELETE FROM ClientesDB WHERE ID = 6;"));
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    EXPECT_EQ(galeria.lecturasCompletas(), 4);
    ExpectComoLeidaDeNuevo(galeria, base.ruta(), "sin disparador");
    EnOtroProceso(base.ruta(), QStringLiteral("DELETE FROM ClientesDB WHERE ID = 7;"));
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    EXPECT_EQ(galeria.lecturasCompletas(), 5);
    ExpectComoLeidaDeNuevo(galeria, base.ruta(), "sin disparador, otra vez");

    // Another connection (the file opened again): read in full; the log is made again.
    ASSERT_TRUE(cn.Close().ok());
    ASSERT_TRUE(cn.Open().ok());
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    EXPECT_EQ(galeria.lecturasCompletas(), 6);
    EXPECT_TRUE(ConRegistro());
    EnOtroProceso(base.ruta(), QStringLiteral("DELETE FROM ClientesDB WHERE ID = 8;"));
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    EXPECT_EQ(galeria.lecturasCompletas(), 6);
    ExpectComoLeidaDeNuevo(galeria, base.ruta(), "conexion nueva");
}

TEST_F(GaleriaCambiosTest, ArchivoAntiguoQueNoSePuedeEscribirSeLeeEntero) {
    // A connection that may not write, as to a read-only file (also when the tests run as
    // root, who writes whatever the permissions say).
    ASSERT_EQ(sqlite3_exec(cn.enlace()->db(), "PRAGMA query_only = 1", nullptr, nullptr, nullptr),
              SQLITE_OK);
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    EXPECT_FALSE(ConRegistro());
    EXPECT_EQ(galeria.tamano(), 23u);
    for (const QString& sql :
         {QStringLiteral("DELETE FROM ClientesDB WHERE ID = 1;"),
          QStringLiteral("UPDATE ClientesDB SET fldTemplate = %1 WHERE ID = 4;")
              .arg(Blob(PlantillaGuardada(1, 0)))}) {
        EnOtroProceso(base.ruta(), sql);
        ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
        ExpectComoLeidaDeNuevo(galeria, base.ruta(), sql.toStdString());
    }
    EXPECT_EQ(galeria.tamano(), 23u);
    EXPECT_EQ(galeria.lecturasCompletas(), 3);
}

} // namespace
} // namespace portiva
