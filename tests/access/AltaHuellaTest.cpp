// The desk's fingerprint buttons on real synthetic prints and the real engine: enrolment with
// its duplicate check over every stored template, and one-to-one verification.
#include "AltaHuella.h"
#include "ErroresHuella.h"
#include "EstacionHuellaPrueba.h"
#include "HuellaDuplicada.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace portiva::prueba {
namespace {

using namespace std::chrono_literals;

const QDate kHoy(2026, 12, 8);
const QString kHora = QStringLiteral("10:30:00");

class AltaHuellaTest : public ::testing::Test {
protected:
    AltaHuellaTest() {
        // The member lays a finger on the reader at the desk: kept and analysed, not identified.
        e.ventana.autoIdentificar = false;
    }

    AltaHuella& alta() { return e.control->alta(); }

    // The number of stored templates and the stored bytes of the member `id`.
    int PlantillasGuardadas() {
        Recordset rs;
        EXPECT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB WHERE fldTemplate IS NOT "
                                           "NULL"),
                            e.db.cnClientes())
                        .ok());
        return static_cast<int>(rs.RecordCount());
    }

    QStringList LineasCon(const QString& texto) const {
        QStringList r;
        for (const QString& l : e.pantalla.log)
            if (l.contains(texto))
                r << l;
        return r;
    }

    EstacionHuellaPrueba e;
};

TEST_F(AltaHuellaTest, DedoDeOtrosDosSociosSeListaEnOrdenYNoCambiaNada) {
    e.base.clientes(
        {EstacionHuellaPrueba::ConHuella(Cliente("a", {}, {}, false, QStringLiteral("Ana")), 3),
         EstacionHuellaPrueba::ConHuella(Cliente("b", {}, {}, false, QStringLiteral("Bea")), 4),
         EstacionHuellaPrueba::ConHuella(Cliente("c", {}, {}, false, QStringLiteral("Carla")), 3),
         Cliente("d", {}, {}, false, QStringLiteral("Dora"))});
    e.Arrancar();
    e.Capturar(3, 1);
    ASSERT_TRUE(PlantillaValida(e.huella().TemplateCaptura));

    EXPECT_FALSE(alta().cmdAddTemplateDB_Click(4));

    ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
    const auto& caja = e.msgBox.mostrados[0];
    EXPECT_EQ(caja.titulo, QStringLiteral("La huella ya esta presente en la base de datos:"));
    EXPECT_EQ(caja.estilo, EstiloMsg::Informacion);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^ID 1 Ana \\(\\d+%\\)\r\nID 3 Carla "
                                                  "\\(\\d+%\\)\r\n$"))
                    .match(caja.texto)
                    .hasMatch())
        << qPrintable(caja.texto);
    EXPECT_FALSE(PlantillaValida(e.huella().TemplateCliente));
    EXPECT_EQ(PlantillasGuardadas(), 3);
}

TEST_F(AltaHuellaTest, ElPropioDedoDelSocioNoEsDuplicado) {
    e.base.clientes({EstacionHuellaPrueba::ConHuella(Cliente("a"), 3),
                     EstacionHuellaPrueba::ConHuella(Cliente("b"), 4)});
    e.Arrancar();
    e.Capturar(4, 1);

    EXPECT_TRUE(alta().cmdAddTemplateDB_Click(2));

    EXPECT_TRUE(e.msgBox.mostrados.empty());
    EXPECT_EQ(e.huella().TemplateCliente.Data, e.huella().TemplateCaptura.Data);
    EXPECT_EQ(e.huella().TemplateCliente.Size, e.huella().TemplateCaptura.Size);
}

TEST_F(AltaHuellaTest, EnroladoYGuardadoLaPuertaLoIdentifica) {
    e.base.clientes({EstacionHuellaPrueba::ConHuella(Cliente("a", kHoy, kHoy.addDays(9)), 3),
                     Cliente("nuevo", kHoy, kHoy.addDays(9))});
    e.Arrancar();
    e.Capturar(5, 1);
    ASSERT_TRUE(alta().cmdAddTemplateDB_Click(2));
    // Saving the record stores the template as it is kept.
    ASSERT_TRUE(e.db.cnClientes()
                    .Execute(QStringLiteral("UPDATE ClientesDB SET fldTemplate = ? WHERE ID = 2"),
                             {e.huella().TemplateCliente.Data})
                    .ok());

    SimuladorRele& placa = e.Placa();
    e.ventana.autoIdentificar = true;
    e.Capturar(5, 2);
    ASSERT_TRUE(EsperarBytes(placa, 5, EsperaGenerosa));
    const QStringList ids = LineasCon(QStringLiteral("Identif.:"));
    ASSERT_EQ(ids.size(), 1);
    EXPECT_TRUE(ids[0].contains(QStringLiteral("Identif.: Permitido  ID 2  [")))
        << qPrintable(ids[0]);
}

TEST_F(AltaHuellaTest, SinCapturaValidaNoSeEnrolaNada) {
    e.base.clientes({Cliente("a")});
    e.Arrancar();
    e.CapturarEnBlanco();
    e.msgBox.limpiar();

    EXPECT_FALSE(alta().cmdAddTemplateDB_Click(1));
    ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
    EXPECT_EQ(e.msgBox.mostrados[0].texto,
              QStringLiteral("No existe una huella valida que pueda ser añadida a la base de "
                             "datos.\r\nCapture una huella e intentelo de nuevo. Gracias"));
    EXPECT_EQ(e.msgBox.mostrados[0].titulo,
              QStringLiteral("Error añadiendo la huella a este cliente"));
}

