// The duplicate check before an enrolment, taken from the door's gallery: for any table (with
// damaged values, numbers, texts, rows without a template, changes by another process just
// before) it lists and logs exactly what comparing every stored row of the file gives.
#include "EstacionHuellaPrueba.h"
#include "OtroProceso.h"

#include "CodigosMotor.h"
#include "ConsultaPreparada.h"
#include "GaleriaHuellas.h"
#include "HuellaDuplicada.h"

#include <gtest/gtest.h>

#include <random>

namespace portiva::prueba {
namespace {

struct Esperado {
    QString lista;
    QStringList log;
};

// Every row of the file compared one by one, in table order, as the check must answer.
Esperado CompararCadaFila(const QString& ruta, const QByteArray& captura, qint32 propio) {
    Esperado e;
    int codigo = 0;
    const auto q =
        motor::ConsultaPreparada::crear(reinterpret_cast<const std::uint8_t*>(captura.data()),
                                        static_cast<std::size_t>(captura.size()),
                                        {motor::MotorHuella::UmbralIdentificacionPorDefecto,
                                         motor::MotorHuella::RotacionIdentificacionPorDefecto},
                                        codigo);
    EXPECT_NE(q, nullptr);
    if (!q)
        return e;
    OtraConexion otra(ruta);
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(otra.db(), "SELECT ID, fldNombre, fldTemplate FROM ClientesDB", -1,
                                 &st, nullptr),
              SQLITE_OK);
    while (sqlite3_step(st) == SQLITE_ROW) {
        const qint64 id = sqlite3_column_int64(st, 0);
        if (sqlite3_column_type(st, 2) == SQLITE_NULL || id == propio)
            continue;
        const int tipo = sqlite3_column_type(st, 2);
        const QByteArray bytes =
            tipo == SQLITE_BLOB || tipo == SQLITE_TEXT
                ? QByteArray(static_cast<const char*>(sqlite3_column_blob(st, 2)),
                             sqlite3_column_bytes(st, 2))
                : QByteArray();
        int puntuacion = 0;
        const int r = bytes.isEmpty()
                          ? motor::codigo::ParametroNulo
                          : q->comparar(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                        static_cast<std::size_t>(bytes.size()), puntuacion);
        if (r < 0)
            e.log << QStringLiteral(
                         "10:30:00 ->       Duplicada: Plantilla no valida en el cliente ID %1, "
                         "se omite.")
                         .arg(id);
        else if (r == 1)
            e.lista += QStringLiteral("ID %1 %2 (%3%)\r\n")
                           .arg(id)
                           .arg(QString::fromUtf8(
                               reinterpret_cast<const char*>(sqlite3_column_text(st, 1))))
                           .arg(puntuacion);
    }
    sqlite3_finalize(st);
    return e;
}

TEST(DuplicadaGaleriaTest, DaLoQueDaCompararCadaFilaDelArchivo) {
    QByteArray corrupta = PlantillaGuardada(1, 0);
    corrupta[60] = static_cast<char>(corrupta[60] ^ 0x22);
    const std::vector<QString> valores = {Blob(PlantillaGuardada(0, 0)),
                                          Blob(PlantillaGuardada(1, 0)),
                                          Blob(PlantillaGuardada(2, 0)),
                                          Blob(PlantillaGuardada(0, 2)),
                                          Blob(corrupta),
                                          QStringLiteral("7"),
                                          QStringLiteral("NULL"),
                                          QStringLiteral("'texto'"),
                                          QStringLiteral("X''")};
    std::mt19937 g(909);
    EstacionHuellaPrueba e;
    QString sql;
    for (int i = 0; i < 24; ++i)
        sql += QStringLiteral("INSERT INTO ClientesDB (fldCodigo, fldNombre, fldTemplate) VALUES "
                              "('c%1', 'n%1', %2);")
                   .arg(i)
                   .arg(valores[g() % valores.size()]);
    EnOtroProceso(e.base.ruta(), sql);
    e.Arrancar();

    int conCoincidencias = 0;
    int conOmitidas = 0;
    for (int vuelta = 0; vuelta < 8; ++vuelta) {
        // Another program changes the table just before the check.
        QString cambios;
        for (int k = 0; k < 4; ++k) {
            const int id = 1 + static_cast<int>(g() % 30);
            cambios += g() % 3 == 0
                           ? QStringLiteral("DELETE FROM ClientesDB WHERE ID = %1;").arg(id)
                           : QStringLiteral("INSERT OR REPLACE INTO ClientesDB (ID, fldCodigo, "
                                            "fldNombre, fldTemplate) VALUES (%1, 'r', 'm%1', %2);")
                                 .arg(id)
                                 .arg(valores[g() % valores.size()]);
        }
        EnOtroProceso(e.base.ruta(), cambios);
        const int dedo = vuelta % 3;
        const qint32 propio = 1 + static_cast<qint32>(g() % 30);
        e.huella().TemplateCaptura = PlantillaHuella::DesdeGuardada(PlantillaGuardada(dedo, 1));
        e.pantalla.limpiar();
        const DuplicadosHuella d = HuellaDuplicada(
            e.flujo().galeria(), e.db.cnClientes(), e.huella().MotorHuellaCtrl(),
            e.flujo().busqueda(), e.acceso.registro(), e.huella().TemplateCaptura, propio);
        const Esperado esperado =
            CompararCadaFila(e.base.ruta(), PlantillaGuardada(dedo, 1), propio);
        const std::string donde = "vuelta " + std::to_string(vuelta);
        EXPECT_EQ(d.codigo, 0) << donde;
        EXPECT_EQ(d.lista, esperado.lista) << donde;
        EXPECT_EQ(e.pantalla.log, esperado.log) << donde;
        conCoincidencias += !esperado.lista.isEmpty();
        conOmitidas += !esperado.log.isEmpty();
    }
    // The tables did exercise matches and skipped values.
    EXPECT_GT(conCoincidencias, 2);
    EXPECT_GT(conOmitidas, 2);
}

} // namespace
} // namespace portiva::prueba
