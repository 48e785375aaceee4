// The main window's share of one identification, on the offscreen platform: what the door
// and the capture flow ask of the window between the captured image and the relay command
// (log lines, the captured picture, the result picture, the tray icon, the counters, the
// status line), with a day's worth of lines already in the event log; and the jump to the
// identified member ("Inform. ampliada") in a member list of 32,767 rows.
//
//   QT_QPA_PLATFORM=offscreen bench_ventana

#include "AjustesEstacion.h"
#include "BandejaQt.h"
#include "BuscadorClientes.h"
#include "CapturaSensores.h"
#include "ComboBloqueable.h"
#include "CopiasSeguridad.h"
#include "CreadorBaseDatos.h"
#include "Entorno.h"
#include "HuellaEstacion.h"
#include "MenuEstacion.h"
#include "PantallaHuellaVentana.h"
#include "ParametrosHuella.h"
#include "ReproductorSonido.h"
#include "SelectorArchivosQt.h"
#include "VisorArchivosQt.h"
#include "frmClientes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

using namespace portiva;

namespace {

constexpr int Miembros = 32767;

class MsgBoxMudo final : public MsgBox {
public:
    Respuesta operator()(const QString&, int estilo, const QString&) override {
        return (estilo & 7) == 0 ? Respuesta::Aceptar : Respuesta::No;
    }
};

class SonidoMudo final : public ReproductorSonido {
public:
    bool Reproducir(const QString&) override { return true; }
};

// No engine: only the window is measured.
class HuellaQuieta final : public HuellaEstacion, ParametrosHuella, CapturaSensores {
public:
    ParametrosHuella& parametros() override { return *this; }
    CapturaSensores& captura() override { return *this; }
    void IniciarHuella() override {}
    void FinalizarHuella() override {}
    void cmdAnalizarHuella_Click() override {}
    void cmdIndentificarHuellaDB_Click() override {}
    void cmdAddTemplateDB_Click(qint32, std::function<void(bool)> hecho) override { hecho(false); }
    void cmdVerificarHuellaDB_Click(bool, qint32, const QVariant&) override {}
    int CargarImagen(const QString&) override { return 0; }
    void CargarTemplateCliente(QByteArrayView) override {}
    QByteArray TemplateClienteGuardable() const override { return {}; }
    void LeerParametrosHuella(AjustesEstacion&) override {}
    void AplicarParametrosHuella(const AjustesEstacion&) override {}
    void ColoresPorDefecto(AjustesEstacion&) override {}
    void AplicarColoresHuella(const AjustesEstacion&) override {}
    void IniciarCaptura(const QString&) override {}
    void DetenerCaptura(const QString&) override {}
};

// One station window on a folder with a full member table, started.
struct Estacion {
    Estacion() {
        const QString mdb = QDir(dir.path()).filePath(QStringLiteral("Portiva.mdb"));
        // A benchmark fixture: a failure shows at once as a broken measurement.
        (void)CreadorBaseDatos::CrearVacia(mdb);
        std::vector<QVariantMap> filas;
        filas.reserve(Miembros);
        const QDate hoy = reloj.hoy();
        for (int i = 0; i < Miembros; ++i)
            filas.push_back({{QStringLiteral("fldCodigo"), QStringLiteral("C%1").arg(i)},
                             {QStringLiteral("fldNombre"), QStringLiteral("Cliente %1").arg(i)},
                             {QStringLiteral("fldFechaInicio"), hoy.addDays(-(i % 90))},
                             {QStringLiteral("fldFechaCaducidad"), hoy.addDays(i % 60 - 20)},
                             {QStringLiteral("fldPrecio"), 30.0},
                             {QStringLiteral("fldServContratado"), QStringLiteral("Mensual")},
                             {QStringLiteral("fldStuffSiNo"), i % 50 == 0},
                             {QStringLiteral("fldTemplate"), QByteArray(420, char(i % 251))}});
        // A benchmark fixture: a failure shows at once as a broken measurement.
        (void)CreadorBaseDatos::Insertar(mdb, QStringLiteral("ClientesDB"), filas);
        // A benchmark fixture: a failure shows at once as a broken measurement.
        (void)CreadorBaseDatos::Insertar(
            mdb, QStringLiteral("ServiciosDB"),
            {{{QStringLiteral("fldServicio"), QStringLiteral("Mensual")},
              {QStringLiteral("fldPrecio"), 30},
              {QStringLiteral("fldIntervalo"), QStringLiteral("m")},
              {QStringLiteral("fldNumero"), 1}}});
        ServiciosConsola s{entorno, selector, visor, bandeja};
        s.sonido = &sonido;
        s.fabricaHuella = [](const ContextoHuella&) {
            return std::unique_ptr<HuellaEstacion>(std::make_unique<HuellaQuieta>());
        };
        s.prefijoDispositivo = QDir(dir.path()).filePath(QStringLiteral("sin-puertos/ttyS"));
        ventana = std::make_unique<frmClientes>(s);
        ventana->Form_Load();
        pantallaHuella = std::make_unique<PantallaHuellaVentana>(*ventana);
    }

