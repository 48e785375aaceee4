// The member file in write-ahead-log mode: readers and writers that do not block each other,
// and backups, compactions and restores that neither lose the rows in the log nor leave an old
// log beside a new file. Real files, a second connection on another thread, and child processes
// that die holding the log.
#include "CopiasSeguridad.h"
#include "EntornoPrueba.h"
#include "LecturaDirecta.h"
#include "VersionDatos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace portiva;
using namespace portiva::prueba;

namespace {

// A raw connection of "another program" (the sqlite3 tool, a second station process).
class OtroPrograma {
public:
    explicit OtroPrograma(const QString& ruta) {
        sqlite3_open_v2(QFile::encodeName(ruta).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(db_, 5000);
    }
    ~OtroPrograma() { sqlite3_close_v2(db_); }
    OtroPrograma(const OtroPrograma&) = delete;
    OtroPrograma& operator=(const OtroPrograma&) = delete;

    int ejecutar(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }
    int ejecutar(const QByteArray& sql) { return ejecutar(sql.constData()); }
    qint64 entero(const char* sql) {
        sqlite3_stmt* st = nullptr;
        qint64 v = -1;
        if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            v = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
        return v;
    }

private:
    sqlite3* db_ = nullptr;
};

QByteArray alta(const QString& codigo) {
    return "INSERT INTO ClientesDB (fldCodigo, fldNombre, fldStuffSiNo) VALUES ('" +
           codigo.toUtf8() + "', 'x', 0)";
}

// Bytes 18 and 19 of the header: 1 for the rollback journal, 2 for the write-ahead log.
int modoCabecera(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray cabecera = f.read(20);
    return cabecera.size() == 20 && cabecera[18] == cabecera[19] ? cabecera[18] : -1;
}

bool hayRegistroAlLado(const QString& ruta) {
    return QFileInfo::exists(ruta + "-wal") || QFileInfo::exists(ruta + "-shm");
}

QStringList serie(const QString& prefijo, int desde, int hasta) {
    QStringList s;
    for (int i = desde; i < hasta; ++i)
        s << prefijo + QString::number(i);
    return s;
}

// A child process writes `n` members through the log and dies without closing: the rows are
// committed, but only in the "-wal" beside the file.
void morirConFilasEnElRegistro(const QString& ruta, const QString& prefijo, int n) {
    const pid_t hijo = fork();
    ASSERT_GE(hijo, 0);
    if (hijo == 0) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(ruta).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        bool ok = sqlite3_exec(db, "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0",
                               nullptr, nullptr, nullptr) == SQLITE_OK;
        for (int i = 0; i < n && ok; ++i)
            ok = sqlite3_exec(db, alta(prefijo + QString::number(i)).constData(), nullptr, nullptr,
                              nullptr) == SQLITE_OK;
        ::_exit(ok ? 0 : 1); // no close: the log stays as a crash leaves it
    }
    int estado = 0;
    ASSERT_EQ(::waitpid(hijo, &estado, 0), hijo);
    ASSERT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0);
    ASSERT_TRUE(QFileInfo(ruta + "-wal").size() > 0);
}

// Makes SQLite's dot-file VFS, which has no shared memory (as a network file system), the
// default while alive.
class SinMemoriaCompartida {
public:
    SinMemoriaCompartida() : antes_(sqlite3_vfs_find(nullptr)) {
        sqlite3_vfs* sin = sqlite3_vfs_find("unix-dotfile");
        if (sin)
            sqlite3_vfs_register(sin, 1);
        disponible_ = sin != nullptr;
    }
    ~SinMemoriaCompartida() { sqlite3_vfs_register(antes_, 1); }
    SinMemoriaCompartida(const SinMemoriaCompartida&) = delete;
    SinMemoriaCompartida& operator=(const SinMemoriaCompartida&) = delete;
    bool disponible() const { return disponible_; }

private:
    sqlite3_vfs* antes_;
    bool disponible_ = false;
};

