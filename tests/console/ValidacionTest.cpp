// The record checks before a save, the date boxes and the expiry date, the record actions
// that go through the checks, and stored values the form cannot read, over a real member
// database with scripted message boxes.

#include "ComboBloqueable.h"
#include "DbClientes.h"
#include "GloboTexto.h"
#include "ReglaAcceso.h"
#include "VentanaPrueba.h"

#include <QFocusEvent>
#include <QLineEdit>

using namespace portiva;
using namespace portiva::prueba;

namespace {

class Validacion : public VentanaPrueba {
protected:
    QString mdb() const { return carpeta.archivo(QStringLiteral("Portiva.mdb")); }
    void arrancarCon(const std::vector<QVariantMap>& filas,
                     const std::vector<QVariantMap>& servicios = {
                         Servicio(QStringLiteral("Mensual"), 30, QStringLiteral("d"), 30),
                         Servicio(QStringLiteral("Bono 10 d'Or"), 45, QStringLiteral("m"), 1)}) {
        const bool conServicios =
            servicios.empty() ||
            CreadorBaseDatos::Insertar(mdb(), QStringLiteral("ServiciosDB"), servicios).ok();
        const bool conFilas =
            filas.empty() ||
            CreadorBaseDatos::Insertar(mdb(), QStringLiteral("ClientesDB"), filas).ok();
        ASSERT_TRUE(conServicios && conFilas);
        ASSERT_TRUE(arrancar());
        ventana->DesplegarInfo(true);
    }
    static QVariantMap Miembro(const char* codigo, const char* nombre = "Ana") {
        QVariantMap m = Cliente(QString::fromLatin1(codigo), QDate(2009, 1, 1), QDate(2009, 1, 31),
                                false, QString::fromUtf8(nombre));
        m.insert(QStringLiteral("fldFechaInscripcion"), QDate(2008, 12, 20));
        m.insert(QStringLiteral("fldServContratado"), QStringLiteral("Mensual"));
        m.insert(QStringLiteral("fldPrecio"), 30.0);
        return m;
    }
    QLineEdit* caja(const char* nombre) { return control<QLineEdit>(nombre); }
    ComboBloqueable* servicio() { return control<ComboBloqueable>("cboServContratado"); }
    long filas(const char* tabla) {
        Recordset rs;
        EXPECT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ") + QString::fromLatin1(tabla),
                            ventana->db().cnClientes())
                        .ok());
        return rs.RecordCount();
    }
    QStringList textos() {
        QStringList t;
        for (const auto& m : msgBox.mostrados)
            t << m.texto;
        return t;
    }
    const GloboTexto& globo() { return ventana->globos().globo(); }
    QWidget* cajaGlobo() { return ventana->globos().hWndBalloon(); }
    static void foco(QWidget* w, QEvent::Type tipo) {
        QFocusEvent e(tipo, Qt::TabFocusReason);
        QApplication::sendEvent(w, &e);
    }
    QString posicion() { return caja("txtNavReg")->text().trimmed(); }
};

} // namespace

TEST_F(Validacion, StaffFlagAndNameAreRefusedByABalloonAtOnce) {
    arrancarCon({Miembro("A1")});
    click("imgEditarCliente");
    caja("txtStuffSiNo")->setText(QStringLiteral("No "));
    caja("txtNombre")->setText(QString());
    click("imgGuardarCliente");
    EXPECT_TRUE(msgBox.mostrados.empty());
    EXPECT_EQ(cajaGlobo(), caja("txtStuffSiNo"));
    EXPECT_EQ(globo().titulo(), QStringLiteral("Campo no valido"));

    caja("txtStuffSiNo")->setText(QStringLiteral("NO"));
    caja("txtNombre")->setText(QStringLiteral("   "));
    click("imgGuardarCliente");
    EXPECT_TRUE(msgBox.mostrados.empty());
    EXPECT_EQ(cajaGlobo(), caja("txtNombre"));
    EXPECT_EQ(globo().titulo(), QStringLiteral("Campo vacio"));
    EXPECT_EQ(caja("txtNombre")->text(), QString()); // trimmed in place
    EXPECT_TRUE(ventana->estado().ModoEdicion);
    EXPECT_EQ(almacenado(1, "fldNombre"), QVariant(QStringLiteral("Ana")));
}

