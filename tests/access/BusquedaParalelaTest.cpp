// The threaded identification walk gives exactly what the plain walk in table order gives.
#include "BusquedaParalela.h"
#include "BaseDatosPrueba.h"
#include "Conexion.h"
#include "GaleriaHuellas.h"
#include "HuellasPrueba.h"
#include "OtroProceso.h"
#include "RelojFijo.h"

#include "CodigosMotor.h"
#include "ConsultaPreparada.h"
#include "MotorHuella.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

namespace portiva {
namespace {

using Fila = BusquedaParalela::Fila;

// Prepared queries of the second impression of the first `dedos` fingers, at the defaults
// (null where one could not be prepared).
std::vector<std::shared_ptr<const motor::ConsultaPreparada>> consultasDeLosDedos(int dedos) {
    std::vector<std::shared_ptr<const motor::ConsultaPreparada>> consultas;
    for (int dedo = 0; dedo < dedos; ++dedo) {
        const QByteArray& q = prueba::PlantillaGuardada(dedo, 1);
        int r = 0;
        consultas.push_back(motor::ConsultaPreparada::crear(
            reinterpret_cast<const std::uint8_t*>(q.data()), static_cast<std::size_t>(q.size()),
            {motor::MotorHuella::UmbralIdentificacionPorDefecto,
             motor::MotorHuella::RotacionIdentificacionPorDefecto},
            r));
    }
    return consultas;
}

// The plain walk: first match or error in order decides; the score is the last one written.
BusquedaParalela::Resultado Secuencial(const std::vector<Fila>& filas,
                                       const BusquedaParalela::Comparador& comparar) {
    BusquedaParalela::Resultado r;
    for (std::size_t i = 0; i < filas.size(); ++i) {
        int puntuacion = 0;
        const int c = comparar(filas[i].datos, filas[i].tamano, puntuacion);
        r.puntuacion = puntuacion;
        if (c == 1 || c < 0) {
            r.indice = static_cast<std::ptrdiff_t>(i);
            r.resultado = c;
            return r;
        }
    }
    return r;
}

void ExpectIguales(const BusquedaParalela::Resultado& a, const BusquedaParalela::Resultado& b,
                   const std::string& caso) {
    EXPECT_EQ(a.indice, b.indice) << caso;
    EXPECT_EQ(a.resultado, b.resultado) << caso;
    EXPECT_EQ(a.puntuacion, b.puntuacion) << caso;
}

// Entries whose first byte says what the comparison answers: 'c' match, 'e' error, 'n' none;
// the score is derived from the entry's position so that a wrong entry shows.
struct TablaFalsa {
    std::vector<std::vector<std::uint8_t>> datos;
    std::vector<Fila> filas;

