#include "RegistroEventos.h"
#include "ErroresHuella.h"
#include "PantallaPrueba.h"
#include "RelojFijo.h"

#include <gtest/gtest.h>

namespace portiva::prueba {
namespace {

TEST(RegistroEventos, LineasLlevanHoraYFlecha) {
    RelojFijo reloj(QDateTime(QDate(2026, 3, 1), QTime(7, 5, 9)));
    EXPECT_EQ(LineaLog(reloj, QStringLiteral("Apertura Manual del Torno")),
              QStringLiteral("07:05:09 -> Apertura Manual del Torno"));
    EXPECT_EQ(LineaLogDetalle(reloj, QStringLiteral("Identifi.: Huella no encontrada.")),
              QStringLiteral("07:05:09 ->       Identifi.: Huella no encontrada."));

    PantallaPrueba pantalla;
    RegistroEventos registro(pantalla, reloj);
    registro.Escribir(QStringLiteral("uno"));
    registro.EscribirDetalle(QStringLiteral("dos"));
    registro.EscribirLog(QStringLiteral("tres"));
    EXPECT_EQ(pantalla.log,
              QStringList({QStringLiteral("07:05:09 -> uno"),
                           QStringLiteral("07:05:09 ->       dos"), QStringLiteral("tres")}));
}

TEST(RegistroEventos, ErroresDeHuellaSinHora) {
    RelojFijo reloj;
    PantallaPrueba pantalla;
    RegistroEventos registro(pantalla, reloj);

    registro.MostrarErrorHuella(-997);
    registro.MostrarErrorHuella(-110);
    registro.MostrarErrorHuella(-50);
    registro.MostrarErrorHuella(-109);
    EXPECT_EQ(pantalla.log,
              QStringList({QStringLiteral("Plantilla de análisis no válida. (Error:-997)"),
                           QStringLiteral("La imagen posee una resolución demasiado grande o "
                                          "demasiado pequeña. (Error:-110)"),
                           QStringLiteral("Error:-50"),
                           QStringLiteral("La imagen es demasiado pequeña o demasiado grande.  "
                                          "(Error:-109)")}));
}

TEST(RegistroEventos, CadaCodigoDeLaTablaTieneSuTexto) {
    const long conocidos[] = {-1,   -2,   -5,   -6,   -7,   -8,   -107, -108,
                              -109, -110, -111, -112, -201, -202, -203, -204,
                              -205, -206, -207, -208, -209, -997, -998, -999};
    for (long codigo : conocidos) {
        const QString linea = TextoErrorHuella(codigo);
        EXPECT_TRUE(linea.endsWith(QStringLiteral("(Error:%1)").arg(codigo))) << codigo;
        EXPECT_GT(linea.size(), 20) << codigo;
    }
    EXPECT_EQ(TextoErrorHuella(-3), QStringLiteral("Error:-3"));
    EXPECT_EQ(TextoErrorHuella(-200), QStringLiteral("Error:-200"));
}

TEST(RegistroEventos, UnAnalisisFallidoDiceLaCausa) {
    EXPECT_EQ(CausaErrorAnalisis(-108),
              QStringLiteral("Causa: no se encontro una huella en la imagen."));
    EXPECT_EQ(CausaErrorAnalisis(-109),
              QStringLiteral("Causa: la imagen es demasiado pequeña o demasiado grande."));
    EXPECT_EQ(CausaErrorAnalisis(-110),
              QStringLiteral("Causa: la resolucion de la imagen no es valida."));
    EXPECT_EQ(CausaErrorAnalisis(-7), QStringLiteral("Causa: ") + TextoErrorHuella(-7));
}

TEST(RegistroEventos, NumeroConSignoDejaBlancoSoloANoNegativos) {
    EXPECT_EQ(NumeroConSigno(0), QStringLiteral(" 0"));
    EXPECT_EQ(NumeroConSigno(3), QStringLiteral(" 3"));
    EXPECT_EQ(NumeroConSigno(-3), QStringLiteral("-3"));
    // Codes outside the table, positive ones included, keep the sign place.
    EXPECT_EQ(TextoErrorHuella(7), QStringLiteral("Error: 7"));
}

} // namespace
} // namespace portiva::prueba