struct EstacionConCopias : EntornoPrueba {
    EstacionConCopias() {
        base.clientes({Cliente("A0"), Cliente("A1"), Cliente("A2")});
        reloj.poner(QDateTime(QDate(2009, 3, 1), QTime(9, 5, 7)));
    }
    QString seguridad(const QString& nombre = {}) const {
        return QDir(copias.rutaCarpetaCopias()).filePath(nombre);
    }
    QString copiaElegida() {
        const QString ruta = QDir(base.carpeta()).filePath(QStringLiteral("elegida.mdb"));
        EXPECT_TRUE(CreadorBaseDatos::CrearVacia(ruta).ok());
        EXPECT_TRUE(CreadorBaseDatos::Insertar(ruta, QStringLiteral("ClientesDB"),
                                               {Cliente("B0"), Cliente("B1")})
                        .ok());
        return ruta;
    }
    OperacionesArchivoPosix ops;
    CopiasSeguridad copias{entorno, ops};
};

const QStringList TresA = {"A0", "A1", "A2"};
const QStringList DosB = {"B0", "B1"};

} // namespace

TEST(RegistroAnticipado, LaEstacionEscribeConRegistroYDejaElArchivoSoloAlCerrar) {
    EntornoPrueba e;
    e.base.clientes({Cliente("A0")});
    ASSERT_EQ(modoCabecera(e.base.ruta()), 1); // written as an earlier version writes it
    ASSERT_TRUE(e.db.AbrirDB());
    EXPECT_TRUE(e.db.AvisoRegistroAnticipado().isEmpty())
        << qPrintable(e.db.AvisoRegistroAnticipado());
    EXPECT_TRUE(e.db.cnClientes().RegistroAnticipado());
    ASSERT_TRUE(e.db.cnClientes().Execute(QString::fromUtf8(alta("A1"))).ok());
    EXPECT_TRUE(QFileInfo::exists(e.base.ruta() + "-wal"));
    // What is committed is there for any reader at once, log and all.
    EXPECT_EQ(codigos(e.base.ruta()), QStringList({"A0", "A1"}));

    ASSERT_TRUE(e.db.CerrarDB().ok());
    EXPECT_FALSE(hayRegistroAlLado(e.base.ruta()));
    EXPECT_EQ(modoCabecera(e.base.ruta()), 1);
    EXPECT_EQ(codigos(e.base.ruta()), QStringList({"A0", "A1"}));
}

TEST(RegistroAnticipado, ElUltimoEnCerrarDejaElArchivoSinRegistro) {
    EntornoPrueba e;
    ASSERT_TRUE(e.db.AbrirDB());
    {
        OtroPrograma otro(e.base.ruta());
        ASSERT_EQ(otro.ejecutar(alta("Z0")), SQLITE_OK);
        // The station closes first: the other program still holds the log, nothing changes.
        ASSERT_TRUE(e.db.CerrarDB().ok());
        EXPECT_EQ(modoCabecera(e.base.ruta()), 2);
        ASSERT_EQ(otro.ejecutar(alta("Z1")), SQLITE_OK);
    }
    // The other program closed last: its rows are in the file, the file is whole by itself.
    EXPECT_FALSE(QFileInfo::exists(e.base.ruta() + "-wal"));
    EXPECT_EQ(codigos(e.base.ruta()), QStringList({"Z0", "Z1"}));
}

TEST(RegistroAnticipado, UnEscritorNoHaceEsperarAlLectorNiAlReves) {
    EntornoPrueba e;
    e.base.clientes({Cliente("A0")});
    ASSERT_TRUE(e.db.AbrirDB());
    OtroPrograma otro(e.base.ruta());
    // Another program in the middle of a write transaction.
    ASSERT_EQ(otro.ejecutar("BEGIN IMMEDIATE"), SQLITE_OK);
    ASSERT_EQ(otro.ejecutar(alta("Z0")), SQLITE_OK);
    {
        // The door's read, which never waits on a lock: it reads the last committed state.
        const SinEsperaBloqueo sinEspera(e.db.cnClientes());
        EXPECT_TRUE(LeerVersionDatos(e.db.cnClientes()).ok());
        Recordset rs;
        ASSERT_TRUE(rs.Open("SELECT fldCodigo FROM ClientesDB", e.db.cnClientes()).ok());
        EXPECT_EQ(rs.RecordCount(), 1);
    }
    ASSERT_EQ(otro.ejecutar("COMMIT"), SQLITE_OK);
    EXPECT_EQ(e.codigos(), QStringList({"A0", "Z0"}));

    // The other way round: a reader holding a read transaction open does not stop the
    // station's save.
    ASSERT_EQ(otro.ejecutar("BEGIN"), SQLITE_OK);
    EXPECT_EQ(otro.entero("SELECT count(*) FROM ClientesDB"), 2);
    {
        const SinEsperaBloqueo sinEspera(e.db.cnClientes());
        EXPECT_TRUE(e.db.cnClientes().Execute(QString::fromUtf8(alta("A1"))).ok());
    }
    EXPECT_EQ(otro.entero("SELECT count(*) FROM ClientesDB"), 2); // its own snapshot
    ASSERT_EQ(otro.ejecutar("COMMIT"), SQLITE_OK);
    EXPECT_EQ(otro.entero("SELECT count(*) FROM ClientesDB"), 3);
}

