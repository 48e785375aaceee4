// The member database at full size: 32,767 members with 400-byte templates (401 bytes stored).
// Opening the database, the identification scan (a fresh "SELECT * FROM ClientesDB" that reads
// every template) and each member count.
#include "ConsultaBusqueda.h"
#include "CopiasSeguridad.h"
#include "CreadorBaseDatos.h"
#include "DbClientes.h"
#include "Entorno.h"
#include "VersionDatos.h"
#include "VistaQuieta.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <thread>

using namespace portiva;

namespace {

class MsgBoxConsola final : public MsgBox {
public:
    Respuesta operator()(const QString& texto, int estilo, const QString&) override {
        if (estilo == EstiloMsg::Informacion)
            return Respuesta::Aceptar;
        std::fprintf(stderr, "MsgBox: %s\n", qPrintable(texto));
        return Respuesta::Aceptar;
    }
};

class RelojBanco final : public Reloj {
public:
    QDateTime ahora() const override { return QDateTime(QDate(2026, 12, 8), QTime(10, 0)); }
};

// One full-size station, made once for all the benchmarks.
struct Estacion {
    Estacion() {
        const QString ruta = QDir(carpeta.path()).filePath(DbClientes::nombreArchivo());
        if (!CreadorBaseDatos::CrearVacia(ruta)) {
            std::fprintf(stderr, "no se pudo crear %s\n", qPrintable(ruta));
            std::abort();
        }
        std::vector<QVariantMap> filas;
        filas.reserve(DbClientes::MaximoClientes);
        const QDate hoy(2026, 12, 8);
        for (int i = 0; i < DbClientes::MaximoClientes; ++i) {
            QByteArray plantilla(401, '\0');
            for (int b = 0; b < plantilla.size(); ++b)
                plantilla[b] = static_cast<char>((i * 31 + b * 7) & 0xff);
            filas.push_back({{"fldCodigo", QStringLiteral("C%1").arg(i, 5, 10, QLatin1Char('0'))},
                             {"fldNombre", QStringLiteral("Cliente numero %1").arg(i)},
                             {"fldNomFiscal", QStringLiteral("Cliente numero %1").arg(i)},
                             {"fldFechaInscripcion", hoy.addDays(-(i % 700))},
                             {"fldFechaInicio", hoy.addDays(-(i % 400))},
                             {"fldFechaCaducidad", hoy.addDays((i % 90) - 30)},
                             {"fldServContratado", QStringLiteral("Mensual")},
                             {"fldPrecio", 30.0},
                             {"fldFotoPath", QString()},
                             {"fldStuffSiNo", i % 50 == 0},
                             {"fldTemplate", plantilla}});
        }
        if (!CreadorBaseDatos::Insertar(ruta, "ClientesDB", filas) ||
            !CreadorBaseDatos::Insertar(ruta, "ServiciosDB",
                                        {{{"fldServicio", "Mensual"},
                                          {"fldPrecio", 30.0},
                                          {"fldIntervalo", "m"},
                                          {"fldNumero", 1.0}}})) {
            std::fprintf(stderr, "no se pudieron añadir los clientes\n");
            std::abort();
        }
        if (!db.AbrirDB()) {
            std::fprintf(stderr, "AbrirDB falló\n");
            std::abort();
        }
    }

    QTemporaryDir carpeta;
    MsgBoxConsola msgBox;
    RelojBanco reloj;
    Entorno entorno{carpeta.path(), msgBox, reloj};
    prueba::VistaQuieta vista;
    DbClientes db{entorno, vista};
};

Estacion& estacion() {
    static Estacion e;
    return e;
}

void BM_AbrirDB(benchmark::State& state) {
    auto& e = estacion();
    for (auto _ : state) {
        if (!e.db.AbrirDB())
            state.SkipWithError("AbrirDB falló");
        benchmark::DoNotOptimize(e.db.rsClientes().RecordCount());
    }
}
BENCHMARK(BM_AbrirDB)->Unit(benchmark::kMillisecond);

// The identification scan: open the member list anew and read every row's template bytes.
void BM_EscaneoPlantillas(benchmark::State& state) {
    auto& e = estacion();
    long plantillas = 0;
    for (auto _ : state) {
        Recordset rs;
        if (!rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), e.db.cnClientes()))
            state.SkipWithError("Open falló");
        const int campo = rs.IndiceCampo(QStringLiteral("fldTemplate"));
        unsigned suma = 0;
        plantillas = 0;
        // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
        for (; !rs.Eof(); (void)rs.MoveNext()) {
            if (rs.esNuloEn(campo))
                continue;
            const QByteArrayView bytes = rs.bytesEn(campo);
            suma += static_cast<unsigned char>(bytes[bytes.size() - 1]);
            ++plantillas;
        }
        benchmark::DoNotOptimize(suma);
    }
    state.counters["plantillas"] = static_cast<double>(plantillas);
}
BENCHMARK(BM_EscaneoPlantillas)->Unit(benchmark::kMillisecond);

