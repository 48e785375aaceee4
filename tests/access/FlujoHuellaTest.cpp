// The road of one finger: capture, analysis, identification against a real member database
// with real templates, the access decision and the relay bytes on the simulated board.
#include "EstacionHuellaPrueba.h"

#include "ConsultaPreparada.h"
#include "ResultadoHuella.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace portiva::prueba {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

const QDate kHoy(2026, 12, 8);
const QString kHora = QStringLiteral("10:30:00");

QString Detalle(const QString& texto) {
    return kHora + QStringLiteral(" ->       ") + texto;
}

// The bytes of one door action: status request, the pulse mask, the byte read before (2).
Bytes Pulso(std::uint8_t mascara) {
    return {91, 92, mascara, 92, 2};
}

class FlujoHuellaTest : public ::testing::Test {
protected:
    // Captures impression 1 of the finger and waits for the door's five bytes.
    void CapturarYEsperarPuerta(int dedo) {
        e.Capturar(dedo);
        ASSERT_TRUE(EsperarBytes(*e.placa, 5, EsperaGenerosa));
    }

    // The log lines after the capture line and the analysis line.
    QStringList LineasTrasAnalisis() const {
        const QStringList& log = e.pantalla.log;
        EXPECT_GE(log.size(), 2);
        EXPECT_EQ(log.value(0), kHora + QStringLiteral(" -> Nueva huella capturada."));
        EXPECT_TRUE(log.value(1).startsWith(Detalle("Analisis de la huella: Analisis con exito.")))
            << qPrintable(log.value(1));
        return log.mid(2);
    }

    EstacionHuellaPrueba e;
};

struct CasoDecision {
    const char* nombre;
    QVariant inicio;
    QVariant caducidad;
    bool personal;
    int tipo;
    const char* estado;
    std::uint8_t mascara;
};

void PrintTo(const CasoDecision& c, std::ostream* os) {
    *os << c.nombre;
}

class DecisionTest : public FlujoHuellaTest, public ::testing::WithParamInterface<CasoDecision> {};

TEST_P(DecisionTest, DecideEtiquetaLogYBytesDelRele) {
    const CasoDecision& c = GetParam();
    e.base.clientes({EstacionHuellaPrueba::ConHuella(
        Cliente("c1", c.inicio, c.caducidad, c.personal, QStringLiteral("Ana Sanz")), 3)});
    e.Arrancar();
    SimuladorRele& placa = e.Placa();

    CapturarYEsperarPuerta(3);

    EXPECT_EQ(placa.bytesRecibidos(), Pulso(c.mascara));
    EXPECT_EQ(e.acceso.torno().AccesoActual(), c.tipo);
    EXPECT_EQ(e.pantalla.resultados, std::vector<int>{c.tipo});
    EXPECT_EQ(e.acceso.torno().ContAperturas(c.tipo), 1);
    ASSERT_EQ(e.pantalla.info.size(), 1u);
    EXPECT_EQ(e.pantalla.info[0].texto, QStringLiteral(" ID 1 Ana Sanz (%1)").arg(c.estado));
    EXPECT_FALSE(e.pantalla.info[0].rojo);
    const QStringList resto = LineasTrasAnalisis();
    ASSERT_EQ(resto.size(), 1);
    const QRegularExpression linea(
        QRegularExpression::escape(Detalle(QStringLiteral("Identif.: %1  ID 1  [").arg(c.estado))) +
        QStringLiteral("\\d+%\\]  Registro=1$"));
    EXPECT_TRUE(linea.match(resto[0]).hasMatch()) << qPrintable(resto[0]);
}

