// Backups, compaction and restore of the member database: the dated names, the checks of a
// chosen file, the scheduled restore, and what is left after a failure or a kill at every step.
#include "AjustesEstacion.h"
#include "BaseDatosPrueba.h"
#include "CopiasSeguridad.h"
#include "CreadorBaseDatos.h"
#include "IniFile.h"
#include "LecturaDirecta.h"
#include "MsgBoxGuion.h"
#include "RelojFijo.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace portiva;
using namespace portiva::prueba;

namespace {

bool integridadOk(const QString& ruta) {
    sqlite3* db = nullptr;
    bool ok = false;
    if (sqlite3_open_v2(QFile::encodeName(ruta).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK) {
            ok = sqlite3_step(st) == SQLITE_ROW &&
                 QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) == "ok";
            sqlite3_finalize(st);
        }
    }
    sqlite3_close(db);
    return ok;
}

std::vector<QVariantMap> miembros(const QString& prefijo, int n) {
    std::vector<QVariantMap> filas;
    for (int i = 0; i < n; ++i)
        filas.push_back(Cliente(prefijo + QString::number(i)));
    return filas;
}

// The real steps, with a hook before each one: it may fail the step or kill the process.
class OperacionesConFallo final : public OperacionesArchivo {
public:
    // Called with the number of the step about to run (from 0); true fails it with ENOSPC.
    std::function<bool(int)> antes;
    int pasos = 0;

    Resultado instantanea(const QString& o, const QString& d,
                          const std::function<void()>& a) override {
        if (auto r = paso(); !r)
            return r;
        return real.instantanea(o, d, a);
    }
    Resultado sincronizar(const QString& r) override {
        if (auto f = paso(); !f)
            return f;
        return real.sincronizar(r);
    }
    Resultado sincronizarCarpeta(const QString& c) override {
        if (auto f = paso(); !f)
            return f;
        return real.sincronizarCarpeta(c);
    }
    Resultado reemplazar(const QString& o, const QString& d) override {
        if (auto r = paso(); !r)
            return r;
        return real.reemplazar(o, d);
    }
    Resultado renombrarSinReemplazar(const QString& o, const QString& d) override {
        if (auto r = paso(); !r)
            return r;
        return real.renombrarSinReemplazar(o, d);
    }
    Resultado borrar(const QString& r) override {
        if (auto f = paso(); !f)
            return f;
        return real.borrar(r);
    }

private:
    Resultado paso() {
        const int n = pasos++;
        if (antes && antes(n))
            return ErrorDB{28, QStringLiteral("No queda espacio en el dispositivo")};
        return {};
    }
    OperacionesArchivoPosix real;
};

struct Estacion {
    BaseDatosPrueba base;
    MsgBoxGuion msgBox;
    RelojFijo reloj{QDateTime(QDate(2009, 3, 1), QTime(9, 5, 7))};
    Entorno entorno{base.carpeta(), msgBox, reloj};
    OperacionesConFallo ops;
    CopiasSeguridad copias{entorno, ops};

    Estacion() { base.clientes(miembros(QStringLiteral("A"), 5)); }
    QString seguridad(const QString& nombre = {}) const {
        return QDir(copias.rutaCarpetaCopias()).filePath(nombre);
    }
    // A backup file of three other members, outside the program folder's database.
    QString copiaElegida() {
        const QString ruta = QDir(base.carpeta()).filePath(QStringLiteral("elegida.mdb"));
        EXPECT_TRUE(CreadorBaseDatos::CrearVacia(ruta).ok());
        EXPECT_TRUE(CreadorBaseDatos::Insertar(ruta, QStringLiteral("ClientesDB"),
                                               miembros(QStringLiteral("B"), 3))
                        .ok());
        return ruta;
    }
    QString ini() const { return QDir(base.carpeta()).filePath(IniFile::nombreArchivo()); }
    // Every file in "Seguridad" that has a dated name is a whole station database.
    bool fechadasEnteras() const {
        for (const QString& n : QDir(seguridad()).entryList({QStringLiteral("*.mdb")}, QDir::Files))
            if (!ComprobarBaseEstacion(seguridad(n)))
                return false;
        return true;
    }
};

const QStringList CincoA = {"A0", "A1", "A2", "A3", "A4"};
const QStringList TresB = {"B0", "B1", "B2"};

} // namespace