// The same scan reading each template as a QByteArray through Fields().Value().
void BM_EscaneoPlantillasQVariant(benchmark::State& state) {
    auto& e = estacion();
    for (auto _ : state) {
        Recordset rs;
        if (!rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), e.db.cnClientes()))
            state.SkipWithError("Open falló");
        qsizetype total = 0;
        // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
        for (; !rs.Eof(); (void)rs.MoveNext())
            total += rs.Fields(QStringLiteral("fldTemplate")).Value().valor().toByteArray().size();
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_EscaneoPlantillasQVariant)->Unit(benchmark::kMillisecond);

void BM_Stuff(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(estacion().db.Stuff());
}
BENCHMARK(BM_Stuff)->Unit(benchmark::kMillisecond);

void BM_Permitidos(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(estacion().db.Permitidos());
}
BENCHMARK(BM_Permitidos)->Unit(benchmark::kMillisecond);

void BM_NoPermitidos(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(estacion().db.NoPermitidos());
}
BENCHMARK(BM_NoPermitidos)->Unit(benchmark::kMillisecond);

void BM_TotalClientes(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(estacion().db.TotalClientes());
}
BENCHMARK(BM_TotalClientes)->Unit(benchmark::kMillisecond);

void BM_ActContadores(benchmark::State& state) {
    for (auto _ : state)
        estacion().db.ActContadores();
}
BENCHMARK(BM_ActContadores)->Unit(benchmark::kMillisecond);

// The last member's position, the longest ID lookup.
void BM_PosicionID(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(estacion().db.PosicionID(DbClientes::MaximoClientes));
}
BENCHMARK(BM_PosicionID)->Unit(benchmark::kMillisecond);

// A name search that reads every member: LIKE through the station's own case-folding like().
void BM_BusquedaLikeCompleta(benchmark::State& state) {
    auto& e = estacion();
    const ConsultaBuscada c = ConstruirBusqueda(
        5, -1, QStringLiteral("*NÚMERO 1234*"), QDate(2026, 12, 8),
        {[](const QString&) { return std::optional<QDate>(); },
         [](const QDate& d) { return d.toString(QStringLiteral("dd/MM/yyyy")); }});
    for (auto _ : state) {
        Recordset rs;
        if (!rs.Open(c.sql, e.db.cnClientes(), c.parametros).ok())
            state.SkipWithError("la busqueda falló");
        benchmark::DoNotOptimize(rs.RecordCount());
    }
}
BENCHMARK(BM_BusquedaLikeCompleta)->Unit(benchmark::kMillisecond);

// The same scan that matches every row with a pattern that needs folding.
void BM_BusquedaLikeTodos(benchmark::State& state) {
    auto& e = estacion();
    for (auto _ : state) {
        Recordset rs;
        if (!rs.Open(QStringLiteral("SELECT ID FROM ClientesDB WHERE fldNombre LIKE ?"),
                     e.db.cnClientes(), {QStringLiteral("CLIENTE%")})
                 .ok())
            state.SkipWithError("la busqueda falló");
        benchmark::DoNotOptimize(rs.RecordCount());
    }
}
BENCHMARK(BM_BusquedaLikeTodos)->Unit(benchmark::kMillisecond);

// A clock one second further on at every reading: each backup gets a dated name of its own.
class RelojQueAvanza final : public Reloj {
public:
    QDateTime ahora() const override { return inicio_.addSecs(++segundos_); }

private:
    QDateTime inicio_{QDate(2026, 12, 8), QTime(10, 0)};
    mutable qint64 segundos_ = 0;
};

// A program folder whose database holds 32,767 members with templates of `bytes` bytes.
struct EstacionCopias {
    explicit EstacionCopias(int bytes) {
        const QString ruta = QDir(carpeta.path()).filePath(DbClientes::nombreArchivo());
        if (!CreadorBaseDatos::CrearVacia(ruta))
            std::abort();
        for (int bloque = 0; bloque < DbClientes::MaximoClientes; bloque += 4096) {
            std::vector<QVariantMap> filas;
            for (int i = bloque; i < std::min(bloque + 4096, int(DbClientes::MaximoClientes));
                 ++i) {
                QByteArray plantilla(bytes, '\0');
                for (int b = 0; b < plantilla.size(); ++b)
                    plantilla[b] = static_cast<char>((i * 31 + b * 7) & 0xff);
                filas.push_back({{"fldCodigo", QStringLiteral("C%1").arg(i)},
                                 {"fldNombre", QStringLiteral("Cliente numero %1").arg(i)},
                                 {"fldTemplate", plantilla}});
            }
            if (!CreadorBaseDatos::Insertar(ruta, "ClientesDB", filas))
                std::abort();
        }
        tamano = QFileInfo(ruta).size();
    }
    QTemporaryDir carpeta;
    MsgBoxConsola msgBox;
    RelojQueAvanza reloj;
    Entorno entorno{carpeta.path(), msgBox, reloj};
    OperacionesArchivoPosix operaciones;
    CopiasSeguridad copias{entorno, operaciones};
    qint64 tamano = 0;
};