    QTemporaryDir dir;
    MsgBoxMudo msgBox;
    RelojSistema reloj;
    Entorno entorno{dir.path(), msgBox, reloj};
    SelectorArchivosQt selector;
    VisorArchivosQt visor;
    BandejaQt bandeja;
    SonidoMudo sonido;
    std::unique_ptr<frmClientes> ventana;
    std::unique_ptr<PantallaHuellaVentana> pantallaHuella;
};

Estacion& estacion() {
    static Estacion e;
    return e;
}

// A 400 x 400 picture as the engine draws a captured print.
motor::ImagenRGB Captura() {
    motor::ImagenRGB img;
    img.ancho = 400;
    img.alto = 400;
    img.bytes.resize(400 * 400 * 3);
    for (size_t i = 0; i < img.bytes.size(); ++i)
        img.bytes[i] = static_cast<std::uint8_t>((i * 7) % 256);
    return img;
}

void BM_VentanaPorHuella(benchmark::State& state) {
    Estacion& e = estacion();
    frmClientes& v = *e.ventana;
    for (int i = 0; i < 10000; ++i)
        v.EscribirLog(QStringLiteral("10:30:00 -> linea de un dia de trabajo"));
    const motor::ImagenRGB imagen = Captura();
    long n = 0;
    for (auto _ : state) {
        // In the order the capture flow and the door make them, up to the relay command.
        v.EscribirLog(QStringLiteral("10:30:00 -> Nueva huella capturada."));
        e.pantallaHuella->MostrarCapturaHuella(imagen);
        v.EscribirLog(QStringLiteral(
            "10:30:00 ->       Analisis de la huella: Analisis con exito. Calidad alta."));
        v.MostrarResultado(2);
        v.ShowBallon(2, QString(), QString(), 0);
        ++n;
        v.MostrarContAperturas(2, n, n);
        // After the pulse.
        v.InfoHuella(QStringLiteral(" ID 12 Cliente 12 (Permitido)"), false);
        v.EscribirLog(QStringLiteral("10:30:00 ->       Identif.: Permitido  ID 12  [93%]  "
                                     "Registro=12"));
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_VentanaPorHuella)->Unit(benchmark::kMillisecond);

// The parts that draw: the captured print fitted to its box, and the tray icon of the access.
void BM_CapturaEnSuCaja(benchmark::State& state) {
    Estacion& e = estacion();
    const motor::ImagenRGB imagen = Captura();
    for (auto _ : state)
        e.pantallaHuella->MostrarCapturaHuella(imagen);
}
BENCHMARK(BM_CapturaEnSuCaja)->Unit(benchmark::kMillisecond);

void BM_IconoDeBandeja(benchmark::State& state) {
    Estacion& e = estacion();
    int tipo = 0;
    for (auto _ : state)
        e.ventana->ShowBallon(tipo++ % 5, QString(), QString(), 0);
}
BENCHMARK(BM_IconoDeBandeja)->Unit(benchmark::kMillisecond);

void BM_LineaDeLog(benchmark::State& state) {
    Estacion& e = estacion();
    for (auto _ : state)
        e.ventana->EscribirLog(QStringLiteral("10:30:00 -> Nueva huella capturada."));
}
BENCHMARK(BM_LineaDeLog)->Unit(benchmark::kMicrosecond);

void BM_SaltoAlIdentificado(benchmark::State& state) {
    Estacion& e = estacion();
    std::mt19937 azar(7);
    std::uniform_int_distribution<int> posicion(1, Miembros);
    for (auto _ : state) {
        e.pantallaHuella->gotoRecordNum(static_cast<qint16>(posicion(azar)));
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_SaltoAlIdentificado)->Unit(benchmark::kMillisecond);

// Listing every member in the search panel: query, 32,767 rows into the list with the
// progress bar, and the column fit, until the last row is in. A zero-time timer runs meanwhile:
// its ticks are the window's turns while the list fills; the longest gap between two of them
// (or between the search's start and its first) is how long the window was held.
// A zero-time timer's ticks while the window works: how often the window turned, and the
// longest gap between two turns (how long the window was held).
class Latido {
public:
    Latido() {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 ahora = reloj_.nsecsElapsed();
            hueco_ = std::max(hueco_, ahora - ultimo_);
            ultimo_ = ahora;
            ++vueltas_;
        });
    }
    void empezar() {
        ultimo_ = 0;
        hueco_ = 0;
        vueltas_ = 0;
        timer_.start();
        reloj_.start();
    }
    // Ends the measure; the gap up to now counts too.
    void parar() {
        hueco_ = std::max(hueco_, reloj_.nsecsElapsed() - ultimo_);
        timer_.stop();
    }
    qint64 hueco() const { return hueco_; }
    long vueltas() const { return vueltas_; }

private:
    QTimer timer_;
    QElapsedTimer reloj_;
    qint64 ultimo_ = 0;
    qint64 hueco_ = 0;
    long vueltas_ = 0;
};

void BM_ListarTodosEnLaBusqueda(benchmark::State& state) {
    Estacion& e = estacion();
    BuscadorClientes& b = e.ventana->buscador();
    const PanelBuscar& panel = e.ventana->buscar();
    b.cboTipoDeBusqueda_DropDown();
    panel.cboTipoDeBusqueda->setCurrentIndex(1);
    b.cboTipoDeBusqueda_Click(1);
    panel.CboDatoBusqueda->setEditText(QStringLiteral("*"));
    Latido latido;
    qint64 huecoMaximo = 0;
    long vueltasTotal = 0;
    for (auto _ : state) {
        latido.empezar();
        b.Buscar(false);
        while (panel.lvwResutadoBusqueda->topLevelItemCount() != Miembros ||
               !panel.cmdLvwAutoAjustar->isVisibleTo(e.ventana.get()))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        latido.parar();
        huecoMaximo = std::max(huecoMaximo, latido.hueco());
        vueltasTotal += latido.vueltas();
    }
    state.counters["filas"] = panel.lvwResutadoBusqueda->topLevelItemCount();
    state.counters["hueco_max_ms"] = double(huecoMaximo) / 1e6;
    state.counters["vueltas_por_busqueda"] =
        double(vueltasTotal) / std::max<double>(1, double(state.iterations()));
}
BENCHMARK(BM_ListarTodosEnLaBusqueda)->Unit(benchmark::kMillisecond);

// A backup from the database menu of the full member list, until it has ended: the longest
// gap between two ticks of a zero-time timer is how long the window was held meanwhile.
void BM_CopiaDesdeElMenu(benchmark::State& state) {
    Estacion& e = estacion();
    const QDir seguridad(QDir(e.dir.path()).filePath(QStringLiteral("Seguridad")));
    Latido latido;
    qint64 huecoMaximo = 0;
    for (auto _ : state) {
        const auto antes = seguridad.entryList(QDir::Files).size();
        latido.empezar();
        e.ventana->menu().mnuDoCopyDB->trigger();
        while (seguridad.entryList(QDir::Files).size() == antes || e.ventana->copias().Ocupado())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        latido.parar();
        huecoMaximo = std::max(huecoMaximo, latido.hueco());
        state.PauseTiming();
        // The next backup may take the same second's name.
        QDir(seguridad).removeRecursively();
        state.ResumeTiming();
    }
    state.counters["hueco_max_ms"] = double(huecoMaximo) / 1e6;
}
BENCHMARK(BM_CopiaDesdeElMenu)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