INSTANTIATE_TEST_SUITE_P(
    ReglaDeAcceso, DecisionTest,
    ::testing::Values(
        CasoDecision{"Personal", kHoy.addDays(-400), kHoy.addDays(-30), true, 1, "Personal", 17},
        CasoDecision{"PersonalSinFechas", QVariant(), QVariant(), true, 1, "Personal", 17},
        CasoDecision{"Permitido", kHoy, kHoy.addDays(1), false, 2, "Permitido", 33},
        CasoDecision{"CaducaHoy", kHoy.addDays(-30), kHoy, false, 3, "No perm.", 64},
        CasoDecision{"InicioManana", kHoy.addDays(1), kHoy.addDays(30), false, 3,
                     "Inicio posterior", 64},
        CasoDecision{"SinInicio", QVariant(), kHoy.addDays(30), false, 3, "Fecha vacia", 64}),
    [](const ::testing::TestParamInfo<CasoDecision>& i) { return std::string(i.param.nombre); });

TEST_F(FlujoHuellaTest, DedoDesconocidoRechazaConTipoCuatro) {
    e.base.clientes({EstacionHuellaPrueba::ConHuella(Cliente("c1", kHoy, kHoy.addDays(9)), 3),
                     EstacionHuellaPrueba::ConHuella(Cliente("c2", kHoy, kHoy.addDays(9)), 4)});
    e.Arrancar();
    SimuladorRele& placa = e.Placa();

    CapturarYEsperarPuerta(5);

    EXPECT_EQ(placa.bytesRecibidos(), Pulso(128));
    EXPECT_EQ(e.acceso.torno().AccesoActual(), CodigoAcceso::HuellaDesconocida);
    ASSERT_EQ(e.pantalla.info.size(), 1u);
    EXPECT_EQ(e.pantalla.info[0].texto, QStringLiteral(" Desconocida!"));
    EXPECT_TRUE(e.pantalla.info[0].rojo);
    EXPECT_EQ(LineasTrasAnalisis(),
              QStringList{Detalle(QStringLiteral("Identifi.: Huella no encontrada."))});
}

// The board stopped answering after start-up: the member is known and admitted, but the door
// did not open, and the status line and the log say so instead of a plain success.
TEST_F(FlujoHuellaTest, PlacaQueDejaDeResponderNoSeMuestraComoExito) {
    e.base.clientes({EstacionHuellaPrueba::ConHuella(Cliente("c1", kHoy, kHoy.addDays(9)), 3)});
    e.Arrancar();
    SimuladorRele& placa = e.Placa();
    placa.ponerModo(ModoRespuesta::Ninguna);

    e.Capturar(3);
    EXPECT_TRUE(EsperarPuerta(e.acceso.torno()));

    EXPECT_EQ(placa.bytesRecibidos(), Bytes{91});
    ASSERT_FALSE(e.pantalla.info.empty());
    EXPECT_EQ(e.pantalla.info.back().texto,
              QStringLiteral(" ID 1 c1 (Permitido) - Apertura Fallida"));
    EXPECT_TRUE(e.pantalla.info.back().rojo);
    EXPECT_TRUE(e.pantalla.log.contains(
        Detalle(QStringLiteral("Apertura Fallida : Interface de Apertura sin respuesta."))));
}

TEST_F(FlujoHuellaTest, TablaVaciaOSinPlantillasEsDesconocida) {
    e.Arrancar();
    SimuladorRele& placa = e.Placa();
    CapturarYEsperarPuerta(3);
    EXPECT_EQ(placa.bytesRecibidos(), Pulso(128));
    EXPECT_EQ(LineasTrasAnalisis(),
              QStringList{Detalle(QStringLiteral("Identifi.: Huella no encontrada."))});

    // Members, none with a template.
    e.base.clientes(
        {Cliente("c1", kHoy, kHoy.addDays(9)), Cliente("c2", QVariant(), QVariant(), true)});
    placa.olvidar();
    e.pantalla.limpiar();
    CapturarYEsperarPuerta(3);
    EXPECT_EQ(placa.bytesRecibidos(), Pulso(128));
    ASSERT_EQ(e.pantalla.info.size(), 1u);
    EXPECT_EQ(e.pantalla.info[0].texto, QStringLiteral(" Desconocida!"));
    EXPECT_EQ(LineasTrasAnalisis(),
              QStringList{Detalle(QStringLiteral("Identifi.: Huella no encontrada."))});
}