TEST_F(AltaHuellaTest, MotorQueRehusaLaComprobacionNoDejaEnrolar) {
    e.base.clientes({EstacionHuellaPrueba::ConHuella(Cliente("a"), 3), Cliente("b")});
    e.Arrancar();
    QByteArray corrupta = PlantillaGuardada(4, 0);
    corrupta[40] = static_cast<char>(corrupta[40] ^ 0x5A);
    e.huella().TemplateCaptura = PlantillaHuella::DesdeGuardada(corrupta);
    const DuplicadosHuella d =
        HuellaDuplicada(e.flujo().galeria(), e.db.cnClientes(), e.huella().MotorHuellaCtrl(),
                        e.flujo().busqueda(), e.acceso.registro(), e.huella().TemplateCaptura, 2);
    ASSERT_LT(d.codigo, 0);
    e.pantalla.limpiar();

    EXPECT_FALSE(alta().cmdAddTemplateDB_Click(2));

    ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
    EXPECT_EQ(e.msgBox.mostrados[0].estilo, EstiloMsg::Informacion);
    EXPECT_EQ(e.msgBox.mostrados[0].titulo,
              QStringLiteral("Error añadiendo la huella a este cliente"));
    EXPECT_TRUE(e.msgBox.mostrados[0].texto.contains(QStringLiteral("no se ha añadido")));
    EXPECT_EQ(e.pantalla.log, QStringList{TextoErrorHuella(d.codigo)});
    EXPECT_FALSE(PlantillaValida(e.huella().TemplateCliente));
}

TEST_F(AltaHuellaTest, PlantillaGuardadaIlegibleSeOmiteYSeNombra) {
    QByteArray corrupta = PlantillaGuardada(3, 0);
    corrupta[40] = static_cast<char>(corrupta[40] ^ 0x5A);
    QVariantMap rota = Cliente("roto");
    rota.insert(QStringLiteral("fldTemplate"), corrupta);
    e.base.clientes({rota, EstacionHuellaPrueba::ConHuella(Cliente("b"), 3), Cliente("c")});
    e.Arrancar();
    e.Capturar(3, 1);
    e.pantalla.limpiar();

    EXPECT_FALSE(alta().cmdAddTemplateDB_Click(3));

    ASSERT_EQ(e.msgBox.mostrados.size(), 1u);
    EXPECT_TRUE(e.msgBox.mostrados[0].texto.startsWith(QStringLiteral("ID 2 b (")))
        << qPrintable(e.msgBox.mostrados[0].texto);
    EXPECT_EQ(e.pantalla.log,
              QStringList{kHora + QStringLiteral(" ->       Duplicada: Plantilla no valida en el "
                                                 "cliente ID 1, se omite.")});
}

TEST_F(AltaHuellaTest, VerificarDuranteLaEdicionUsaLaPlantillaSinGuardarYNoMueveLaPuerta) {
    e.base.clientes({EstacionHuellaPrueba::ConHuella(Cliente("a"), 3)});
    e.Arrancar();
    SimuladorRele& placa = e.Placa();
    // Member 1 is edited and given finger 4, not saved yet.
    e.Capturar(4, 1);
    ASSERT_TRUE(alta().cmdAddTemplateDB_Click(1));
    e.Capturar(4, 2);
    e.pantalla.limpiar();

    alta().cmdVerificarHuellaDB_Click(true, 1, PlantillaGuardada(3, 0));
    const QStringList si = LineasCon(QStringLiteral("Verificando"));
    ASSERT_EQ(si.size(), 1);
    EXPECT_TRUE(
        si[0].startsWith(kHora + QStringLiteral(" -> Verificando Huella con ID=1. Coincide! [")))
        << qPrintable(si[0]);

    // Outside the edit the stored template (finger 3) is the one compared.
    e.pantalla.limpiar();
    alta().cmdVerificarHuellaDB_Click(false, 1, PlantillaGuardada(3, 0));
    const QStringList no = LineasCon(QStringLiteral("Verificando"));
    ASSERT_EQ(no.size(), 1);
    EXPECT_TRUE(
        no[0].startsWith(kHora + QStringLiteral(" -> Verificando Huella con ID=1. No coincide! [")))
        << qPrintable(no[0]);

    EXPECT_TRUE(e.msgBox.mostrados.empty());
    ASSERT_TRUE(EsperarSilencio(placa));
    EXPECT_TRUE(placa.bytesRecibidos().empty());
    EXPECT_TRUE(e.pantalla.resultados.empty());
    EXPECT_TRUE(e.pantalla.info.empty());
}

TEST_F(AltaHuellaTest, VerificarSinPlantillaDelSocioLoDice) {
    e.base.clientes({Cliente("a")});
    e.Arrancar();
    e.Capturar(4, 1);

    alta().cmdVerificarHuellaDB_Click(true, 1, QVariant());
    alta().cmdVerificarHuellaDB_Click(false, 1, QVariant());

    ASSERT_EQ(e.msgBox.mostrados.size(), 2u);
    const QString segunda =
        QStringLiteral("\r\nAñada una huella a este cliente e intentelo de nuevo. Gracias");
    EXPECT_EQ(e.msgBox.mostrados[0].texto,
              QStringLiteral("La huella de este cliente de no es valida.") + segunda);
    EXPECT_EQ(e.msgBox.mostrados[1].texto,
              QStringLiteral("La huella de este cliente almacenada en la base de datos no es "
                             "valida.") +
                  segunda);
    for (const auto& m : e.msgBox.mostrados)
        EXPECT_EQ(m.titulo, QStringLiteral("Error verificando la huella de este cliente"));
    EXPECT_TRUE(LineasCon(QStringLiteral("Verificando")).isEmpty());
}

} // namespace
} // namespace portiva::prueba
