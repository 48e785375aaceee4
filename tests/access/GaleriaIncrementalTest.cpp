// The gallery changes only what a write changed: every other member keeps the very copy of its
// template it held (nothing is read or checked again), a row whose template did not change
// keeps its copy too, and the result is always the gallery a full read gives: for templates
// replaced, added, removed and corrupted, rows deleted and inserted anywhere, few or many at
// once. A file put back from a copy is read in full, and the walk's threads, comparing while
// another writer keeps changing the file, only ever meet whole, checked templates.
#include "BaseDatosPrueba.h"
#include "BusquedaParalela.h"
#include "CodigosMotor.h"
#include "Conexion.h"
#include "ConsultaPreparada.h"
#include "GaleriaHuellas.h"
#include "GaleriaPrueba.h"
#include "HuellasPrueba.h"
#include "MotorHuella.h"
#include "OtroProceso.h"
#include "RelojFijo.h"

#include <QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <random>
#include <thread>

namespace portiva {
namespace {

using prueba::Blob;
using prueba::ExpectComoLeidaDeNuevo;
using prueba::PlantillaGuardada;

// Another program writing the file: a connection of its own, in this process so that the
// thread checker follows it.
void Escribir(const QString& ruta, const QString& sql) {
    prueba::OtraConexion otra(ruta);
    otra.ejecutar(sql);
}

// The file `de` copied page by page onto `a` (made when missing), as SQLite's own backup and
// restore do it, whether or not `a` is open elsewhere.
void CopiarBase(const QString& de, const QString& a) {
    sqlite3* origen = nullptr;
    sqlite3* destino = nullptr;
    ASSERT_EQ(sqlite3_open_v2(de.toLocal8Bit().constData(), &origen, SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_open_v2(a.toLocal8Bit().constData(), &destino,
                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
              SQLITE_OK);
    sqlite3_backup* copia = sqlite3_backup_init(destino, "main", origen, "main");
    ASSERT_NE(copia, nullptr);
    EXPECT_EQ(sqlite3_backup_step(copia, -1), SQLITE_DONE);
    EXPECT_EQ(sqlite3_backup_finish(copia), SQLITE_OK);
    sqlite3_close_v2(destino);
    sqlite3_close_v2(origen);
}

constexpr int Filas = 40;
constexpr int Dedos = 5;

// Row i (from 1) holds finger i mod Dedos, but every seventh row from the third has no template.
bool SinPlantilla(int i) {
    return i % 7 == 3;
}

class GaleriaIncrementalTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString sql = QStringLiteral("BEGIN;");
        for (int i = 1; i <= Filas; ++i)
            sql += QStringLiteral("INSERT INTO ClientesDB (ID, fldCodigo, fldNombre, fldTemplate) "
                                  "VALUES (%1, 'c%1', 'n%1', %2);")
                       .arg(i)
                       .arg(SinPlantilla(i) ? QStringLiteral("NULL")
                                            : Blob(PlantillaGuardada(i % Dedos, 0)));
        Escribir(base.ruta(), sql + QStringLiteral("COMMIT;"));
        cn.setConnectionString(base.ruta());
        ASSERT_TRUE(cn.Open().ok());
        ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
        ASSERT_EQ(galeria.lecturasCompletas(), 1);
    }

    // Where each member's checked template lies in memory now.
    std::map<qint64, const std::uint8_t*> Copias() const {
        std::map<qint64, const std::uint8_t*> r;
        for (std::size_t i = 0; i < galeria.tamano(); ++i)
            r[galeria.miembro(i).id] = galeria.miembro(i).datos();
        return r;
    }

    const GaleriaHuellas::Miembro* Miembro(qint64 id) const {
        for (std::size_t i = 0; i < galeria.tamano(); ++i)
            if (galeria.miembro(i).id == id)
                return &galeria.miembro(i);
        return nullptr;
    }

    // Every member but those named keeps the copy it had.
    void ExpectCopiasIntactas(const std::map<qint64, const std::uint8_t*>& antes,
                              const std::vector<qint64>& cambiados, const std::string& caso) {
        for (const auto& [id, datos] : Copias()) {
            if (std::find(cambiados.begin(), cambiados.end(), id) != cambiados.end())
                continue;
            const auto a = antes.find(id);
            ASSERT_NE(a, antes.end()) << caso << ", ID " << id;
            EXPECT_EQ(datos, a->second) << caso << ", ID " << id;
        }
    }

    prueba::BaseDatosPrueba base;
    prueba::RelojFijo reloj;
    Conexion cn{reloj};
    GaleriaHuellas galeria;
};

TEST_F(GaleriaIncrementalTest, CadaClaseDeCambioTocaSoloSuFila) {
    QByteArray corrupta = PlantillaGuardada(2, 0);
    corrupta[60] = static_cast<char>(corrupta[60] ^ 0x21);
    const auto antes = Copias();
    const std::uint8_t* copia5 = Miembro(5)->datos();
    Escribir(
        base.ruta(),
        QStringLiteral(
            // The name and the dates only: the template's copy stays.
            "UPDATE ClientesDB SET fldNombre = 'otro', fldStuffSiNo = 1, fldFechaInicio = "
            "'2026-01-02', fldFechaCaducidad = '2027-03-04' WHERE ID = 5;"
            "UPDATE ClientesDB SET fldTemplate = %1 WHERE ID = 6;"
            "UPDATE ClientesDB SET fldTemplate = %2 WHERE ID = 8;"
            "UPDATE ClientesDB SET fldTemplate = NULL WHERE ID = 9;"
            "UPDATE ClientesDB SET fldTemplate = %3 WHERE ID = 10;"
            "DELETE FROM ClientesDB WHERE ID = 12;"
            "INSERT INTO ClientesDB (ID, fldCodigo, fldNombre, fldTemplate) VALUES (100, 'x', "
            "'nuevo', %3);")
            .arg(Blob(PlantillaGuardada(7, 0)), Blob(corrupta), Blob(PlantillaGuardada(8, 0))));
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    EXPECT_EQ(galeria.lecturasCompletas(), 1);
    ExpectComoLeidaDeNuevo(galeria, base.ruta(), "siete cambios");
    ExpectCopiasIntactas(antes, {6, 8, 10, 100}, "siete cambios");

    const GaleriaHuellas::Miembro* m5 = Miembro(5);
    ASSERT_NE(m5, nullptr);
    EXPECT_EQ(m5->datos(), copia5);
    EXPECT_EQ(m5->nombre, QStringLiteral("otro"));
    EXPECT_TRUE(m5->personal);
    EXPECT_EQ(m5->inicio, QDate(2026, 1, 2));
    EXPECT_EQ(m5->caducidad, QDate(2027, 3, 4));
    // The template as stored, without the byte the station adds after it.
    ASSERT_NE(Miembro(6), nullptr);
    EXPECT_EQ(Miembro(6)->plantilla(), prueba::ComoSeCompara(PlantillaGuardada(7, 0)));
    // A damaged value stays in its place, unreadable; a template taken away leaves the walk
    // and its row still counts; one put in joins it.
    ASSERT_NE(Miembro(8), nullptr);
    EXPECT_FALSE(Miembro(8)->legible());
    EXPECT_EQ(Miembro(9), nullptr);
    ASSERT_NE(Miembro(10), nullptr);
    EXPECT_TRUE(Miembro(10)->legible());
    EXPECT_EQ(Miembro(12), nullptr);
    EXPECT_EQ(galeria.posicion(galeria.tamano() - 1), Filas);

    // The damaged value mended, the deleted row put back in its place.
    Escribir(base.ruta(), QStringLiteral("UPDATE ClientesDB SET fldTemplate = %1 WHERE ID = 8;"
                                         "INSERT INTO ClientesDB (ID, fldCodigo, fldTemplate) "
                                         "VALUES (12, 'c12', %1);")
                              .arg(Blob(PlantillaGuardada(2, 0))));
    const auto despues = Copias();
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    EXPECT_EQ(galeria.lecturasCompletas(), 1);
    ExpectComoLeidaDeNuevo(galeria, base.ruta(), "reparada y repuesta");
    ExpectCopiasIntactas(despues, {8, 12}, "reparada y repuesta");
    EXPECT_TRUE(Miembro(8)->legible());
}

TEST_F(GaleriaIncrementalTest, MuchasFilasQueVanYVienenDeUnaVezDanLaMismaGaleria) {
    // More rows gone and come than are moved one by one (every other row deleted, twenty
    // added at the end), with names edited in between: one pass over the gallery.
    const auto antes = Copias();
    QString sql = QStringLiteral("BEGIN;");
    std::vector<qint64> idos, venidos;
    for (int i = 2; i <= Filas; i += 2) {
        sql += QStringLiteral("DELETE FROM ClientesDB WHERE ID = %1;").arg(i);
        idos.push_back(i);
    }
    for (int i = 0; i < 20; ++i) {
        sql += QStringLiteral("INSERT INTO ClientesDB (ID, fldCodigo, fldTemplate) VALUES "
                              "(%1, 'n', %2);")
                   .arg(1000 + i)
                   .arg(i % 6 == 0 ? QStringLiteral("NULL") : Blob(PlantillaGuardada(i % 4, 0)));
        venidos.push_back(1000 + i);
    }
    for (int i = 1; i <= Filas; i += 6)
        sql += QStringLiteral("UPDATE ClientesDB SET fldNombre = 'v' WHERE ID = %1;").arg(i);
    Escribir(base.ruta(), sql + QStringLiteral("COMMIT;"));
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    EXPECT_EQ(galeria.lecturasCompletas(), 1);
    ExpectComoLeidaDeNuevo(galeria, base.ruta(), "de una vez");
    // The rows edited by name kept their copies, like every row left alone.
    ExpectCopiasIntactas(antes, venidos, "de una vez");
    for (const qint64 id : idos)
        EXPECT_EQ(Miembro(id), nullptr) << id;
}

TEST_F(GaleriaIncrementalTest, ArchivoRestauradoSeLeeEntero) {
    // The desk's restore: the door lets go of the file, it is replaced by a copy made earlier
    // (another history: rows the door read since are not in it), the door opens it again.
    const QString copia = base.ruta() + QStringLiteral(".copia");
    Escribir(base.ruta(), QStringLiteral("UPDATE ClientesDB SET fldNombre = 'a' WHERE ID = 1;"));
    CopiarBase(base.ruta(), copia);
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    Escribir(base.ruta(), QStringLiteral("UPDATE ClientesDB SET fldNombre = 'b' WHERE ID = 2;"
                                         "DELETE FROM ClientesDB WHERE ID = 4;"));
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    Escribir(copia, QStringLiteral("UPDATE ClientesDB SET fldTemplate = NULL WHERE ID = 5;"
                                   "UPDATE ClientesDB SET fldNombre = 'c' WHERE ID = 6;"
                                   "DELETE FROM ClientesDB WHERE ID = 7;"));
    ASSERT_EQ(galeria.lecturasCompletas(), 1);
    ASSERT_TRUE(cn.Close().ok());
    ASSERT_TRUE(QFile::remove(base.ruta()));
    ASSERT_TRUE(QFile::copy(copia, base.ruta()));
    ASSERT_TRUE(cn.Open().ok());
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    EXPECT_EQ(galeria.lecturasCompletas(), 2);
    ExpectComoLeidaDeNuevo(galeria, base.ruta(), "restaurada por la recepcion");

    // Another program putting a copy back into the file under the open connection.
    Escribir(base.ruta(), QStringLiteral("UPDATE ClientesDB SET fldNombre = 'd' WHERE ID = 8;"
                                         "DELETE FROM ClientesDB WHERE ID = 9;"));
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    CopiarBase(copia, base.ruta());
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    EXPECT_EQ(galeria.lecturasCompletas(), 3);
    ExpectComoLeidaDeNuevo(galeria, base.ruta(), "restaurada por otro programa");

    // A log whose entries were written again with the same numbers, naming other rows: its
    // changes are not the ones read before.
    Escribir(base.ruta(), QStringLiteral("UPDATE ClientesDB SET fldNombre = 'e' WHERE ID = 10;"));
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    Escribir(base.ruta(),
             QStringLiteral("UPDATE ClientesDB SET fldNombre = 'f' WHERE ID = 11;"
                            "UPDATE ClientesDB SET fldNombre = 'g' WHERE ID = 13;"
                            "UPDATE CambiosClientesDB SET ID = 13 WHERE Orden = "
                            "(SELECT MAX(Orden) - 2 FROM CambiosClientesDB);"
                            "DELETE FROM CambiosClientesDB WHERE Orden = "
                            "(SELECT MAX(Orden) - 1 FROM CambiosClientesDB);"
                            "UPDATE CambiosClientesDB SET Orden = Orden - 1 WHERE Orden = "
                            "(SELECT MAX(Orden) FROM CambiosClientesDB);"));
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    EXPECT_EQ(galeria.lecturasCompletas(), 4);
    ExpectComoLeidaDeNuevo(galeria, base.ruta(), "registro reescrito");
}

TEST_F(GaleriaIncrementalTest, LaBusquedaEnOtrosHilosVeSiempreUnaGaleriaEntera) {
    // Another writer changes the file in short transactions (templates replaced, rows added
    // and deleted, templates taken away) while this thread brings the gallery up to date and
    // walks it on four threads, again and again. Each row's name says which template it holds,
    // so a row read half-way or a write applied in part shows; every template the walk meets
    // is whole and checked.
    std::vector<QByteArray> plantillas;
    for (int d = 0; d < Dedos; ++d)
        plantillas.push_back(PlantillaGuardada(d, 0));
    const auto dedoDe = [](const QString& nombre) {
        // "n<ID>" rows as made, "v<finger>-<k>" rows as written.
        if (nombre.startsWith(QLatin1Char('n')))
            return nombre.mid(1).toInt() % Dedos;
        return nombre.mid(1).section(QLatin1Char('-'), 0, 0).toInt();
    };
    std::atomic<bool> terminado{false};
    std::atomic<int> escrituras{0};
    // Every eighth write the writer lets this thread finish a whole round that began after it,
    // so rounds meet the writes half-way however slowly either side runs.
    std::atomic<int> rondas{0};
    std::thread escritor([&] {
        prueba::OtraConexion otra(base.ruta());
        sqlite3_busy_timeout(otra.db(), 10000);
        std::mt19937 g(11);
        for (int k = 0; k < 120; ++k) {
            const int dedo = static_cast<int>(g() % Dedos);
            const QString nombre = QStringLiteral("v%1-%2").arg(dedo).arg(k);
            const QString plantilla = Blob(plantillas[static_cast<std::size_t>(dedo)]);
            const int id = 1 + static_cast<int>(g() % (Filas + 20));
            QString sql = QStringLiteral("BEGIN IMMEDIATE;");
            switch (k % 4) {
            case 0:
                sql += QStringLiteral("UPDATE ClientesDB SET fldNombre = '%1', fldTemplate = %2 "
                                      "WHERE ID = %3;")
                           .arg(nombre, plantilla)
                           .arg(id);
                break;
            case 1:
                sql += QStringLiteral("INSERT OR REPLACE INTO ClientesDB (ID, fldCodigo, "
                                      "fldNombre, fldTemplate) VALUES (%3, 'c', '%1', %2);")
                           .arg(nombre, plantilla)
                           .arg(id);
                break;
            case 2:
                sql += QStringLiteral("DELETE FROM ClientesDB WHERE ID = %1;").arg(id);
                break;
            default:
                sql += QStringLiteral("UPDATE ClientesDB SET fldTemplate = NULL WHERE ID = %1;")
                           .arg(id);
            }
            otra.ejecutar(sql + QStringLiteral("COMMIT;"));
            escrituras.store(k + 1);
            if (k % 8 == 7) {
                const int objetivo = rondas.load() + 2;
                for (int r = rondas.load(); r < objetivo; r = rondas.load())
                    rondas.wait(r);
            }
        }
        terminado.store(true);
    });

    int codigo = 0;
    const QByteArray& buscada = PlantillaGuardada(0, 1);
    const auto q =
        motor::ConsultaPreparada::crear(reinterpret_cast<const std::uint8_t*>(buscada.data()),
                                        static_cast<std::size_t>(buscada.size()),
                                        {motor::MotorHuella::UmbralIdentificacionPorDefecto,
                                         motor::MotorHuella::RotacionIdentificacionPorDefecto},
                                        codigo);
    ASSERT_NE(q, nullptr);
    BusquedaParalela busqueda(4);
    int vueltas = 0;
    bool vistaEnMedio = false;
    while (!terminado.load()) {
        const int antes = escrituras.load();
        if (galeria.Actualizar(cn) != GaleriaHuellas::Estado::AlDia)
            continue;
        ++vueltas;
        vistaEnMedio = vistaEnMedio || (antes > 0 && !terminado.load());
        for (std::size_t i = 0; i < galeria.tamano(); ++i) {
            const GaleriaHuellas::Miembro& m = galeria.miembro(i);
            if (!m.legible())
                continue;
            const QByteArray& esperada = plantillas[static_cast<std::size_t>(dedoDe(m.nombre))];
            ASSERT_EQ(m.plantilla(), prueba::ComoSeCompara(esperada))
                << "ID " << m.id << " " << m.nombre.toStdString();
        }
        std::atomic<int> errores{0};
        (void)busqueda.buscar(galeria.filas(),
                              [&](const std::uint8_t* datos, std::size_t tamano, int& puntuacion) {
                                  if (datos == nullptr)
                                      return 0;
                                  if (GaleriaHuellas::Comparar(*q, datos, tamano, puntuacion) < 0)
                                      ++errores;
                                  return 0;
                              });
        ASSERT_EQ(errores.load(), 0);
        rondas.fetch_add(1);
        rondas.notify_all();
    }
    escritor.join();
    EXPECT_TRUE(vistaEnMedio);
    EXPECT_GT(vueltas, 0);
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    ExpectComoLeidaDeNuevo(galeria, base.ruta(), "tras el escritor");
}

} // namespace
} // namespace portiva