TEST_F(Validacion, EveryLaterCheckShowsOneBoxInStepOrder) {
    arrancarCon({Miembro("A1"), Miembro("B2", "Luis")});
    click("imgEditarCliente");
    caja("txtFechaInscripcion")->setText(QString());
    caja("txtFechaInicio")->setText(QStringLiteral("02/02/2009"));
    caja("txtFechaCaducidad")->setText(QStringLiteral("01/02/2009"));
    caja("txtPrecio")->setText(QString());
    servicio()->setEditText(QStringLiteral("  "));
    caja("txtCodigo")->setText(QStringLiteral(" B2 "));
    click("imgGuardarCliente");
    EXPECT_EQ(textos(),
              QStringList({QStringLiteral("Debe introducir una fecha de inscripcion valida"),
                           QStringLiteral("La fecha de Inicio no puede ser mayor que la fecha de "
                                          "Caducidad"),
                           QStringLiteral("Debe introducir un precio por el Servicio Cantratado "
                                          "valido"),
                           QStringLiteral("Debe introducir un Servicio Contratado valido"),
                           QStringLiteral("El Cliente ID = 2 ya posee este Codigo.\r\nPor favor "
                                          "elija otro número o deje el campo en blanco.")}));
    for (const auto& m : msgBox.mostrados) {
        EXPECT_EQ(m.estilo, 64);
        EXPECT_EQ(m.titulo, QStringLiteral("Guardando datos de Cliente..."));
    }
    EXPECT_EQ(caja("txtCodigo")->text(), QStringLiteral("B2"));
    EXPECT_TRUE(ventana->estado().ModoEdicion);
    EXPECT_EQ(almacenado(1, "fldCodigo"), QVariant(QStringLiteral("A1")));

    // An empty start date: its box, then the error box, and no code check.
    msgBox.limpiar();
    caja("txtFechaInscripcion")->setText(QStringLiteral("01/01/2009"));
    caja("txtFechaInicio")->setText(QString());
    click("imgGuardarCliente");
    ASSERT_EQ(msgBox.mostrados.size(), 2u);
    EXPECT_EQ(msgBox.mostrados[0].texto,
              QStringLiteral("Debe introducir una fecha de inicio valida"));
    EXPECT_EQ(msgBox.mostrados[1].estilo, 48);
    EXPECT_TRUE(msgBox.mostrados[1].texto.endsWith(QStringLiteral(") comprobando los datos.")));

    // Staff need neither dates, price nor service.
    msgBox.limpiar();
    caja("txtCodigo")->setText(QString());
    caja("txtStuffSiNo")->setText(QStringLiteral("SI"));
    caja("txtFechaCaducidad")->setText(QString());
    click("imgGuardarCliente");
    EXPECT_TRUE(msgBox.mostrados.empty());
    EXPECT_FALSE(ventana->estado().ModoEdicion);
    EXPECT_EQ(almacenado(1, "fldStuffSiNo").toBool(), true);
}