TEST(CopiasSeguridad, NombresFechadosYDeArchivo) {
    EXPECT_EQ(CopiasSeguridad::nombreFechado(QDateTime(QDate(2008, 12, 5), QTime(18, 27, 48))),
              "2008-12-05 (18-27-48).mdb");
    EXPECT_EQ(CopiasSeguridad::NombreArchivo("C:\\Prog\\Seguridad\\2009-03-01 (09-05-07).mdb"),
              "2009-03-01 (09-05-07).mdb");
    EXPECT_EQ(CopiasSeguridad::NombreArchivo("/opt/portiva/Seguridad/x.mdb"), "x.mdb");
    EXPECT_EQ(CopiasSeguridad::NombreArchivo("sinbarra"), "sinbarra");
}

TEST(CopiasSeguridad, CopiaFechadaSinTemporalesYCarpetaCreada) {
    Estacion e;
    ASSERT_FALSE(QDir(e.seguridad()).exists());
    EXPECT_TRUE(e.copias.CopiaSeguridad());
    EXPECT_EQ(QDir(e.seguridad()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"2009-03-01 (09-05-07).mdb"});
    EXPECT_EQ(codigos(e.seguridad("2009-03-01 (09-05-07).mdb")), CincoA);
    EXPECT_EQ(e.msgBox.ultimo().texto,
              "La Copia de Seguridad de la base de datos se ha realizado con exito.");
    EXPECT_EQ(e.msgBox.ultimo().estilo, EstiloMsg::Informacion);
}

TEST(CopiasSeguridad, CopiasEnElMismoSegundoTomanElSiguienteNombre) {
    Estacion e;
    ASSERT_TRUE(e.copias.CopiaSeguridad());
    e.base.clientes(miembros(QStringLiteral("C"), 1));
    // A compaction in the same second as the backup.
    ASSERT_TRUE(e.copias.CompactarBaseDatos()) << qPrintable(e.msgBox.ultimo().texto);
    EXPECT_EQ(e.msgBox.ultimo().estilo, EstiloMsg::Informacion);
    ASSERT_TRUE(e.copias.CopiaSeguridad()) << qPrintable(e.msgBox.ultimo().texto);
    EXPECT_EQ(QDir(e.seguridad()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"2009-03-01 (09-05-07) (2).mdb", "2009-03-01 (09-05-07) (3).mdb",
                           "2009-03-01 (09-05-07).mdb"}));
    EXPECT_EQ(codigos(e.seguridad("2009-03-01 (09-05-07).mdb")), CincoA);
    EXPECT_EQ(codigos(e.seguridad("2009-03-01 (09-05-07) (2).mdb")), CincoA + QStringList{"C0"});
    EXPECT_EQ(codigos(e.base.ruta()), CincoA + QStringList{"C0"});
    EXPECT_EQ(CopiasSeguridad::nombreLibre("/s/2009-03-01 (09-05-07).mdb", 1),
              "/s/2009-03-01 (09-05-07).mdb");
}

TEST(CopiasSeguridad, CompactarGuardaCopiaYConservaMiembros) {
    Estacion e;
    EXPECT_TRUE(e.copias.CompactarBaseDatos());
    EXPECT_EQ(codigos(e.base.ruta()), CincoA);
    EXPECT_EQ(codigos(e.seguridad("2009-03-01 (09-05-07).mdb")), CincoA);
    EXPECT_FALSE(QFile::exists(e.base.ruta() + CopiasSeguridad::sufijoTemporal()));
}

TEST(CopiasSeguridad, RestaurarPoneLaCopiaYGuardaLaAnterior) {
    Estacion e;
    const QString elegida = e.copiaElegida();
    EXPECT_TRUE(e.copias.RestaurarDB(elegida));
    EXPECT_EQ(codigos(e.base.ruta()), TresB);
    EXPECT_EQ(codigos(e.seguridad("2009-03-01 (09-05-07).mdb")), CincoA);
    EXPECT_EQ(e.msgBox.ultimo().texto,
              "Se ha restaurado la base de datos elegida.mdb\r\n y realizado una Copia de "
              "Seguridad de la anterior Base de Datos con exito.");
}

TEST(CopiasSeguridad, RestaurarSinBaseDeDatosPoneLaCopia) {
    Estacion e;
    const QString elegida = e.copiaElegida();
    ASSERT_TRUE(QFile::remove(e.base.ruta()));
    EXPECT_TRUE(e.copias.RestaurarDB(elegida));
    EXPECT_EQ(codigos(e.base.ruta()), TresB);
    EXPECT_TRUE(e.msgBox.ultimo().texto.contains("No habia base de datos"));
}

