// The door's gallery of enrolled templates at a large club: its memory, the full load, and what
// bringing it up to date costs after another program (the desk) writes two rows, for each kind
// of write: two templates replaced, two members' names and dates edited, and a member moved
// from the middle of the table to its end or back (a row gone and a row come). Each write is
// undone by the next, so the file stays as it was made.
//
//   portiva-bench-galeria [--datos <folder>] [--miembros <n>] [--repeticiones <n>]
//
// The database (default 250,000 members, real templates of 300 distinct synthetic fingers) is
// made once in the data folder (default: next to this program) and reused.

#include "Cifras.h"
#include "Conexion.h"
#include "ConsultaPreparada.h"
#include "EstacionBanco.h"
#include "GaleriaHuellas.h"
#include "Reloj.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <malloc.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace portiva;
using namespace portiva::banco;

namespace {

using Cronometro = std::chrono::steady_clock;

// Bytes the allocator has handed out and not had back.
double HeapEnUso() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd);
}

double CampoEstado(const char* campo) {
    QFile estado(QStringLiteral("/proc/self/status"));
    if (!estado.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& linea : estado.readAll().split('\n'))
        if (linea.startsWith(campo))
            return linea.mid(static_cast<qsizetype>(std::strlen(campo)))
                       .trimmed()
                       .split(' ')
                       .value(0)
                       .toDouble() /
                   1024.0;
    return -1;
}

// The desk's own connection to the file.
class Escritor {
public:
    explicit Escritor(const QString& ruta) {
        sqlite3_open_v2(ruta.toLocal8Bit().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(db_, 10000);
    }
    ~Escritor() { sqlite3_close_v2(db_); }
    Escritor(const Escritor&) = delete;
    Escritor& operator=(const Escritor&) = delete;

    bool ejecutar(const std::string& sql, const std::vector<QByteArray>& blobs = {}) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "%s: %s\n", sql.c_str(), sqlite3_errmsg(db_));
            return false;
        }
        for (std::size_t i = 0; i < blobs.size(); ++i)
            sqlite3_bind_blob(st, static_cast<int>(i) + 1, blobs[i].constData(),
                              static_cast<int>(blobs[i].size()), SQLITE_TRANSIENT);
        const int paso = sqlite3_step(st);
        sqlite3_finalize(st);
        if (paso != SQLITE_DONE && paso != SQLITE_ROW) {
            std::fprintf(stderr, "%s: %s\n", sql.c_str(), sqlite3_errmsg(db_));
            return false;
        }
        return true;
    }
    bool dosEnUna(const std::string& a, const std::string& b,
                  const std::vector<QByteArray>& blobsA = {},
                  const std::vector<QByteArray>& blobsB = {}) {
        return ejecutar("BEGIN IMMEDIATE") && ejecutar(a, blobsA) && ejecutar(b, blobsB) &&
               ejecutar("COMMIT");
    }
    QByteArray plantilla(long id) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_, "SELECT fldTemplate FROM ClientesDB WHERE ID = ?", -1, &st,
                           nullptr);
        sqlite3_bind_int64(st, 1, id);
        QByteArray r;
        if (sqlite3_step(st) == SQLITE_ROW)
            r = QByteArray(static_cast<const char*>(sqlite3_column_blob(st, 0)),
                           sqlite3_column_bytes(st, 0));
        sqlite3_finalize(st);
        return r;
    }

private:
    sqlite3* db_ = nullptr;
};