TEST_F(FlujoHuellaTest, DosSociosConElMismoDedoGanaElPrimeroEnLaTabla) {
    e.base.clientes(
        {Cliente("sin", kHoy, kHoy.addDays(9)),
         EstacionHuellaPrueba::ConHuella(Cliente("otro", kHoy, kHoy.addDays(9)), 4),
         EstacionHuellaPrueba::ConHuella(Cliente("caducado", kHoy.addDays(-9), kHoy), 3),
         EstacionHuellaPrueba::ConHuella(Cliente("jefe", QVariant(), QVariant(), true), 3)});
    e.Arrancar();
    e.Placa();

    CapturarYEsperarPuerta(3);

    EXPECT_EQ(e.placa->bytesRecibidos(), Pulso(64));
    ASSERT_EQ(e.pantalla.info.size(), 1u);
    EXPECT_EQ(e.pantalla.info[0].texto, QStringLiteral(" ID 3 caducado (No perm.)"));
    const QStringList resto = LineasTrasAnalisis();
    ASSERT_EQ(resto.size(), 1);
    EXPECT_TRUE(resto[0].startsWith(Detalle(QStringLiteral("Identif.: No perm.  ID 3  ["))));
    EXPECT_TRUE(resto[0].endsWith(QStringLiteral("%]  Registro=3"))) << qPrintable(resto[0]);
}

TEST_F(FlujoHuellaTest, ElScoreDelLogEsElDeLaComparacionQueCoincide) {
    e.base.clientes({EstacionHuellaPrueba::ConHuella(Cliente("c1", kHoy, kHoy.addDays(9)), 6)});
    e.Arrancar();
    e.Capturar(6);

    // The same comparison made directly with the engine's prepared query.
    const QByteArray& consulta = PlantillaGuardada(6, 1);
    const QByteArray& guardada = PlantillaGuardada(6, 0);
    int r = 0;
    auto q = motor::ConsultaPreparada::crear(reinterpret_cast<const std::uint8_t*>(consulta.data()),
                                             static_cast<std::size_t>(consulta.size()),
                                             {motor::MotorHuella::UmbralIdentificacionPorDefecto,
                                              motor::MotorHuella::RotacionIdentificacionPorDefecto},
                                             r);
    ASSERT_NE(q, nullptr);
    int puntuacion = 0;
    ASSERT_EQ(q->comparar(reinterpret_cast<const std::uint8_t*>(guardada.data()),
                          static_cast<std::size_t>(guardada.size()), puntuacion),
              1);

    ASSERT_EQ(e.pantalla.log.size(), 4); // no board: the failed opening is logged first
    EXPECT_EQ(e.pantalla.log[2],
              Detalle(QStringLiteral("Apertura Fallida : Interface de Apertura sin conexion.")));
    EXPECT_EQ(
        e.pantalla.log[3],
        Detalle(QStringLiteral("Identif.: Permitido  ID 1  [%1%]  Registro=1").arg(puntuacion)));
}

