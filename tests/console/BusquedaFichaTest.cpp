// The lookup boxes of the record form over a real member database.

#include "VentanaPrueba.h"

#include <QKeyEvent>
#include <QLineEdit>

using namespace portiva;
using namespace portiva::prueba;

namespace {

class Busquedas : public VentanaPrueba {
protected:
    void SetUp() override {
        VentanaPrueba::SetUp();
        std::vector<QVariantMap> filas;
        for (int i = 1; i <= 12; ++i)
            filas.push_back(Cliente(QStringLiteral("C%1").arg(i)));
        filas[6].insert(QStringLiteral("fldCodigo"), QStringLiteral("A-7"));
        filas[2].insert(QStringLiteral("fldCodigo"), QStringLiteral("A-3"));
        ASSERT_TRUE(CreadorBaseDatos::Insertar(carpeta.archivo(QStringLiteral("Portiva.mdb")),
                                               QStringLiteral("ClientesDB"), filas)
                        .ok());
        ASSERT_TRUE(arrancar());
        ventana->DesplegarInfo(true);
    }
    QLineEdit* caja(const char* nombre) { return control<QLineEdit>(nombre); }
    void escribirIntro(const char* nombre, const QString& texto) {
        caja(nombre)->setText(texto);
        QKeyEvent e(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(caja(nombre), &e);
    }
    QString id() { return caja("txtID")->text(); }
    QString posicion() { return caja("txtNavReg")->text().trimmed(); }
};

} // namespace

TEST_F(Busquedas, TheRecordNumberJumpsOnlyInsideTheList) {
    escribirIntro("txtNavReg", QStringLiteral("5"));
    EXPECT_EQ(id(), QStringLiteral("5"));
    EXPECT_EQ(posicion(), QStringLiteral("5"));
    for (const char* fuera : {"13", "0", "-4", "letras", "70000", "99999999999999999999"}) {
        escribirIntro("txtNavReg", QString::fromLatin1(fuera));
        EXPECT_EQ(id(), QStringLiteral("5")) << fuera;
        EXPECT_EQ(posicion(), QStringLiteral("5")) << fuera;
    }
    escribirIntro("txtNavReg", QStringLiteral("3.5")); // halves to the even neighbour
    EXPECT_EQ(id(), QStringLiteral("4"));
}

TEST_F(Busquedas, AnIdThatNamesNoMemberPutsTheBoxBack) {
    escribirIntro("txtID", QStringLiteral("9"));
    EXPECT_EQ(id(), QStringLiteral("9"));
    EXPECT_EQ(posicion(), QStringLiteral("9"));
    for (const char* malo : {"99", "abc", "4294967305", "-1", "1e40"}) {
        escribirIntro("txtID", QString::fromLatin1(malo));
        EXPECT_EQ(id(), QStringLiteral("9")) << malo;
        EXPECT_EQ(posicion(), QStringLiteral("9")) << malo;
    }
    EXPECT_TRUE(msgBox.mostrados.empty());
}

TEST_F(Busquedas, ACodePatternFindsTheSmallestIdAndNothingMovesWhileEditing) {
    escribirIntro("txtCodigo", QStringLiteral(" A* "));
    EXPECT_EQ(id(), QStringLiteral("3"));
    ventana->EditMode(true);
    escribirIntro("txtCodigo", QStringLiteral("A-7"));
    escribirIntro("txtNavReg", QStringLiteral("1"));
    EXPECT_EQ(id(), QStringLiteral("3"));
    EXPECT_EQ(caja("txtCodigo")->text(), QStringLiteral("A-7")); // the code being typed stays
}
