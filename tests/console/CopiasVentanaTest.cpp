// The database commands of the popup menu and the backups of start-up and shutdown, through
// the window with the message-box and file-picker seams.
#include "ComandosMenu.h"
#include "Conexion.h"
#include "CopiasSeguridad.h"
#include "CreadorBaseDatos.h"
#include "IniFile.h"
#include "NavegadorWeb.h"
#include "ProgresoCopias.h"
#include "TraduccionesQt.h"
#include "VentanaPrueba.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QThread>
#include <QTreeWidget>
#include <atomic>
#include <optional>
#include <thread>

#include <optional>

using namespace portiva;
using namespace portiva::prueba;

namespace {

class NavegadorFalso final : public NavegadorWeb {
public:
    bool abrir(const QUrl& direccion) override {
        abiertas.push_back(direccion);
        return false;
    }
    std::vector<QUrl> abiertas;
};

class CopiasVentana : public VentanaPrueba {
protected:
    void SetUp() override {
        ASSERT_TRUE(carpeta.valida() && conBase);
        CopiarSkinPredeterminada();
        ASSERT_TRUE(CreadorBaseDatos::Insertar(mdb(), QStringLiteral("ClientesDB"),
                                               {Cliente("A-1"), Cliente("A-2")})
                        .ok());
        reloj.poner(QDateTime(QDate(2009, 3, 1), QTime(9, 5, 7)));
        ServiciosConsola s = servicios();
        s.navegador = &navegador;
        ventana = std::make_unique<frmClientes>(s);
    }
    QString mdb() const { return carpeta.archivo(QStringLiteral("Portiva.mdb")); }
    // Waits, with the event loop running, until the backup or restore of the menu has ended.
    bool copiaTerminada() {
        return QTest::qWaitFor([&] { return !ventana->progresoCopias().enCurso(); }, 60000);
    }
    QString ini() const { return carpeta.archivo(IniFile::nombreArchivo()); }
    QString seguridad(const QString& nombre = {}) const {
        return QDir(carpeta.archivo(QStringLiteral("Seguridad"))).filePath(nombre);
    }
    // A backup holding the member "B-1", in "Seguridad".
    QString copiaB() {
        QDir().mkpath(seguridad());
        const QString ruta = seguridad(QStringLiteral("2009-02-01 (10-00-00).mdb"));
        EXPECT_TRUE(CreadorBaseDatos::CrearVacia(ruta).ok());
        EXPECT_TRUE(
            CreadorBaseDatos::Insertar(ruta, QStringLiteral("ClientesDB"), {Cliente("B-1")}).ok());
        return ruta;
    }
    QString codigo() { return control<QLineEdit>("txtCodigo")->text(); }
    NavegadorFalso navegador;
};

} // namespace

TEST_F(CopiasVentana, TheExitBackupIsMadeWhenTheOperatorSaysYes) {
    ASSERT_TRUE(arrancar());
    msgBox.responder(Respuesta::Si);
    ventana->close();
    EXPECT_TRUE(ventana->terminado());
    EXPECT_TRUE(QFile::exists(seguridad(QStringLiteral("2009-03-01 (09-05-07).mdb"))));
    EXPECT_EQ(msgBox.ultimo().texto,
              "La Copia de Seguridad de la base de datos se ha realizado con exito.");
}

TEST_F(CopiasVentana, CompactAtExitKeepsADatedCopyAndTheMembers) {
    ASSERT_TRUE(arrancar());
    ventana->mnuDoCompactDB_Click();
    EXPECT_EQ(msgBox.ultimo().texto,
              "Se compactará la Base de Datos al cerrar el programa. Gracias.");
    ventana->close();
    EXPECT_TRUE(QFile::exists(seguridad(QStringLiteral("2009-03-01 (09-05-07).mdb"))));
    EXPECT_EQ(msgBox.ultimo().texto, "Se ha Compactado y realizado una Copia de Seguridad la Base "
                                     "de Datos con exito.");
    EXPECT_TRUE(ComprobarBaseEstacion(mdb()).ok());
}

