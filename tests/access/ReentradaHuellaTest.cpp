// A capture that arrives while the door pulses for the previous one: identified at once (the
// flow no longer waits for the door), and its door action follows the running pulse, which it
// never disturbs. Every finger gets its own decision and its own pulse, in order.
#include "EstacionHuellaPrueba.h"
#include "PuertaAsincrona.h"

#include <QFile>

#include <gtest/gtest.h>

#include <utility>

namespace portiva::prueba {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

const QDate kHoy(2026, 12, 8);
const QString kCapturada = QStringLiteral("10:30:00 -> Nueva huella capturada.");

class ReentradaHuellaTest : public ::testing::Test {
protected:
    ReentradaHuellaTest() {
        e.base.clientes(
            {EstacionHuellaPrueba::ConHuella(Cliente("socia", kHoy, kHoy.addDays(30)), 3),
             EstacionHuellaPrueba::ConHuella(Cliente("jefe", QVariant(), QVariant(), true), 4),
             EstacionHuellaPrueba::ConHuella(Cliente("caducado", kHoy.addDays(-30), kHoy), 5)});
    }

    // Lines of the log that start with the identification's prefix.
    QStringList Identificaciones() const {
        QStringList r;
        for (const QString& l : e.pantalla.log)
            if (l.contains(QStringLiteral("Identif.:")))
                r << l;
        return r;
    }