// Values that are no template at all (a number, an empty text) in front of the member: each
// is skipped for its own row and named, and the member after them still gets in.
TEST_F(FlujoHuellaTest, ValorQueNoEsPlantillaSeOmiteSoloEnSuFila) {
    QVariantMap numero = Cliente("numero", kHoy, kHoy.addDays(9));
    numero.insert(QStringLiteral("fldTemplate"), 12345);
    QVariantMap vacio = Cliente("vacio", kHoy, kHoy.addDays(9));
    vacio.insert(QStringLiteral("fldTemplate"), QString(""));
    e.base.clientes({numero, vacio,
                     EstacionHuellaPrueba::ConHuella(Cliente("bueno", kHoy, kHoy.addDays(9)), 3)});
    e.Arrancar();
    SimuladorRele& placa = e.Placa();

    CapturarYEsperarPuerta(3);
    EXPECT_EQ(placa.bytesRecibidos(), Pulso(33));
    EXPECT_EQ(e.acceso.torno().AccesoActual(), CodigoAcceso::ClientePermitido);
    const QStringList lineas = LineasTrasAnalisis();
    ASSERT_EQ(lineas.size(), 3);
    EXPECT_EQ(lineas[0], Detalle(QStringLiteral(
                             "Identif.: Plantilla no valida en el cliente ID 1, se omite.")));
    EXPECT_EQ(lineas[1], Detalle(QStringLiteral(
                             "Identif.: Plantilla no valida en el cliente ID 2, se omite.")));
    EXPECT_TRUE(lineas[2].startsWith(Detalle(QStringLiteral("Identif.: Permitido  ID 3  ["))))
        << qPrintable(lineas[2]);
}

TEST_F(FlujoHuellaTest, PlantillaIlegibleSeOmiteYSeNombraSinCerrarElPasoALosDemas) {
    QByteArray corrupta = PlantillaGuardada(4, 0);
    corrupta[40] = static_cast<char>(corrupta[40] ^ 0x5A); // checksum no longer holds
    QVariantMap filaCorrupta = Cliente("roto", kHoy, kHoy.addDays(9));
    filaCorrupta.insert(QStringLiteral("fldTemplate"), corrupta);
    e.base.clientes({EstacionHuellaPrueba::ConHuella(Cliente("otro", kHoy, kHoy.addDays(9)), 5),
                     filaCorrupta,
                     EstacionHuellaPrueba::ConHuella(Cliente("bueno", kHoy, kHoy.addDays(9)), 3)});
    e.Arrancar();
    SimuladorRele& placa = e.Placa();

    // The member after the unreadable row still gets in; the bad row is named.
    CapturarYEsperarPuerta(3);
    EXPECT_EQ(placa.bytesRecibidos(), Pulso(33));
    EXPECT_EQ(e.acceso.torno().AccesoActual(), CodigoAcceso::ClientePermitido);
    const QStringList lineas = LineasTrasAnalisis();
    ASSERT_EQ(lineas.size(), 2);
    EXPECT_EQ(lineas[0], Detalle(QStringLiteral(
                             "Identif.: Plantilla no valida en el cliente ID 2, se omite.")));
    EXPECT_TRUE(lineas[1].startsWith(Detalle(QStringLiteral("Identif.: Permitido  ID 3  ["))))
        << qPrintable(lineas[1]);

    // The unreadable row after the matching one is not looked at.
    qint32 score = 0, posicion = 0;
    QString estado;
    placa.olvidar();
    e.pantalla.limpiar();
    ASSERT_TRUE(e.db.cnClientes()
                    .Execute(QStringLiteral("UPDATE ClientesDB SET fldTemplate = ? WHERE ID = 1"),
                             {PlantillaGuardada(3, 0)})
                    .ok());
    EXPECT_EQ(e.flujo().IdentificarHuella(score, posicion, estado), 1);
    EXPECT_EQ(posicion, 1);
    EXPECT_EQ(estado, QStringLiteral("Permitido"));
    EXPECT_GT(score, 0);
    EXPECT_TRUE(e.pantalla.log.filter(QStringLiteral("no valida")).isEmpty());
    ASSERT_TRUE(EsperarBytes(placa, 5, EsperaGenerosa));

    // A finger of nobody: refused as unknown, with the bad row, now in front, named again.
    placa.olvidar();
    e.pantalla.limpiar();
    CapturarYEsperarPuerta(7);
    EXPECT_EQ(placa.bytesRecibidos(), Pulso(128));
    EXPECT_EQ(LineasTrasAnalisis(),
              (QStringList{Detalle(QStringLiteral(
                               "Identif.: Plantilla no valida en el cliente ID 2, se omite.")),
                           Detalle(QStringLiteral("Identifi.: Huella no encontrada."))}));
}