TEST(CopiasSeguridad, ArchivosElegidosMalosSeRechazan) {
    Estacion e;
    const QString carpeta = e.base.carpeta();
    const QString vacio = QDir(carpeta).filePath("vacio.mdb");
    QFile(vacio).open(QIODevice::WriteOnly);
    const QString mitad = QDir(carpeta).filePath("mitad.mdb");
    {
        QFile origen(e.copiaElegida());
        ASSERT_TRUE(origen.open(QIODevice::ReadOnly));
        const QByteArray datos = origen.readAll();
        QFile f(mitad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(datos.left(datos.size() / 2));
    }
    const QString texto = QDir(carpeta).filePath("texto.mdb");
    {
        QFile f(texto);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("esto no es una base de datos\n");
    }
    const QString ajena = QDir(carpeta).filePath("ajena.mdb");
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(ajena).constData(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE otra(x)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    for (const QString& malo : {vacio, mitad, texto, ajena, e.base.ruta(),
                                QDir(carpeta).filePath("no-esta.mdb"), QString()}) {
        SCOPED_TRACE(malo.toStdString());
        e.msgBox.limpiar();
        EXPECT_FALSE(e.copias.RestaurarDB(malo));
        ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
        EXPECT_EQ(e.msgBox.ultimo().estilo, EstiloMsg::Exclamacion);
        EXPECT_TRUE(e.msgBox.ultimo().texto.contains("La base de datos original no se modificó."));
        EXPECT_EQ(codigos(e.base.ruta()), CincoA);
    }
    EXPECT_FALSE(QDir(e.seguridad()).exists() &&
                 !QDir(e.seguridad()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(CopiasSeguridad, RestauracionProgramadaConArchivoDesaparecido) {
    Estacion e;
    AjustesEstacion ajustes;
    ajustes.RestaurarAlIniciar = true;
    ajustes.NombreDBRestaurar = QDir(e.base.carpeta()).filePath("se-fue.mdb");
    e.copias.RestaurarAlCargar(ajustes, e.ini());
    EXPECT_FALSE(ajustes.RestaurarAlIniciar);
    EXPECT_TRUE(ajustes.NombreDBRestaurar.isEmpty());
    EXPECT_EQ(e.msgBox.ultimo().texto,
              "Estaba programada una restauracion de una Copia de Seguridad, pero la base de "
              "datos no existe o no se encuentra.");
    EXPECT_EQ(LeerIni(e.ini(), "Copias Seguridad", "RestCopiaSeg AlIniciar"), "0");
    EXPECT_EQ(codigos(e.base.ruta()), CincoA);
}

TEST(CopiasSeguridad, RestauracionProgramadaSeGastaAlMomento) {
    Estacion e;
    AjustesEstacion ajustes;
    ajustes.RestaurarAlIniciar = true;
    ajustes.NombreDBRestaurar = e.copiaElegida();
    ASSERT_TRUE(EscribirIni(e.ini(), "Copias Seguridad", "RestCopiaSeg AlIniciar", "1"));
    ASSERT_TRUE(
        EscribirIni(e.ini(), "Copias Seguridad", "NombreDB Restaurar", ajustes.NombreDBRestaurar));
    e.copias.RestaurarAlCargar(ajustes, e.ini());
    EXPECT_FALSE(e.copias.RestaurandoDB());
    EXPECT_EQ(codigos(e.base.ruta()), TresB);
    EXPECT_EQ(LeerIni(e.ini(), "Copias Seguridad", "RestCopiaSeg AlIniciar"), "0");
    EXPECT_EQ(LeerIni(e.ini(), "Copias Seguridad", "NombreDB Restaurar"), "");
}

// The files an interrupted step may leave: the copy being built and the engine's journal.
QStringList restos(const Estacion& e) {
    QStringList hay;
    for (const QString& carpeta : {e.base.carpeta(), e.seguridad()})
        hay +=
            QDir(carpeta).entryList({QStringLiteral("*portiva-tmp*")}, QDir::Files | QDir::Hidden);
    return hay;
}

TEST(CopiasSeguridad, LimpiarTemporalesDejaLasCopias) {
    Estacion e;
    ASSERT_TRUE(e.copias.CopiaSeguridad());
    const QString sufijo = CopiasSeguridad::sufijoTemporal();
    for (const QString& resto :
         {e.base.ruta() + sufijo, e.base.ruta() + sufijo + "-journal",
          e.seguridad("x.mdb") + sufijo, e.seguridad("x.mdb") + sufijo + "-journal"})
        QFile(resto).open(QIODevice::WriteOnly);
    EXPECT_TRUE(e.copias.LimpiarTemporales().isEmpty());
    EXPECT_EQ(QDir(e.seguridad()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"2009-03-01 (09-05-07).mdb"});
    EXPECT_TRUE(restos(e).isEmpty()) << restos(e).join(' ').toStdString();
    EXPECT_EQ(codigos(e.base.ruta()), CincoA);
}

TEST(CopiasSeguridad, UnTemporalQueNoSeBorraSeDice) {
    Estacion e;
    ASSERT_TRUE(e.copias.CopiaSeguridad());
    const QString resto = e.seguridad("x.mdb") + CopiasSeguridad::sufijoTemporal();
    QFile(resto).open(QIODevice::WriteOnly);
    e.ops.antes = [](int) { return true; };
    EXPECT_EQ(e.copias.LimpiarTemporales(),
              QStringList{QStringLiteral("No se pudo borrar el archivo temporal %1 de una copia "
                                         "interrumpida: Error 28 (No queda espacio en el "
                                         "dispositivo).")
                              .arg(resto)});
}

namespace {

enum class Operacion { Copia, Compactar, Restaurar, Programada };

// Runs one operation with step `falla` failing (or, with `matar`, the process killed there).
// Returns the number of steps the operation took when nothing failed.
int ejecutar(Estacion& e, Operacion op, const QString& elegida, AjustesEstacion& ajustes) {
    // The outcome is judged afterwards from the files themselves, not from what was answered.
    switch (op) {
    case Operacion::Copia:
        (void)e.copias.CopiaSeguridad();
        break;
    case Operacion::Compactar:
        (void)e.copias.CompactarBaseDatos();
        break;
    case Operacion::Restaurar:
        (void)e.copias.RestaurarDB(elegida);
        break;
    case Operacion::Programada:
        e.copias.RestaurarAlCargar(ajustes, e.ini());
        break;
    }
    return e.ops.pasos;
}

// The operation in a child process, after `preparar` (which may arrange its death there);
// the child's wait status, -1 when it could not be run.
int ejecutarEnHijo(Estacion& e, Operacion op, const QString& elegida, AjustesEstacion& ajustes,
                   const std::function<void(Estacion&)>& preparar) {
    const pid_t hijo = fork();
    if (hijo == 0) {
        preparar(e);
        ejecutar(e, op, elegida, ajustes);
        ::_exit(0);
    }
    int estado = 0;
    if (hijo < 0 || ::waitpid(hijo, &estado, 0) != hijo)
        return -1;
    return estado;
}

struct Recuento {
    int casos = 0;
    int perdidos = 0;
};

// What must hold after any failure or kill: the database opens whole, with the members of
// before or (a restore that got through) those of the chosen copy; dated names are whole; a
// scheduled restore that got through is no longer scheduled.
void comprobarDespues(Estacion& e, Operacion op, Recuento& recuento) {
    ++recuento.casos;
    OperacionesArchivoPosix limpias;
    CopiasSeguridad despues(e.entorno, limpias);
    EXPECT_TRUE(despues.LimpiarTemporales().isEmpty());
    EXPECT_TRUE(restos(e).isEmpty()) << restos(e).join(' ').toStdString();
    EXPECT_TRUE(integridadOk(e.base.ruta()));
    const QStringList hay = codigos(e.base.ruta());
    const bool restaurada = hay == TresB;
    if (op == Operacion::Copia || op == Operacion::Compactar || !restaurada) {
        EXPECT_EQ(hay, CincoA);
        if (hay != CincoA)
            recuento.perdidos += static_cast<int>(CincoA.size());
    }
    EXPECT_TRUE(e.fechadasEnteras());
    if (op == Operacion::Programada && restaurada) {
        EXPECT_EQ(LeerIni(e.ini(), "Copias Seguridad", "RestCopiaSeg AlIniciar"), "0");
    }
    if (restaurada) { // the database replaced is kept whole as a dated backup
        EXPECT_EQ(codigos(e.seguridad("2009-03-01 (09-05-07).mdb")), CincoA);
    }
}

void prepararProgramada(Estacion& e, const QString& elegida, AjustesEstacion& ajustes) {
    ajustes.RestaurarAlIniciar = true;
    ajustes.NombreDBRestaurar = elegida;
    ASSERT_TRUE(EscribirIni(e.ini(), "Copias Seguridad", "RestCopiaSeg AlIniciar", "1"));
    ASSERT_TRUE(EscribirIni(e.ini(), "Copias Seguridad", "NombreDB Restaurar", elegida));
}

const Operacion Todas[] = {Operacion::Copia, Operacion::Compactar, Operacion::Restaurar,
                           Operacion::Programada};

} // namespace

TEST(CopiasSeguridad, UnFalloEnCadaPasoNoPierdeNada) {
    Recuento recuento;
    for (const Operacion op : Todas) {
        int pasos = 0;
        {
            Estacion e;
            AjustesEstacion ajustes;
            const QString elegida = e.copiaElegida();
            prepararProgramada(e, elegida, ajustes);
            pasos = ejecutar(e, op, elegida, ajustes);
        }
        ASSERT_GT(pasos, 3);
        for (int falla = 0; falla < pasos; ++falla) {
            SCOPED_TRACE(testing::Message() << "operacion " << int(op) << " paso " << falla);
            Estacion e;
            AjustesEstacion ajustes;
            const QString elegida = e.copiaElegida();
            prepararProgramada(e, elegida, ajustes);
            e.ops.antes = [falla](int n) { return n == falla; };
            ejecutar(e, op, elegida, ajustes);
            const bool exito = e.msgBox.ultimo().estilo == EstiloMsg::Informacion;
            if (!exito && op != Operacion::Copia) {
                EXPECT_TRUE(e.msgBox.ultimo().texto.contains("no se modificó"))
                    << qPrintable(e.msgBox.ultimo().texto);
            }
            comprobarDespues(e, op, recuento);
        }
    }
    std::printf("fallos inyectados: %d casos, %d registros perdidos\n", recuento.casos,
                recuento.perdidos);
    EXPECT_EQ(recuento.perdidos, 0);
}

TEST(CopiasSeguridad, UnProcesoMatadoEntreDosPasosNoPierdeNada) {
    Recuento recuento;
    for (const Operacion op : Todas) {
        for (int muere = 0;; ++muere) {
            SCOPED_TRACE(testing::Message() << "operacion " << int(op) << " paso " << muere);
            Estacion e;
            AjustesEstacion ajustes;
            const QString elegida = e.copiaElegida();
            prepararProgramada(e, elegida, ajustes);
            const int estado = ejecutarEnHijo(e, op, elegida, ajustes, [muere](Estacion& h) {
                h.ops.antes = [muere](int n) {
                    if (n == muere)
                        ::kill(::getpid(), SIGKILL);
                    return false;
                };
            });
            ASSERT_GE(estado, 0);
            const bool terminado = WIFEXITED(estado);
            comprobarDespues(e, op, recuento);
            if (terminado)
                break;
            ASSERT_TRUE(WIFSIGNALED(estado) && WTERMSIG(estado) == SIGKILL);
            if (op == Operacion::Programada) {
                // Started again after the kill: the restore runs at most once more only when it
                // never got through.
                const bool restaurada = codigos(e.base.ruta()) == TresB;
                EXPECT_TRUE(!restaurada ||
                            LeerIni(e.ini(), "Copias Seguridad", "RestCopiaSeg AlIniciar") == "0");
            }
        }
    }
    std::printf("procesos matados: %d casos, %d registros perdidos\n", recuento.casos,
                recuento.perdidos);
    EXPECT_EQ(recuento.perdidos, 0);
}

// Killed while the engine writes a copy: what it left (the copy being built and its journal)
// goes at the next start, and nothing is lost.
TEST(CopiasSeguridad, UnProcesoMatadoDuranteLaCopiaNoDejaRestos) {
    Recuento recuento;
    int conRestos = 0;
    for (const Operacion op : Todas) {
        SCOPED_TRACE(testing::Message() << "operacion " << int(op));
        Estacion e;
        AjustesEstacion ajustes;
        const QString elegida = e.copiaElegida();
        prepararProgramada(e, elegida, ajustes);
        const int estado = ejecutarEnHijo(e, op, elegida, ajustes, [](Estacion& h) {
            h.copias.setAvance([] { ::kill(::getpid(), SIGKILL); });
        });
        ASSERT_TRUE(estado >= 0 && WIFSIGNALED(estado));
        if (!restos(e).isEmpty())
            ++conRestos;
        comprobarDespues(e, op, recuento);
    }
    std::printf("procesos matados durante la copia: %d casos, %d con restos que se borraron, %d "
                "registros perdidos\n",
                recuento.casos, conRestos, recuento.perdidos);
    EXPECT_EQ(recuento.perdidos, 0);
}
