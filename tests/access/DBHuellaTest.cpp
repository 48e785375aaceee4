// The engine adapter: start and stop, extraction into the captured template, the picture,
// the parameters with their message boxes, the colours, and the reader events it routes.
#include "EstacionHuellaPrueba.h"

#include "AjustesEstacion.h"
#include "ResultadoHuella.h"

#include <QFile>

#include <gtest/gtest.h>

namespace portiva::prueba {
namespace {

const QString kHora = QStringLiteral("10:30:00");

class DBHuellaTest : public ::testing::Test {
protected:
    void Capturar(const fpgen::ImagenGris& img) {
        ImagenHuella& c = e.huella().ImagenCaptura;
        c.RawImage = img.pixeles;
        c.Width = img.ancho;
        c.Height = img.alto;
        c.Resolution = img.dpi;
    }

    EstacionHuellaPrueba e;
};

TEST_F(DBHuellaTest, IniciarHuellaArrancaElMotorYLoRegistra) {
    ASSERT_TRUE(e.db.AbrirDB());
    EXPECT_EQ(e.huella().IniciarHuella(), 0);
    EXPECT_EQ(
        e.pantalla.log,
        QStringList{kHora +
                    QStringLiteral(" -> Driver huella iniciado con exito. Buscando el lector...")});
    EXPECT_TRUE(e.huella().MotorHuellaCtrl().Inicializado());
    EXPECT_EQ(e.huella().TemplateCaptura.Data.size(), 10001);
    EXPECT_EQ(e.huella().ImagenCaptura.Width, 0);
    EXPECT_EQ(e.huella().ImagenCaptura.Height, 0);
    EXPECT_TRUE(e.huella().tmrSondeo().isActive());

    e.huella().FinalizarHuella();
    EXPECT_FALSE(e.huella().MotorHuellaCtrl().Inicializado());
    EXPECT_FALSE(e.huella().tmrSondeo().isActive());
}

TEST_F(DBHuellaTest, ExtraccionGuardaElTamanoMasUnByteACero) {
    e.Arrancar();
    Capturar(Impresion(2, 0));

    const qint16 calidad = e.huella().ExtraerPlantilla();

    EXPECT_GE(calidad, 0);
    EXPECT_LE(calidad, 2);
    const PlantillaHuella& t = e.huella().TemplateCaptura;
    EXPECT_TRUE(PlantillaValida(t));
    EXPECT_EQ(t.Data.size(), t.Size + 1);
    EXPECT_EQ(t.Data.at(t.Size), '\0');
    // The engine's own template, one byte longer: what the station stores.
    EXPECT_EQ(t.Data, PlantillaGuardada(2, 0));
}

TEST_F(DBHuellaTest, PlantillaGuardadaConUnByteMasSeLeeConSuTamano) {
    const QByteArray bytes(401, 'x');
    const PlantillaHuella p = PlantillaHuella::DesdeGuardada(bytes);
    EXPECT_EQ(p.Size, 400);
    EXPECT_EQ(p.Data.size(), 401);
    EXPECT_TRUE(PlantillaValida(p));
    EXPECT_FALSE(PlantillaValida(PlantillaHuella::DesdeGuardada(QByteArray(1, 'x'))));
    EXPECT_FALSE(PlantillaValida(PlantillaHuella::DesdeGuardada(QByteArray())));
}

TEST_F(DBHuellaTest, ExtraccionFallidaInvalidaLaPlantillaHastaLaSiguiente) {
    e.Arrancar();
    Capturar(Impresion(2, 0));
    ASSERT_GE(e.huella().ExtraerPlantilla(), 0);

    Capturar(ImagenEnBlanco());
    const qint16 r = e.huella().ExtraerPlantilla();
    EXPECT_LT(r, 0);
    EXPECT_FALSE(PlantillaValida(e.huella().TemplateCaptura));
    EXPECT_EQ(e.huella().TemplateCaptura.Size, 0);
    EXPECT_EQ(e.huella().TemplateCaptura.Data.size(), 1);
    qint32 score = 0, posicion = 0;
    QString estado;
    EXPECT_EQ(e.flujo().IdentificarHuella(score, posicion, estado),
              ResultadoHuella::PlantillaNoValida);

    Capturar(Impresion(2, 0));
    EXPECT_GE(e.huella().ExtraerPlantilla(), 0);
    EXPECT_TRUE(PlantillaValida(e.huella().TemplateCaptura));
}

TEST_F(DBHuellaTest, ImagenSinPixelesSuficientesNoLlegaAlMotor) {
    e.Arrancar();
    Capturar(Impresion(2, 0));
    e.huella().ImagenCaptura.RawImage.resize(1000); // the stated 400 x 400 is not there
    EXPECT_EQ(e.huella().ExtraerPlantilla(), ResultadoHuella::TamanoImagen);
    EXPECT_FALSE(PlantillaValida(e.huella().TemplateCaptura));
    e.huella().MostrarImagenHuella(false, 0);
    EXPECT_TRUE(e.ventana.imagenes.empty());

    // No image at all yet.
    e.huella().ImagenCaptura = ImagenHuella{};
    EXPECT_LT(e.huella().ExtraerPlantilla(), 0);
}

TEST_F(DBHuellaTest, MostrarImagenRespetaLaCasillaHuella) {
    e.Arrancar();
    Capturar(Impresion(2, 0));
    ASSERT_GE(e.huella().ExtraerPlantilla(), 0);

    e.ventana.mostrarHuella = false;
    e.huella().MostrarImagenHuella(false, 0);
    e.huella().MostrarImagenHuella(true, -1);
    EXPECT_TRUE(e.ventana.imagenes.empty());

    e.ventana.mostrarHuella = true;
    e.huella().MostrarImagenHuella(false, 0);
    e.huella().MostrarImagenHuella(true, -1);
    ASSERT_EQ(e.ventana.imagenes.size(), 2u);
    for (const auto& img : e.ventana.imagenes) {
        EXPECT_EQ(img.ancho, 400);
        EXPECT_EQ(img.alto, 400);
        EXPECT_EQ(img.bytes.size(), 400u * 400u * 3u);
    }
    EXPECT_NE(e.ventana.imagenes[0].bytes, e.ventana.imagenes[1].bytes); // the overlay shows

    // An overlay without a valid template gives no picture: the shown one stays.
    Capturar(ImagenEnBlanco());
    ASSERT_LT(e.huella().ExtraerPlantilla(), 0);
    e.huella().MostrarImagenHuella(true, -1);
    EXPECT_EQ(e.ventana.imagenes.size(), 2u);
}

struct CasoParametros {
    const char* nombre;
    int thresholdId, rotationMaxId, thresholdVr, rotationMaxVr;
    bool idEnviado, vrEnviado;
};

void PrintTo(const CasoParametros& c, std::ostream* os) {
    *os << c.nombre;
}

class ParametrosTest : public DBHuellaTest, public ::testing::WithParamInterface<CasoParametros> {};

TEST_P(ParametrosTest, LimitesYMensajes) {
    const CasoParametros& c = GetParam();
    e.Arrancar();
    AjustesEstacion a;
    a.thresholdId = c.thresholdId;
    a.rotationMaxId = c.rotationMaxId;
    a.thresholdVr = c.thresholdVr;
    a.rotationMaxVr = c.rotationMaxVr;

    e.huella().AplicarParametrosHuella(a);

    AjustesEstacion leidos;
    e.huella().LeerParametrosHuella(leidos);
    using M = motor::MotorHuella;
    EXPECT_EQ(leidos.thresholdId, c.idEnviado ? c.thresholdId : M::UmbralIdentificacionPorDefecto);
    EXPECT_EQ(leidos.rotationMaxId,
              c.idEnviado ? c.rotationMaxId : M::RotacionIdentificacionPorDefecto);
    EXPECT_EQ(leidos.thresholdVr, c.vrEnviado ? c.thresholdVr : M::UmbralVerificacionPorDefecto);
    EXPECT_EQ(leidos.rotationMaxVr,
              c.vrEnviado ? c.rotationMaxVr : M::RotacionVerificacionPorDefecto);

    QStringList esperados;
    if (!c.idEnviado)
        esperados << QStringLiteral("Error: Parametros de Identificación no validos!");
    if (!c.vrEnviado)
        esperados << QStringLiteral("Error: Parametros de Verificación no validos!");
    QStringList vistos;
    for (const auto& m : e.msgBox.mostrados) {
        vistos << m.texto;
        EXPECT_EQ(m.estilo, 48);
        EXPECT_EQ(m.titulo, QStringLiteral("Cargando parametros..."));
    }
    EXPECT_EQ(vistos, esperados);
    // The values in memory keep what was entered.
    EXPECT_EQ(a.thresholdId, c.thresholdId);
}

INSTANTIATE_TEST_SUITE_P(
    AplicarParametrosHuella, ParametrosTest,
    ::testing::Values(CasoParametros{"LimitesInferiores", 10, 0, 10, 0, true, true},
                      CasoParametros{"LimitesSuperiores", 200, 180, 200, 180, true, true},
                      CasoParametros{"Umbral9", 9, 45, 30, 45, false, true},
                      CasoParametros{"Umbral201", 201, 45, 30, 45, false, true},
                      CasoParametros{"RotacionMenos1", 30, -1, 30, 45, false, true},
                      CasoParametros{"Rotacion181VerificacionSola", 30, 45, 30, 181, true, false},
                      CasoParametros{"AmbosMal", 0, 0, 300, 0, false, false}),
    [](const ::testing::TestParamInfo<CasoParametros>& i) { return std::string(i.param.nombre); });

TEST_F(DBHuellaTest, ColoresPorDefectoYSuEnvio) {
    e.Arrancar();
    AjustesEstacion a;
    a.minutiaeColor = 1;
    a.segmentsMatchColor = 2;
    e.huella().ColoresPorDefecto(a);
    EXPECT_EQ(a.minutiaeColor, 0xFF0000);
    EXPECT_EQ(a.segmentsColor, 0xFF00);
    EXPECT_EQ(a.directionsColor, 0xFF);
    EXPECT_EQ(a.minutiaeMatchColor, 0x800080);
    EXPECT_EQ(a.segmentsMatchColor, 0x800080);
    EXPECT_EQ(a.directionsMatchColor, 0x800080);

    // Nothing drawn but the picture: every overlay element switched off.
    Capturar(Impresion(2, 0));
    ASSERT_GE(e.huella().ExtraerPlantilla(), 0);
    a.minutiaeColor = a.minutiaeMatchColor = a.segmentsColor = a.segmentsMatchColor =
        a.directionsColor = a.directionsMatchColor = motor::MotorHuella::NoDibujar;
    e.huella().AplicarColoresHuella(a);
    e.huella().MostrarImagenHuella(false, 0);
    e.huella().MostrarImagenHuella(true, -1);
    ASSERT_EQ(e.ventana.imagenes.size(), 2u);
    EXPECT_EQ(e.ventana.imagenes[0].bytes, e.ventana.imagenes[1].bytes);
}

TEST_F(DBHuellaTest, EventosDelLectorLleganALosModosYLaCapturaAlMotor) {
    QDir(e.base.carpeta()).mkdir(QStringLiteral("LectorSimulado"));
    e.Arrancar();

    // The simulated reader is plugged in: the modes take it and start its capture.
    ASSERT_TRUE(EsperarHasta([&] { return e.acceso.modos().LectorDetectado(); }));
    EXPECT_TRUE(
        e.pantalla.log.contains(kHora + QStringLiteral(" -> Lector huella Simulado conectado.")));
    EXPECT_EQ(e.acceso.torno().AccesoActual(), CodigoAcceso::ControlPorHuella);

    // A bitmap laid into its folder is captured and goes down the flow.
    e.ventana.autoAnalizar = false;
    const fpgen::ImagenGris& img = Impresion(2, 1);
    const QString temporal = e.base.carpeta() + QStringLiteral("/dedo.tmp");
    ASSERT_EQ(e.huella().MotorHuellaCtrl().GuardarImagen(img.pixeles.data(), img.ancho, img.alto,
                                                         (temporal + ".bmp").toStdString(), 501),
              0);
    ASSERT_TRUE(QFile::rename(temporal + ".bmp",
                              e.base.carpeta() + QStringLiteral("/LectorSimulado/dedo.bmp")));
    ASSERT_TRUE(EsperarHasta([&] { return e.huella().ImagenCaptura.Width == 400; }));
    EXPECT_EQ(e.huella().ImagenCaptura.RawImage, img.pixeles);
    EXPECT_TRUE(e.pantalla.log.contains(kHora + QStringLiteral(" -> Nueva huella capturada.")));

    // Unplugged: reader missing.
    ASSERT_TRUE(QDir(e.base.carpeta() + QStringLiteral("/LectorSimulado")).removeRecursively());
    ASSERT_TRUE(EsperarHasta([&] { return !e.acceso.modos().LectorDetectado(); }));
    EXPECT_EQ(e.acceso.torno().AccesoActual(), CodigoAcceso::LectorNoDetectado);
    EXPECT_TRUE(e.pantalla.log.contains(
        kHora + QStringLiteral(" -> Lector huella Simulado desconectado.")));
}

// What the reader says of a file in its folder reaches the event log, not only the terminal.
TEST_F(DBHuellaTest, LoQueElLectorDiceDeSuCarpetaVaAlRegistro) {
    QDir(e.base.carpeta()).mkdir(QStringLiteral("LectorSimulado"));
    e.Arrancar();
    ASSERT_TRUE(EsperarHasta([&] { return e.acceso.modos().LectorDetectado(); }));
    QFile basura(e.base.carpeta() + QStringLiteral("/LectorSimulado/c.bmp"));
    ASSERT_TRUE(basura.open(QIODevice::WriteOnly));
    basura.write("basura");
    basura.close();
    const QString linea = kHora + QStringLiteral(" -> c.bmp: no es un mapa de bits utilizable "
                                                 "(vacio, cortado, comprimido o de un formato no "
                                                 "admitido); se aparta como c.bmp.invalido.");
    EXPECT_TRUE(EsperarHasta([&] { return e.pantalla.log.contains(linea); }))
        << e.pantalla.log.join(u'\n').toStdString();
}

TEST_F(DBHuellaTest, ElEnlaceDeCapturaApuntaAlAdaptadorMientrasViva) {
    EXPECT_EQ(e.enlace.Destino(), &e.huella());
    e.control.reset();
    EXPECT_EQ(e.enlace.Destino(), nullptr);
    e.enlace.IniciarCaptura(QStringLiteral("File")); // dropped, no crash
}

} // namespace
} // namespace portiva::prueba