TEST_F(FlujoHuellaTest, UnaPlantillaGuardadaHaceUnMomentoSeEncuentraEnseguida) {
    e.base.clientes({Cliente("c1", kHoy, kHoy.addDays(9))});
    e.Arrancar();
    e.Capturar(7);
    EXPECT_EQ(e.pantalla.log.value(3), Detalle(QStringLiteral("Identifi.: Huella no encontrada.")));

    ASSERT_TRUE(e.db.cnClientes()
                    .Execute(QStringLiteral("UPDATE ClientesDB SET fldTemplate = ? WHERE ID = 1"),
                             {PlantillaGuardada(7, 0)})
                    .ok());
    qint32 score = 0, posicion = 0;
    QString estado;
    EXPECT_EQ(e.flujo().IdentificarHuella(score, posicion, estado), 1);
}

TEST_F(FlujoHuellaTest, SinCapturaValidaDaMenos997SinAccionDePuerta) {
    e.base.clientes({EstacionHuellaPrueba::ConHuella(Cliente("c1", kHoy, kHoy.addDays(9)), 3)});
    e.Arrancar();
    SimuladorRele& placa = e.Placa();

    e.CapturarEnBlanco();

    EXPECT_EQ(
        e.pantalla.log,
        (QStringList{kHora + QStringLiteral(" -> Nueva huella capturada."),
                     Detalle(QStringLiteral("Analisis de la huella: Error!")),
                     Detalle(QStringLiteral("Causa: no se encontro una huella en la imagen.")),
                     QStringLiteral("Plantilla de análisis no válida. (Error:-997)")}));
    EXPECT_TRUE(e.pantalla.info.empty());
    EXPECT_TRUE(e.pantalla.resultados.empty());
    QThread::msleep(100);
    EXPECT_TRUE(placa.bytesRecibidos().empty());
    EXPECT_EQ(e.acceso.torno().AccesoActual(), CodigoAcceso::ControlPorHuella);
}

TEST_F(FlujoHuellaTest, ImagenDeArchivoSeIdentificaComoUnaCaptura) {
    e.base.clientes({EstacionHuellaPrueba::ConHuella(
        Cliente("c1", kHoy, kHoy.addDays(9), false, QStringLiteral("Luis")), 8)});
    e.Arrancar();
    SimuladorRele& placa = e.Placa();
    const fpgen::ImagenGris& img = Impresion(8, 1);
    const QString ruta = e.base.carpeta() + QStringLiteral("/dedo.bmp");
    motor::MotorHuella& motor = e.huella().MotorHuellaCtrl();
    ASSERT_EQ(motor.GuardarImagen(img.pixeles.data(), img.ancho, img.alto, ruta.toStdString(), 501),
              0);
    ASSERT_EQ(motor.CargarImagen(ruta.toStdString(), 500), 0);

    ASSERT_TRUE(EsperarHasta([&] { return placa.bytesRecibidos().size() >= 5; }));
    EXPECT_EQ(placa.bytesRecibidos(), Pulso(33));
    EXPECT_EQ(e.huella().ImagenCaptura.Width, 400);
    ASSERT_FALSE(e.pantalla.info.empty());
    EXPECT_EQ(e.pantalla.info.back().texto, QStringLiteral(" ID 1 Luis (Permitido)"));
    // "File" changes neither the reader flag nor the state beyond the access.
    EXPECT_FALSE(e.acceso.modos().LectorDetectado());
    EXPECT_TRUE(e.pantalla.log.contains(kHora + QStringLiteral(" -> Nueva huella capturada.")));
}