TEST_F(CopiasVentana, TogglesAndTheirMessages) {
    ASSERT_TRUE(arrancar());
    ventana->mnuDoCompactDB_Click();
    EXPECT_TRUE(ventana->estado().CompactarAlSalir);
    msgBox.limpiar();
    ventana->mnuDoCompactDB_Click();
    EXPECT_FALSE(ventana->estado().CompactarAlSalir);
    ventana->mnuDoCopyDBOnEnd_Click();
    EXPECT_TRUE(ventana->ajustes().CopiaSegAlSalir);
    EXPECT_TRUE(msgBox.mostrados.empty());
}

TEST_F(CopiasVentana, BackupNowFromTheMenu) {
    ASSERT_TRUE(arrancar());
    ventana->menu().mnuDoCopyDB->trigger();
    // The copy goes on after the command, the window running meanwhile.
    EXPECT_TRUE(ventana->progresoCopias().enCurso());
    ASSERT_TRUE(copiaTerminada());
    EXPECT_TRUE(QFile::exists(seguridad(QStringLiteral("2009-03-01 (09-05-07).mdb"))));
    EXPECT_EQ(msgBox.ultimo().texto,
              "La Copia de Seguridad de la base de datos se ha realizado con exito.");
    EXPECT_EQ(msgBox.ultimo().estilo, EstiloMsg::Informacion);
    // The same second again: a second copy beside the first.
    ventana->menu().mnuDoCopyDB->trigger();
    ASSERT_TRUE(copiaTerminada());
    EXPECT_EQ(msgBox.ultimo().estilo, EstiloMsg::Informacion);
    EXPECT_TRUE(QFile::exists(seguridad(QStringLiteral("2009-03-01 (09-05-07) (2).mdb"))));
    EXPECT_FALSE(ventana->progresoCopias().visible());
}

TEST_F(CopiasVentana, ACloseDuringABackupWaitsForIt) {
    ASSERT_TRUE(arrancar());
    ventana->show();
    ventana->menu().mnuDoCopyDB->trigger();
    ASSERT_TRUE(ventana->progresoCopias().enCurso());
    ventana->close();
    // Not closed under the copy: the close is taken up once it is over.
    EXPECT_TRUE(ventana->isVisible());
    ASSERT_TRUE(copiaTerminada());
    EXPECT_TRUE(QFile::exists(seguridad(QStringLiteral("2009-03-01 (09-05-07).mdb"))));
}

TEST_F(CopiasVentana, CancellingThePickerRestoresNothing) {
    ASSERT_TRUE(arrancar());
    msgBox.responder(Respuesta::Si);
    ventana->mnuDoRestoreDB_Click();
    EXPECT_EQ(selector.carpeta, carpeta.archivo(QStringLiteral("Seguridad")));
    EXPECT_EQ(selector.filtro, "Bases de Datos (*.mdb)|*.mdb");
    EXPECT_EQ(msgBox.ultimo().texto, "No se realizara la restauracion de la Copia de Seguridad");
    EXPECT_EQ(msgBox.ultimo().titulo, "Restaurar Copia de Seguridad");
    EXPECT_FALSE(ventana->ajustes().RestaurarAlIniciar);
}

TEST_F(CopiasVentana, ScheduleThenCancelTheSchedule) {
    ASSERT_TRUE(arrancar());
    const QString copia = copiaB();
    msgBox.responder(Respuesta::Si);
    selector.respuestas.push_back(copia);
    ventana->mnuDoRestoreDB_Click();
    EXPECT_TRUE(ventana->ajustes().RestaurarAlIniciar);
    EXPECT_EQ(ventana->ajustes().NombreDBRestaurar, copia);
    EXPECT_EQ(codigo(), "A-1");

    msgBox.responder(Respuesta::Si);
    ventana->mnuDoRestoreDB_Click();
    EXPECT_EQ(msgBox.ultimo().texto,
              "Existe una retauracion de Copia de Seguridad programada del archivo 2009-02-01 "
              "(10-00-00).mdb\r\n la proxima vez que inicie el programa. ¿Desea cancelar esta "
              "restauración?");
    EXPECT_FALSE(ventana->ajustes().RestaurarAlIniciar);
    EXPECT_TRUE(ventana->ajustes().NombreDBRestaurar.isEmpty());
}

