// Another writer of the member file deletes, expires and renews members in short transactions,
// again and again, while the door identifies their fingers. Whatever was committed before a
// capture started decides it: no deleted or expired member is let in, no member that stood
// valid is refused by its dates or left unrecognised (a refusal because the file could not be
// read in time is said in the log and is not a decision).
//
// PORTIVA_ESCRITOR_HUELLAS sets the number of captures (40 by default; 1000 by hand).

#include "EstacionHuellaPrueba.h"
#include "OtroProceso.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <random>
#include <thread>

namespace portiva::prueba {
namespace {

using Reloj = std::chrono::steady_clock;

enum class EstadoMiembro { Vigente, Caducado, Borrado };

// One committed change of a member: when the writer began and when its commit returned.
struct Cambio {
    int id;
    EstadoMiembro estado;
    Reloj::time_point inicio;
    Reloj::time_point fin;
};

constexpr int Miembros = 4;
constexpr int PrimerDedo = 3; // member n has finger PrimerDedo + n - 1

QString FilaMiembro(int id, EstadoMiembro estado) {
    const QString caducidad = estado == EstadoMiembro::Caducado ? QStringLiteral("2026-12-08")
                                                                : QStringLiteral("2027-01-30");
    return QStringLiteral("DELETE FROM ClientesDB WHERE ID = %1;"
                          "INSERT INTO ClientesDB (ID, fldCodigo, fldNombre, fldStuffSiNo, "
                          "fldFotoPath, fldFechaInicio, fldFechaCaducidad, fldTemplate) VALUES "
                          "(%1, 'c%1', 'c%1', 0, '', '2026-12-01', '%2', %3);")
        .arg(id)
        .arg(caducidad, Blob(PlantillaGuardada(PrimerDedo + id - 1, 0)));
}

// The state of a member certainly standing over [desde, hasta]: the last change committed
// before `desde`, when no other change of that member began before `hasta`. Empty when a
// change ran in between.
std::optional<EstadoMiembro> EstadoSeguro(const std::vector<Cambio>& cambios, int id,
                                          Reloj::time_point desde, Reloj::time_point hasta) {
    EstadoMiembro estado = EstadoMiembro::Vigente;
    for (const Cambio& c : cambios) {
        if (c.id != id)
            continue;
        if (c.fin <= desde)
            estado = c.estado;
        else if (c.inicio < hasta)
            return std::nullopt;
    }
    return estado;
}

TEST(EscritorConcurrenteTest, LoConfirmadoAntesDeLaCapturaDecideSiempre) {
    const int capturas = qEnvironmentVariableIsSet("PORTIVA_ESCRITOR_HUELLAS")
                             ? qEnvironmentVariableIntValue("PORTIVA_ESCRITOR_HUELLAS")
                             : 40;
    EstacionHuellaPrueba e;
    std::vector<QVariantMap> filas;
    for (int id = 1; id <= Miembros; ++id)
        filas.push_back(EstacionHuellaPrueba::ConHuella(
            Cliente(QStringLiteral("c%1").arg(id), QDate(2026, 12, 1), QDate(2027, 1, 30)),
            PrimerDedo + id - 1));
    e.base.clientes(filas);
    e.Arrancar();
    SimuladorRele& placa = e.Placa();

    std::mutex mutex;
    std::vector<Cambio> cambios;
    std::atomic<bool> parar{false};
    std::atomic<int> escrituras{0};
    std::thread escritor([&] {
        OtraConexion otra(e.base.ruta());
        sqlite3_busy_timeout(otra.db(), 5000);
        std::mt19937 azar(2026);
        while (!parar) {
            const int id = 1 + int(azar() % Miembros);
            const auto estado = static_cast<EstadoMiembro>(azar() % 3);
            const QString sql =
                estado == EstadoMiembro::Borrado
                    ? QStringLiteral("DELETE FROM ClientesDB WHERE ID = %1;").arg(id)
                    : FilaMiembro(id, estado);
            const auto inicio = Reloj::now();
            otra.ejecutar(QStringLiteral("BEGIN IMMEDIATE;") + sql + QStringLiteral("COMMIT;"));
            const auto fin = Reloj::now();
            {
                const std::lock_guard<std::mutex> cierre(mutex);
                cambios.push_back({id, estado, inicio, fin});
            }
            ++escrituras;
            std::this_thread::sleep_for(std::chrono::milliseconds(5 + azar() % 60));
        }
    });

    const QRegularExpression lineaId(QStringLiteral("^ ID (\\d+) "));
    std::mt19937 azar(7);
    int admitidos = 0, rechazados = 0, desconocidos = 0, ocupada = 0, inciertos = 0;
    int errores = 0;
    for (int k = 0; k < capturas; ++k) {
        const int id = 1 + int(azar() % Miembros);
        e.pantalla.limpiar();
        placa.olvidar();
        std::optional<int> tipo;
        Reloj::time_point decision;
        QString linea;
        e.pantalla.alMostrarResultado = [&](int t) {
            if (tipo)
                return;
            tipo = t;
            decision = Reloj::now();
            linea = e.pantalla.info.empty() ? QString() : e.pantalla.info.back().texto;
        };
        const auto captura = Reloj::now();
        e.Capturar(PrimerDedo + id - 1);
        ASSERT_TRUE(EsperarHasta([&] { return tipo.has_value(); }, 30000)) << "capture " << k;
        ASSERT_TRUE(EsperarBytes(placa, 5, std::chrono::seconds(10)));
        ASSERT_TRUE(EsperarPuerta(e.acceso.torno()));
        e.pantalla.alMostrarResultado = nullptr;

        std::optional<EstadoMiembro> estado;
        {
            const std::lock_guard<std::mutex> cierre(mutex);
            estado = EstadoSeguro(cambios, id, captura, decision);
        }
        const bool porOcupada = linea == QStringLiteral(" Base de datos ocupada!");
        ocupada += porOcupada;
        if (*tipo == CodigoAcceso::ClientePermitido) {
            ++admitidos;
            const auto m = lineaId.match(linea);
            EXPECT_TRUE(m.hasMatch() && m.captured(1).toInt() == id) << qPrintable(linea);
        } else if (*tipo == CodigoAcceso::ClienteDenegado) {
            ++rechazados;
        } else {
            ++desconocidos;
        }
        if (!estado) {
            ++inciertos;
            continue;
        }
        const int esperado = *estado == EstadoMiembro::Vigente    ? CodigoAcceso::ClientePermitido
                             : *estado == EstadoMiembro::Caducado ? CodigoAcceso::ClienteDenegado
                                                                  : CodigoAcceso::HuellaDesconocida;
        if (*tipo != esperado && !porOcupada) {
            ++errores;
            ADD_FAILURE() << "capture " << k << " of member " << id << ": type " << *tipo
                          << ", expected " << esperado << " (" << qPrintable(linea) << ")";
        }
    }
    parar = true;
    escritor.join();
    std::printf("captures %d: admitted %d, refused %d, unknown %d (file busy %d), uncertain %d; "
                "writer commits %d; wrong decisions %d\n",
                capturas, admitidos, rechazados, desconocidos, ocupada, inciertos,
                escrituras.load(), errores);
    EXPECT_EQ(errores, 0);
    EXPECT_GT(escrituras.load(), 0);
}

} // namespace
} // namespace portiva::prueba
