// The gallery of enrolled templates at the door: what another process or this station writes
// between two captures is seen at the second, and a file locked by another program does not
// stop the door from identifying.
#include "EstacionHuellaPrueba.h"
#include "OtroProceso.h"

#include <QTimer>

#include "GaleriaHuellas.h"

#include <gtest/gtest.h>

namespace portiva::prueba {
namespace {

using namespace std::chrono_literals;

const QString kOcupada = QStringLiteral(
    "10:30:00 ->       Identif.: Base de datos ocupada por otro programa, no se pudo leer en 1 "
    "s: acceso denegado sin decidir.");
const QString kBaseOcupada = QStringLiteral(" Base de datos ocupada!");

QString Omitida(int id) {
    return QStringLiteral("10:30:00 ->       Identif.: Plantilla no valida en el cliente ID %1, "
                          "se omite.")
        .arg(id);
}

QString Personal(int id, const QString& nombre) {
    return QStringLiteral(" ID %1 %2 (Personal)").arg(id).arg(nombre);
}

const QString kDesconocida = QStringLiteral(" Desconocida!");

QString Insertar(const QString& codigo, int dedo) {
    return QStringLiteral("INSERT INTO ClientesDB (fldCodigo, fldNombre, fldStuffSiNo, "
                          "fldFotoPath, fldTemplate) VALUES ('%1', '%1', 1, '', %2);")
        .arg(codigo, Blob(PlantillaGuardada(dedo, 0)));
}

QString CambiarPlantilla(int id, const QString& valor) {
    return QStringLiteral("UPDATE ClientesDB SET fldTemplate = %1 WHERE ID = %2;")
        .arg(valor)
        .arg(id);
}

class GaleriaHuellasTest : public ::testing::Test {
protected:
    // Staff members (no dates needed), one per finger, IDs from 1.
    // The file as on a medium without the write-ahead log: another program's write lock then
    // holds every reader, the door's included.
    void SinRegistroAnticipado() {
        ASSERT_TRUE(e.db.cnClientes().Execute(QStringLiteral("PRAGMA journal_mode = DELETE")).ok());
        ASSERT_FALSE(e.db.cnClientes().RegistroAnticipado());
    }
    void Arrancar(const std::vector<int>& dedos) {
        std::vector<QVariantMap> filas;
        for (std::size_t i = 0; i < dedos.size(); ++i)
            filas.push_back(EstacionHuellaPrueba::ConHuella(
                Cliente(QStringLiteral("c%1").arg(i + 1), {}, {}, true), dedos[i]));
        e.base.clientes(filas);
        e.Arrancar();
        placa_ = &e.Placa();
    }

    // Captures impression 1 of the finger, waits for the door and gives the status line; the
    // log lines of that capture stay in `log`.
    QString Identificar(int dedo) {
        e.pantalla.limpiar();
        placa_->olvidar();
        e.Capturar(dedo);
        EXPECT_TRUE(EsperarBytes(*placa_, 5, EsperaGenerosa));
        log = e.pantalla.log;
        return e.pantalla.info.empty() ? QString() : e.pantalla.info.back().texto;
    }

    QString ruta() const { return e.base.ruta(); }

