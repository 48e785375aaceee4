// The record form over a real member database: a row shown in the boxes and copied back,
// the jump to a position, the counts, the status line of each row and the record actions
// that end an edit.

#include "ComboBloqueable.h"
#include "DbClientes.h"
#include "VentanaPrueba.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace portiva;
using namespace portiva::prueba;

namespace {

QVariantMap Fila(std::initializer_list<std::pair<const char*, QVariant>> campos) {
    QVariantMap fila;
    for (const auto& [campo, valor] : campos)
        fila.insert(QString::fromLatin1(campo), valor);
    return fila;
}

class Ficha : public VentanaPrueba {
protected:
    QString mdb() const { return carpeta.archivo(QStringLiteral("Portiva.mdb")); }
    void insertar(const std::vector<QVariantMap>& filas) {
        ASSERT_TRUE(CreadorBaseDatos::Insertar(mdb(), QStringLiteral("ClientesDB"), filas).ok());
    }
    void servicios() {
        ASSERT_TRUE(CreadorBaseDatos::Insertar(mdb(), QStringLiteral("ServiciosDB"),
                                               {Servicio(QStringLiteral("Mensual"), 30),
                                                Servicio(QStringLiteral("Trimestral"), 80)})
                        .ok());
    }
    void arrancarCon(const std::vector<QVariantMap>& filas) {
        servicios();
        insertar(filas);
        ASSERT_TRUE(arrancar());
        ventana->DesplegarInfo(true);
    }
    QLineEdit* caja(const char* nombre) { return control<QLineEdit>(nombre); }
    QString texto(const char* nombre) { return caja(nombre)->text(); }
};

const QByteArray Plantilla("PTVH\x01plantilla-de-prueba\x00", 26);

TEST_F(Ficha, ARowShowsInItsBoxesAndGoesBackUnchanged) {
    arrancarCon({Fila({{"fldCodigo", "A-7"},
                       {"fldNombre", "Ana Torres"},
                       {"fldNomFiscal", QVariant()},
                       {"fldFechaInscripcion", QDate(2026, 9, 2)},
                       {"fldFechaInicio", QDate(2026, 12, 1)},
                       {"fldFechaCaducidad", QDateTime(QDate(2027, 1, 1), QTime(18, 30))},
                       {"fldServContratado", "Trimestral"},
                       {"fldPrecio", 30.0},
                       {"fldFotoPath", ""},
                       {"fldStuffSiNo", false},
                       {"fldTemplate", Plantilla}})});

    EXPECT_EQ(texto("txtID"), QStringLiteral("1"));
    EXPECT_EQ(texto("txtCodigo"), QStringLiteral("A-7"));
    EXPECT_EQ(texto("txtNombre"), QStringLiteral("Ana Torres"));
    EXPECT_EQ(texto("txtNomFiscal"), QString()); // Null shows empty
    EXPECT_EQ(texto("txtPrecio"), QStringLiteral(" 30"));
    EXPECT_EQ(texto("txtFechaInscripcion"), QStringLiteral("02/09/2026"));
    EXPECT_EQ(texto("txtFechaInicio"), QStringLiteral("01/12/2026"));
    EXPECT_EQ(texto("txtFechaCaducidad"), QStringLiteral("01/01/2027 18:30:00"));
    auto* servicio = control<ComboBloqueable>("cboServContratado");
    EXPECT_EQ(servicio->currentText(), QStringLiteral("Trimestral"));
    EXPECT_EQ(servicio->currentIndex(), 1);
    EXPECT_EQ(servicio->itemData(1).toInt(), 2); // the service's ID rides with its name
    EXPECT_EQ(texto("txtTemplateSiNo"), QStringLiteral("SI"));
    EXPECT_TRUE(control<QPushButton>("cmdVerificarHuellaDB")->isEnabled());
    EXPECT_EQ(huellaFalsa->plantilla, Plantilla); // the stored bytes, extra byte included
    EXPECT_EQ(texto("txtStuffSiNo"), QStringLiteral("NO"));

    // Saved again without a change: every field reads back as it was.
    ASSERT_TRUE(ventana->TextToRecordSet());
    ASSERT_TRUE(ventana->db().rsClientes().Update().ok());
    EXPECT_EQ(almacenado(1, "fldCodigo"), QVariant(QStringLiteral("A-7")));
    EXPECT_EQ(almacenado(1, "fldFechaInscripcion"), QVariant(QDate(2026, 9, 2)));
    EXPECT_EQ(almacenado(1, "fldFechaCaducidad"),
              QVariant(QDateTime(QDate(2027, 1, 1), QTime(18, 30))));
    EXPECT_EQ(almacenado(1, "fldPrecio").toDouble(), 30.0);
    EXPECT_EQ(almacenado(1, "fldServContratado"), QVariant(QStringLiteral("Trimestral")));
    EXPECT_EQ(almacenado(1, "fldStuffSiNo").toBool(), false);
    EXPECT_EQ(almacenado(1, "fldTemplate").toByteArray(), Plantilla);
    EXPECT_TRUE(msgBox.mostrados.empty());
}

TEST_F(Ficha, NullFieldsShowAsTheFormShowsNothing) {
    arrancarCon({Fila({{"fldCodigo", QVariant()},
                       {"fldNombre", QVariant()},
                       {"fldPrecio", QVariant()},
                       {"fldServContratado", QVariant()},
                       {"fldStuffSiNo", true}})});
    EXPECT_EQ(texto("txtCodigo"), QString());
    EXPECT_EQ(texto("txtPrecio"), QStringLiteral(" 0"));
    EXPECT_EQ(texto("txtFechaInicio"), QString());
    EXPECT_EQ(control<ComboBloqueable>("cboServContratado")->currentText(), QString());
    EXPECT_EQ(texto("txtTemplateSiNo"), QStringLiteral("NO"));
    EXPECT_FALSE(control<QPushButton>("cmdVerificarHuellaDB")->isEnabled());
    EXPECT_EQ(texto("txtStuffSiNo"), QStringLiteral("SI"));
    EXPECT_EQ(control<QLabel>("lblInfoDB")->text(),
              QStringLiteral("La fecha de los miembros de la plantilla no caduca. "));

    // Saved as shown: empty dates stay empty and no template appears.
    ASSERT_TRUE(ventana->TextToRecordSet());
    ASSERT_TRUE(ventana->db().rsClientes().Update().ok());
    EXPECT_TRUE(almacenado(1, "fldFechaInicio").isNull());
    EXPECT_TRUE(almacenado(1, "fldTemplate").isNull());
    EXPECT_EQ(almacenado(1, "fldPrecio").toDouble(), 0.0);
    EXPECT_EQ(almacenado(1, "fldStuffSiNo").toBool(), true);
}

TEST_F(Ficha, TypedValuesAreStoredAsTheStationReadsThem) {
    arrancarCon({Cliente(QStringLiteral("A1"), QDate(2026, 12, 1), QDate(2027, 1, 1))});
    click("imgEditarCliente");
    ASSERT_TRUE(ventana->estado().ModoEdicion);
    caja("txtNombre")->setText(QStringLiteral("Ana María"));
    caja("txtFechaInscripcion")->setText(QStringLiteral("2/9/2026"));
    caja("txtPrecio")->setText(QStringLiteral("25,5"));
    caja("txtFechaInicio")->setText(QStringLiteral("3/1/2027"));
    caja("txtFechaCaducidad")->setText(QStringLiteral("03-02-27"));
    caja("txtStuffSiNo")->setText(QStringLiteral("SI"));
    control<ComboBloqueable>("cboServContratado")->setEditText(QStringLiteral("Anual"));
    click("imgGuardarCliente");

    EXPECT_TRUE(msgBox.mostrados.empty());
    EXPECT_FALSE(ventana->estado().ModoEdicion);
    EXPECT_EQ(almacenado(1, "fldNombre"), QVariant(QStringLiteral("Ana María")));
    EXPECT_EQ(almacenado(1, "fldPrecio").toDouble(), 25.5); // the Spanish decimal comma
    EXPECT_EQ(almacenado(1, "fldFechaInscripcion"), QVariant(QDate(2026, 9, 2)));
    EXPECT_EQ(almacenado(1, "fldFechaInicio"), QVariant(QDate(2027, 1, 3)));
    EXPECT_EQ(almacenado(1, "fldFechaCaducidad"), QVariant(QDate(2027, 2, 3)));
    EXPECT_EQ(almacenado(1, "fldStuffSiNo").toBool(), true);
    EXPECT_EQ(almacenado(1, "fldServContratado"), QVariant(QStringLiteral("Anual")));
    // After the save the boxes show what was stored; the counts follow the row.
    EXPECT_EQ(texto("txtPrecio"), QStringLiteral(" 25,50"));
    EXPECT_EQ(texto("txtFechaCaducidad"), QStringLiteral("03/02/2027"));
    EXPECT_EQ(control<QLabel>("lblResult_Personal")->text(), QStringLiteral("1"));
    EXPECT_EQ(control<QLabel>("lblInfoDB")->text(),
              QStringLiteral("La fecha de los miembros de la plantilla no caduca. "));
}

TEST_F(Ficha, AnImpossibleDateIsRefusedAndNothingIsWritten) {
    arrancarCon({Cliente(QStringLiteral("A1"), QDate(2026, 12, 1), QDate(2027, 1, 1), false,
                         QStringLiteral("Ana"))});
    click("imgEditarCliente");
    caja("txtNombre")->setText(QStringLiteral("Otro nombre"));
    caja("txtFechaInscripcion")->setText(QStringLiteral("02/09/2026"));
    caja("txtFechaCaducidad")->setText(QStringLiteral("31/02/2027"));
    click("imgGuardarCliente");

    // The checks before the save refuse it.
    ASSERT_EQ(msgBox.mostrados.size(), 1u);
    EXPECT_EQ(msgBox.ultimo().estilo, 48);
    EXPECT_EQ(msgBox.ultimo().titulo, QStringLiteral("Guardando datos de Cliente..."));
    EXPECT_EQ(msgBox.ultimo().texto,
              QStringLiteral("Error 13 (las fechas de inicio y caducidad deben ser fechas "
                             "validas, escritas como dd/mm/aaaa) comprobando los datos."));
    // A date that gets past the checks is still refused by the copy into the row.
    msgBox.limpiar();
    ASSERT_FALSE(ventana->TextToRecordSet());
    ASSERT_EQ(msgBox.mostrados.size(), 1u);
    EXPECT_EQ(msgBox.ultimo().texto,
              QStringLiteral("Error 13 (la casilla Fcha. Caduc. no tiene una fecha valida: "
                             "\"31/02/2027\"; escriba la fecha como dd/mm/aaaa) guardando los "
                             "datos en la base de datos."));
    // Nothing of the edit reached the row, and the edit goes on with the typed text.
    EXPECT_EQ(almacenado(1, "fldNombre"), QVariant(QStringLiteral("Ana")));
    EXPECT_EQ(almacenado(1, "fldFechaCaducidad"), QVariant(QDate(2027, 1, 1)));
    EXPECT_TRUE(ventana->estado().ModoEdicion);
    EXPECT_EQ(texto("txtNombre"), QStringLiteral("Otro nombre"));
    // Moving to another row does not store the half-typed edit either.
    EXPECT_EQ(ventana->db().rsClientes().Valor(QStringLiteral("fldNombre")).valor(),
              QVariant(QStringLiteral("Ana")));
}

TEST_F(Ficha, TheStaffBoxAndTheTemplateOfAnEnrolledFinger) {
    arrancarCon({Cliente(QStringLiteral("A1"), QDate(2026, 12, 1), QDate(2027, 1, 1))});
    click("imgEditarCliente");
    caja("txtFechaInscripcion")->setText(QStringLiteral("02/09/2026"));
    caja("txtStuffSiNo")->setText(QStringLiteral("si")); // only "SI" or "NO" may be saved
    huellaFalsa->plantilla = Plantilla;                  // a finger enrolled during the edit
    click("imgGuardarCliente");
    EXPECT_TRUE(ventana->estado().ModoEdicion);
    EXPECT_TRUE(almacenado(1, "fldTemplate").isNull());
    caja("txtStuffSiNo")->setText(QStringLiteral("NO"));
    control<ComboBloqueable>("cboServContratado")->setCurrentIndex(0);
    msgBox.responder(Respuesta::No); // keep the typed expiry date
    click("imgGuardarCliente");
    EXPECT_FALSE(ventana->estado().ModoEdicion);
    EXPECT_EQ(almacenado(1, "fldStuffSiNo").toBool(), false);
    EXPECT_EQ(almacenado(1, "fldTemplate").toByteArray(), Plantilla);
    EXPECT_EQ(texto("txtTemplateSiNo"), QStringLiteral("SI"));
    EXPECT_TRUE(control<QPushButton>("cmdVerificarHuellaDB")->isEnabled());
}

TEST_F(Ficha, UndoShowsTheStoredRowAndDropsAnEnrolledFinger) {
    arrancarCon({Cliente(QStringLiteral("A1"), QDate(2026, 12, 1), QDate(2027, 1, 1), false,
                         QStringLiteral("Ana"))});
    control<QCheckBox>("chkInformacionAmpliada")->setChecked(true);
    click("imgEditarCliente");
    EXPECT_FALSE(control<QCheckBox>("chkInformacionAmpliada")->isChecked());
    caja("txtNombre")->setText(QStringLiteral("Cambiado"));
    huellaFalsa->plantilla = Plantilla;
    click("imgDeshacerEdicion");
    EXPECT_FALSE(ventana->estado().ModoEdicion);
    EXPECT_EQ(texto("txtNombre"), QStringLiteral("Ana"));
    EXPECT_TRUE(huellaFalsa->plantilla.isEmpty());
    EXPECT_EQ(texto("txtTemplateSiNo"), QStringLiteral("NO"));
    EXPECT_TRUE(almacenado(1, "fldTemplate").isNull());
    EXPECT_TRUE(control<QCheckBox>("chkInformacionAmpliada")->isChecked());
}

TEST_F(Ficha, NewThenUndoComesBackToTheRowShownBefore) {
    std::vector<QVariantMap> filas;
    for (int i = 1; i <= 5; ++i)
        filas.push_back(
            Cliente(QStringLiteral("C%1").arg(i), QDate(2026, 12, 1), QDate(2027, 1, 1)));
    arrancarCon(filas);
    ventana->gotoRecordNum(3);
    click("imgNuevoCliente");
    EXPECT_TRUE(ventana->estado().ModoEdicion);
    EXPECT_EQ(texto("txtNavReg"), QStringLiteral(" 6"));
    EXPECT_EQ(control<QLabel>("lblInfoDB")->text(),
              QStringLiteral("Añadiendo un nuevo registro a la base de datos."));
    click("imgDeshacerEdicion");
    EXPECT_EQ(texto("txtNavReg"), QStringLiteral(" 3"));
    EXPECT_EQ(texto("txtRegTotales"), QStringLiteral(" 5"));
    EXPECT_EQ(texto("txtCodigo"), QStringLiteral("C3"));
    EXPECT_EQ(control<QLabel>("lblResult_TotalRegistros")->text(), QStringLiteral("5"));
}

TEST_F(Ficha, NewOnAnEmptyTableThenUndoLeavesItEmpty) {
    servicios();
    ASSERT_TRUE(arrancar());
    msgBox.responder(Respuesta::Si);
    click("imgEditarCliente"); // empty table: offers a new record
    EXPECT_TRUE(ventana->estado().RegistroNuevo);
    click("imgDeshacerEdicion");
    EXPECT_EQ(ventana->db().rsClientes().RecordCount(), 0);
    EXPECT_EQ(texto("txtID"), QString());
    EXPECT_EQ(control<QLabel>("lblInfoDB")->text(),
              QStringLiteral("La base de datos de clientes esta vacia..."));
}

TEST_F(Ficha, JumpToAPositionStaysWithinTheList) {
    arrancarCon({Cliente(QStringLiteral("A1"), QDate(2026, 12, 1), QDate(2027, 1, 1)),
                 Cliente(QStringLiteral("B2"), QDate(2026, 12, 9), QDate(2027, 1, 1)),
                 Cliente(QStringLiteral("C3"), QDate(2026, 1, 1), QDate(2026, 12, 1))});
    ventana->gotoRecordNum(2);
    EXPECT_EQ(texto("txtCodigo"), QStringLiteral("B2"));
    EXPECT_EQ(texto("txtNavReg"), QStringLiteral(" 2"));
    EXPECT_EQ(control<QLabel>("lblInfoDB")->text(),
              QStringLiteral("A este cliente le faltan 1 dia(s) para su inicio."));

    // Outside the list: the member stays, the counter shows its position again.
    for (qint16 fuera : {qint16(0), qint16(-1), qint16(4), qint16(32767)}) {
        caja("txtNavReg")->setText(QStringLiteral("99"));
        ventana->gotoRecordNum(fuera);
        EXPECT_EQ(texto("txtCodigo"), QStringLiteral("B2")) << fuera;
        EXPECT_EQ(texto("txtNavReg"), QStringLiteral(" 2")) << fuera;
    }
    ventana->gotoRecordNum(3);
    EXPECT_EQ(texto("txtCodigo"), QStringLiteral("C3"));
    EXPECT_EQ(control<QLabel>("lblInfoDB")->text(),
              QStringLiteral("Tiene la fecha cadudada desde hace 7 dia(s)."));
    ventana->gotoRecordNum(1);
    EXPECT_EQ(control<QLabel>("lblInfoDB")->text(),
              QStringLiteral("Le faltan 24 dia(s) para terminar, lleva 7 dias(s)."));
}

TEST_F(Ficha, TheMoveButtonsWalkTheListRoundAndShowTheStatus) {
    arrancarCon({Cliente(QStringLiteral("A1"), QDate(2026, 12, 8), QDate(2026, 12, 8)),
                 Cliente(QStringLiteral("B2"), QDate(2026, 12, 8), QDate(2027, 1, 7))});
    EXPECT_EQ(control<QLabel>("lblInfoDB")->text(),
              QStringLiteral("A este cliente le caduca hoy su fecha."));
    click("cmdMover(1)"); // previous from the first: the last
    EXPECT_EQ(texto("txtCodigo"), QStringLiteral("B2"));
    EXPECT_EQ(control<QLabel>("lblInfoDB")->text(),
              QStringLiteral("Le faltan 30 dia(s) para terminar, es su primer dia."));
    click("cmdMover(2)"); // next from the last: the first
    EXPECT_EQ(texto("txtCodigo"), QStringLiteral("A1"));
    EXPECT_EQ(texto("txtNavReg"), QStringLiteral(" 1"));
}

TEST_F(Ficha, TheCountsAndTheStatisticsLabel) {
    arrancarCon({Cliente(QStringLiteral("P"), QVariant(), QVariant(), true),
                 Cliente(QStringLiteral("A"), QDate(2026, 12, 8), QDate(2026, 12, 9)),
                 Cliente(QStringLiteral("X"), QDate(2026, 12, 1), QDate(2026, 12, 8)),
                 Cliente(QStringLiteral("N"), QDate(2026, 12, 9), QDate(2027, 12, 9))});
    EXPECT_EQ(control<QLabel>("lblResult_Personal")->text(), QStringLiteral("1"));
    EXPECT_EQ(control<QLabel>("lblResult_ClientesPermitidos")->text(), QStringLiteral("1"));
    EXPECT_EQ(control<QLabel>("lblResult_ClientesNoPermitidos")->text(), QStringLiteral("2"));
    EXPECT_EQ(control<QLabel>("lblResult_TotalRegistros")->text(), QStringLiteral("4"));

    // The counts are not live: a click on "Estadistica" recounts.
    insertar({Cliente(QStringLiteral("P2"), QVariant(), QVariant(), true)});
    EXPECT_EQ(control<QLabel>("lblResult_Personal")->text(), QStringLiteral("1"));
    QTest::mouseClick(control<QLabel>("lblEstadistica"), Qt::LeftButton);
    EXPECT_EQ(control<QLabel>("lblResult_Personal")->text(), QStringLiteral("2"));
    EXPECT_EQ(control<QLabel>("lblResult_TotalRegistros")->text(), QStringLiteral("5"));
}

TEST_F(Ficha, APhotoThatIsNoPictureStillShowsTheWholeRow) {
    const QString rota = carpeta.archivo(QStringLiteral("rota.jpg"));
    {
        QFile f(rota);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("no es una imagen");
    }
    arrancarCon({Fila({{"fldCodigo", "P1"},
                       {"fldFotoPath", rota},
                       {"fldStuffSiNo", true},
                       {"fldTemplate", Plantilla}})});
    ASSERT_EQ(arranque.size(), 1u);
    EXPECT_EQ(arranque[0].titulo, QStringLiteral("Mostrando los datos del Cliente actual..."));
    EXPECT_TRUE(arranque[0].texto.startsWith(QStringLiteral("Error 481 (")));
    EXPECT_TRUE(arranque[0].texto.endsWith(
        QStringLiteral(") cargando los valores de la Base de Datos en las cajas de texto.")));
    // The boxes after the photo belong to this member too.
    EXPECT_EQ(texto("txtFotoPath"), rota);
    EXPECT_EQ(texto("txtTemplateSiNo"), QStringLiteral("SI"));
    EXPECT_EQ(texto("txtStuffSiNo"), QStringLiteral("SI"));
}

} // namespace