TEST_F(CopiasVentana, ABadFileIsRefusedWhenScheduled) {
    ASSERT_TRUE(arrancar());
    QDir().mkpath(seguridad());
    const QString malo = seguridad(QStringLiteral("vacio.mdb"));
    QFile(malo).open(QIODevice::WriteOnly);
    msgBox.responder(Respuesta::Si);
    selector.respuestas.push_back(malo);
    ventana->mnuDoRestoreDB_Click();
    EXPECT_EQ(msgBox.ultimo().estilo, EstiloMsg::Exclamacion);
    EXPECT_FALSE(ventana->ajustes().RestaurarAlIniciar);
    // The live database itself is refused too.
    msgBox.responder(Respuesta::No);
    selector.respuestas.push_back(mdb());
    ventana->mnuDoRestoreDB_Click();
    EXPECT_TRUE(msgBox.ultimo().texto.contains("es la base de datos que esta en uso"));
    EXPECT_EQ(codigo(), "A-1");
}

TEST_F(CopiasVentana, RestoreNowReopensTheRestoredDatabase) {
    ASSERT_TRUE(arrancar());
    QSignalSpy sustituida(ventana.get(), &frmClientes::baseDeDatosSustituida);
    const QString copia = copiaB();
    bool restaurandoDurante = false;
    msgBox.alMostrar = [&](const MsgBoxGuion::Mostrado& m) {
        if (m.texto.startsWith("Se ha restaurado"))
            restaurandoDurante = ventana->estado().RestaurandoDB;
    };
    auto* lista = control<QTreeWidget>("lvwResutadoBusqueda");
    lista->addTopLevelItem(new QTreeWidgetItem(QStringList{"A-1"}));
    msgBox.responder(Respuesta::No);
    selector.respuestas.push_back(copia);
    ventana->mnuDoRestoreDB_Click();
    // The database is closed meanwhile: the dialog is up at once, and the door refuses.
    EXPECT_TRUE(ventana->progresoCopias().visible());
    EXPECT_TRUE(ventana->estado().RestaurandoDB);
    ASSERT_TRUE(copiaTerminada());
    EXPECT_EQ(lista->topLevelItemCount(), 0);
    EXPECT_TRUE(restaurandoDurante);
    EXPECT_FALSE(ventana->estado().RestaurandoDB);
    EXPECT_EQ(codigo(), "B-1");
    EXPECT_EQ(sustituida.count(), 1);
    EXPECT_TRUE(QFile::exists(seguridad(QStringLiteral("2009-03-01 (09-05-07).mdb"))));
}

TEST_F(CopiasVentana, DatabaseCommandsRefuseWhileACopyRuns) {
    ASSERT_TRUE(arrancar());
    bool ocupadaDentro = false;
    // The outcome box of the backup shows while the backup has not ended yet.
    msgBox.alMostrar = [&](const MsgBoxGuion::Mostrado& m) {
        if (!m.texto.startsWith("La Copia de Seguridad"))
            return;
        ocupadaDentro = ventana->copias().Ocupado();
        ventana->mnuDoRestoreDB_Click();
        ventana->mnuDoCopyDB_Click();
    };
    ventana->mnuDoCopyDB_Click();
    // Started again at once: refused too.
    ventana->mnuDoCopyDB_Click();
    ASSERT_TRUE(copiaTerminada());
    ASSERT_TRUE(ocupadaDentro);
    ASSERT_EQ(msgBox.mostrados.size(), 4u);
    EXPECT_TRUE(msgBox.mostrados[0].texto.startsWith("Se esta realizando una copia"));
    EXPECT_TRUE(msgBox.mostrados[1].texto.startsWith("La Copia de Seguridad"));
    EXPECT_TRUE(msgBox.mostrados[2].texto.startsWith("Se esta realizando una copia"));
    EXPECT_TRUE(msgBox.mostrados[3].texto.startsWith("Se esta realizando una copia"));
    EXPECT_EQ(QDir(seguridad()).entryList(QDir::Files).size(), 1);
    EXPECT_FALSE(ventana->progresoCopias().visible());
}