    EstacionHuellaPrueba e;
};

TEST_F(ReentradaHuellaTest, CapturaDelLectorDuranteElPulsoSeIdentificaYPulsaDespues) {
    QDir(e.base.carpeta()).mkdir(QStringLiteral("LectorSimulado"));
    e.Arrancar();
    SimuladorRele& placa = e.Placa();
    ASSERT_TRUE(EsperarHasta([&] { return e.acceso.modos().LectorDetectado(); }));
    // The reader's arrival sends the resting byte again: let it land before forgetting.
    ASSERT_TRUE(EsperarSilencio(placa));
    placa.olvidar();
    e.pantalla.limpiar();
    e.ventana.mostrarIdentificacion = true;
    bool llegoDuranteElPulso = false;
    e.huella().PonerReceptorImagen([&](const QString& id, int ancho, int alto,
                                       const std::vector<std::uint8_t>& imagen, int dpi) {
        llegoDuranteElPulso = e.acceso.torno().Pulsando();
        e.flujo().MotorHuellaCtrl_ImageCaptured(id, ancho, alto, imagen, dpi);
    });
    // A long pulse, so the reader's poll timer surely delivers the second finger inside it.
    e.acceso.torno().PonerDuracionPulso(Torno::DuracionPulsoMs);

    // Inside the first door pulse, the reader gets the staff finger.
    e.DuranteElPulso([&] {
        const fpgen::ImagenGris& img = Impresion(4, 1);
        const QString tmp = e.base.carpeta() + QStringLiteral("/jefe.bmp");
        ASSERT_EQ(e.huella().MotorHuellaCtrl().GuardarImagen(img.pixeles.data(), img.ancho,
                                                             img.alto, tmp.toStdString(), 501),
                  0);
        ASSERT_TRUE(QFile::rename(tmp, e.base.carpeta() + QStringLiteral("/LectorSimulado/a.bmp")));
    });
    e.Capturar(3);

    // The second finger was identified during the first pulse; its pulse came after.
    ASSERT_TRUE(EsperarHasta([&] { return placa.bytesRecibidos().size() >= 10; }));
    EXPECT_TRUE(llegoDuranteElPulso);
    EXPECT_EQ(placa.bytesRecibidos(), (Bytes{91, 92, 33, 92, 2, 91, 92, 17, 92, 2}));
    const QStringList ids = Identificaciones();
    ASSERT_EQ(ids.size(), 2);
    EXPECT_TRUE(ids[0].contains(QStringLiteral("Identif.: Permitido  ID 1  [")))
        << qPrintable(ids[0]);
    EXPECT_TRUE(ids[1].contains(QStringLiteral("Identif.: Personal  ID 2  [")))
        << qPrintable(ids[1]);
    ASSERT_EQ(e.pantalla.info.size(), 2u);
    EXPECT_EQ(e.pantalla.info[0].texto, QStringLiteral(" ID 1 socia (Permitido)"));
    EXPECT_EQ(e.pantalla.info[1].texto, QStringLiteral(" ID 2 jefe (Personal)"));

    // Order in the log: the second capture's line comes after the first identification's.
    const int primeraId = static_cast<int>(e.pantalla.log.indexOf(ids[0]));
    const int segundaCaptura = static_cast<int>(e.pantalla.log.lastIndexOf(kCapturada));
    EXPECT_EQ(e.pantalla.log.indexOf(kCapturada), 0);
    EXPECT_GT(segundaCaptura, primeraId);
    // The first identification's overlay was drawn before the second image replaced it.
    ASSERT_EQ(e.ventana.lineasAlMostrar.size(), 4u);
    EXPECT_EQ(e.ventana.lineasAlMostrar[1], primeraId + 1);
    EXPECT_LE(e.ventana.lineasAlMostrar[1], segundaCaptura);
    EXPECT_FALSE(e.flujo().Ocupado());
    EXPECT_TRUE(EsperarPuerta(e.acceso.torno()));
    EXPECT_EQ(e.acceso.torno().AccesoActual(), CodigoAcceso::Personal);
}

TEST_F(ReentradaHuellaTest, VariasCapturasDuranteElPulsoPulsanCadaUnaEnOrden) {
    e.Arrancar();
    SimuladorRele& placa = e.Placa();

    e.DuranteElPulso([&] {
        e.Capturar(4); // the staff finger...
        e.Capturar(5); // ...then the expired member's
        EXPECT_FALSE(e.flujo().Ocupado());
    });
    e.Capturar(3);

    ASSERT_TRUE(EsperarBytes(placa, 15, EsperaGenerosa));
    EXPECT_TRUE(EsperarSilencio(placa));
    // One pulse after the other, each back to rest before the next one asks.
    EXPECT_EQ(placa.bytesRecibidos(),
              (Bytes{91, 92, 33, 92, 2, 91, 92, 17, 92, 2, 91, 92, 64, 92, 2}));
    const QStringList ids = Identificaciones();
    ASSERT_EQ(ids.size(), 3);
    EXPECT_TRUE(ids[1].contains(QStringLiteral("Identif.: Personal  ID 2  [")));
    EXPECT_TRUE(ids[2].contains(QStringLiteral("Identif.: No perm.  ID 3  [")));
    EXPECT_EQ(e.pantalla.log.count(kCapturada), 3);
}

TEST_F(ReentradaHuellaTest, BotonPulsadoDuranteElPulsoActuaDespues) {
    e.Arrancar();
    SimuladorRele& placa = e.Placa();

    e.DuranteElPulso([&] { e.flujo().cmdIndentificarHuellaDB_Click(); });
    e.Capturar(3);

    ASSERT_TRUE(EsperarBytes(placa, 10, EsperaGenerosa));
    EXPECT_EQ(placa.bytesRecibidos(), (Bytes{91, 92, 33, 92, 2, 91, 92, 33, 92, 2}));
    EXPECT_EQ(Identificaciones().size(), 2);
    EXPECT_EQ(e.pantalla.log.count(kCapturada), 1);
    EXPECT_TRUE(e.msgBox.mostrados.empty());
}

// The restore box is open when a finger comes (the restore has ended meanwhile): the flow that
// raised the box is over, so the finger is identified and pulsed at once, box still open.
TEST_F(ReentradaHuellaTest, CapturaDuranteElMensajeDeRestauracionSeAtiendeConElMensajeAbierto) {
    e.Arrancar();
    SimuladorRele& placa = e.Placa();
    e.ventana.restaurando = true;
    bool identificadaConLaCajaAbierta = false;
    bool unaVez = false;
    e.msgBox.alMostrar = [&](const MsgBoxGuion::Mostrado&) {
        if (std::exchange(unaVez, true))
            return;
        e.ventana.restaurando = false;
        e.Capturar(4);
        identificadaConLaCajaAbierta = Identificaciones().size() == 1;
        EXPECT_TRUE(EsperarBytes(placa, 5, EsperaGenerosa));
    };
    e.Capturar(3);

    EXPECT_TRUE(identificadaConLaCajaAbierta);
    EXPECT_EQ(e.msgBox.mostrados.size(), 1u);
    EXPECT_EQ(e.msgBox.mostrados[0].titulo, QStringLiteral("Analisis de huella no permitido"));
    EXPECT_EQ(e.pantalla.log.count(kCapturada), 2);
    ASSERT_EQ(Identificaciones().size(), 1);
    EXPECT_TRUE(Identificaciones()[0].contains(QStringLiteral("Identif.: Personal  ID 2")));
    EXPECT_EQ(placa.bytesRecibidos(), (Bytes{91, 92, 17, 92, 2}));
}

// A finger kept waiting while the flow was busy with the one before is dropped once it has
// waited more than 3 s, with a log line; one that waited less is handled as usual.
TEST_F(ReentradaHuellaTest, UnaCapturaQueEsperoMasDeTresSegundosSeDescarta) {
    e.Arrancar();
    auto ahora = std::chrono::steady_clock::now();
    e.flujo().caducidad().PonerReloj([&] { return ahora; });
    auto segunda = [&](std::chrono::milliseconds espera) {
        bool una = false;
        e.pantalla.alMostrarResultado = [&, espera](int) {
            if (std::exchange(una, true) || !e.flujo().Ocupado())
                return;
            e.Capturar(4); // arrives while the first finger is being handled
            ahora += espera;
        };
        e.Capturar(3);
        EsperarPuerta(e.acceso.torno());
        e.pantalla.alMostrarResultado = nullptr;
    };

    segunda(std::chrono::seconds(200));
    EXPECT_EQ(e.pantalla.log.count(
                  QStringLiteral("10:30:00 -> Huella descartada: llevaba 200 s esperando.")),
              1)
        << e.pantalla.log.join('\n').toStdString();
    EXPECT_EQ(e.pantalla.log.count(kCapturada), 1) << "only the first one was taken";

    e.pantalla.limpiar();
    segunda(std::chrono::milliseconds(2900));
    EXPECT_EQ(e.pantalla.log.count(kCapturada), 2);
    EXPECT_FALSE(e.pantalla.log.join('\n').contains(QStringLiteral("descartada")));
}

} // namespace
} // namespace portiva::prueba