TEST_F(Ficha, AddAndVerifyHandTheShownMemberToTheFingerprintSide) {
    QVariantMap completa = Cliente(QStringLiteral("B2"), QDate(2026, 12, 1), QDate(2026, 12, 31));
    completa.insert(QStringLiteral("fldFechaInscripcion"), QDate(2026, 12, 1));
    completa.insert(QStringLiteral("fldServContratado"), QStringLiteral("Mensual"));
    completa.insert(QStringLiteral("fldPrecio"), 30.0);
    arrancarCon({Cliente(QStringLiteral("A1")), completa});
    ventana->gotoRecordNum(2);
    EXPECT_EQ(texto("txtTemplateSiNo"), QStringLiteral("NO"));
    EXPECT_FALSE(control<QPushButton>("cmdAddTemplateDB")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("cmdVerificarHuellaDB")->isEnabled());

    // A refused enrolment leaves the form as it was.
    click("imgEditarCliente");
    huellaFalsa->respuestaAnadir = false;
    pasos.clear();
    click("cmdAddTemplateDB");
    EXPECT_EQ(pasos, QStringList{QStringLiteral("huella.Anadir 2")});
    EXPECT_EQ(texto("txtTemplateSiNo"), QStringLiteral("NO"));
    EXPECT_FALSE(control<QPushButton>("cmdVerificarHuellaDB")->isEnabled());

    huellaFalsa->respuestaAnadir = true;
    click("cmdAddTemplateDB");
    EXPECT_EQ(texto("txtTemplateSiNo"), QStringLiteral("SI"));
    ASSERT_TRUE(control<QPushButton>("cmdVerificarHuellaDB")->isEnabled());
    pasos.clear();
    click("cmdVerificarHuellaDB");
    EXPECT_EQ(pasos, QStringList{QStringLiteral("huella.Verificar edicion 2 nula")});
    EXPECT_TRUE(almacenado(2, "fldTemplate").isNull()); // only a save stores it

    click("imgGuardarCliente");
    EXPECT_TRUE(msgBox.mostrados.empty());
    ASSERT_FALSE(ventana->estado().ModoEdicion);
    EXPECT_FALSE(almacenado(2, "fldTemplate").isNull());
    pasos.clear();
    click("cmdVerificarHuellaDB");
    EXPECT_EQ(pasos, QStringList{QStringLiteral("huella.Verificar vista 2 guardada")});
}

