// Identification at the door with 32,767 enrolled members, measured on the real code path:
// the capture event of the flow (FlujoHuella::MotorHuellaCtrl_ImageCaptured) with a 500 dpi
// 400 x 400 synthetic print, the real engine, the member database file with a real template
// in every row, and the simulated relay board on a pseudo-terminal. The time is taken from the
// capture event to the moment the board receives the pulse command, for the matching member
// last in the table, no match at all, and the matching member first; with every core and with
// one. Also the extraction alone and the scan alone (reading the rows, comparing them).
//
//   portiva-bench-identificacion [--datos <folder>] [--repeticiones <n>] [--memoria]
//
// --memoria measures the station's peak memory instead, in a process of its own: the station
// started over the file, every member shown once on the record form with its template, the
// three cases identified (each written first, so each capture after a write reads the change).
//
// The database is made once in the data folder (default: next to this program) and reused.

#include "BusquedaParalela.h"
#include "Cifras.h"
#include "CodigoAcceso.h"
#include "ConsultaPreparada.h"
#include "ControlAcceso.h"
#include "ControlHuella.h"
#include "CreadorBaseDatos.h"
#include "DbClientes.h"
#include "EnlaceCapturaSensores.h"
#include "Entorno.h"
#include "EstacionBanco.h"
#include "GaleriaHuellas.h"
#include "GeneradorHuellas.h"
#include "HuellaDuplicada.h"
#include "MsgBox.h"
#include "PantallaAcceso.h"
#include "PantallaHuella.h"
#include "Recordset.h"
#include "ReproductorSonido.h"
#include "SimuladorRele.h"
#include "VistaQuieta.h"

#ifdef PORTIVA_CON_FPRINT
#include "EmisorVirtual.h"
#endif

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

using namespace portiva;
using namespace portiva::banco;

namespace {

using Reloj = std::chrono::steady_clock;

enum class Caso { Ultimo, Ninguno, Primero };

const char* NombreCaso(Caso c) {
    switch (c) {
    case Caso::Ultimo:
        return "(a) matching member last";
    case Caso::Ninguno:
        return "(b) no match";
    default:
        return "(c) matching member first";
    }
}

struct Banco {
    QString carpeta;
    fpgen::ImagenGris consulta;  // impression 1 of the finger looked for
    QByteArray plantillaBuscada; // its stored template (impression 0)
    QByteArray plantillaRelleno; // the template row 1 and the last row normally hold
    QByteArray plantillaUltima;
    simulador::SimuladorRele* placa = nullptr;

    bool ponerCaso(Estacion& e, Caso c) {
        const QByteArray primera = c == Caso::Primero ? plantillaBuscada : plantillaRelleno;
        const QByteArray ultima = c == Caso::Ultimo ? plantillaBuscada : plantillaUltima;
        const QString sql = QStringLiteral("UPDATE ClientesDB SET fldTemplate = ? WHERE ID = ?");
        return e.db.cnClientes().Execute(sql, {primera, 1}).ok() &&
               e.db.cnClientes().Execute(sql, {ultima, Miembros}).ok();
    }

