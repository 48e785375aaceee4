// The search panel on a started window: choosing kinds, Enter and Escape in the value box,
// the result line, the list's rows and their sort, the fit button, clearing, going to a
// listed member, a search inside another, and the printed report written to PDF.
#include "BuscadorClientes.h"
#include "ComboBloqueable.h"
#include "DbClientes.h"
#include "InformeBusqueda.h"
#include "Recordset.h"
#include "TextoPdf.h"
#include "VentanaPrueba.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeWidget>

using namespace portiva;
using namespace portiva::prueba;

namespace {

QVariant dia(int anio, int mes, int d) {
    return QDate(anio, mes, d);
}

class Busqueda : public VentanaPrueba {
protected:
    void SetUp() override {
        auto con = [](QVariantMap fila, std::initializer_list<std::pair<QString, QVariant>> mas) {
            for (const auto& [k, v] : mas)
                fila[k] = v;
            return fila;
        };
        const QString ruta = carpeta.archivo(QStringLiteral("Portiva.mdb"));
        ASSERT_TRUE(CreadorBaseDatos::Insertar(
                        ruta, QStringLiteral("ClientesDB"),
                        {con(Cliente("P1", {}, {}, true), {{"fldPrecio", 0}}),
                         con(Cliente("a1", dia(2026, 12, 1), dia(2027, 1, 1), false, "Muñoz"),
                             {{"fldPrecio", 30}, {"fldServContratado", "Mensual"}}),
                         con(Cliente("B1", dia(2026, 10, 1), dia(2026, 12, 8), false, "Ángel"),
                             {{"fldPrecio", 4.5}, {"fldFotoPath", "/no/existe.jpg"}}),
                         con(Cliente("O'B", dia(2026, 9, 2), dia(2026, 12, 9), false, "O'Brien"),
                             {{"fldPrecio", -12}})})
                        .ok());
        ASSERT_TRUE(CreadorBaseDatos::Insertar(ruta, QStringLiteral("ServiciosDB"),
                                               {Servicio("Mensual", 30)})
                        .ok());
        VentanaPrueba::SetUp();
        ASSERT_TRUE(arrancar());
        tipo = control<ComboBloqueable>("cboTipoDeBusqueda");
        valor = control<QComboBox>("CboDatoBusqueda");
        lista = control<QTreeWidget>("lvwResutadoBusqueda");
        linea = control<QLabel>("lblResultBusqueda");
    }

    void elegirTipo(int t) {
        ventana->buscador().cboTipoDeBusqueda_DropDown();
        tipo->setCurrentIndex(t);
        ventana->buscador().cboTipoDeBusqueda_Click(t);
    }
    // The key goes to the box, which holds the focus while a person types in it (its edit
    // field is reached through it); the typing itself is RecepcionTest's.
    void escribirYEnter(const QString& texto) {
        valor->setEditText(texto);
        QTest::keyClick(valor, Qt::Key_Return);
    }
    QStringList columna(int c) {
        QStringList s;
        for (int i = 0; i < lista->topLevelItemCount(); ++i)
            s << lista->topLevelItem(i)->text(c);
        return s;
    }