TEST_F(FlujoHuellaTest, DuranteUnaRestauracionSoloElMensaje) {
    e.base.clientes({EstacionHuellaPrueba::ConHuella(Cliente("c1", kHoy, kHoy.addDays(9)), 3)});
    e.Arrancar();
    SimuladorRele& placa = e.Placa();
    e.ventana.restaurando = true;

    e.Capturar(3);

    ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
    EXPECT_EQ(e.msgBox.ultimo().texto,
              QStringLiteral("Se capturó una huella mientras se restauraba la base de datos, "
                             "intentelo de nuevo"));
    EXPECT_EQ(e.msgBox.ultimo().estilo, 64);
    EXPECT_EQ(e.msgBox.ultimo().titulo, QStringLiteral("Analisis de huella no permitido"));
    EXPECT_EQ(e.pantalla.log.size(), 2); // the capture and its analysis, nothing after
    EXPECT_TRUE(e.pantalla.info.empty());
    EXPECT_TRUE(e.pantalla.resultados.empty());
    QThread::msleep(100);
    EXPECT_TRUE(placa.bytesRecibidos().empty());
}

TEST_F(FlujoHuellaTest, InformacionAmpliadaSaltaAlSocioYDespliegaAntesDeLaPuerta) {
    e.base.clientes({Cliente("sin", kHoy, kHoy.addDays(9)),
                     EstacionHuellaPrueba::ConHuella(Cliente("c2", kHoy, kHoy.addDays(9)), 3)});
    e.Arrancar();
    e.Placa();
    e.ventana.informacionAmpliada = true;

    CapturarYEsperarPuerta(3);

    EXPECT_EQ(e.ventana.saltos, std::vector<qint16>{2});
    EXPECT_EQ(e.ventana.desplegados, std::vector<bool>{true});
    EXPECT_EQ(e.ventana.resultadosAlSaltar, 0); // before the door showed anything

    // Already folded out: the jump only.
    e.placa->olvidar();
    CapturarYEsperarPuerta(3);
    EXPECT_EQ(e.ventana.saltos, (std::vector<qint16>{2, 2}));
    EXPECT_EQ(e.ventana.desplegados, std::vector<bool>{true});

    // Box cleared: no jump.
    e.ventana.informacionAmpliada = false;
    e.placa->olvidar();
    CapturarYEsperarPuerta(3);
    EXPECT_EQ(e.ventana.saltos.size(), 2u);
}

TEST_F(FlujoHuellaTest, FijoAbiertoNoActuaPeroMuestraYRegistraLaDecision) {
    e.base.clientes({EstacionHuellaPrueba::ConHuella(Cliente("c1", kHoy, kHoy.addDays(9)), 3)});
    e.Arrancar();
    SimuladorRele& placa = e.Placa();
    e.acceso.torno().PonerAccesoActual(CodigoAcceso::FijoAbierto);

    e.Capturar(3);

    ASSERT_EQ(e.pantalla.info.size(), 1u);
    EXPECT_EQ(e.pantalla.info[0].texto, QStringLiteral(" ID 1 c1 (Permitido)"));
    EXPECT_TRUE(e.pantalla.log.value(2).startsWith(Detalle(QStringLiteral("Identif.: Permitido"))));
    EXPECT_EQ(e.acceso.torno().AccesoActual(), CodigoAcceso::FijoAbierto);
    QThread::msleep(100);
    EXPECT_TRUE(placa.bytesRecibidos().empty());
}

TEST_F(FlujoHuellaTest, IdsMayoresQue32767SeIdentificanIgual) {
    QVariantMap fila = EstacionHuellaPrueba::ConHuella(Cliente("c1", kHoy, kHoy.addDays(9)), 3);
    fila.insert(QStringLiteral("ID"), 40000);
    e.base.clientes({fila});
    e.Arrancar();
    e.Placa();
    e.ventana.informacionAmpliada = true;

    qint32 score = 0, posicion = 0;
    QString estado;
    e.Capturar(3);
    EXPECT_EQ(e.pantalla.info.back().texto, QStringLiteral(" ID 40000 c1 (Permitido)"));
    EXPECT_TRUE(e.pantalla.log.last().contains(QStringLiteral("  ID 40000  [")));
    EXPECT_EQ(e.ventana.saltos, std::vector<qint16>{1});
    EXPECT_EQ(e.flujo().IdentificarHuella(score, posicion, estado), 40000);
}