// The form reads a member's template from the file when it shows the member: a template
// another program stored (or removed) since the database was opened is the one shown, and a
// save of other fields keeps it instead of writing back an older copy.
TEST_F(Ficha, TheTemplateShownAndSavedIsTheOneTheFileHoldsWhenTheMemberIsShown) {
    std::vector<QVariantMap> filas;
    for (const char* codigo : {"A1", "A2", "A3"}) {
        QVariantMap fila =
            Cliente(QString::fromLatin1(codigo), QDate(2026, 12, 1), QDate(2026, 12, 31));
        fila.insert(QStringLiteral("fldFechaInscripcion"), QDate(2026, 11, 20));
        fila.insert(QStringLiteral("fldServContratado"), QStringLiteral("Mensual"));
        fila.insert(QStringLiteral("fldTemplate"), Plantilla);
        filas.push_back(fila);
    }
    arrancarCon(filas);
    const QByteArray otra("PTVH\x01otra-plantilla\x00", 20);
    Conexion otroPrograma(reloj);
    otroPrograma.setConnectionString(mdb());
    ASSERT_TRUE(otroPrograma.Open().ok());
    ASSERT_TRUE(
        otroPrograma
            .Execute(QStringLiteral("UPDATE ClientesDB SET fldTemplate = ? WHERE ID = 2"), {otra})
            .ok());
    ASSERT_TRUE(
        otroPrograma
            .Execute(QStringLiteral("UPDATE ClientesDB SET fldTemplate = NULL WHERE ID = 3"))
            .ok());

    ventana->gotoRecordNum(2);
    EXPECT_EQ(texto("txtTemplateSiNo"), QStringLiteral("SI"));
    EXPECT_EQ(huellaFalsa->plantilla, otra);
    click("imgEditarCliente");
    ASSERT_TRUE(ventana->estado().ModoEdicion);
    caja("txtNombre")->setText(QStringLiteral("Luis"));
    click("imgGuardarCliente");
    EXPECT_TRUE(msgBox.mostrados.empty());
    EXPECT_EQ(almacenado(2, "fldNombre"), QVariant(QStringLiteral("Luis")));
    EXPECT_EQ(almacenado(2, "fldTemplate").toByteArray(), otra);

    ventana->gotoRecordNum(3);
    EXPECT_EQ(texto("txtTemplateSiNo"), QStringLiteral("NO"));
    EXPECT_FALSE(control<QPushButton>("cmdVerificarHuellaDB")->isEnabled());
}
