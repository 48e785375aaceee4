// The desk as a receptionist uses it: real mouse clicks and keys to the focused widget.
#include "BuscadorClientes.h"
#include "ComboBloqueable.h"
#include "DbClientes.h"
#include "GloboTexto.h"
#include "GuardadoEnEspera.h"
#include "InformeBusqueda.h"
#include "MsgBoxQt.h"
#include "Recordset.h"
#include "ReglaAcceso.h"
#include "TextoPdf.h"
#include "VentanaPrueba.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>

#include <sqlite3.h>

// Texts shown as text when a check fails.
static void PrintTo(const QString& texto, std::ostream* os) {
    *os << '"' << texto.toStdString() << '"';
}

using namespace portiva;
using namespace portiva::prueba;

namespace {

QVariantMap conInscripcion(QVariantMap fila) {
    fila[QStringLiteral("fldFechaInscripcion")] = QDate(2026, 1, 10);
    return fila;
}

class Recepcion : public VentanaPrueba {
protected:
    void SetUp() override {
        const QString ruta = carpeta.archivo(QStringLiteral("Portiva.mdb"));
        ASSERT_TRUE(CreadorBaseDatos::Insertar(
                        ruta, QStringLiteral("ClientesDB"),
                        {conInscripcion(Cliente("P001", {}, {}, true, QStringLiteral("Marta Gil"))),
                         Cliente("N001", QDate(2026, 12, 1), QDate(2027, 1, 1), false,
                                 QStringLiteral("Lucía Fernández")),
                         Cliente("N002", QDate(2026, 12, 1), QDate(2027, 1, 1), false,
                                 QStringLiteral("Pedro Luque")),
                         Cliente("Y001", QDate(2026, 12, 1), QDate(2027, 1, 1),
                                 QStringLiteral("yes"), QStringLiteral("Yolanda Ruiz")),
                         Cliente("Y002", {}, {}, QStringLiteral("yes"), QStringLiteral("Yago Paz")),
                         Cliente("L001", QDate(2026, 12, 1), QDate(2027, 1, 1), false,
                                 QStringLiteral("Leocadia Fernández de la Fuente Castellanos")),
                         Cliente("L002", QDate(2026, 12, 1), QDate(2027, 1, 1), false,
                                 QStringLiteral("María del Carmen Rodríguez-Ortega"))})
                        .ok());
        VentanaPrueba::SetUp();
        ASSERT_TRUE(arrancar());
        ventana->DesplegarInfo(true);
        ventana->DesplegarBuscar(true);
        ventana->show();
        ventana->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(ventana.get()));
        tipo = control<ComboBloqueable>("cboTipoDeBusqueda");
        valor = control<QComboBox>("CboDatoBusqueda");
        lista = control<QTreeWidget>("lvwResutadoBusqueda");
        linea = control<QLabel>("lblResultBusqueda");
    }

    // Clicks the kind box open and picks a kind from its list with the keyboard.
    void elegirTipo(int t) {
        // The arrow at the right end opens the list.
        QTest::mouseClick(tipo, Qt::LeftButton, {}, QPoint(tipo->width() - 8, tipo->height() / 2));
        QAbstractItemView* vista = tipo->view();
        ASSERT_TRUE(vista->isVisible());
        for (int i = 0; i < 20 && vista->currentIndex().row() != t; ++i)
            QTest::keyClick(vista, vista->currentIndex().row() < t ? Qt::Key_Down : Qt::Key_Up);
        QTest::keyClick(vista, Qt::Key_Return);
        // The closed list hands the keyboard back to the window (the offscreen platform does
        // so late, from a queued activation).
        QTest::qWait(50);
        ventana->activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), ventana.get(), 5000);
    }

    // A click into a box, everything in it selected, and the text typed over it.
    void escribirEn(QWidget* caja, const QString& texto) {
        QTest::mouseClick(caja, Qt::LeftButton);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), texto);
    }

    // The screen as the operator sees it (a real screen only: xcb under Xvfb), into the folder
    // PORTIVA_CAPTURAS_RECEPCION names; nothing without it.
    void guardarPantalla(const QString& nombre) {
        const QString carpetaCapturas = qEnvironmentVariable("PORTIVA_CAPTURAS_RECEPCION");
        if (carpetaCapturas.isEmpty())
            return;
        QTest::qWait(300);
        QDir().mkpath(carpetaCapturas);
        ventana->screen()->grabWindow(0).save(QDir(carpetaCapturas).filePath(nombre));
    }

    // A click into the value box, then the keys to whatever has the focus.
    void escribir(const QString& texto) {
        QTest::mouseClick(valor, Qt::LeftButton, {},
                          QPoint(valor->width() / 2, valor->height() / 2));
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClicks(QApplication::focusWidget(), texto);
    }
    void tecla(Qt::Key k, Qt::KeyboardModifiers m = {}) {
        QTest::keyClick(QApplication::focusWidget(), k, m);
    }

    ComboBloqueable* tipo = nullptr;
    QComboBox* valor = nullptr;
    QTreeWidget* lista = nullptr;
    QLabel* linea = nullptr;
};