TEST_F(Validacion, AServiceNameWithAQuoteIsAddedFoundAndCorrectsTheExpiry) {
    arrancarCon({Miembro("A1")}, {});
    EXPECT_EQ(servicio()->count(), 0);
    click("imgEditarCliente");
    servicio()->setEditText(QStringLiteral("Pase d'Oro "));
    caja("txtPrecio")->setText(QStringLiteral("29,90"));
    msgBox.responder(Respuesta::Si);
    click("imgGuardarCliente");
    ASSERT_EQ(msgBox.mostrados.size(), 1u);
    EXPECT_EQ(msgBox.ultimo().estilo, 35);
    EXPECT_EQ(msgBox.ultimo().texto,
              QStringLiteral("No ha escogido un Servicio Contratado de la lista, desea dar de alta "
                             "este servicio?\r\n\r\n    Nombre del Servicio = Pase d'Oro\r\n    "
                             "Precio = 29,90 euros\r\n    Número de días = 30\r\n\r\n(pulse "
                             "cancelar si desea corregir estos valores)"));
    EXPECT_FALSE(ventana->estado().ModoEdicion);
    EXPECT_EQ(servicio()->count(), 1);
    EXPECT_EQ(servicio()->currentText(), QStringLiteral("Pase d'Oro"));
    EXPECT_EQ(almacenado(1, "fldServContratado"), QVariant(QStringLiteral("Pase d'Oro")));
    EXPECT_DOUBLE_EQ(almacenado(1, "fldPrecio").toDouble(), 29.9);
    EXPECT_EQ(filas("ServiciosDB"), 1);

    // The next save finds it by name and offers the expiry date it gives.
    msgBox.limpiar();
    click("imgEditarCliente");
    caja("txtFechaCaducidad")->setText(QStringLiteral("1/2/2009"));
    msgBox.responder(Respuesta::Si);
    click("imgGuardarCliente");
    ASSERT_EQ(msgBox.mostrados.size(), 1u);
    EXPECT_EQ(msgBox.ultimo().texto,
              QStringLiteral("Segun el Servicio Contratado la fecha deberia ser 31/01/2009 y no "
                             "1/2/2009, desea corregir este error?\r\n(pulse cancelar para volver "
                             "al modo edicion y corregir el error manualmente)"));
    EXPECT_EQ(almacenado(1, "fldFechaCaducidad"), QVariant(QDate(2009, 1, 31)));
    EXPECT_EQ(filas("ServiciosDB"), 1);

    // Cancel goes back to editing with nothing stored.
    msgBox.limpiar();
    click("imgEditarCliente");
    caja("txtFechaCaducidad")->setText(QStringLiteral("05/02/2009"));
    msgBox.responder(Respuesta::Cancelar);
    click("imgGuardarCliente");
    EXPECT_TRUE(ventana->estado().ModoEdicion);
    EXPECT_EQ(almacenado(1, "fldFechaCaducidad"), QVariant(QDate(2009, 1, 31)));
}

TEST_F(Validacion, APriceThatDoesNotReadWholeIsRefusedOnItsBox) {
    arrancarCon({Miembro("A1")});
    click("imgEditarCliente");
    caja("txtPrecio")->setText(QStringLiteral("30 euros"));
    click("imgGuardarCliente");
    EXPECT_TRUE(ventana->estado().ModoEdicion);
    EXPECT_EQ(cajaGlobo(), caja("txtPrecio"));
    EXPECT_EQ(globo().titulo(), QStringLiteral("Precio no valido"));
    caja("txtPrecio")->setText(QStringLiteral("1.000,50"));
    click("imgGuardarCliente");
    EXPECT_FALSE(ventana->estado().ModoEdicion);
    EXPECT_DOUBLE_EQ(almacenado(1, "fldPrecio").toDouble(), 1000.5);
    EXPECT_EQ(caja("txtPrecio")->text(), QStringLiteral(" 1000,50"));
}

TEST_F(Validacion, TheExpiryFollowsTheServiceOnlyWhileEditing) {
    arrancarCon({Miembro("A1")});
    QLineEdit* inicio = caja("txtFechaInicio");
    QLineEdit* caducidad = caja("txtFechaCaducidad");
    // View mode: a hand-set expiry is never rewritten by tabbing through.
    caducidad->setText(QStringLiteral("15/03/2009"));
    foco(inicio, QEvent::FocusOut);
    foco(caducidad, QEvent::FocusIn);
    EXPECT_EQ(caducidad->text(), QStringLiteral("15/03/2009"));

    click("imgEditarCliente");
    // Showing the row chose "Mensual" in the list without counting as a choice.
    EXPECT_EQ(servicio()->currentText(), QStringLiteral("Mensual"));
    foco(caducidad, QEvent::FocusIn);
    EXPECT_EQ(caducidad->text(), QStringLiteral("31/01/2009"));
    EXPECT_EQ(cajaGlobo(), caducidad);
    EXPECT_EQ(globo().titulo(), QStringLiteral("Fecha de Caducidad"));

    // Choosing the month service: its price, then 31/01 + 1 month.
    inicio->setText(QStringLiteral("31/01/2008"));
    caja("txtPrecio")->setText(QStringLiteral("99"));
    servicio()->setCurrentIndex(1);
    emit servicio()->activated(1);
    EXPECT_EQ(caja("txtPrecio")->text(), QStringLiteral(" 45"));
    EXPECT_EQ(caducidad->text(), QStringLiteral("29/02/2008"));
    EXPECT_TRUE(msgBox.mostrados.empty());
}