TEST_F(FlujoHuellaTest, SinBaseDeDatosRechazaYRegistraElCodigo) {
    e.base.clientes({EstacionHuellaPrueba::ConHuella(Cliente("c1", kHoy, kHoy.addDays(9)), 3)});
    e.Arrancar();
    SimuladorRele& placa = e.Placa();
    ASSERT_TRUE(e.db.CerrarDB().ok());

    CapturarYEsperarPuerta(3);

    EXPECT_EQ(placa.bytesRecibidos(), Pulso(128));
    EXPECT_EQ(e.pantalla.info.back().texto, QStringLiteral(" Huella desconocida!"));
    EXPECT_EQ(LineasTrasAnalisis(),
              QStringList{QStringLiteral("Imposible conectar a la base de datos. (Error:-999)")});
}

TEST_F(FlujoHuellaTest, SinAutoAnalizarSoloSeGuardaYMuestraLaImagen) {
    e.Arrancar();
    e.ventana.autoAnalizar = false;
    e.Capturar(3);
    EXPECT_EQ(e.pantalla.log, QStringList{kHora + QStringLiteral(" -> Nueva huella capturada.")});
    EXPECT_EQ(e.ventana.imagenes.size(), 1u);
    EXPECT_FALSE(PlantillaValida(e.huella().TemplateCaptura));

    // Analysis without identification.
    e.ventana.autoAnalizar = true;
    e.ventana.autoIdentificar = false;
    e.ventana.mostrarAnalisis = true;
    e.pantalla.limpiar();
    e.Capturar(3);
    ASSERT_EQ(e.pantalla.log.size(), 2);
    EXPECT_EQ(e.pantalla.log[1],
              Detalle(QStringLiteral("Analisis de la huella: Analisis con exito. Calidad alta.")));
    EXPECT_EQ(e.ventana.imagenes.size(), 3u); // plain picture, then the analysis overlay
    EXPECT_TRUE(PlantillaValida(e.huella().TemplateCaptura));
    EXPECT_TRUE(e.pantalla.resultados.empty());
}

TEST_F(FlujoHuellaTest, BotonesSinHuellaValidaMuestranSuMensaje) {
    e.Arrancar();
    e.flujo().cmdAnalizarHuella_Click();
    ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
    EXPECT_EQ(e.msgBox.ultimo().texto,
              QStringLiteral("No existe una huella valida que pueda ser Analizada.\r\nCapture una "
                             "huella e intentelo de nuevo. Gracias"));
    EXPECT_EQ(e.msgBox.ultimo().titulo, QStringLiteral("Error añadiendo la huella a este cliente"));
    EXPECT_EQ(e.msgBox.ultimo().estilo, 64);

    e.flujo().cmdIndentificarHuellaDB_Click();
    ASSERT_EQ(e.msgBox.mostrados.size(), 2u);
    EXPECT_EQ(e.msgBox.ultimo().texto,
              QStringLiteral("No existe una huella valida que pueda ser Identificada.\r\nCapture "
                             "una huella e intentelo de nuevo. Gracias"));
    EXPECT_TRUE(e.pantalla.resultados.empty());
}

TEST_F(FlujoHuellaTest, IdentificacionGraficaDibujaLaSuperposicionTrasElLog) {
    e.base.clientes({EstacionHuellaPrueba::ConHuella(Cliente("c1", kHoy, kHoy.addDays(9)), 3)});
    e.Arrancar();
    e.ventana.mostrarIdentificacion = true;
    e.Capturar(3);
    ASSERT_EQ(e.ventana.imagenes.size(), 2u);
    EXPECT_EQ(e.ventana.lineasAlMostrar, (std::vector<int>{1, 4}));

    // Without a match, no overlay.
    e.Capturar(9);
    EXPECT_EQ(e.ventana.imagenes.size(), 3u);
}

} // namespace
} // namespace portiva::prueba