    // One capture event to the pulse command on the wire; -1 when the outcome is not the one
    // the case expects.
    double medir(Estacion& e, Caso c) {
        placa->olvidar();
        const auto t0 = Reloj::now();
        e.control.flujo().MotorHuellaCtrl_ImageCaptured(QStringLiteral("Simulado"), consulta.ancho,
                                                        consulta.alto, consulta.pixeles,
                                                        consulta.dpi);
        prueba::EsperarBytes(*placa, 5, std::chrono::seconds(10));
        const auto recibidos = placa->recibidos();
        const std::uint8_t mascara = c == Caso::Ninguno ? 128 : MascaraPermitido;
        double ms = -1;
        for (std::size_t i = 0; i + 1 < recibidos.size(); ++i)
            if (recibidos[i].valor == 92 && recibidos[i + 1].valor == mascara) {
                ms = Ms(recibidos[i + 1].momento - t0);
                break;
            }
        const QString& linea = e.pantalla.ultimaLinea;
        const bool bien =
            c == Caso::Ninguno
                ? linea.endsWith(QStringLiteral("Huella no encontrada."))
                : linea.endsWith(
                      QStringLiteral("Registro=%1").arg(c == Caso::Ultimo ? Miembros : 1));
        if (!bien) {
            std::fprintf(stderr, "unexpected outcome for %s: %s\n", NombreCaso(c),
                         qPrintable(linea));
            return -1;
        }
        return ms;
    }
};

bool Ronda(Banco& b, unsigned hilos, int repeticiones) {
    Estacion e(b.carpeta, hilos);
    if (!e.arrancar(*b.placa)) {
        std::fprintf(stderr, "the station did not start (database or board)\n");
        return false;
    }
    std::printf("\n%u comparing thread(s):\n", e.control.flujo().hilosBusqueda());

    // The first identification of the run: the station started over the file as it stands
    // (the engine is started again after the case is written, which loads the gallery).
    if (!b.ponerCaso(e, Caso::Ultimo))
        return false;
    e.control.huella().FinalizarHuella();
    e.control.huella().IniciarHuella();
    e.acceso.modos().tmrDetectarLector().stop();
    const double frio = b.medir(e, Caso::Ultimo);
    if (frio < 0)
        return false;
    // Each case is written once; the first capture after the write re-reads the file, the
    // others walk the gallery as it stands.
    Cifras porCaso[3];
    Cifras trasEscribir;
    for (Caso c : {Caso::Ultimo, Caso::Ninguno, Caso::Primero}) {
        if (!b.ponerCaso(e, c))
            return false;
        const double primera = b.medir(e, c);
        if (primera < 0)
            return false;
        trasEscribir.agregar(primera);
        for (int r = 0; r < repeticiones; ++r) {
            const double ms = b.medir(e, c);
            if (ms < 0)
                return false;
            porCaso[static_cast<int>(c)].agregar(ms);
        }
    }
    std::printf(" capture event -> pulse command on the wire:\n");
    for (Caso c : {Caso::Ultimo, Caso::Ninguno, Caso::Primero})
        porCaso[static_cast<int>(c)].imprimir(NombreCaso(c));
    trasEscribir.imprimir("first capture after a write, (a) (b) (c)");
    std::printf("  %-46s %7.1f ms\n", "first identification after start (a)", frio);

    // The scan alone: prepare, read every row, compare, decide; the door is held open so
    // that no relay action follows.
    e.acceso.torno().PonerAccesoActual(CodigoAcceso::FijoAbierto);
    if (!b.ponerCaso(e, Caso::Ninguno))
        return false;
    {
        // The write is caught up before the timing.
        qint32 score = 0, posicion = 0;
        QString estado;
        (void)e.control.flujo().IdentificarHuella(score, posicion, estado);
    }
    Cifras escaneo;
    for (int r = 0; r < repeticiones; ++r) {
        qint32 score = 0, posicion = 0;
        QString estado;
        const auto t0 = Reloj::now();
        const qint32 id = e.control.flujo().IdentificarHuella(score, posicion, estado);
        escaneo.agregar(Ms(Reloj::now() - t0));
        if (id != 0)
            return false;
    }
    escaneo.imprimir("scan alone, no match (IdentificarHuella)");

    // The desk's duplicate check before an enrolment: every row is compared, whatever matches;
    // the finger looked for is stored for the last member.
    if (!b.ponerCaso(e, Caso::Ultimo))
        return false;
    Cifras duplicada;
    for (int r = 0; r < repeticiones; ++r) {
        const auto t0 = Reloj::now();
        const DuplicadosHuella d =
            HuellaDuplicada(e.control.flujo().galeria(), e.db.cnClientes(),
                            e.control.huella().MotorHuellaCtrl(), e.control.flujo().busqueda(),
                            e.acceso.registro(), e.control.huella().TemplateCaptura, 0);
        duplicada.agregar(Ms(Reloj::now() - t0));
        if (d.codigo != 0 || !d.lista.startsWith(QStringLiteral("ID %1 ").arg(Miembros))) {
            std::fprintf(stderr, "unexpected duplicate list: %s\n", qPrintable(d.lista));
            return false;
        }
    }
    duplicada.imprimir("duplicate check, whole table (HuellaDuplicada)");
    return true;
}

// The parts of the scan: the rows read into the scan recordset, the comparisons.
void Partes(Banco& b, int repeticiones) {
    Estacion e(b.carpeta, 1);
    if (!e.db.AbrirDB())
        return;
    e.control.huella().IniciarHuella();
    Recordset rs;
    Cifras lectura;
    std::vector<BusquedaParalela::Fila> filas;
    for (int r = 0; r < repeticiones + 1; ++r) {
        const auto t0 = Reloj::now();
        // A benchmark fixture: a failure shows at once as an empty walk.
        (void)rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), e.db.cnClientes());
        const int campo = rs.IndiceCampo(QStringLiteral("fldTemplate"));
        filas.clear();
        // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
        for (; !rs.Eof(); (void)rs.MoveNext()) {
            const QByteArrayView v = rs.bytesEn(campo);
            filas.push_back({reinterpret_cast<const std::uint8_t*>(v.data()),
                             static_cast<std::size_t>(v.size())});
        }
        if (r > 0)
            lectura.agregar(Ms(Reloj::now() - t0));
        if (r < repeticiones)
            // Closing a scratch recordset has nothing left to report: what it read is already
            // taken.
            (void)rs.Close();
    }
    std::vector<std::size_t> tamanos;
    for (const auto& f : filas)
        tamanos.push_back(f.tamano);
    std::sort(tamanos.begin(), tamanos.end());
    std::printf("\nparts of the scan (%zu rows, stored templates: median %zu bytes, largest "
                "%zu):\n",
                filas.size(), tamanos.empty() ? 0 : tamanos[tamanos.size() / 2],
                tamanos.empty() ? 0 : tamanos.back());
    lectura.imprimir("read all rows (recordset reused)");
    // Closing a scratch recordset has nothing left to report: what it read is already taken.
    (void)rs.Close();
    {
        // The identification's full reload: every row read, checked and copied.
        GaleriaHuellas galeria;
        Cifras carga;
        for (int r = 0; r < repeticiones; ++r) {
            galeria.Vaciar();
            const auto t0 = Reloj::now();
            if (galeria.Actualizar(e.db.cnClientes()) != GaleriaHuellas::Estado::AlDia)
                return;
            carga.agregar(Ms(Reloj::now() - t0));
        }
        carga.imprimir("gallery reload (read, check, copy)");
        Cifras pregunta;
        for (int r = 0; r < repeticiones; ++r) {
            const auto t0 = Reloj::now();
            (void)galeria.Actualizar(e.db.cnClientes());
            pregunta.agregar(Ms(Reloj::now() - t0));
        }
        pregunta.imprimir("gallery check, nothing changed");
    }

    int codigo = 0;
    auto q = motor::ConsultaPreparada::crear(
        reinterpret_cast<const std::uint8_t*>(b.plantillaBuscada.data()),
        static_cast<std::size_t>(b.plantillaBuscada.size()),
        {motor::MotorHuella::UmbralIdentificacionPorDefecto,
         motor::MotorHuella::RotacionIdentificacionPorDefecto},
        codigo);
    const BusquedaParalela::Comparador comparar = [&q](const std::uint8_t* d, std::size_t n,
                                                       int& p) { return q->comparar(d, n, p); };
    for (unsigned hilos : {0u, 1u}) {
        BusquedaParalela busqueda(hilos);
        Cifras comparacion;
        for (int r = 0; r < repeticiones; ++r) {
            const auto t0 = Reloj::now();
            busqueda.buscar(filas, comparar);
            comparacion.agregar(Ms(Reloj::now() - t0));
        }
        const QByteArray que =
            QStringLiteral("compare all, no match, %1 thread(s)").arg(busqueda.hilos()).toUtf8();
        comparacion.imprimir(que.constData());
    }

    // The extraction alone, as the flow makes it.
    DBHuella& h = e.control.huella();
    h.ImagenCaptura.RawImage = b.consulta.pixeles;
    h.ImagenCaptura.Width = b.consulta.ancho;
    h.ImagenCaptura.Height = b.consulta.alto;
    h.ImagenCaptura.Resolution = b.consulta.dpi;
    Cifras extraccion;
    for (int r = 0; r < repeticiones * 3; ++r) {
        const auto t0 = Reloj::now();
        h.ExtraerPlantilla();
        extraccion.agregar(Ms(Reloj::now() - t0));
    }
    extraccion.imprimir("extraction alone (400 x 400, 500 dpi)");
}