    ComboBloqueable* tipo = nullptr;
    QComboBox* valor = nullptr;
    QTreeWidget* lista = nullptr;
    QLabel* linea = nullptr;
};

TEST_F(Busqueda, KindsListAndRowsShowTheTwelveColumns) {
    ASSERT_EQ(tipo->count(), 15);
    EXPECT_EQ(tipo->itemText(14), QStringLiteral("Clientes que caducaron hoy"));
    elegirTipo(1);
    EXPECT_EQ(valor->currentText(), QStringLiteral("Introduzca un valor (use '*'  '?')"));
    EXPECT_TRUE(tipo->bloqueado());
    escribirYEnter(QStringLiteral("*"));
    EXPECT_EQ(linea->text(), QStringLiteral("Con Codigo similar a * (4 registro/s)"));
    EXPECT_EQ(columna(1), QStringList({"a1", "B1", "O'B", "P1"}));
    EXPECT_EQ(columna(0), QStringList({"    2", "    3", "    4", "    1"}));
    EXPECT_EQ(columna(2), QStringList({"NO", "NO", "NO", "SI"}));
    EXPECT_EQ(columna(3), QStringList({"01/12/2026", "01/10/2026", "02/09/2026", ""}));
    EXPECT_EQ(columna(5), QStringList({"SI", "NO", "SI", "Pers."}));
    EXPECT_EQ(columna(8), QStringList({"No", "No Valida", "No", "No"}));
    EXPECT_EQ(columna(10), QStringList({" 30", " 4,50", "-12", " 0"}));
    EXPECT_EQ(columna(11), QStringList({"NO", "NO", "NO", "NO"}));
    EXPECT_EQ(control<QProgressBar>("ProgressBar")->value(), 100);
    auto* ajuste = control<QPushButton>("cmdLvwAutoAjustar");
    EXPECT_TRUE(ajuste->isVisibleTo(ventana.get()));
    EXPECT_EQ(ajuste->text(), QStringLiteral(">< Titulos"));
    EXPECT_EQ(ventana->estado().ModoAjusteLvw, -1);
    ventana->buscador().cmdLvwAutoAjustar_Click();
    EXPECT_EQ(ajuste->text(), QStringLiteral(">< Conten."));
    EXPECT_EQ(ventana->estado().ModoAjusteLvw, -2);
}

TEST_F(Busqueda, DatesPricesAndIdsSortByValueAndOneOrderFlips) {
    elegirTipo(1);
    escribirYEnter(QStringLiteral("*"));
    ventana->buscador().lvwResutadoBusqueda_ColumnClick(3); // first click: descending
    EXPECT_EQ(columna(1), QStringList({"a1", "B1", "O'B", "P1"}));
    ventana->buscador().lvwResutadoBusqueda_ColumnClick(10); // another column: ascending
    EXPECT_EQ(columna(10), QStringList({"-12", " 0", " 4,50", " 30"}));
    ventana->buscador().lvwResutadoBusqueda_ColumnClick(4);
    EXPECT_EQ(columna(4), QStringList({"01/01/2027", "09/12/2026", "08/12/2026", ""}));
}

TEST_F(Busqueda, InvalidInputKeepsTheListAndQuotesAndAccentsWork) {
    elegirTipo(5);
    escribirYEnter(QStringLiteral("MUÑOZ"));
    EXPECT_EQ(columna(1), QStringList({"a1"}));
    escribirYEnter(QStringLiteral("o'brien"));
    EXPECT_EQ(columna(1), QStringList({"O'B"}));
    escribirYEnter(QStringLiteral("ángel"));
    EXPECT_EQ(columna(1), QStringList({"B1"}));
    EXPECT_TRUE(msgBox.mostrados.empty());
    elegirTipo(2);
    QTest::keyClick(valor, Qt::Key_Return); // "Elija una opcion", no item chosen
    EXPECT_EQ(linea->text(), QStringLiteral("Datos no validos o no escogio una opcion de la "
                                            "lista, intentelo de nuevo."));
    EXPECT_EQ(linea->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(columna(1), QStringList({"B1"}));
    elegirTipo(12);
    escribirYEnter(QStringLiteral("9999999"));
    EXPECT_EQ(linea->text(), QStringLiteral("Datos no validos o no escogio una opcion de la "
                                            "lista, intentelo de nuevo."));
    elegirTipo(0);
    escribirYEnter(QStringLiteral("77"));
    EXPECT_EQ(linea->text(), QStringLiteral("No se han encontrado los datos buscados"));
    EXPECT_FALSE(visible("cmdLvwAutoAjustar"));
}

TEST_F(Busqueda, KindFourteenSearchesAtOnceAndClearingRestoresThePrompt) {
    elegirTipo(14);
    EXPECT_EQ(valor->currentText(), QStringLiteral("08/12/2026"));
    EXPECT_EQ(columna(1), QStringList({"B1"}));
    EXPECT_TRUE(visible("imgBuscar"));
    EXPECT_EQ(linea->text(),
              QStringLiteral("Clientes que caducaron hoy 08/12/2026 (1 registro/s)"));
    elegirTipo(4);
    ASSERT_EQ(valor->count(), 1);
    EXPECT_EQ(valor->currentText(), QStringLiteral("Elija una opcion o introduzca uno"));
    valor->setCurrentIndex(0);
    ventana->buscador().CboDatoBusqueda_Click();
    EXPECT_EQ(columna(1), QStringList({"a1"}));
    ventana->buscador().LimpiarResultados();
    EXPECT_EQ(lista->topLevelItemCount(), 0);
    EXPECT_EQ(lista->columnCount(), 12);
    EXPECT_EQ(linea->text(), QString());
    EXPECT_EQ(valor->currentText(), QStringLiteral("Elija una opcion o introduzca uno"));
    EXPECT_FALSE(visible("imgBuscar"));
}

TEST_F(Busqueda, RowClickGoesToTheMemberUnlessEditing) {
    elegirTipo(1);
    escribirYEnter(QStringLiteral("O*"));
    ventana->buscador().lvwResutadoBusqueda_ItemClick(lista->topLevelItem(0)->text(0));
    EXPECT_EQ(ventana->db().rsClientes().AbsolutePosition(), 4);
    ventana->EditMode(true);
    escribirYEnter(QStringLiteral("a*"));
    ventana->buscador().lvwResutadoBusqueda_ItemClick(lista->topLevelItem(0)->text(0));
    EXPECT_EQ(ventana->db().rsClientes().AbsolutePosition(), 4); // searching works, no jump
    ventana->EditMode(false);
    ventana->buscador().lvwResutadoBusqueda_ItemClick(QStringLiteral("   99"));
    EXPECT_EQ(ventana->db().rsClientes().AbsolutePosition(), 4); // no such member
}

TEST_F(Busqueda, ProgressMovesPerRowAndEscapeGivesThePromptBack) {
    auto* progreso = control<QProgressBar>("ProgressBar");
    std::vector<int> valores;
    QObject::connect(progreso, &QProgressBar::valueChanged, [&](int v) { valores.push_back(v); });
    elegirTipo(1);
    escribirYEnter(QStringLiteral("*"));
    EXPECT_EQ(valores, std::vector<int>({25, 50, 75, 100})); // one Enter, one search
    QTest::keyClick(valor, Qt::Key_Escape);
    EXPECT_EQ(valor->currentText(), QStringLiteral("Introduzca un valor (use '*'  '?')"));
    EXPECT_FALSE(visible("imgBuscar"));
    EXPECT_EQ(lista->topLevelItemCount(), 4); // the rows stay until cleared
    valor->setEditText(QString());
    QTest::keyClick(valor, Qt::Key_Return); // empty box: nothing starts
    EXPECT_FALSE(visible("imgBuscar"));
}

// A long result: 1,200 more members, coded L0001 to L1200.
class BusquedaLarga : public Busqueda {
protected:
    static constexpr int Largo = 1200;
    void SetUp() override {
        Busqueda::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(ventana->db()
                        .cnClientes()
                        .Execute(QStringLiteral(
                            "INSERT INTO ClientesDB (fldCodigo, fldNombre, fldStuffSiNo) "
                            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                            "WHERE i < 1200) SELECT printf('L%04d', i), 'Largo', 0 FROM n"))
                        .ok());
    }
    bool esperarLista() {
        return QTest::qWaitFor([&] { return !ventana->buscador().lista().Llenando(); }, 60000);
    }
};

TEST_F(BusquedaLarga, ALongResultGoesInWhileTheWindowKeepsRunning) {
    auto* progreso = control<QProgressBar>("ProgressBar");
    // A zero-time timer: it ticks only when the event loop has its turn.
    int vueltas = 0;
    int vueltasLlenando = 0;
    QTimer latido;
    latido.setInterval(0);
    QObject::connect(&latido, &QTimer::timeout, [&] {
        ++vueltas;
        if (ventana->buscador().lista().Llenando())
            ++vueltasLlenando;
    });
    latido.start();
    elegirTipo(1);
    escribirYEnter(QStringLiteral("L*"));
    // The first rows are there at once; the rest follow from the event loop.
    EXPECT_EQ(lista->topLevelItemCount(), ListaResultados::FilasPorPaso);
    EXPECT_TRUE(ventana->buscador().lista().Llenando());
    EXPECT_EQ(ventana->db().rsTemp().State(), 0);
    EXPECT_FALSE(visible("cmdLvwAutoAjustar")); // the fit comes with the last row
    ASSERT_TRUE(esperarLista());
    EXPECT_GT(vueltasLlenando, 0);
    EXPECT_EQ(lista->topLevelItemCount(), Largo);
    EXPECT_EQ(columna(1).first(), QStringLiteral("L0001"));
    EXPECT_EQ(columna(1).last(), QStringLiteral("L1200"));
    EXPECT_EQ(progreso->value(), 100);
    EXPECT_TRUE(visible("cmdLvwAutoAjustar"));
    EXPECT_EQ(linea->text(), QStringLiteral("Con Codigo similar a L* (1200 registro/s)"));
    EXPECT_TRUE(msgBox.mostrados.empty());
    EXPECT_GT(vueltas, 0);
}

TEST_F(BusquedaLarga, ASearchStartedWhileAnotherFillsTakesItsPlace) {
    elegirTipo(1);
    escribirYEnter(QStringLiteral("L*"));
    ASSERT_TRUE(ventana->buscador().lista().Llenando());
    // The operator types another pattern while the rows still go in.
    QTest::qWait(0);
    escribirYEnter(QStringLiteral("P*"));
    ASSERT_TRUE(esperarLista());
    QTest::qWait(50); // nothing of the first search comes after
    EXPECT_EQ(columna(1), QStringList{QStringLiteral("P1")});
    EXPECT_EQ(linea->text(), QStringLiteral("Con Codigo similar a P* (1 registro/s)"));
    EXPECT_TRUE(msgBox.mostrados.empty());
    EXPECT_EQ(ventana->db().rsTemp().State(), 0);
}

TEST_F(BusquedaLarga, AHeaderClickDuringTheFillSortsTheWholeResult) {
    elegirTipo(1);
    escribirYEnter(QStringLiteral("L*"));
    ASSERT_TRUE(ventana->buscador().lista().Llenando());
    emit lista->header()->sectionClicked(1);
    ASSERT_TRUE(esperarLista());
    ASSERT_EQ(lista->topLevelItemCount(), Largo);
    // The first click sorts descending, the rows that came later included.
    EXPECT_EQ(columna(1).first(), QStringLiteral("L1200"));
    EXPECT_EQ(columna(1).last(), QStringLiteral("L0001"));
}

TEST_F(BusquedaLarga, ClearingOrReplacingTheDatabaseStopsTheFill) {
    elegirTipo(1);
    escribirYEnter(QStringLiteral("L*"));
    ASSERT_TRUE(ventana->buscador().lista().Llenando());
    ventana->buscador().LimpiarResultados();
    EXPECT_FALSE(ventana->buscador().lista().Llenando());
    QTest::qWait(50);
    EXPECT_EQ(lista->topLevelItemCount(), 0);

    escribirYEnter(QStringLiteral("L*"));
    ASSERT_TRUE(ventana->buscador().lista().Llenando());
    emit ventana->baseDeDatosSustituida();
    EXPECT_FALSE(ventana->buscador().lista().Llenando());
    QTest::qWait(50);
    EXPECT_EQ(lista->topLevelItemCount(), 0);
}

TEST_F(Busqueda, ReportShowsTheTitleLineAndClosesTheResultAfterwards) {
    QString titulo;
    long filas = 0;
    // The window's own report is modal; here the report step is watched instead.
    ventana->buscador().setMostrarInforme([&](Recordset& rs, const QString& t) {
        titulo = t;
        filas = rs.RecordCount();
    });
    elegirTipo(2);
    valor->setCurrentIndex(1);
    ventana->buscador().Buscar(true);
    EXPECT_EQ(titulo, QStringLiteral("Listado Clientes (3 registro/s)"));
    EXPECT_EQ(filas, 3);
    elegirTipo(1);
    valor->setEditText(QStringLiteral("a very long pattern of thirty*"));
    titulo.clear();
    ventana->buscador().Buscar(true);
    EXPECT_TRUE(titulo.isEmpty()); // nothing found: no report
    EXPECT_EQ(ventana->db().rsTemp().State(), 0);
}

TEST(InformeBusqueda, PrintsEveryPageWithItsHeaderAndTheTotal) {
    CarpetaTemporal carpeta;
    InformeBusqueda::Datos datos;
    datos.titulo = QStringLiteral("Listado Clientes (120 registro/s)");
    datos.fecha = QDate(2026, 12, 8);
    QImage imagen(64, 64, QImage::Format_RGB32);
    imagen.fill(Qt::blue);
    datos.imagen = imagen;
    for (int i = 1; i <= 120; ++i)
        datos.lineas.push_back({QString::number(i), QStringLiteral("C%1").arg(i),
                                QStringLiteral("Muñoz %1").arg(i), QStringLiteral("Año d'Or"),
                                QStringLiteral("30"), QStringLiteral("01/12/2026"),
                                QStringLiteral("01/01/2027")});
    const QString pdf = qEnvironmentVariableIsSet("PORTIVA_INFORME_PDF")
                            ? qEnvironmentVariable("PORTIVA_INFORME_PDF")
                            : carpeta.archivo(QStringLiteral("informe.pdf"));
    int paginas = 0;
    {
        QPdfWriter escritor(pdf);
        escritor.setPageSize(QPageSize(QPageSize::A4));
        escritor.setResolution(600);
        paginas = InformeBusqueda::Imprimir(escritor, datos);
    }
    EXPECT_EQ(paginas, 3);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const QString texto = TextoPdf(pdf);
    const QStringList hojas = texto.split(u'\f', Qt::SkipEmptyParts);
    ASSERT_GE(hojas.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(hojas[i].contains(QRegularExpression(
            QStringLiteral("Página\\s+%1\\s*$").arg(i + 1), QRegularExpression::MultilineOption)))
            << qPrintable(hojas[i]);
        EXPECT_TRUE(hojas[i].contains(QStringLiteral("Servicio"))) << i;
        EXPECT_TRUE(hojas[i].contains(QStringLiteral("Caduc."))) << i;
    }
    EXPECT_TRUE(hojas[0].contains(QStringLiteral("Listado Clientes (120 registro/s)")));
    EXPECT_TRUE(hojas[0].contains(QStringLiteral("martes, 8 de diciembre de 2026")));
    EXPECT_FALSE(hojas[1].contains(QStringLiteral("Listado Clientes")));
    EXPECT_TRUE(hojas[2].contains(QStringLiteral("Total de páginas :")));
    EXPECT_TRUE(texto.contains(QStringLiteral("Muñoz 120")));
    EXPECT_TRUE(texto.contains(QStringLiteral("Año d'Or")));
    EXPECT_FALSE(hojas[0].contains(QStringLiteral("Total de páginas")));
}

TEST(InformeBusqueda, LongDateIsSpanishWhateverTheLocale) {
    const QLocale antes;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(InformeBusqueda::FechaLarga(QDate(2026, 3, 1)),
              QStringLiteral("domingo, 1 de marzo de 2026"));
    QLocale::setDefault(antes);
}

} // namespace

namespace {

// The unfolded panel with a result list, saved as a picture when PORTIVA_CAPTURA_BUSQUEDA names
// a file (run under a real display to look at it).
TEST_F(Busqueda, PanelWithResultsDraws) {
    ventana->imgDesplegarBuscar_Click();
    ventana->show();
    elegirTipo(1);
    escribirYEnter(QStringLiteral("*"));
    QApplication::processEvents();
    const QImage imagen = ventana->grab().toImage();
    EXPECT_FALSE(imagen.isNull());
    if (qEnvironmentVariableIsSet("PORTIVA_CAPTURA_BUSQUEDA")) {
        EXPECT_TRUE(imagen.save(qEnvironmentVariable("PORTIVA_CAPTURA_BUSQUEDA")));
    }
}

} // namespace

namespace {

// The report button on the real window: the modal print preview opens on the result and the
// search goes on once it is closed.
TEST_F(Busqueda, ReportButtonOpensThePrintPreview) {
    elegirTipo(1);
    valor->setEditText(QStringLiteral("*"));
    QString titulo;
    // The search pumps events before the report opens: look until the preview is there.
    QTimer vigia;
    vigia.setInterval(20);
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* vista = qobject_cast<QPrintPreviewDialog*>(w);
            if (!vista || !vista->isVisible())
                continue;
            vigia.stop();
            titulo = vista->windowTitle();
            if (qEnvironmentVariableIsSet("PORTIVA_CAPTURA_INFORME")) {
                QApplication::processEvents();
                vista->grab().save(qEnvironmentVariable("PORTIVA_CAPTURA_INFORME"));
            }
            vista->reject();
        }
    });
    vigia.start();
    ventana->buscador().Buscar(true);
    EXPECT_EQ(titulo, QStringLiteral("Listado de Consultas"));
    EXPECT_EQ(ventana->db().rsTemp().State(), 0);
    EXPECT_EQ(lista->topLevelItemCount(), 4);
}

} // namespace