TEST_F(CopiasVentana, AScheduledRestoreRunsAtStartAndIsUsedUp) {
    const QString copia = copiaB();
    ASSERT_TRUE(EscribirIni(ini(), "Copias Seguridad", "RestCopiaSeg AlIniciar", "1"));
    ASSERT_TRUE(EscribirIni(ini(), "Copias Seguridad", "NombreDB Restaurar", copia));
    ASSERT_TRUE(arrancar());
    EXPECT_EQ(codigo(), "B-1");
    EXPECT_EQ(LeerIni(ini(), "Copias Seguridad", "RestCopiaSeg AlIniciar"), "0");
    EXPECT_FALSE(ventana->ajustes().RestaurarAlIniciar);
}

TEST_F(CopiasVentana, AScheduledRestoreWhoseFileIsGone) {
    ASSERT_TRUE(EscribirIni(ini(), "Copias Seguridad", "RestCopiaSeg AlIniciar", "1"));
    ASSERT_TRUE(EscribirIni(ini(), "Copias Seguridad", "NombreDB Restaurar",
                            seguridad(QStringLiteral("se-fue.mdb"))));
    ASSERT_TRUE(arrancar());
    ASSERT_FALSE(arranque.empty());
    EXPECT_EQ(arranque[0].titulo, "Resturacion de Copia de Seguridad...");
    EXPECT_EQ(codigo(), "A-1");
    EXPECT_EQ(LeerIni(ini(), "Copias Seguridad", "RestCopiaSeg AlIniciar"), "0");
}

TEST_F(CopiasVentana, VersionWebPageOptionsAndImageSave) {
    ASSERT_TRUE(arrancar());
    ventana->menu().menuVersion->trigger();
    EXPECT_EQ(msgBox.ultimo().texto, "Portiva version 1.0\r\n\r\nMotorHuella version 1.0.");
    EXPECT_EQ(msgBox.ultimo().titulo, "Portiva");
    ventana->menu().mnuVisitWebPage->trigger();
    ASSERT_EQ(navegador.abiertas.size(), 1u);
    EXPECT_EQ(navegador.abiertas[0], ComandosMenu::paginaWeb());
    ventana->menu().menuOptions->trigger();
    EXPECT_NE(ventana->findChild<QDialog*>(), nullptr) << "Configuracion opens the options dialog";

    ventana->menu().menuImgSave->trigger();
    EXPECT_EQ(msgBox.ultimo().texto, "There is no image to save.");
    huellaFalsa->hayImagen = true;
    huellaFalsa->respuestaGuardar = -206;
    selector.respuestas.push_back(carpeta.archivo("huella.bmp"));
    ventana->menu().menuImgSave->trigger();
    EXPECT_EQ(selector.guardados, 1);
    EXPECT_TRUE(pasos.contains("huella.GuardarImagen " + carpeta.archivo("huella.bmp")));
    EXPECT_TRUE(control<QListWidget>("lbLog")
                    ->item(control<QListWidget>("lbLog")->count() - 1)
                    ->text()
                    .endsWith("Guardando Archivo: Error!"));
}

TEST(TraduccionesQt, StandardButtonsAreSpanish) {
    ASSERT_TRUE(CargarTraduccionesQt(*QCoreApplication::instance()));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancelar");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), "&Abrir");
}

// A procedure on its own thread asks for a box, and the station goes away before the window's
// thread had its turn to show it: nothing hangs, and the box is never shown.
TEST(ProgresoCopias, GoingAwayWithABoxPendingDoesNotHang) {
    MsgBoxGuion msgBox;
    RelojFijo reloj;
    Entorno entorno{QStringLiteral("/no/existe"), msgBox, reloj};
    std::atomic<bool> preguntada{false};
    Respuesta respuesta = Respuesta::No;
    bool terminado = false;
    {
        ProgresoCopias progreso(nullptr, entorno);
        ASSERT_TRUE(progreso.ejecutar(
            [&] {
                preguntada = true;
                respuesta = progreso.entorno().msgBox(QStringLiteral("pregunta"),
                                                      EstiloMsg::SiNoExclamacion, {});
                return true;
            },
            false, [&](bool) { terminado = true; }));
        EXPECT_FALSE(progreso.ejecutar([] { return true; }, false, {})); // one at a time
        while (!preguntada)
            std::this_thread::yield();
    }
    EXPECT_TRUE(msgBox.mostrados.empty());
    EXPECT_EQ(respuesta, Respuesta::Aceptar);
    EXPECT_FALSE(terminado);
}