// A dated backup (snapshot, flush, check, rename) of the full member list; the argument is the
// size of each stored template: 401 bytes as the engine stores them, 4,600 bytes for a database
// of about 150 MB.
void BM_CopiaSeguridad(benchmark::State& state) {
    static std::map<int, std::unique_ptr<EstacionCopias>> estaciones;
    auto& e = estaciones[int(state.range(0))];
    if (!e)
        e = std::make_unique<EstacionCopias>(int(state.range(0)));
    for (auto _ : state) {
        if (!e->copias.CopiaSeguridad())
            state.SkipWithError("CopiaSeguridad falló");
        state.PauseTiming();
        QDir(e->copias.rutaCarpetaCopias()).removeRecursively();
        state.ResumeTiming();
    }
    state.counters["MB"] = double(e->tamano) / 1e6;
}
BENCHMARK(BM_CopiaSeguridad)->Arg(401)->Arg(4600)->Unit(benchmark::kMillisecond)->Iterations(3);

// The compaction of the full member list (closed): a dated compacted copy that then becomes
// the database.
void BM_CompactarBaseDatos(benchmark::State& state) {
    static std::unique_ptr<EstacionCopias> e;
    if (!e)
        e = std::make_unique<EstacionCopias>(401);
    for (auto _ : state) {
        if (!e->copias.CompactarBaseDatos())
            state.SkipWithError("CompactarBaseDatos falló");
        state.PauseTiming();
        QDir(e->copias.rutaCarpetaCopias()).removeRecursively();
        state.ResumeTiming();
    }
    state.counters["MB"] = double(e->tamano) / 1e6;
}
BENCHMARK(BM_CompactarBaseDatos)->Unit(benchmark::kMillisecond)->Iterations(3);

// Another program updating members in short transactions, one after the other, while the
// station reads what the door reads before a capture (the data version and a slice of members).
// The station's read does not wait on the lock: it tries again every 20 ms for up to 1 s, as
// the door does. Counters: the mean and longest wait of a read, how many waited at all (one
// retry or more) and how many gave up.
void BM_LecturaConEscritor(benchmark::State& state) {
    auto& e = estacion();
    std::atomic<bool> parar{false};
    std::atomic<long> escrituras{0};
    const QByteArray ruta = QFile::encodeName(e.db.rutaBaseDatos());
    std::thread escritor([&] {
        sqlite3* db = nullptr;
        sqlite3_open_v2(ruta.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(db, 1000);
        long n = 0;
        while (!parar) {
            const QByteArray sql =
                QByteArray("UPDATE ClientesDB SET fldPrecio = fldPrecio + 1 WHERE ID = ") +
                QByteArray::number(1 + (n++ % DbClientes::MaximoClientes));
            if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
                ++escrituras;
        }
        sqlite3_close_v2(db);
    });
    double total = 0;
    double maximo = 0;
    long lecturas = 0;
    long abandonos = 0;
    long esperadas = 0;
    for (auto _ : state) {
        const auto inicio = std::chrono::steady_clock::now();
        bool leida = false;
        for (;;) {
            {
                const SinEsperaBloqueo sinEspera(e.db.cnClientes());
                const auto version = LeerVersionDatos(e.db.cnClientes());
                Recordset rs;
                Resultado r = version ? Resultado() : Resultado(version.error());
                if (r)
                    r = rs.Open(QStringLiteral("SELECT ID, fldFechaCaducidad FROM ClientesDB "
                                               "WHERE ID > ? ORDER BY ID LIMIT 2048"),
                                e.db.cnClientes(), {qlonglong(lecturas % 30000)});
                if (r) {
                    leida = true;
                    break;
                }
                if (!EsBloqueo(r.error())) {
                    state.SkipWithError(qPrintable(r.error().texto()));
                    break;
                }
            }
            if (std::chrono::steady_clock::now() - inicio > std::chrono::seconds(1))
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inicio)
                .count();
        total += ms;
        maximo = std::max(maximo, ms);
        ++lecturas;
        if (!leida)
            ++abandonos;
        if (ms >= 20)
            ++esperadas;
        // The next capture comes a little later, the writer going on meanwhile.
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        state.ResumeTiming();
    }
    parar = true;
    escritor.join();
    state.counters["espera_media_ms"] = total / std::max(1L, lecturas);
    state.counters["espera_max_ms"] = maximo;
    state.counters["abandonos"] = double(abandonos);
    state.counters["con_espera"] = double(esperadas);
    state.counters["escrituras"] = double(escrituras.load());
}
BENCHMARK(BM_LecturaConEscritor)->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    estacion(); // the full-size database is made before anything is timed
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