std::string Id(long id) {
    return std::to_string(id);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString datos = QCoreApplication::applicationDirPath() + QStringLiteral("/datos");
    int miembros = 250000;
    int repeticiones = 10;
    for (int i = 1; i < argc; ++i) {
        const QString opcion = QString::fromLocal8Bit(argv[i]);
        if (opcion == QStringLiteral("--datos") && i + 1 < argc)
            datos = QString::fromLocal8Bit(argv[++i]);
        else if (opcion == QStringLiteral("--miembros") && i + 1 < argc)
            miembros = std::max(10, QString::fromLocal8Bit(argv[++i]).toInt());
        else if (opcion == QStringLiteral("--repeticiones") && i + 1 < argc)
            repeticiones = std::max(1, QString::fromLocal8Bit(argv[++i]).toInt());
    }
    QDir().mkpath(datos);
    const QString ruta = QDir(datos).filePath(QStringLiteral("Galeria-%1.mdb").arg(miembros));
    if (!banco::PrepararBase(ruta, miembros))
        return 1;

    RelojSistema reloj;
    Conexion cn(reloj);
    cn.setConnectionString(ruta);
    if (!cn.Open().ok()) {
        std::fprintf(stderr, "the database does not open\n");
        return 1;
    }
    Escritor desk(ruta);

    std::printf("Gallery benchmark: %d members\n", miembros);
    GaleriaHuellas galeria;
    const double heapAntes = HeapEnUso();
    const double rssAntes = CampoEstado("VmRSS:");
    const auto t0 = Cronometro::now();
    if (galeria.Actualizar(cn) != GaleriaHuellas::Estado::AlDia)
        return 1;
    const double carga = Ms(Cronometro::now() - t0);
    const std::size_t n = galeria.filas().size();
    std::size_t bytesPlantillas = 0;
    for (const auto& f : galeria.filas())
        bytesPlantillas += f.tamano;
    const double heap = HeapEnUso() - heapAntes;
    std::printf("  %-52s %8.0f ms\n", "first load (read, check, copy)", carga);
    std::printf("  %-52s %8zu\n", "members in the walk", n);
    std::printf("  %-52s %8.0f bytes\n", "template bytes kept per member (mean)",
                static_cast<double>(bytesPlantillas) / static_cast<double>(n));
    std::printf("  %-52s %8.0f bytes = %.2f KiB (%.0f MiB in all)\n",
                "gallery memory per member (allocated)", heap / static_cast<double>(n),
                heap / static_cast<double>(n) / 1024.0, heap / 1048576.0);
    std::printf("  %-52s %8.0f MiB (peak %0.f MiB)\n", "resident growth of the process",
                CampoEstado("VmRSS:") - rssAntes, CampoEstado("VmHWM:"));

    // Every distinct stored template against what the gallery keeps of it: the same answer and
    // score for two queries, one of them a finger in the gallery.
    {
        const long distintos = std::min<long>(banco::DedosDistintos, static_cast<long>(n));
        std::vector<std::shared_ptr<const motor::ConsultaPreparada>> consultas;
        for (const long id : {1L, banco::DedosDistintos / 2L}) {
            const QByteArray p = desk.plantilla(id);
            int codigo = 0;
            consultas.push_back(motor::ConsultaPreparada::crear(
                reinterpret_cast<const std::uint8_t*>(p.data()), static_cast<std::size_t>(p.size()),
                {motor::MotorHuella::UmbralIdentificacionPorDefecto,
                 motor::MotorHuella::RotacionIdentificacionPorDefecto},
                codigo));
        }
        long iguales = 0, comparaciones = 0;
        for (long i = 0; i < distintos; ++i) {
            const QByteArray guardada =
                desk.plantilla(galeria.miembro(static_cast<std::size_t>(i)).id);
            const auto& fila = galeria.filas()[static_cast<std::size_t>(i)];
            for (const auto& q : consultas) {
                int a = -1, b = -2;
                const int ra = q->comparar(reinterpret_cast<const std::uint8_t*>(guardada.data()),
                                           static_cast<std::size_t>(guardada.size()), a);
                const int rb = GaleriaHuellas::Comparar(*q, fila.datos, fila.tamano, b);
                ++comparaciones;
                iguales += ra == rb && a == b;
            }
        }
        std::printf("  %-52s %ld of %ld\n", "same answer and score as the stored bytes", iguales,
                    comparaciones);
        if (iguales != comparaciones)
            return 1;
    }

    Cifras nada;
    for (int r = 0; r < repeticiones; ++r) {
        const auto t = Cronometro::now();
        (void)galeria.Actualizar(cn);
        nada.agregar(Ms(Cronometro::now() - t));
    }
    nada.imprimir("check, nothing written", 2);

    const long a = miembros / 3, b = 2 * miembros / 3, c = miembros / 2;
    const QByteArray pa = desk.plantilla(a), pb = desk.plantilla(b);
    const long lecturasAntes = galeria.lecturasCompletas();
    // Each write, then the gallery brought up to date, timed.
    auto medir = [&](Cifras& cifras, const std::function<bool(int)>& escribir) {
        for (int r = 0; r < 2 * repeticiones; ++r) {
            if (!escribir(r))
                return false;
            const auto t = Cronometro::now();
            if (galeria.Actualizar(cn) != GaleriaHuellas::Estado::AlDia)
                return false;
            cifras.agregar(Ms(Cronometro::now() - t));
        }
        return true;
    };
    const std::string plantillaEn = "UPDATE ClientesDB SET fldTemplate = ? WHERE ID = ";
    Cifras plantillas, datosMiembro, altaBaja;
    const bool bien =
        medir(plantillas,
              [&](int r) {
                  const bool ida = r % 2 == 0;
                  return desk.dosEnUna(plantillaEn + Id(a), plantillaEn + Id(b), {ida ? pb : pa},
                                       {ida ? pa : pb});
              }) &&
        medir(datosMiembro,
              [&](int r) {
                  const std::string nombre = r % 2 == 0 ? "'Otro nombre'" : "'Socio '";
                  return desk.dosEnUna(
                      "UPDATE ClientesDB SET fldNombre = " + nombre +
                          ", fldFechaCaducidad = date(fldFechaCaducidad, '+1 day') WHERE ID = " +
                          Id(a),
                      "UPDATE ClientesDB SET fldNombre = " + nombre +
                          ", fldFechaCaducidad = date(fldFechaCaducidad, '-1 day') WHERE ID = " +
                          Id(b));
              }) &&
        medir(altaBaja, [&](int r) {
            // A row that takes another ID leaves its place and takes the new one: for the
            // gallery a delete and an insert. Out of the middle to the end, then back.
            const long id = c + r / 2;
            const long desde = r % 2 == 0 ? id : miembros + 1;
            const long hasta = r % 2 == 0 ? miembros + 1 : id;
            return desk.ejecutar("UPDATE ClientesDB SET ID = " + Id(hasta) +
                                 " WHERE ID = " + Id(desde));
        });
    if (!bien)
        return 1;
    plantillas.imprimir("after two templates replaced", 2);
    datosMiembro.imprimir("after two members' name and dates edited", 2);
    altaBaja.imprimir("after a member moved from the middle to the end, or back", 2);
    std::printf("  %-52s %8ld\n", "full reads during the writes",
                galeria.lecturasCompletas() - lecturasAntes);
    const bool entera = galeria.filas().size() == n;
    // What the gallery itself holds, the file's cache and the connection left out.
    const double conGaleria = HeapEnUso();
    galeria.Vaciar();
    const double sinGaleria = HeapEnUso();
    std::printf("  %-52s %8.0f bytes = %.2f KiB\n", "gallery memory per member (freed by emptying)",
                (conGaleria - sinGaleria) / static_cast<double>(n),
                (conGaleria - sinGaleria) / static_cast<double>(n) / 1024.0);
    return entera ? 0 : 1;
}