// The box a procedure asks for from its thread is the window's, and its answer goes back.
TEST(ProgresoCopias, ABoxAskedFromTheProcedureIsShownByTheWindowsThread) {
    MsgBoxGuion msgBox;
    msgBox.responder(Respuesta::Si);
    RelojFijo reloj;
    Entorno entorno{QStringLiteral("/no/existe"), msgBox, reloj};
    ProgresoCopias progreso(nullptr, entorno);
    Respuesta respuesta = Respuesta::No;
    QThread* hiloDeLaCaja = nullptr;
    msgBox.alMostrar = [&](const MsgBoxGuion::Mostrado&) {
        hiloDeLaCaja = QThread::currentThread();
    };
    std::optional<bool> resultado;
    ASSERT_TRUE(progreso.ejecutar(
        [&] {
            respuesta = progreso.entorno().msgBox(QStringLiteral("pregunta"),
                                                  EstiloMsg::SiNoExclamacion, {});
            return false;
        },
        false, [&](bool ok) { resultado = ok; }));
    EXPECT_TRUE(progreso.enCurso());
    ASSERT_TRUE(QTest::qWaitFor([&] { return resultado.has_value(); }, 60000));
    EXPECT_FALSE(*resultado);
    EXPECT_FALSE(progreso.enCurso());
    EXPECT_EQ(respuesta, Respuesta::Si);
    EXPECT_EQ(hiloDeLaCaja, QCoreApplication::instance()->thread());
    ASSERT_EQ(msgBox.mostrados.size(), 1u);
    EXPECT_EQ(msgBox.mostrados[0].texto, "pregunta");
}

// With the door on its own thread: the door lets go of the file before the restore replaces
// it, and reads the restored file afterwards through its own reopened connection.
TEST_F(CopiasVentana, RestoreNowClosesAndReopensTheDoorsConnection) {
    ventana.reset();
    ServiciosConsola s = servicios();
    s.fabricaHuella = {}; // the station's own engine, made on the door's thread
    s.puertaEnHilo = true;
    ventana = std::make_unique<frmClientes>(s);
    ventana->InitVariables();
    ventana->InitForm();
    ASSERT_TRUE(arrancar());
    const auto codigosPuerta = [&] {
        return EnPuerta(*ventana, [v = ventana.get()] {
            QStringList codigos;
            Conexion& cn = v->puerta().conexion();
            if (cn.State() != 1)
                return codigos;
            Recordset rs;
            if (!rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn).ok())
                return codigos;
            for (; !rs.Eof(); (void)rs.MoveNext())
                codigos.append(
                    rs.Valor(QStringLiteral("fldCodigo")).valor_o(QVariant()).toString());
            return codigos;
        });
    };
    EXPECT_EQ(codigosPuerta(), (QStringList{"A-1", "A-2"}));
    const QString copia = copiaB();
    std::optional<int> estadoDurante;
    msgBox.alMostrar = [&](const MsgBoxGuion::Mostrado& m) {
        if (m.texto.startsWith("Se ha restaurado"))
            estadoDurante =
                EnPuerta(*ventana, [v = ventana.get()] { return v->puerta().conexion().State(); });
    };
    msgBox.responder(Respuesta::No);
    selector.respuestas.push_back(copia);
    ventana->mnuDoRestoreDB_Click();
    ASSERT_TRUE(copiaTerminada());
    EXPECT_EQ(estadoDurante, 0);
    EXPECT_EQ(codigo(), "B-1");
    EXPECT_EQ(codigosPuerta(), (QStringList{"B-1"}));
}