#ifdef PORTIVA_CON_FPRINT
// The same road from a USB reader: the print written to libfprint's virtual imaging device
// (FP_VIRTUAL_IMAGE), captured by the station's libfprint reader and polled like any reader.
// The time runs from the last byte of the image written to the reader's socket to the pulse
// command on the wire.
bool RondaLectorUsb(Banco& b, int repeticiones) {
    const QString socket = QDir(b.carpeta).filePath(QStringLiteral("lector.sock"));
    qputenv("FP_VIRTUAL_IMAGE", socket.toLocal8Bit());
    Estacion e(b.carpeta, 0);
    qunsetenv("FP_VIRTUAL_IMAGE");
    if (!e.arrancar(*b.placa))
        return false;
    auto esperar = [](const std::function<bool()>& hasta, int ms) {
        QElapsedTimer t;
        t.start();
        while (!hasta() && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return hasta();
    };
    if (!esperar([&] { return e.acceso.modos().LectorDetectado(); }, 10000)) {
        std::fprintf(stderr, "libfprint's virtual reader was not connected\n");
        return false;
    }
    esperar([] { return false; }, 300); // the connection's relay byte goes out first
    prueba::EmisorVirtual emisor(socket.toStdString());
    std::printf("\nlibfprint virtual reader, %u comparing thread(s):\n",
                e.control.flujo().hilosBusqueda());
    for (Caso c : {Caso::Ultimo, Caso::Ninguno}) {
        if (!b.ponerCaso(e, c))
            return false;
        Cifras cifras;
        for (int r = 0; r < repeticiones; ++r) {
            b.placa->olvidar();
            emisor.imagen(b.consulta.ancho, b.consulta.alto, b.consulta.pixeles);
            const std::uint8_t mascara = c == Caso::Ninguno ? 128 : MascaraPermitido;
            double ms = -1;
            esperar(
                [&] {
                    const auto rec = b.placa->recibidos();
                    for (std::size_t i = 0; i + 1 < rec.size(); ++i)
                        if (rec[i].valor == 92 && rec[i + 1].valor == mascara) {
                            ms = Ms(rec[i + 1].momento - emisor.ultimoEnvio());
                            return true;
                        }
                    return false;
                },
                30000);
            if (ms < 0) {
                std::fprintf(stderr, "no pulse for %s\n", NombreCaso(c));
                return false;
            }
            cifras.agregar(ms);
            esperar([&] { return b.placa->bytesRecibidos().size() >= 5; }, 5000);
        }
        const QByteArray que = QStringLiteral("image written -> pulse, %1")
                                   .arg(QString::fromLatin1(NombreCaso(c)))
                                   .toUtf8();
        cifras.imprimir(que.constData());
    }
    return true;
}
#endif

} // namespace

