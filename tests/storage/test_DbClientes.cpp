// The member database: opening and closing, lookups, new, delete and move.
#include "EntornoPrueba.h"
#include "RecordsetVacio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace portiva;
using namespace portiva::prueba;

namespace {

class DbClientesTest : public ::testing::Test {
protected:
    void abrir(std::vector<QVariantMap> clientes) {
        e.base.clientes(clientes);
        ASSERT_TRUE(e.db.AbrirDB());
    }
    EntornoPrueba e;
};

// --- opening ---------------------------------------------------------------------------------

TEST_F(DbClientesTest, AbrirDBOpensTheMemberListOnTheFirstRow) {
    abrir({Cliente("A1"), Cliente("A2")});
    EXPECT_EQ(e.db.cnClientes().State(), 1);
    EXPECT_EQ(e.db.cnClientes().ConnectionString(),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + e.base.ruta() + ";");
    EXPECT_EQ(e.db.rsClientes().State(), 1);
    EXPECT_EQ(e.db.rsClientes().RecordCount(), 2);
    EXPECT_EQ(e.codigoActual(), "A1");
    EXPECT_TRUE(e.msgBox.mostrados.empty());
}

TEST_F(DbClientesTest, CerrarDBClosesTheSharedRecordsetsAndAbrirDBStartsAfresh) {
    abrir({Cliente("A1")});
    ASSERT_TRUE(
        e.db.rsTemp().Open(QStringLiteral("SELECT ID FROM ClientesDB"), e.db.cnClientes()).ok());
    ASSERT_TRUE(
        e.db.rsHuella().Open(QStringLiteral("SELECT * FROM ClientesDB"), e.db.cnClientes()).ok());
    ASSERT_TRUE(e.db.CerrarDB().ok());
    EXPECT_EQ(e.db.cnClientes().State(), 0);
    EXPECT_EQ(e.db.rsClientes().State(), 0);
    EXPECT_EQ(e.db.rsTemp().State(), 0);
    EXPECT_EQ(e.db.rsHuella().State(), 0);
    ASSERT_TRUE(e.db.CerrarDB().ok()); // nothing left open: nothing to do
    ASSERT_TRUE(e.db.AbrirDB());
    EXPECT_EQ(e.db.rsTemp().State(), 0);
    EXPECT_EQ(e.codigoActual(), "A1");
}

struct HuellaArchivo {
    QByteArray bytes;
    QDateTime modificado;
    QStringList carpeta;
};

HuellaArchivo huella(const QString& ruta) {
    QFile f(ruta);
    HuellaArchivo h;
    if (f.open(QIODevice::ReadOnly))
        h.bytes = f.readAll();
    h.modificado = QFileInfo(ruta).lastModified();
    h.carpeta = QFileInfo(ruta).dir().entryList(QDir::Files | QDir::Hidden);
    return h;
}

// Rewrites Portiva.mdb with the given bytes, or with an SQLite file built by the given SQL.
void reemplazar(const QString& ruta, const QByteArray& bytes) {
    QFile::remove(ruta);
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class NoEsBaseDeEstacionTest : public ::testing::TestWithParam<const char*> {};

TEST_P(NoEsBaseDeEstacionTest, AbrirDBFailsSilentlyAndLeavesTheFileAsItWas) {
    EntornoPrueba e;
    const QString ruta = e.base.ruta();
    const QString caso = QString::fromLatin1(GetParam());
    if (caso == "vacio") {
        reemplazar(ruta, {});
    } else if (caso == "texto") {
        reemplazar(ruta, "Esto no es una base de datos.\n");
    } else if (caso == "basura") {
        reemplazar(ruta, QByteArray(8192, '\x7f'));
    } else {
        // An SQLite file with the station's schema altered.
        QString sql = CreadorBaseDatos::esquemaSql();
        if (caso == "sin-servicios")
            sql = sql.left(sql.indexOf("CREATE TABLE ServiciosDB"));
        else if (caso == "sin-plantilla")
            sql.replace(",\n  fldTemplate BLOB", "");
        else if (caso == "id-texto")
            sql.replace("ID INTEGER PRIMARY KEY AUTOINCREMENT,\n  fldServicio",
                        "ID TEXT,\n  fldServicio");
        QFile::remove(ruta);
        RelojFijo reloj;
        Conexion cn(reloj);
        reemplazar(ruta, {});
        cn.setConnectionString(ruta);
        ASSERT_TRUE(cn.Open().ok());
        for (const QString& sentencia : sql.split(';', Qt::SkipEmptyParts)) {
            if (!sentencia.trimmed().isEmpty()) {
                ASSERT_TRUE(cn.Execute(sentencia).ok()) << qPrintable(sentencia);
            }
        }
        ASSERT_TRUE(cn.Close().ok());
    }
    {
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5)),
                                  QFileDevice::FileModificationTime));
    }
    const HuellaArchivo antes = huella(ruta);

    EXPECT_FALSE(e.db.AbrirDB());
    EXPECT_EQ(e.db.cnClientes().State(), 0);
    EXPECT_EQ(e.db.rsClientes().State(), 0);
    EXPECT_TRUE(e.msgBox.mostrados.empty());
    // The reason is known, for the box and the log.
    const QString motivo = e.db.MotivoError();
    if (caso == "texto" || caso == "basura")
        EXPECT_EQ(motivo, "el archivo no es una base de datos");
    else if (caso == "sin-plantilla")
        EXPECT_TRUE(motivo.contains("falta el campo fldTemplate")) << qPrintable(motivo);
    else if (caso == "sin-servicios")
        EXPECT_TRUE(motivo.contains("falta la tabla ServiciosDB")) << qPrintable(motivo);
    else
        EXPECT_FALSE(motivo.isEmpty());
    const HuellaArchivo despues = huella(ruta);
    EXPECT_EQ(despues.bytes, antes.bytes);
    EXPECT_EQ(despues.modificado, antes.modificado);
    EXPECT_EQ(despues.carpeta, antes.carpeta); // no journal or other file left beside it
}