TEST(RegistroAnticipado, SinMemoriaCompartidaSeAbreConElDiarioYSeDiceUnaVez) {
    EntornoPrueba e;
    e.base.clientes({Cliente("A0")});
    SinMemoriaCompartida sin;
    if (!sin.disponible())
        GTEST_SKIP() << "SQLite sin el VFS unix-dotfile";
    ASSERT_TRUE(e.db.AbrirDB());
    EXPECT_FALSE(e.db.cnClientes().RegistroAnticipado());
    EXPECT_EQ(e.db.AvisoRegistroAnticipado(),
              "La base de datos Portiva.mdb no puede usar el registro de escritura anticipada "
              "(el sistema de archivos no admite la memoria compartida que necesita): se usa el "
              "diario de siempre, y otro programa que escriba en ella puede hacer esperar a la "
              "puerta.");
    // The station works as before, with the rollback journal.
    ASSERT_TRUE(e.db.cnClientes().Execute(QString::fromUtf8(alta("A1"))).ok());
    EXPECT_EQ(e.codigos(), QStringList({"A0", "A1"}));
    EXPECT_FALSE(hayRegistroAlLado(e.base.ruta()));
    ASSERT_TRUE(e.db.CerrarDB().ok());
    EXPECT_EQ(modoCabecera(e.base.ruta()), 1);
}

TEST(RegistroAnticipado, LaCopiaMientrasOtroEscribeTieneCadaFilaConfirmada) {
    EstacionConCopias e;
    ASSERT_TRUE(e.db.AbrirDB());
    std::atomic<bool> parar{false};
    std::atomic<int> confirmadas{0};
    std::atomic<int> fallos{0};
    std::thread escritor([&] {
        OtroPrograma otro(e.base.ruta());
        for (int i = 0; !parar; ++i) {
            if (otro.ejecutar(alta("W" + QString::number(i))) == SQLITE_OK)
                confirmadas = i + 1;
            else
                ++fallos;
        }
    });
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (confirmadas < 50 && std::chrono::steady_clock::now() < limite)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const int antes = confirmadas;
    const bool hecha = e.copias.CopiaSeguridad();
    const int despues = confirmadas;
    // The writer went on while the copy ran.
    while (confirmadas < despues + 20 && std::chrono::steady_clock::now() < limite)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    parar = true;
    escritor.join();
    ASSERT_TRUE(hecha) << qPrintable(e.msgBox.ultimo().texto);
    EXPECT_GE(antes, 50);
    EXPECT_EQ(fallos, 0);

    const QString copia = e.seguridad("2009-03-01 (09-05-07).mdb");
    ASSERT_TRUE(QFileInfo::exists(copia));
    // One file by itself, with the rollback journal: it needs no log beside it.
    EXPECT_FALSE(hayRegistroAlLado(copia));
    EXPECT_EQ(modoCabecera(copia), 1);
    EXPECT_TRUE(ComprobarBaseEstacion(copia).ok());
    // One committed state: the members, then the writer's rows from the first on, none
    // missing, at least those committed before the copy began.
    const QStringList filas = codigos(copia);
    ASSERT_GE(filas.size(), TresA.size() + antes);
    EXPECT_LE(filas.size(), TresA.size() + despues);
    EXPECT_EQ(filas, TresA + serie("W", 0, int(filas.size() - TresA.size())));
}