    void construir() {
        filas.clear();
        for (const auto& d : datos)
            filas.push_back({d.data(), d.size()});
    }
};

int ComparacionFalsa(const std::uint8_t* d, std::size_t n, int& puntuacion, bool jitter) {
    puntuacion = static_cast<int>(d[1]) * 256 + d[2];
    if (jitter) {
        // Uneven durations shuffle which thread gets where first.
        thread_local std::minstd_rand g(std::random_device{}());
        if (g() % 7 == 0)
            std::this_thread::sleep_for(std::chrono::microseconds(g() % 200));
    }
    (void)n;
    switch (d[0]) {
    case 'c':
        return 1;
    case 'e':
        return -8;
    default:
        return 0;
    }
}

TEST(BusquedaParalelaTest, TablasAleatoriasDanLoMismoQueElRecorridoEnOrden) {
    std::mt19937 g(12345);
    BusquedaParalela busqueda(8);
    BusquedaParalela uno(1);
    const BusquedaParalela::Comparador comparar = [](const std::uint8_t* d, std::size_t n, int& p) {
        return ComparacionFalsa(d, n, p, true);
    };
    for (int vuelta = 0; vuelta < 400; ++vuelta) {
        TablaFalsa t;
        const int n = static_cast<int>(g() % 700);
        const int coincidencias = static_cast<int>(g() % 4);
        const int errores = static_cast<int>(g() % 3);
        t.datos.assign(static_cast<std::size_t>(n), {'n', 0, 0});
        for (int i = 0; i < n; ++i) {
            t.datos[static_cast<std::size_t>(i)][1] = static_cast<std::uint8_t>(i / 256);
            t.datos[static_cast<std::size_t>(i)][2] = static_cast<std::uint8_t>(i % 256);
        }
        for (int k = 0; n > 0 && k < coincidencias; ++k)
            t.datos[g() % static_cast<unsigned>(n)][0] = 'c';
        for (int k = 0; n > 0 && k < errores; ++k)
            t.datos[g() % static_cast<unsigned>(n)][0] = 'e';
        t.construir();

        const auto esperado = Secuencial(t.filas, comparar);
        const std::string caso = "vuelta " + std::to_string(vuelta);
        ExpectIguales(busqueda.buscar(t.filas, comparar), esperado, caso);
        ExpectIguales(uno.buscar(t.filas, comparar), esperado, caso + " (un hilo)");
    }
}

TEST(BusquedaParalelaTest, NadaDetrasDeLoQueDecideSeCompara) {
    // Entries past the deciding one may be looked at only by threads already busy with them
    // when it was found; a match at the front stops the walk almost at once.
    BusquedaParalela busqueda(4);
    std::vector<std::vector<std::uint8_t>> datos(20000, {'n', 0, 0});
    datos[3][0] = 'c';
    std::vector<Fila> filas;
    for (const auto& d : datos)
        filas.push_back({d.data(), d.size()});
    std::atomic<int> comparadas{0};
    std::atomic<bool> encontrada{false};
    const std::uint8_t* const delante = datos[3].data();
    // Entries behind the match hold their thread until the match has been compared (and a
    // little longer, for the decision to be taken), so however the machine schedules the
    // threads, none can run far ahead of the walk's answer.
    const BusquedaParalela::Comparador comparar = [&](const std::uint8_t* d, std::size_t n,
                                                      int& p) {
        ++comparadas;
        if (d == delante) {
            encontrada = true;
        } else if (d != datos[0].data() && d != datos[1].data() && d != datos[2].data()) {
            const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!encontrada && std::chrono::steady_clock::now() < limite)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return ComparacionFalsa(d, n, p, false);
    };
    const auto r = busqueda.buscar(filas, comparar);
    EXPECT_EQ(r.indice, 3);
    EXPECT_EQ(r.resultado, 1);
    EXPECT_LT(comparadas.load(), 200);
}

// The real engine on real templates, with corrupt ones before and after the matches.
TEST(BusquedaParalelaTest, ConElMotorYPlantillasRealesIgualQueEnOrden) {
    using prueba::PlantillaGuardada;
    std::vector<QByteArray> guardadas;
    for (int dedo = 0; dedo < 6; ++dedo)
        guardadas.push_back(PlantillaGuardada(dedo, 0));
    QByteArray corrupta = guardadas[0];
    corrupta[50] = static_cast<char>(corrupta[50] ^ 0x11);
    const QByteArray vacia;
    const QByteArray basura(300, 'z');

    const auto consultas = consultasDeLosDedos(3);
    for (const auto& c : consultas)
        ASSERT_NE(c, nullptr);

    std::mt19937 g(777);
    BusquedaParalela busqueda(0);
    int coincidencias = 0, errores = 0;
    for (int vuelta = 0; vuelta < 60; ++vuelta) {
        const std::size_t n = 1 + g() % 300;
        std::vector<const QByteArray*> tabla;
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned tirada = g() % 1000;
            if (tirada < 3)
                tabla.push_back(&corrupta);
            else if (tirada < 5)
                tabla.push_back(&basura);
            else if (tirada < 6)
                tabla.push_back(&vacia);
            else if (tirada < 26)
                tabla.push_back(&guardadas[g() % 3]); // fingers that may be asked for
            else
                tabla.push_back(&guardadas[3 + g() % 3]); // fingers never asked for
        }
        std::vector<Fila> filas;
        for (const QByteArray* b : tabla)
            filas.push_back({reinterpret_cast<const std::uint8_t*>(b->data()),
                             static_cast<std::size_t>(b->size())});
        const auto& q = *consultas[g() % consultas.size()];
        const BusquedaParalela::Comparador comparar = [&q](const std::uint8_t* d, std::size_t t,
                                                           int& p) { return q.comparar(d, t, p); };
        const auto esperado = Secuencial(filas, comparar);
        ExpectIguales(busqueda.buscar(filas, comparar), esperado,
                      "vuelta " + std::to_string(vuelta));
        coincidencias += esperado.resultado == 1;
        errores += esperado.resultado < 0;
    }
    // The tables did exercise both kinds of decision.
    EXPECT_GT(coincidencias, 10);
    EXPECT_GT(errores, 3);
}

// The gallery the door walks, changed by another process between walks, answers what the
// plain walk over the rows read afresh from the file answers: same deciding member, same
// result, same score. Unreadable values count as no match for their row, as at the door.
TEST(BusquedaParalelaTest, ConLaGaleriaCambiadaPorOtroProcesoIgualQueEnOrden) {
    using prueba::Blob;
    using prueba::PlantillaGuardada;
    QByteArray corrupta = PlantillaGuardada(1, 0);
    corrupta[60] = static_cast<char>(corrupta[60] ^ 0x22);
    // Values a row's template column may hold.
    const std::vector<QString> valores = {Blob(PlantillaGuardada(0, 0)),
                                          Blob(PlantillaGuardada(1, 0)),
                                          Blob(PlantillaGuardada(2, 0)),
                                          Blob(PlantillaGuardada(3, 0)),
                                          Blob(PlantillaGuardada(4, 0)),
                                          Blob(PlantillaGuardada(5, 0)),
                                          Blob(corrupta),
                                          QStringLiteral("7"),
                                          QStringLiteral("NULL"),
                                          QStringLiteral("'texto'"),
                                          QStringLiteral("X''")};
    std::mt19937 g(4242);
    auto valorAlAzar = [&] {
        const unsigned tirada = g() % 100;
        if (tirada < 10)
            return valores[6 + g() % 5]; // not a template
        if (tirada < 30)
            return valores[g() % 3]; // fingers that may be asked for
        return valores[3 + g() % 3];
    };

    prueba::BaseDatosPrueba base;
    QString sql;
    for (int i = 0; i < 60; ++i)
        sql += QStringLiteral("INSERT INTO ClientesDB (fldCodigo, fldTemplate) VALUES ('c%1', %2);")
                   .arg(i)
                   .arg(valorAlAzar());
    prueba::EnOtroProceso(base.ruta(), sql);

    prueba::RelojFijo reloj;
    Conexion cn(reloj);
    cn.setConnectionString(base.ruta());
    ASSERT_TRUE(cn.Open().ok());
    GaleriaHuellas galeria;
    ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);