INSTANTIATE_TEST_SUITE_P(Archivos, NoEsBaseDeEstacionTest,
                         ::testing::Values("vacio", "texto", "basura", "sin-servicios",
                                           "sin-plantilla", "id-texto"));

TEST_F(DbClientesTest, ADatabaseLockedByAnotherProgramIsSaidSo) {
    RelojFijo reloj;
    Conexion otro(reloj);
    otro.setConnectionString(e.base.ruta());
    ASSERT_TRUE(otro.Open().ok());
    ASSERT_TRUE(otro.Execute("BEGIN EXCLUSIVE").ok());
    EXPECT_FALSE(e.db.AbrirDB());
    EXPECT_EQ(e.db.MotivoError(), "la base de datos esta bloqueada por otro programa");
    ASSERT_TRUE(otro.Execute("ROLLBACK").ok());
    EXPECT_TRUE(e.db.AbrirDB());
    EXPECT_EQ(e.db.MotivoError(), "");
}

TEST_F(DbClientesTest, AReadOnlyDatabaseOrFolderIsWarnedAtOpen) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes whatever the permissions say";
    ASSERT_TRUE(e.db.AbrirDB());
    EXPECT_EQ(e.db.AvisoSoloLectura(), "");
    const auto permisos = QFile::permissions(e.base.ruta());
    ASSERT_TRUE(QFile::setPermissions(e.base.ruta(), QFileDevice::ReadOwner));
    EXPECT_TRUE(e.db.AvisoSoloLectura().contains("Portiva.mdb es de solo lectura"));
    ASSERT_TRUE(QFile::setPermissions(e.base.ruta(), permisos));
    const auto carpeta = QFile::permissions(e.base.carpeta());
    ASSERT_TRUE(
        QFile::setPermissions(e.base.carpeta(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QString aviso = e.db.AvisoSoloLectura();
    ASSERT_TRUE(QFile::setPermissions(e.base.carpeta(), carpeta));
    EXPECT_TRUE(aviso.contains("es de solo lectura")) << qPrintable(aviso);
}

TEST_F(DbClientesTest, ADatabaseRemovedWhileOpenIsWarnedOnce) {
    ASSERT_TRUE(e.db.AbrirDB());
    EXPECT_EQ(e.db.AvisoArchivoDesaparecido(), "");
    const QString aparte = e.base.ruta() + ".aparte";
    ASSERT_TRUE(QFile::rename(e.base.ruta(), aparte));
    EXPECT_TRUE(e.db.AvisoArchivoDesaparecido().contains("ya no esta en la carpeta"));
    EXPECT_EQ(e.db.AvisoArchivoDesaparecido(), ""); // once
    ASSERT_TRUE(QFile::rename(aparte, e.base.ruta()));
    EXPECT_EQ(e.db.AvisoArchivoDesaparecido(), "");
    // A copy put in its place is another file: changes go to the one still open.
    ASSERT_TRUE(QFile::copy(e.base.ruta(), aparte));
    ASSERT_TRUE(QFile::remove(e.base.ruta()));
    ASSERT_TRUE(QFile::rename(aparte, e.base.ruta()));
    EXPECT_FALSE(e.db.AvisoArchivoDesaparecido().isEmpty());
}

TEST_F(DbClientesTest, AbrirDBOnAMissingFileFailsAndCreatesNothing) {
    QFile::remove(e.base.ruta());
    EXPECT_FALSE(e.db.AbrirDB());
    EXPECT_TRUE(e.db.MotivoError().contains("No se encuentra")) << qPrintable(e.db.MotivoError());
    EXPECT_FALSE(QFile::exists(e.base.ruta()));
    EXPECT_TRUE(QDir(e.base.carpeta()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// --- services --------------------------------------------------------------------------------

TEST_F(DbClientesTest, CargarServiciosFillsTheListWithNamesAndIds) {
    e.base.servicios({Servicio("Mensual", 30), Servicio("Anual", 300)});
    abrir({});
    e.vista.servicios.push_back({"viejo", 99});
    EXPECT_TRUE(e.db.CargarServicios());
    ASSERT_EQ(e.vista.servicios.size(), 2u);
    EXPECT_EQ(e.vista.servicios[0], std::make_pair(QStringLiteral("Mensual"), 1));
    EXPECT_EQ(e.vista.servicios[1], std::make_pair(QStringLiteral("Anual"), 2));
    EXPECT_EQ(e.db.rsServicios().State(), 0);
}

TEST_F(DbClientesTest, CargarServiciosOnAnEmptyTableSaysSoAndFails) {
    abrir({});
    EXPECT_FALSE(e.db.CargarServicios());
    ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
    EXPECT_EQ(e.msgBox.ultimo().texto,
              "No se han encontrado tipos de Servicion que ofrecer al cliente.");
    EXPECT_EQ(e.msgBox.ultimo().estilo, 64);
    EXPECT_EQ(e.msgBox.ultimo().titulo, "Tipos de Servicios...");
    EXPECT_TRUE(e.vista.servicios.empty());
    EXPECT_EQ(e.db.rsServicios().State(), 0);
}

TEST_F(DbClientesTest, PrecioServicioRoundsHalfToEven) {
    e.base.servicios({Servicio("a", 12.5), Servicio("b", 13.5), Servicio("c", QVariant()),
                      Servicio("d", 40000), Servicio("e", -32768), Servicio("f", 29.99)});
    abrir({});
    EXPECT_EQ(*e.db.PrecioServicio(1), 12);
    EXPECT_EQ(*e.db.PrecioServicio(2), 14);
    EXPECT_EQ(*e.db.PrecioServicio(3), 0); // no price
    EXPECT_EQ(*e.db.PrecioServicio(5), -32768);
    EXPECT_EQ(*e.db.PrecioServicio(6), 30);
    EXPECT_EQ(*e.db.PrecioServicio(77), 0); // no such service
    auto grande = e.db.PrecioServicio(4);
    ASSERT_FALSE(grande.ok());
    EXPECT_EQ(grande.error().numero, ErrorDB::Desbordamiento);
    EXPECT_EQ(e.db.rsServicios().State(), 0); // closed on the error path too
    EXPECT_TRUE(e.msgBox.mostrados.empty());
}

// --- lookups ---------------------------------------------------------------------------------

TEST_F(DbClientesTest, PosicionIDIsThePositionInTableOrder) {
    abrir({Cliente("A"), Cliente("B"), Cliente("C"), Cliente("D")});
    ASSERT_TRUE(
        e.db.cnClientes().Execute(QStringLiteral("DELETE FROM ClientesDB WHERE ID = 2")).ok());
    EXPECT_EQ(*e.db.PosicionID(1), 1);
    EXPECT_EQ(*e.db.PosicionID(3), 2);
    EXPECT_EQ(*e.db.PosicionID(4), 3);
    EXPECT_EQ(*e.db.PosicionID(2), 0);
    EXPECT_EQ(*e.db.PosicionID(99), 0);
    EXPECT_EQ(*e.db.PosicionID(0), 0);
    EXPECT_EQ(*e.db.PosicionID(-5), 0);
    EXPECT_TRUE(e.msgBox.mostrados.empty());
    EXPECT_EQ(e.db.rsTemp().State(), 0);
}

TEST_F(DbClientesTest, PosicionIDOnAnEmptyTableSaysSo) {
    abrir({});
    EXPECT_EQ(*e.db.PosicionID(0), 0); // no query for an ID below 1
    EXPECT_TRUE(e.msgBox.mostrados.empty());
    EXPECT_EQ(*e.db.PosicionID(1), 0);
    ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
    EXPECT_EQ(e.msgBox.ultimo().texto, "No se han encontrado coincidencias, intentelo de nuevo.");
    EXPECT_EQ(e.msgBox.ultimo().estilo, 64);
    EXPECT_EQ(e.msgBox.ultimo().titulo, "Buscando ID de cliente...");
}

TEST_F(DbClientesTest, CodigoRepetidoFindsAnotherMemberWithTheCode) {
    abrir({Cliente("A01"), Cliente("B02"), Cliente("O'Brien"), Cliente("")});
    EXPECT_EQ(*e.db.CodigoRepetido("A01", 1), 0); // its own code
    EXPECT_EQ(*e.db.CodigoRepetido("A01", 2), 1);
    EXPECT_EQ(*e.db.CodigoRepetido("a01", 2), 1); // any case, as Jet compares
    EXPECT_EQ(*e.db.CodigoRepetido("O'Brien", 1), 3);
    EXPECT_EQ(*e.db.CodigoRepetido("x' OR '1'='1", 1), 0);
    EXPECT_EQ(*e.db.CodigoRepetido("", 1), 0);
    EXPECT_EQ(*e.db.CodigoRepetido("A01", 0), 0);
    EXPECT_EQ(e.db.rsTemp().State(), 0);
}

TEST_F(DbClientesTest, BuscarCodigoGivesThePositionOfTheSmallestMatchingId) {
    abrir({Cliente("X1"), Cliente("A2"), Cliente("Y1"), Cliente("a1"), Cliente("O'Brien")});
    EXPECT_EQ(*e.db.BuscarCodigo("A*"), 2);
    EXPECT_EQ(*e.db.BuscarCodigo("?1"), 1);
    EXPECT_EQ(*e.db.BuscarCodigo("y1"), 3);
    EXPECT_EQ(*e.db.BuscarCodigo("O'B*"), 5);
    EXPECT_TRUE(e.msgBox.mostrados.empty());
    EXPECT_EQ(*e.db.BuscarCodigo(""), 0);
    EXPECT_TRUE(e.msgBox.mostrados.empty());
    EXPECT_EQ(*e.db.BuscarCodigo("Z*"), 0);
    ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
    EXPECT_EQ(e.msgBox.ultimo().texto, "No se han encontrado coincidencias, intentelo de nuevo.");
    EXPECT_EQ(e.msgBox.ultimo().titulo, "Buscando Codigo del cliente...");
    EXPECT_EQ(e.db.rsTemp().State(), 0);
}

TEST_F(DbClientesTest, LookupsReportAnEngineErrorToTheCaller) {
    abrir({Cliente("A")});
    // A lookup that finds the scratch recordset busy (another operation holds it open).
    ASSERT_TRUE(
        e.db.rsTemp().Open(QStringLiteral("SELECT ID FROM ClientesDB"), e.db.cnClientes()).ok());
    auto r = e.db.PosicionID(1);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().numero, ErrorDB::ObjetoAbierto);
    EXPECT_EQ(e.db.rsTemp().State(), 1); // left to its owner
}

// --- new member ------------------------------------------------------------------------------

TEST_F(DbClientesTest, NuevoClienteStoresTheDefaultsAtOnceAndOpensTheRowForEditing) {
    abrir({Cliente("A"), Cliente("B"), Cliente("C")});
    ASSERT_TRUE(e.db.rsClientes().Move(1).ok());
    e.vista.casillaInfo = 1;
    ASSERT_TRUE(e.db.NuevoCliente().ok());

    EXPECT_EQ(e.vista.InfoAmpliadaPrevia(), 1);
    EXPECT_EQ(e.vista.casillaInfo, 0);
    EXPECT_EQ(e.vista.PosicionPrevia(), 2);
    EXPECT_TRUE(e.vista.RegistroNuevo());
    EXPECT_TRUE(e.vista.ModoEdicion());
    EXPECT_EQ(e.vista.llamadas, QStringList({"RecordSetToText", "InfoCaducidadDB", "ActNavegador",
                                             "EditMode(True)"}));
    Recordset& rs = e.db.rsClientes();
    EXPECT_EQ(rs.AbsolutePosition(), 4);
    EXPECT_EQ(rs.RecordCount(), 4);

    // Stored in the file, with today in the three dates and empty texts (not Null).
    Recordset fila;
    ASSERT_TRUE(
        fila.Open(QStringLiteral("SELECT * FROM ClientesDB WHERE ID = 4"), e.db.cnClientes()).ok());
    ASSERT_EQ(fila.RecordCount(), 1);
    for (const char* campo :
         {"fldCodigo", "fldNombre", "fldNomFiscal", "fldServContratado", "fldFotoPath"}) {
        const QVariant v = fila.Valor(QString::fromLatin1(campo)).valor();
        EXPECT_FALSE(v.isNull()) << campo;
        EXPECT_EQ(v.toString(), "") << campo;
    }
    for (const char* campo : {"fldFechaInscripcion", "fldFechaInicio", "fldFechaCaducidad"})
        EXPECT_EQ(fila.Valor(QString::fromLatin1(campo)).valor(), QVariant(e.hoy())) << campo;
    EXPECT_EQ(fila.Valor(QStringLiteral("fldStuffSiNo")).valor(), QVariant(false));
    EXPECT_TRUE(fila.Valor(QStringLiteral("fldPrecio")).valor().isNull());
    EXPECT_TRUE(fila.Valor(QStringLiteral("fldTemplate")).valor().isNull());

    // Before it is edited it counts as refused.
    EXPECT_EQ(e.db.NoPermitidos(), 1);
}

TEST_F(DbClientesTest, NuevoClienteThatCannotBeStoredChangesNothing) {
    abrir({Cliente("A")});
    ASSERT_TRUE(e.db.cnClientes()
                    .Execute(QStringLiteral("CREATE TEMP TRIGGER lleno BEFORE INSERT ON ClientesDB "
                                            "BEGIN SELECT RAISE(ABORT, 'disco lleno'); END"))
                    .ok());
    e.vista.casillaInfo = 1;
    e.vista.posicionPrevia = 7;
    const Resultado r = e.db.NuevoCliente();
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.error().descripcion.contains("disco lleno"));
    EXPECT_EQ(e.vista.casillaInfo, 1);
    EXPECT_EQ(e.vista.posicionPrevia, 7);
    EXPECT_FALSE(e.vista.RegistroNuevo());
    EXPECT_FALSE(e.vista.ModoEdicion());
    EXPECT_TRUE(e.vista.llamadas.isEmpty());
    EXPECT_EQ(e.db.rsClientes().RecordCount(), 1);
    EXPECT_EQ(e.db.rsClientes().AbsolutePosition(), 1);
    EXPECT_EQ(e.codigos(), QStringList({"A"}));
}

TEST_F(DbClientesTest, NuevoClienteRefusesBeyondTheLargestPositionTheFormKeeps) {
    std::vector<QVariantMap> muchos(DbClientes::MaximoClientes, QVariantMap{});
    abrir(muchos);
    const Resultado r = e.db.NuevoCliente();
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().numero, ErrorDB::Desbordamiento);
    EXPECT_EQ(e.db.rsClientes().RecordCount(), DbClientes::MaximoClientes);
    EXPECT_FALSE(e.vista.ModoEdicion());
}

// --- delete ----------------------------------------------------------------------------------

TEST_F(DbClientesTest, BorrarClienteOnAnEmptyTableSaysSo) {
    abrir({});
    e.db.BorrarCliente();
    ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
    EXPECT_EQ(e.msgBox.ultimo().texto,
              "La base de datos esta vacia y no contiene registros que se puedan borrar!");
    EXPECT_EQ(e.msgBox.ultimo().titulo, "No hay registros que borrar...");
}

TEST_F(DbClientesTest, BorrarClienteAsksAndAnythingButYesKeepsTheMember) {
    abrir({Cliente("A"), Cliente("B")});
    ASSERT_TRUE(e.db.rsClientes().MoveLast().ok());
    e.msgBox.responder(Respuesta::No);
    e.db.BorrarCliente();
    ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
    EXPECT_EQ(e.msgBox.ultimo().texto,
              "Esta seguro de que desea eliminar este cliente y toda su informacion de la base de "
              "datos?\r\n(esta accion no se puede deshacer)");
    EXPECT_EQ(e.msgBox.ultimo().estilo, 52);
    EXPECT_EQ(e.msgBox.ultimo().titulo, "Borrar Cliente ID=2");
    EXPECT_EQ(e.codigos(), QStringList({"A", "B"}));
    EXPECT_TRUE(e.vista.llamadas.isEmpty());
}

TEST_F(DbClientesTest, BorrarClienteShowsTheNextMemberAndRecounts) {
    abrir({Cliente("A"), Cliente("B"), Cliente("C")});
    ASSERT_TRUE(e.db.rsClientes().Move(1).ok());
    e.msgBox.responder(Respuesta::Si);
    e.db.BorrarCliente();
    EXPECT_EQ(e.codigos(), QStringList({"A", "C"}));
    EXPECT_EQ(e.codigoActual(), "C");
    EXPECT_EQ(e.vista.llamadas,
              QStringList({"RecordSetToText", "InfoCaducidadDB", "ActNavegador"}));
    EXPECT_EQ(e.vista.contador(VistaClientes::Contador::TotalRegistros), "2");
}

TEST_F(DbClientesTest, BorrarTheLastRowShowsTheFirst) {
    abrir({Cliente("A"), Cliente("B"), Cliente("C")});
    ASSERT_TRUE(e.db.rsClientes().MoveLast().ok());
    e.msgBox.responder(Respuesta::Si);
    e.db.BorrarCliente();
    EXPECT_EQ(e.codigos(), QStringList({"A", "B"}));
    EXPECT_EQ(e.codigoActual(), "A");
    EXPECT_EQ(e.db.rsClientes().AbsolutePosition(), 1);
}

TEST_F(DbClientesTest, BorrarTheOnlyMemberEmptiesTheDisplay) {
    abrir({Cliente("A")});
    e.msgBox.responder(Respuesta::Si);
    e.db.BorrarCliente();
    EXPECT_TRUE(e.codigos().isEmpty());
    EXPECT_TRUE(RecordsetVacio(e.db.rsClientes()));
    ASSERT_EQ(e.msgBox.mostrados.size(), 2u);
    EXPECT_EQ(e.msgBox.ultimo().texto,
              "La base de datos esta vacia, este era el ulitmo registro de la base de datos.");
    EXPECT_EQ(e.msgBox.ultimo().estilo, 64);
    EXPECT_EQ(e.msgBox.ultimo().titulo, "Eliminacion de Registros...");
    EXPECT_EQ(e.vista.llamadas, QStringList({"InitTextBoxes", "InfoCaducidadDB", "ActNavegador"}));
    for (auto c :
         {VistaClientes::Contador::Personal, VistaClientes::Contador::ClientesPermitidos,
          VistaClientes::Contador::ClientesNoPermitidos, VistaClientes::Contador::TotalRegistros})
        EXPECT_EQ(e.vista.contador(c), "0");
}

TEST_F(DbClientesTest, BorrarClienteThatFailsSaysSoAndStaysOnTheMember) {
    abrir({Cliente("A"), Cliente("B")});
    ASSERT_TRUE(
        e.db.cnClientes()
            .Execute(QStringLiteral("CREATE TEMP TRIGGER guardar BEFORE DELETE ON ClientesDB "
                                    "BEGIN SELECT RAISE(ABORT, 'bloqueado'); END"))
            .ok());
    e.msgBox.responder(Respuesta::Si);
    e.db.BorrarCliente();
    ASSERT_EQ(e.msgBox.mostrados.size(), 2u);
    EXPECT_TRUE(e.msgBox.ultimo().texto.startsWith("Error "));
    EXPECT_TRUE(e.msgBox.ultimo().texto.contains("bloqueado"));
    EXPECT_EQ(e.msgBox.ultimo().estilo, 48);
    EXPECT_EQ(e.msgBox.ultimo().titulo, "Borrar Cliente ID=1");
    EXPECT_EQ(e.codigos(), QStringList({"A", "B"}));
    EXPECT_EQ(e.codigoActual(), "A");
    EXPECT_EQ(e.db.rsClientes().RecordCount(), 2);
    EXPECT_TRUE(e.vista.llamadas.isEmpty());
}

// --- moving ----------------------------------------------------------------------------------

TEST_F(DbClientesTest, DesplazarWrapsAroundBothWays) {
    abrir({Cliente("A"), Cliente("B"), Cliente("C")});
    ASSERT_TRUE(e.db.Desplazar(1).ok()); // previous on the first shows the last
    EXPECT_EQ(e.codigoActual(), "C");
    ASSERT_TRUE(e.db.Desplazar(2).ok()); // next on the last shows the first
    EXPECT_EQ(e.codigoActual(), "A");
    ASSERT_TRUE(e.db.Desplazar(2).ok());
    EXPECT_EQ(e.codigoActual(), "B");
    ASSERT_TRUE(e.db.Desplazar(3).ok());
    EXPECT_EQ(e.codigoActual(), "C");
    ASSERT_TRUE(e.db.Desplazar(0).ok());
    EXPECT_EQ(e.codigoActual(), "A");
    ASSERT_TRUE(e.db.Desplazar(7).ok()); // no move, still shown
    EXPECT_EQ(e.codigoActual(), "A");
    EXPECT_EQ(e.vista.llamadas.size(), 6 * 3);
    EXPECT_EQ(e.vista.llamadas.mid(0, 3),
              QStringList({"RecordSetToText", "InfoCaducidadDB", "ActNavegador"}));
}

TEST_F(DbClientesTest, DesplazarWithASingleRowStaysOnIt) {
    abrir({Cliente("A")});
    for (int d : {1, 2, 0, 3}) {
        ASSERT_TRUE(e.db.Desplazar(d).ok());
        EXPECT_EQ(e.codigoActual(), "A");
        EXPECT_EQ(e.db.rsClientes().AbsolutePosition(), 1);
    }
}

TEST_F(DbClientesTest, DesplazarOnAnEmptyTableSaysSo) {
    abrir({});
    ASSERT_TRUE(e.db.Desplazar(2).ok());
    ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
    EXPECT_EQ(e.msgBox.ultimo().texto,
              "Debe existir mas de un registro para poder desplazarse por la base de datos");
    EXPECT_EQ(e.msgBox.ultimo().titulo, "La base de datos esta vacia");
    EXPECT_TRUE(e.vista.llamadas.isEmpty());
}

TEST_F(DbClientesTest, DesplazarWhileEditingOnlyAsksToSaveOrUndo) {
    abrir({Cliente("A"), Cliente("B")});
    e.vista.modoEdicion = true;
    e.msgBox.responder(Respuesta::Si);
    ASSERT_TRUE(e.db.Desplazar(2).ok());
    EXPECT_EQ(e.msgBox.ultimo().texto,
              "Desea guardar los cambios realizados en la base de datos Clientes?");
    EXPECT_EQ(e.msgBox.ultimo().estilo, 4);
    EXPECT_EQ(e.msgBox.ultimo().titulo, "Finalizar la edicion del registro actual");
    EXPECT_EQ(e.vista.llamadas, QStringList({"GuardarCliente"}));
    EXPECT_EQ(e.codigoActual(), "A");

    e.vista.modoEdicion = true;
    e.vista.llamadas.clear();
    e.msgBox.responder(Respuesta::No);
    e.vista.alDeshacer = [] { return Resultado(ErrorDB{7, "fallo"}); };
    const Resultado r = e.db.Desplazar(3);
    EXPECT_EQ(e.vista.llamadas, QStringList({"DeshacerCambiosDB"}));
    ASSERT_FALSE(r.ok()); // the undo's failure reaches the caller
    EXPECT_EQ(r.error().numero, 7);
    EXPECT_EQ(e.codigoActual(), "A");
}

} // namespace