    EstacionHuellaPrueba e;
    SimuladorRele* placa_ = nullptr;
    QStringList log;
};

TEST_F(GaleriaHuellasTest, FilaAnadidaEditadaYBorradaPorOtroProcesoSeVeEnLaSiguienteCaptura) {
    Arrancar({3, 4});
    EXPECT_EQ(Identificar(3), Personal(1, QStringLiteral("c1")));
    EXPECT_EQ(Identificar(5), kDesconocida);

    EnOtroProceso(ruta(), Insertar(QStringLiteral("c3"), 5));
    EXPECT_EQ(Identificar(5), Personal(3, QStringLiteral("c3")));

    EnOtroProceso(ruta(),
                  CambiarPlantilla(1, Blob(PlantillaGuardada(6, 0))) +
                      QStringLiteral("UPDATE ClientesDB SET fldNombre = 'Eva' WHERE ID = 1;"));
    EXPECT_EQ(Identificar(6), Personal(1, QStringLiteral("Eva")));
    EXPECT_EQ(Identificar(3), kDesconocida);

    EnOtroProceso(ruta(), QStringLiteral("DELETE FROM ClientesDB WHERE ID = 3;"));
    EXPECT_EQ(Identificar(5), kDesconocida);
    // The matched row's position in the table follows the deletion too.
    EnOtroProceso(ruta(), QStringLiteral("DELETE FROM ClientesDB WHERE ID = 1;"));
    e.ventana.informacionAmpliada = true;
    EXPECT_EQ(Identificar(4), Personal(2, QStringLiteral("c2")));
    ASSERT_FALSE(e.ventana.saltos.empty());
    EXPECT_EQ(e.ventana.saltos.back(), 1);
    // Each change was read from the file's change log: the table was read whole once, when the
    // engine started.
    EXPECT_EQ(e.flujo().galeria().lecturasCompletas(), 1);
}

TEST_F(GaleriaHuellasTest, PlantillaCorrompidaPorOtroProcesoSeOmiteYSeNombra) {
    Arrancar({3, 4});
    EXPECT_EQ(Identificar(4), Personal(2, QStringLiteral("c2")));
    EXPECT_FALSE(log.contains(Omitida(1)));

    QByteArray corrupta = PlantillaGuardada(3, 0);
    corrupta[50] = static_cast<char>(corrupta[50] ^ 0x11);
    EnOtroProceso(ruta(), CambiarPlantilla(1, Blob(corrupta)));
    EXPECT_EQ(Identificar(4), Personal(2, QStringLiteral("c2")));
    EXPECT_EQ(log.count(Omitida(1)), 1);
    EXPECT_EQ(Identificar(3), kDesconocida);
    EXPECT_EQ(log.count(Omitida(1)), 1);

    EnOtroProceso(ruta(), CambiarPlantilla(1, QStringLiteral("7")));
    EXPECT_EQ(Identificar(4), Personal(2, QStringLiteral("c2")));
    EXPECT_EQ(log.count(Omitida(1)), 1);

    // Mended again: found, nothing skipped.
    EnOtroProceso(ruta(), CambiarPlantilla(1, Blob(PlantillaGuardada(3, 0))));
    EXPECT_EQ(Identificar(3), Personal(1, QStringLiteral("c1")));
    EXPECT_FALSE(log.contains(Omitida(1)));
    EXPECT_EQ(e.flujo().galeria().lecturasCompletas(), 1);
}

TEST_F(GaleriaHuellasTest, LoQueEscribeEstaEstacionSeVeEnLaSiguienteCaptura) {
    Arrancar({3, 4});
    EXPECT_EQ(Identificar(6), kDesconocida);
    const Resultado r = e.db.cnClientes().Execute(
        QStringLiteral("UPDATE ClientesDB SET fldTemplate = ? WHERE ID = 2"),
        {PlantillaGuardada(6, 0)});
    ASSERT_TRUE(r.ok()) << qPrintable(r.error().texto());
    EXPECT_EQ(Identificar(6), Personal(2, QStringLiteral("c2")));
    EXPECT_EQ(Identificar(4), kDesconocida);
}

// With the write-ahead log another program in the middle of a write does not hold the door:
// the capture decides at once on what is committed, and what the other program commits counts
// from the next capture on.
TEST_F(GaleriaHuellasTest, OtroProgramaEscribiendoNoDetieneLaPuerta) {
    Arrancar({3, 4});
    ASSERT_TRUE(e.db.cnClientes().RegistroAnticipado());
    OtraConexion otra(ruta());
    otra.ejecutar(QStringLiteral("BEGIN EXCLUSIVE;"));
    otra.ejecutar(QStringLiteral("DELETE FROM ClientesDB WHERE ID = 1;"));
    EXPECT_EQ(Identificar(3), Personal(1, QStringLiteral("c1"))); // not committed yet
    otra.ejecutar(QStringLiteral("COMMIT;"));
    EXPECT_EQ(Identificar(3), kDesconocida); // deleted: never let in again
    EXPECT_EQ(Identificar(4), Personal(2, QStringLiteral("c2")));
    EXPECT_FALSE(log.contains(kOcupada));
}

// Another program keeps the file locked past the door's wait: the finger is refused (relay 8),
// never decided on the templates and dates read before the lock, and the log says why. The
// wait is timers: the capture comes back at once and the door answers when it is over.
TEST_F(GaleriaHuellasTest, BaseBloqueadaMasDeUnSegundoRechazaSinDecidir) {
    Arrancar({3, 4});
    SinRegistroAnticipado();
    ASSERT_TRUE(e.flujo().galeria().cargada());

    OtraConexion otra(ruta());
    otra.ejecutar(QStringLiteral("BEGIN EXCLUSIVE;"));
    otra.ejecutar(CambiarPlantilla(1, Blob(PlantillaGuardada(6, 0))));
    EXPECT_EQ(Identificar(3), kBaseOcupada);
    EXPECT_EQ(log.count(kOcupada), 1);
    EXPECT_EQ(placa_->bytesRecibidos(), (std::vector<std::uint8_t>{91, 92, 128, 92, 2}));
    EXPECT_TRUE(e.pantalla.info.back().rojo);

    // Once the lock is gone, the next capture decides on what the other program committed.
    otra.ejecutar(QStringLiteral("COMMIT;"));
    EXPECT_EQ(Identificar(6), Personal(1, QStringLiteral("c1")));
    EXPECT_FALSE(log.contains(kOcupada));
    EXPECT_EQ(Identificar(3), kDesconocida);
}

// A member deleted by another program whose transaction ends during the door's wait: the
// capture decides on the committed file, so the deleted member is not let in.
TEST_F(GaleriaHuellasTest, BloqueoQueAcabaDuranteLaEsperaDecideConLoConfirmado) {
    Arrancar({3, 4});
    SinRegistroAnticipado();
    OtraConexion otra(ruta());
    otra.ejecutar(QStringLiteral("BEGIN EXCLUSIVE;"));
    otra.ejecutar(QStringLiteral("DELETE FROM ClientesDB WHERE ID = 1;"));
    QTimer::singleShot(300, [&] { otra.ejecutar(QStringLiteral("COMMIT;")); });
    EXPECT_EQ(Identificar(3), kDesconocida);
    EXPECT_FALSE(log.contains(kOcupada));
    EXPECT_EQ(Identificar(4), Personal(2, QStringLiteral("c2")));
}

TEST_F(GaleriaHuellasTest, BaseBloqueadaAntesDeCargarRechaza) {
    e.base.clientes({EstacionHuellaPrueba::ConHuella(Cliente("c1", {}, {}, true), 3)});
    ASSERT_TRUE(e.db.AbrirDB());
    SinRegistroAnticipado();
    OtraConexion otra(ruta());
    otra.ejecutar(QStringLiteral("BEGIN EXCLUSIVE;"));
    e.huella().IniciarHuella();
    e.acceso.modos().tmrDetectarLector().stop();
    EXPECT_FALSE(e.flujo().galeria().cargada());
    placa_ = &e.Placa();
    EXPECT_EQ(Identificar(3), kBaseOcupada);
    EXPECT_EQ(log.count(kOcupada), 1);
    otra.ejecutar(QStringLiteral("ROLLBACK;"));
    EXPECT_EQ(Identificar(3), Personal(1, QStringLiteral("c1")));
}

} // namespace
} // namespace portiva::prueba