TEST_F(Recepcion, NameTypedAfterAClickAndEnterSearches) {
    elegirTipo(5);
    ASSERT_EQ(tipo->currentIndex(), 5);
    EXPECT_EQ(valor->currentText(), QStringLiteral("Introduzca un nombre (use '*'  '?')"));
    EXPECT_FALSE(visible("imgBuscar"));
    guardarPantalla(QStringLiteral("busqueda-indicacion-gris.png"));
    escribir(QStringLiteral("luc*"));
    EXPECT_EQ(valor->currentText(), QStringLiteral("luc*")); // the prompt is not kept
    tecla(Qt::Key_Return);
    EXPECT_EQ(linea->text(), QStringLiteral("Listado nombres parecidos a luc* (1 registro/s)"));
    ASSERT_EQ(lista->topLevelItemCount(), 1);
    EXPECT_EQ(lista->topLevelItem(0)->text(6), QStringLiteral("Lucía Fernández"));
    EXPECT_TRUE(visible("imgBuscar"));
    EXPECT_TRUE(visible("imgReport"));
    guardarPantalla(QStringLiteral("busqueda-por-teclado.png"));
}

TEST_F(Recepcion, CodeWithKeypadEnterSearches) {
    elegirTipo(1);
    escribir(QStringLiteral("N001"));
    tecla(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(linea->text(), QStringLiteral("Con Codigo similar a N001 (1 registro/s)"));
    EXPECT_TRUE(visible("imgBuscar"));
}

// The record form's own code box: a code typed and Enter shows that member; "_" is a letter
// there too, only "*" and "?" stand for others.
TEST_F(Recepcion, CodeTypedInTheRecordFormFindsTheMember) {
    auto* codigo = control<QLineEdit>("txtCodigo");
    escribirEn(codigo, QStringLiteral("n00?"));
    tecla(Qt::Key_Return);
    EXPECT_EQ(control<QLineEdit>("txtNombre")->text(), QStringLiteral("Lucía Fernández"));
    escribirEn(codigo, QStringLiteral("N00_"));
    tecla(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(msgBox.ultimo().texto,
              QStringLiteral("No se han encontrado coincidencias, intentelo de nuevo."));
    EXPECT_EQ(control<QLineEdit>("txtNombre")->text(), QStringLiteral("Lucía Fernández"));
}

TEST_F(Recepcion, PromptLeftAsItIsStillSearchesAndEscapeBringsItBack) {
    elegirTipo(0);
    QTest::mouseClick(valor, Qt::LeftButton);
    tecla(Qt::Key_Return);
    // The untouched prompt reads as ID 0.
    EXPECT_EQ(linea->text(), QStringLiteral("No se han encontrado los datos buscados"));
    escribir(QStringLiteral("2"));
    EXPECT_EQ(valor->currentText(), QStringLiteral("2"));
    tecla(Qt::Key_Escape);
    EXPECT_EQ(valor->currentText(), QStringLiteral("Introduzca un valor"));
    tecla(Qt::Key_End);
    tecla(Qt::Key_Backspace);
    EXPECT_EQ(valor->currentText(), QString()); // a key that only takes away empties the box
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2"));
    tecla(Qt::Key_Return);
    EXPECT_EQ(linea->text(), QStringLiteral("Datos Cliente ID 2 (1 registro/s)"));
    // The prompt selected whole and typed over, or pasted into: only what came in stays.
    tecla(Qt::Key_Escape);
    tecla(Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("3"));
    EXPECT_EQ(valor->currentText(), QStringLiteral("3"));
    tecla(Qt::Key_Escape);
    QApplication::clipboard()->setText(QStringLiteral("4"));
    tecla(Qt::Key_Home);
    tecla(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(valor->currentText(), QStringLiteral("4"));
}

TEST_F(Recepcion, PricesAreReadAndShownTheSpanishWay) {
    auto* precio = control<QLineEdit>("txtPrecio");
    const struct {
        const char* tecleado;
        double guardado;
        const char* mostrado;
    } casos[] = {
        {"45,50", 45.5, " 45,50"}, {"1.000", 1000, " 1000"}, {"1.000,50", 1000.5, " 1000,50"},
        {"29.90", 29.9, " 29,90"}, {" 30 ", 30, " 30"},      {"45,50", 45.5, " 45,50"}};
    for (const auto& c : casos) {
        click("imgEditarCliente");
        ASSERT_TRUE(ventana->estado().ModoEdicion);
        escribirEn(precio, QString::fromLatin1(c.tecleado));
        click("imgGuardarCliente");
        EXPECT_FALSE(ventana->estado().ModoEdicion) << c.tecleado;
        EXPECT_EQ(almacenado(1, "fldPrecio").toDouble(), c.guardado) << c.tecleado;
        EXPECT_EQ(precio->text(), QString::fromLatin1(c.mostrado)) << c.tecleado;
    }
    // The list shows the price as the record form does.
    elegirTipo(0);
    escribir(QStringLiteral("1"));
    tecla(Qt::Key_Return);
    ASSERT_EQ(lista->topLevelItemCount(), 1);
    EXPECT_EQ(lista->topLevelItem(0)->text(10), QStringLiteral(" 45,50"));
}

TEST_F(Recepcion, AStaffValueThatIsNoYesNoShowsAsTheDoorTakesIt) {
    elegirTipo(1);
    escribir(QStringLiteral("Y*"));
    tecla(Qt::Key_Return);
    ASSERT_EQ(lista->topLevelItemCount(), 2);
    // "yes" is not staff at the door: the one with running dates passes as a member, the
    // one without dates is refused.
    EXPECT_EQ(lista->topLevelItem(0)->text(2), QStringLiteral("NO"));
    EXPECT_EQ(lista->topLevelItem(0)->text(5), QStringLiteral("SI"));
    EXPECT_EQ(lista->topLevelItem(1)->text(2), QStringLiteral("NO"));
    EXPECT_EQ(lista->topLevelItem(1)->text(5), QStringLiteral("Error"));
    EXPECT_EQ(
        DecidirAcceso(QStringLiteral("yes"), QDate(2026, 12, 1), QDate(2027, 1, 1), reloj.hoy())
            .estado,
        QStringLiteral("Permitido"));
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {},
                      lista->visualItemRect(lista->topLevelItem(0)).center());
    EXPECT_EQ(control<QLineEdit>("txtCodigo")->text(), QStringLiteral("Y001"));
    EXPECT_EQ(control<QLineEdit>("txtStuffSiNo")->text(), QStringLiteral("NO"));
    EXPECT_EQ(ventana->globos().globo().texto(),
              QStringLiteral("No se puede leer lo guardado en la ficha: \"yes\" en Empleado (la "
                             "puerta no lo toma por personal: NO). Se conserva tal cual mientras "
                             "no lo cambie."));
}

// The balloon on a box at the screen's edge stays whole on the screen, pointing at its box.
TEST_F(Recepcion, TheExpiryBalloonAtTheEdgeIsShownWhole) {
    const QRect libre = ventana->screen()->availableGeometry();
    auto* caducidad = control<QLineEdit>("txtFechaCaducidad");
    // The window as far right and down as the screen allows, the expiry box at its edge.
    ventana->move(libre.right() - ventana->width() + 1, libre.bottom() - caducidad->y() - 40);
    click("imgEditarCliente");
    escribirEn(caducidad, QStringLiteral("99/99/9999"));
    tecla(Qt::Key_Tab);
    const GloboTexto& globo = ventana->globos().globo();
    ASSERT_TRUE(globo.isVisible());
    EXPECT_EQ(ventana->globos().hWndBalloon(), caducidad);
    EXPECT_EQ(globo.texto(), QStringLiteral("Fecha no valida, se ha vuelto a la fecha anterior."));
    EXPECT_TRUE(libre.contains(globo.frameGeometry()))
        << globo.frameGeometry().x() << "," << globo.frameGeometry().y() << " " << globo.width()
        << "x" << globo.height();
    // Over the box here (no room below it), and reaching over the box's own width.
    const QRect caja(caducidad->mapToGlobal(QPoint(0, 0)), caducidad->size());
    EXPECT_FALSE(globo.debajo());
    EXPECT_LE(globo.geometry().bottom(), caja.top() + 2);
    EXPECT_LT(globo.geometry().left(), caja.right());
    EXPECT_GT(globo.geometry().right(), caja.left());
    guardarPantalla(QStringLiteral("globo-caducidad.png"));
}

// Before a search and after it, both fits, the list's headers are never cut.
TEST_F(Recepcion, TheListsHeadersAreShownWhole) {
    ventana->move(ventana->screen()->availableGeometry().topLeft());
    QHeaderView* cabecera = lista->header();
    // A header's label is drawn inside its margins; it is cut short when it does not fit.
    const int margen = lista->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, cabecera);
    const auto enteras = [&](const char* cuando) {
        for (int c = 0; c < lista->columnCount(); ++c) {
            const QString titulo = lista->headerItem()->text(c);
            EXPECT_GE(cabecera->sectionSize(c),
                      cabecera->fontMetrics().horizontalAdvance(titulo) + 2 * margen)
                << cuando << ": " << titulo.toStdString();
        }
    };
    ASSERT_EQ(lista->columnCount(), 12);
    enteras("al empezar");
    elegirTipo(1);
    escribir(QStringLiteral("*"));
    tecla(Qt::Key_Return);
    ASSERT_EQ(lista->topLevelItemCount(), 7);
    EXPECT_FALSE(cabecera->isHidden());
    EXPECT_TRUE(cabecera->isVisibleTo(ventana.get()));
    EXPECT_GT(cabecera->height(), 0);
    enteras("ajustadas a las filas");
    click("cmdLvwAutoAjustar");
    EXPECT_EQ(ventana->estado().ModoAjusteLvw, -2);
    enteras("ajustadas a los titulos");
    click("cmdLvwAutoAjustar");
    // The list sits whole inside the window, header and rows.
    const QRect enVentana(lista->mapTo(ventana.get(), QPoint(0, 0)), lista->size());
    EXPECT_TRUE(ventana->rect().contains(enVentana));
    guardarPantalla(QStringLiteral("lista-resultados.png"));
}

// The report button after a search: the report printed to PDF shows every name whole, across
// the width of the page.
TEST_F(Recepcion, TheReportPrintsWholeNames) {
    const QString pdf = carpeta.archivo(QStringLiteral("Listado de Consultas.pdf"));
    ventana->buscador().setMostrarInforme([&](Recordset& rs, const QString& titulo) {
        QPdfWriter escritor(pdf);
        InformeBusqueda::PrepararPagina(escritor);
        escritor.setResolution(600);
        InformeBusqueda::Imprimir(
            escritor, InformeBusqueda::DatosDe(rs, titulo, ventana->fechas(), reloj.hoy()));
    });
    click("imgEditarCliente");
    escribirEn(control<QLineEdit>("txtPrecio"), QStringLiteral("45,50"));
    click("imgGuardarCliente");
    elegirTipo(5);
    escribir(QStringLiteral("*"));
    tecla(Qt::Key_Return);
    ASSERT_EQ(lista->topLevelItemCount(), 7);
    click("imgReport");
    ASSERT_TRUE(QFile::exists(pdf));
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const QString texto = TextoPdf(pdf);
    for (const char* nombre :
         {"Leocadia Fernández de la Fuente Castellanos", "María del Carmen Rodríguez-Ortega",
          "Marta Gil", "Pedro Luque", "Yolanda Ruiz"})
        EXPECT_TRUE(texto.contains(QString::fromUtf8(nombre))) << nombre << "\n"
                                                               << texto.toStdString();
    EXPECT_FALSE(texto.contains(u'…'));
    EXPECT_TRUE(texto.contains(QStringLiteral("45,50")));
    EXPECT_TRUE(texto.contains(QStringLiteral("Listado nombres parecidos a *")));
    const QString capturas = qEnvironmentVariable("PORTIVA_CAPTURAS_RECEPCION");
    if (!capturas.isEmpty())
        QFile::copy(pdf, QDir(capturas).filePath(QStringLiteral("informe.pdf")));
}

// Another program holding the member database: a connection of its own with a write lock.
class OtroPrograma {
public:
    explicit OtroPrograma(const QString& ruta) {
        sqlite3_open_v2(ruta.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        ejecutar("BEGIN EXCLUSIVE");
    }
    ~OtroPrograma() {
        soltar();
        sqlite3_close(db_);
    }
    void soltar() {
        if (bloqueando_)
            ejecutar("ROLLBACK");
        bloqueando_ = false;
    }
    bool bloqueando() const { return bloqueando_; }

private:
    void ejecutar(const char* sql) {
        bloqueando_ = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    sqlite3* db_ = nullptr;
    bool bloqueando_ = false;
};

bool CursorDeEspera() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

// A save held up by another program's lock shows the wait, and goes through once the file is
// free.
TEST_F(Recepcion, ASaveBehindAnotherProgramsLockShowsTheWaitThenSaves) {
    click("imgEditarCliente");
    escribirEn(control<QLineEdit>("txtNombre"), QStringLiteral("Marta Gil Soler"));
    OtroPrograma otro(carpeta.archivo(QStringLiteral("Portiva.mdb")));
    ASSERT_TRUE(otro.bloqueando());
    click("imgGuardarCliente");
    EXPECT_TRUE(ventana->guardado().Esperando());
    EXPECT_TRUE(CursorDeEspera());
    EXPECT_FALSE(control<QWidget>("imgGuardarCliente")->isEnabled());
    EXPECT_FALSE(control<QWidget>("imgDeshacerEdicion")->isEnabled());
    EXPECT_FALSE(ventana->info().cmdMover[2]->isEnabled());
    QTest::qWait(2 * GuardadoEnEspera::IntervaloMs);
    EXPECT_TRUE(ventana->estado().ModoEdicion); // still waiting, nothing lost
    EXPECT_TRUE(msgBox.mostrados.empty());
    otro.soltar();
    QTRY_VERIFY_WITH_TIMEOUT(!ventana->estado().ModoEdicion, 20000);
    EXPECT_FALSE(QApplication::overrideCursor());
    EXPECT_EQ(almacenado(1, "fldNombre"), QVariant(QStringLiteral("Marta Gil Soler")));
    EXPECT_TRUE(msgBox.mostrados.empty());
    EXPECT_TRUE(control<QWidget>("imgGuardarCliente")->isEnabled());
    EXPECT_TRUE(ventana->info().cmdMover[2]->isEnabled());
}

// A lock that outlasts the wait: the operator is told plainly, and the edit goes on with what
// was typed.
TEST_F(Recepcion, ASaveThatCannotBeMadeIsSaidAndTheEditStays) {
    ventana->guardado().setLimiteMs(600);
    click("imgEditarCliente");
    escribirEn(control<QLineEdit>("txtNombre"), QStringLiteral("Marta Gil Soler"));
    OtroPrograma otro(carpeta.archivo(QStringLiteral("Portiva.mdb")));
    ASSERT_TRUE(otro.bloqueando());
    click("imgGuardarCliente");
    QTRY_VERIFY_WITH_TIMEOUT(!msgBox.mostrados.empty(), 20000);
    EXPECT_EQ(msgBox.ultimo().texto,
              QStringLiteral("No se han podido guardar los datos: otro programa tiene bloqueada "
                             "la base de datos Portiva.mdb.\r\nLos datos escritos siguen en la "
                             "ficha; cierre ese programa y pulse Guardar de nuevo."));
    EXPECT_EQ(msgBox.ultimo().titulo, QStringLiteral("Guardando los datos..."));
    EXPECT_EQ(msgBox.ultimo().estilo, EstiloMsg::Exclamacion);
    EXPECT_FALSE(ventana->guardado().Esperando());
    EXPECT_FALSE(QApplication::overrideCursor());
    EXPECT_TRUE(ventana->estado().ModoEdicion);
    EXPECT_EQ(control<QLineEdit>("txtNombre")->text(), QStringLiteral("Marta Gil Soler"));
    EXPECT_TRUE(control<QWidget>("imgGuardarCliente")->isEnabled());
    otro.soltar();
    click("imgGuardarCliente");
    EXPECT_FALSE(ventana->estado().ModoEdicion);
    EXPECT_EQ(almacenado(1, "fldNombre"), QVariant(QStringLiteral("Marta Gil Soler")));
}

// The box that refuses a finger already enrolled says why in its title; the box is wide enough
// for the title bar to show it whole.
TEST(CajaMensaje, TheDuplicateFingerBoxIsAsWideAsItsTitle) {
    MsgBoxQt caja;
    QString titulo;
    int ancho = 0;
    QTimer::singleShot(0, [&] {
        auto* mensaje = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(mensaje, nullptr);
        titulo = mensaje->windowTitle();
        ancho = mensaje->width();
        QTest::keyClick(mensaje, Qt::Key_Return);
    });
    const Respuesta r = caja(QStringLiteral("ID 3 Lucía (95)"), EstiloMsg::Informacion,
                             QStringLiteral("La huella ya esta presente en la base de datos:"));
    EXPECT_EQ(r, Respuesta::Aceptar);
    EXPECT_EQ(titulo, QStringLiteral("La huella ya esta presente en la base de datos:"));
    QFont negrita = QApplication::font();
    negrita.setBold(true);
    EXPECT_GE(ancho, QFontMetrics(negrita).horizontalAdvance(titulo) + 100);
}

} // namespace