// Peak resident memory of this process so far, in MB.
double PicoMemoriaMb() {
    QFile estado(QStringLiteral("/proc/self/status"));
    if (!estado.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& linea : estado.readAll().split('\n'))
        if (linea.startsWith("VmHWM:"))
            return linea.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

int Memoria(Banco& b) {
    std::printf("station's peak memory, %d members:\n", Miembros);
    std::printf("  %-46s %7.0f MB\n", "before the station starts", PicoMemoriaMb());
    Estacion e(b.carpeta, 0);
    if (!e.db.AbrirDB())
        return 1;
    std::printf("  %-46s %7.0f MB\n", "database open (record form)", PicoMemoriaMb());
    if (!e.arrancar(*b.placa))
        return 1;
    std::printf("  %-46s %7.0f MB   (%zu in the gallery)\n", "engine started (gallery)",
                PicoMemoriaMb(), e.control.flujo().galeria().tamano());
    Recordset& rs = e.db.rsClientes();
    long conPlantilla = 0;
    // The record form's walk: a failed move ends it, which the count shows.
    for (Resultado r = rs.MoveFirst(); r.ok() && !rs.Eof(); r = rs.MoveNext())
        conPlantilla += !rs.Valor(QStringLiteral("fldTemplate")).valor_o({}).isNull();
    std::printf("  %-46s %7.0f MB   (%ld templates shown)\n", "every member shown on the form",
                PicoMemoriaMb(), conPlantilla);
    for (Caso c : {Caso::Ultimo, Caso::Ninguno, Caso::Primero}) {
        if (!b.ponerCaso(e, c) || b.medir(e, c) < 0 || b.medir(e, c) < 0)
            return 1;
    }
    std::printf("  %-46s %7.0f MB\n", "after identifying, writes in between", PicoMemoriaMb());
    return 0;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString datos = QCoreApplication::applicationDirPath() + QStringLiteral("/datos");
    int repeticiones = 10;
    bool memoria = false;
    for (int i = 1; i < argc; ++i) {
        const QString opcion = QString::fromLocal8Bit(argv[i]);
        if (opcion == QStringLiteral("--memoria"))
            memoria = true;
        else if (opcion == QStringLiteral("--datos") && i + 1 < argc)
            datos = QString::fromLocal8Bit(argv[++i]);
        else if (opcion == QStringLiteral("--repeticiones") && i + 1 < argc)
            repeticiones = std::max(1, QString::fromLocal8Bit(argv[++i]).toInt());
    }
    QDir().mkpath(datos);
    const QString base = QDir(datos).filePath(QStringLiteral("Portiva.mdb"));
    if (!PrepararBase(base))
        return 1;

    // A program folder of its own: the database (linked), the board on COM4.
    QTemporaryDir carpeta;
    if (!QFile::link(base, QDir(carpeta.path()).filePath(QStringLiteral("Portiva.mdb"))))
        return 1;
    simulador::SimuladorRele placa;
    if (!placa.valido() ||
        !placa.enlazar(QDir(carpeta.path()).filePath(QStringLiteral("COM4")).toStdString())) {
        std::fprintf(stderr, "no pseudo-terminal for the relay board\n");
        return 1;
    }

    Banco b;
    b.carpeta = carpeta.path();
    b.placa = &placa;
    b.consulta = fpgen::generarImpresion(fpgen::semillaBanco, DedoBuscado, 1);
    {
        motor::MotorHuella m;
        m.Inicializar();
        b.plantillaBuscada =
            Extraer(m, fpgen::generarImpresion(fpgen::semillaBanco, DedoBuscado, 0));
        b.plantillaRelleno = Extraer(m, fpgen::generarImpresion(fpgen::semillaBanco, 0, 0));
        b.plantillaUltima = Extraer(
            m, fpgen::generarImpresion(fpgen::semillaBanco, (Miembros - 1) % DedosDistintos, 0));
    }
    if (b.plantillaBuscada.isEmpty() || b.plantillaRelleno.isEmpty() || b.plantillaUltima.isEmpty())
        return 1;

    if (memoria)
        return Memoria(b);
    std::printf("Identification benchmark: %d members, templates of %d distinct synthetic "
                "fingers, %u cores on this machine\n",
                Miembros, DedosDistintos, std::max(1u, std::thread::hardware_concurrency()));
    for (unsigned hilos : {0u, 1u})
        if (!Ronda(b, hilos, repeticiones))
            return 1;
    Partes(b, repeticiones);
#ifdef PORTIVA_CON_FPRINT
    if (!RondaLectorUsb(b, repeticiones))
        return 1;
#endif
    return 0;
}