    const auto consultas = consultasDeLosDedos(3);
    for (const auto& c : consultas)
        ASSERT_NE(c, nullptr);

    prueba::OtraConexion lector(base.ruta());
    BusquedaParalela busqueda(0);
    int coincidencias = 0;
    for (int vuelta = 0; vuelta < 12; ++vuelta) {
        // Rows added, edited and deleted by the other process.
        QString cambios;
        for (int k = 0; k < 8; ++k) {
            const unsigned que = g() % 3;
            const int id = 1 + static_cast<int>(g() % 80);
            if (que == 0)
                cambios += QStringLiteral(
                               "INSERT INTO ClientesDB (fldCodigo, fldTemplate) VALUES ('n', %1);")
                               .arg(valorAlAzar());
            else if (que == 1)
                cambios += QStringLiteral("UPDATE ClientesDB SET fldTemplate = %1 WHERE ID = %2;")
                               .arg(valorAlAzar())
                               .arg(id);
            else
                cambios += QStringLiteral("DELETE FROM ClientesDB WHERE ID = %1;").arg(id);
        }
        prueba::EnOtroProceso(base.ruta(), cambios);
        ASSERT_EQ(galeria.Actualizar(cn), GaleriaHuellas::Estado::AlDia);

        // The rows as the file holds them now, in table order.
        std::vector<QByteArray> bytes;
        std::vector<qint64> ids;
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(lector.db(), "SELECT ID, fldTemplate FROM ClientesDB", -1, &st,
                                     nullptr),
                  SQLITE_OK);
        while (sqlite3_step(st) == SQLITE_ROW) {
            if (sqlite3_column_type(st, 1) == SQLITE_NULL)
                continue;
            ids.push_back(sqlite3_column_int64(st, 0));
            const auto* b = static_cast<const char*>(sqlite3_column_blob(st, 1));
            bytes.emplace_back(b, sqlite3_column_bytes(st, 1));
        }
        sqlite3_finalize(st);
        std::vector<Fila> filas;
        for (const QByteArray& b : bytes)
            filas.push_back({reinterpret_cast<const std::uint8_t*>(b.constData()),
                             static_cast<std::size_t>(b.size())});

        for (const auto& consulta : consultas) {
            const motor::ConsultaPreparada& q = *consulta;
            const BusquedaParalela::Comparador comparar = [&q](const std::uint8_t* d, std::size_t t,
                                                               int& p) {
                const int r = q.comparar(d, t, p);
                return r == motor::codigo::FueraDeLimite || r == motor::codigo::ParametroNulo ? 0
                                                                                              : r;
            };
            // The gallery's entries, in the form it keeps them, compared as the door does.
            const BusquedaParalela::Comparador compararGaleria = [&q](const std::uint8_t* d,
                                                                      std::size_t t, int& p) {
                if (d == nullptr) {
                    p = 0;
                    return 0;
                }
                const int r = GaleriaHuellas::Comparar(q, d, t, p);
                return r == motor::codigo::FueraDeLimite ? 0 : r;
            };
            const auto esperado = Secuencial(filas, comparar);
            const auto obtenido = busqueda.buscar(galeria.filas(), compararGaleria);
            const std::string donde = "vuelta " + std::to_string(vuelta);
            ASSERT_EQ(galeria.tamano(), ids.size()) << donde;
            EXPECT_EQ(obtenido.resultado, esperado.resultado) << donde;
            EXPECT_EQ(obtenido.puntuacion, esperado.puntuacion) << donde;
            ASSERT_EQ(obtenido.indice < 0, esperado.indice < 0) << donde;
            if (esperado.indice >= 0) {
                EXPECT_EQ(galeria.miembro(static_cast<std::size_t>(obtenido.indice)).id,
                          ids[static_cast<std::size_t>(esperado.indice)])
                    << donde;
            }
            coincidencias += esperado.resultado == 1;
        }
    }
    EXPECT_GT(coincidencias, 5);
}

} // namespace
} // namespace portiva