TEST(RegistroAnticipado, RestaurarConUnRegistroViejoAlLadoNoDevuelveNingunaFila) {
    EstacionConCopias e;
    const QString elegida = e.copiaElegida();
    // A program died with two committed members only in the log of the current file.
    morirConFilasEnElRegistro(e.base.ruta(), "Z", 2);
    ASSERT_TRUE(e.copias.RestaurarDB(elegida)) << qPrintable(e.msgBox.ultimo().texto);
    EXPECT_FALSE(hayRegistroAlLado(e.base.ruta()));
    EXPECT_EQ(codigos(e.base.ruta()), DosB);
    // The replaced file is kept whole, the rows of its log included.
    EXPECT_EQ(codigos(e.seguridad("2009-03-01 (09-05-07).mdb")), TresA + QStringList({"Z0", "Z1"}));
    // The station opens the restored file as it is, nothing of the old one coming back.
    ASSERT_TRUE(e.db.AbrirDB());
    EXPECT_EQ(e.codigos(), DosB);
    ASSERT_TRUE(e.db.CerrarDB().ok());
    EXPECT_EQ(codigos(e.base.ruta()), DosB);
}

TEST(RegistroAnticipado, UnRegistroSinSuArchivoNoPasaAlArchivoRestaurado) {
    EstacionConCopias e;
    const QString elegida = e.copiaElegida();
    morirConFilasEnElRegistro(e.base.ruta(), "Z", 1);
    // The file went, its log stayed.
    ASSERT_TRUE(QFile::remove(e.base.ruta()));
    ASSERT_TRUE(e.copias.RestaurarDB(elegida)) << qPrintable(e.msgBox.ultimo().texto);
    EXPECT_FALSE(hayRegistroAlLado(e.base.ruta()));
    EXPECT_EQ(codigos(e.base.ruta()), DosB);
    ASSERT_TRUE(e.db.AbrirDB());
    EXPECT_EQ(e.codigos(), DosB);
}

TEST(RegistroAnticipado, ConOtroProgramaQueLaTieneAbiertaNadaSeSustituye) {
    EstacionConCopias e;
    const QString elegida = e.copiaElegida();
    auto otro = std::make_unique<OtroPrograma>(e.base.ruta());
    ASSERT_EQ(otro->ejecutar("PRAGMA journal_mode = WAL"), SQLITE_OK);
    ASSERT_EQ(otro->ejecutar(alta("Z0")), SQLITE_OK);

    EXPECT_FALSE(e.copias.RestaurarDB(elegida));
    EXPECT_EQ(e.msgBox.ultimo().estilo, EstiloMsg::Exclamacion);
    EXPECT_TRUE(e.msgBox.ultimo().texto.contains(
        "otro programa tiene abierta la base de datos Portiva.mdb; cierrelo e intentelo de nuevo"))
        << qPrintable(e.msgBox.ultimo().texto);
    EXPECT_FALSE(e.copias.CompactarBaseDatos());
    EXPECT_TRUE(e.msgBox.ultimo().texto.contains("otro programa tiene abierta"))
        << qPrintable(e.msgBox.ultimo().texto);
    EXPECT_EQ(codigos(e.base.ruta()), TresA + QStringList{"Z0"});
    EXPECT_FALSE(QDir(e.seguridad()).exists() &&
                 !QDir(e.seguridad()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    // Once it has closed, the restore goes ahead.
    otro.reset();
    EXPECT_TRUE(e.copias.RestaurarDB(elegida)) << qPrintable(e.msgBox.ultimo().texto);
    EXPECT_EQ(codigos(e.base.ruta()), DosB);
    EXPECT_EQ(codigos(e.seguridad("2009-03-01 (09-05-07).mdb")), TresA + QStringList{"Z0"});
}

TEST(RegistroAnticipado, CompactarNoPierdeLasFilasQueSoloEstanEnElRegistro) {
    EstacionConCopias e;
    morirConFilasEnElRegistro(e.base.ruta(), "Z", 40);
    ASSERT_TRUE(e.copias.CompactarBaseDatos()) << qPrintable(e.msgBox.ultimo().texto);
    const QStringList todas = TresA + serie("Z", 0, 40);
    EXPECT_FALSE(hayRegistroAlLado(e.base.ruta()));
    EXPECT_EQ(modoCabecera(e.base.ruta()), 1);
    EXPECT_EQ(codigos(e.base.ruta()), todas);
    EXPECT_EQ(codigos(e.seguridad("2009-03-01 (09-05-07).mdb")), todas);
}