TEST_F(Validacion, ARefusedDateGoesBackToTheStoredOneAndKeepsTheFocus) {
    arrancarCon({Miembro("A1")});
    ventana->show();
    ventana->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(ventana.get()));
    click("imgEditarCliente");
    QLineEdit* inicio = caja("txtFechaInicio");
    inicio->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(inicio->hasFocus());
    inicio->setText(QStringLiteral("31/02/2009"));
    caja("txtNombre")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(inicio->text(), QStringLiteral("01/01/2009"));
    EXPECT_EQ(cajaGlobo(), inicio);
    EXPECT_EQ(globo().texto(),
              QStringLiteral("Fecha no valida, se ha vuelto a la fecha anterior."));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), inicio);
    // Outside edit mode any text may leave.
    click("imgDeshacerEdicion");
    caja("txtFechaInscripcion")->setText(QStringLiteral("nada"));
    foco(caja("txtFechaInscripcion"), QEvent::FocusOut);
    EXPECT_EQ(caja("txtFechaInscripcion")->text(), QStringLiteral("nada"));
}

TEST_F(Validacion, AMoveWhileEditingStoresOnlyWhatPassesTheChecks) {
    arrancarCon({Miembro("A1", "Ana"), Miembro("B2", "Luis")});
    click("imgEditarCliente");
    caja("txtCodigo")->setText(QStringLiteral("B2")); // used by member 2
    msgBox.responder(Respuesta::Si);
    ventana->cmdMover_Click(2);
    EXPECT_TRUE(ventana->estado().ModoEdicion);
    EXPECT_EQ(almacenado(1, "fldCodigo"), QVariant(QStringLiteral("A1")));
    EXPECT_EQ(caja("txtID")->text(), QStringLiteral("1"));

    // Cancel (the box closed): nothing at all.
    msgBox.limpiar();
    msgBox.responder(Respuesta::Cancelar);
    ventana->cmdMover_Click(2);
    EXPECT_TRUE(ventana->estado().ModoEdicion);
    EXPECT_EQ(caja("txtCodigo")->text(), QStringLiteral("B2"));

    // No: the edit is dropped.
    msgBox.responder(Respuesta::No);
    ventana->cmdMover_Click(2);
    EXPECT_FALSE(ventana->estado().ModoEdicion);
    EXPECT_EQ(caja("txtCodigo")->text(), QStringLiteral("A1"));

    // Yes with a good record: stored.
    click("imgEditarCliente");
    caja("txtNombre")->setText(QStringLiteral("Ana Pérez"));
    msgBox.responder(Respuesta::Si);
    ventana->cmdMover_Click(2);
    EXPECT_FALSE(ventana->estado().ModoEdicion);
    EXPECT_EQ(almacenado(1, "fldNombre"), QVariant(QStringLiteral("Ana Pérez")));
}

TEST_F(Validacion, NewUndoAndDeleteKeepThePositionRight) {
    arrancarCon({});
    click("imgNuevoCliente");
    EXPECT_TRUE(ventana->estado().ModoEdicion);
    EXPECT_EQ(filas("ClientesDB"), 1);
    click("imgDeshacerEdicion");
    EXPECT_FALSE(ventana->estado().ModoEdicion);
    EXPECT_EQ(filas("ClientesDB"), 0);
    EXPECT_EQ(caja("txtNombre")->text(), QString());

    std::vector<QVariantMap> diez;
    for (int i = 1; i <= 10; ++i)
        diez.push_back(Miembro(QByteArray::number(i).constData()));
    ASSERT_TRUE(CreadorBaseDatos::Insertar(mdb(), QStringLiteral("ClientesDB"), diez).ok());
    ASSERT_TRUE(ventana->db().AbrirDB());
    ventana->gotoRecordNum(5);
    EXPECT_EQ(caja("txtCodigo")->text(), QStringLiteral("5"));
    click("imgNuevoCliente");
    EXPECT_EQ(filas("ClientesDB"), 11);
    click("imgDeshacerEdicion");
    EXPECT_EQ(filas("ClientesDB"), 10);
    EXPECT_EQ(caja("txtCodigo")->text(), QStringLiteral("5"));
    EXPECT_EQ(posicion(), QStringLiteral("5"));

    // The last row deleted: the first one shows.
    ventana->gotoRecordNum(10);
    msgBox.responder(Respuesta::Si);
    click("imgBorrarCliente");
    EXPECT_EQ(filas("ClientesDB"), 9);
    EXPECT_EQ(caja("txtCodigo")->text(), QStringLiteral("1"));
}

TEST_F(Validacion, DeletingTheOnlyRowEmptiesTheForm) {
    arrancarCon({Miembro("A1")});
    msgBox.responder(Respuesta::Si);
    click("imgBorrarCliente");
    EXPECT_EQ(filas("ClientesDB"), 0);
    EXPECT_EQ(caja("txtNombre")->text(), QString());
    EXPECT_EQ(msgBox.ultimo().texto,
              QStringLiteral("La base de datos esta vacia, este era el ulitmo registro de la base "
                             "de datos."));
}

TEST_F(Validacion, StoredValuesTheFormCannotReadAreWarnedAndKept) {
    QVariantMap raro = Miembro("A1");
    raro.insert(QStringLiteral("fldFechaInscripcion"), QStringLiteral("2026-1-1"));
    raro.insert(QStringLiteral("fldPrecio"), QStringLiteral("treinta"));
    raro.insert(QStringLiteral("fldStuffSiNo"), QStringLiteral("yes"));
    arrancarCon({raro});
    EXPECT_EQ(caja("txtFechaInscripcion")->text(), QStringLiteral("2026-1-1"));
    EXPECT_EQ(caja("txtPrecio")->text(), QStringLiteral("treinta"));
    // The form reads the staff flag as the door does: a text is not staff.
    EXPECT_EQ(caja("txtStuffSiNo")->text(), QStringLiteral("NO"));
    EXPECT_FALSE(EsPersonal(almacenado(1, "fldStuffSiNo")));
    EXPECT_EQ(cajaGlobo(), caja("txtPrecio"));
    EXPECT_EQ(globo().titulo(), QStringLiteral("Valor no valido"));
    EXPECT_TRUE(globo().texto().contains(QStringLiteral("\"yes\"")));

    click("imgEditarCliente");
    caja("txtNombre")->setText(QStringLiteral("Ana Ruiz"));
    click("imgGuardarCliente");
    EXPECT_FALSE(ventana->estado().ModoEdicion);
    EXPECT_EQ(almacenado(1, "fldNombre"), QVariant(QStringLiteral("Ana Ruiz")));
    EXPECT_EQ(almacenado(1, "fldFechaInscripcion"), QVariant(QStringLiteral("2026-1-1")));
    EXPECT_EQ(almacenado(1, "fldPrecio"), QVariant(QStringLiteral("treinta")));
    EXPECT_EQ(almacenado(1, "fldStuffSiNo"), QVariant(QStringLiteral("yes")));
}

TEST_F(Validacion, ANullPriceLeftAsShownStaysNull) {
    QVariantMap m = Miembro("A1");
    m.insert(QStringLiteral("fldPrecio"), QVariant());
    arrancarCon({m});
    EXPECT_EQ(caja("txtPrecio")->text(), QStringLiteral(" 0"));
    click("imgEditarCliente");
    click("imgGuardarCliente");
    EXPECT_FALSE(ventana->estado().ModoEdicion);
    EXPECT_TRUE(almacenado(1, "fldPrecio").isNull());
}
