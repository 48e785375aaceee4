// The station's life from the window: the start-up steps in their order, a database that
// cannot be opened, an empty member table, the closing questions and the shutdown with the
// settings file written back.

#include "ControlAcceso.h"
#include "DbClientes.h"
#include "IniFile.h"
#include "SenalesParada.h"
#include "VentanaPrueba.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>

#include <csignal>
#include <functional>

using namespace portiva;
using namespace portiva::prueba;

namespace {

class Arranque : public VentanaPrueba {
protected:
    QString ini() const { return carpeta.archivo(IniFile::nombreArchivo()); }
    void escribirIni(const QByteArray& contenido) {
        QFile f(ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }
    QByteArray leerArchivo(const QString& ruta) {
        QFile f(ruta);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void dosClientes() {
        ASSERT_TRUE(
            CreadorBaseDatos::Insertar(carpeta.archivo(QStringLiteral("Portiva.mdb")),
                                       QStringLiteral("ClientesDB"),
                                       {Cliente(QStringLiteral("A1"), QDate(2026, 12, 1),
                                                QDate(2027, 1, 1), false, QStringLiteral("Ana")),
                                        Cliente(QStringLiteral("B2"), QDate(2026, 1, 1),
                                                QDate(2026, 2, 1), false, QStringLiteral("Blas"))})
                .ok());
    }
    // Steps since the given one (inclusive), the recorded list otherwise untouched.
    QStringList desde(const QString& primero) const {
        const qsizetype i = pasos.indexOf(primero);
        return i < 0 ? QStringList() : pasos.mid(i);
    }
    void cerrar() { ventana->close(); }
};

TEST_F(Arranque, StartUpRunsEveryStepInItsOrder) {
    dosClientes();
    ASSERT_TRUE(CreadorBaseDatos::Insertar(carpeta.archivo(QStringLiteral("Portiva.mdb")),
                                           QStringLiteral("ServiciosDB"),
                                           {Servicio(QStringLiteral("Mensual"), 30)})
                    .ok());
    ASSERT_TRUE(arrancar());
    EXPECT_EQ(pasos, (QStringList{"InitVariables", "InitForm", "CargarSkin", "LoadLastSkin",
                                  "CargarConfigCopias", "InitAndShowDBData", "InitRelayInterface",
                                  "IniciarHuella", "huella.IniciarHuella", "CargarConfigHuella",
                                  "huella.LeerParametrosHuella", "ControlPorHuella", "Show"}));
    EXPECT_TRUE(ventana->isVisible());
    EXPECT_TRUE(arranque.empty()) << qPrintable(arranque.front().texto);

    // The station is under fingerprint control, waiting for its reader.
    EXPECT_EQ(ventana->acceso().torno().AccesoActual(), 8);
    EXPECT_FALSE(ventana->acceso().modos().LectorDetectado());
    EXPECT_TRUE(ventana->acceso().modos().tmrDetectarLector().isActive());
    EXPECT_EQ(control<QLabel>("lblInfoHuella")->text(),
              QStringLiteral("Sistema de Apertura por Huella"));
    // No relay board: its log line; the first member is shown with the counts.
    EXPECT_EQ(control<QListWidget>("lbLog")->item(0)->text(),
              QStringLiteral("10:30:00 -> Error: Interface de Apertura no detectado"));
    EXPECT_EQ(control<QLineEdit>("txtNombre")->text(), QStringLiteral("Ana"));
    EXPECT_EQ(control<QLineEdit>("txtNavReg")->text(), QStringLiteral(" 1"));
    EXPECT_EQ(control<QLineEdit>("txtRegTotales")->text(), QStringLiteral(" 2"));
    EXPECT_EQ(control<QLabel>("lblResult_ClientesPermitidos")->text(), QStringLiteral("1"));
    EXPECT_EQ(control<QLabel>("lblResult_ClientesNoPermitidos")->text(), QStringLiteral("1"));
    EXPECT_EQ(control<QLabel>("lblResult_TotalRegistros")->text(), QStringLiteral("2"));
    EXPECT_EQ(control<QLabel>("lblInfoDB")->text(),
              QStringLiteral("Le faltan 24 dia(s) para terminar, lleva 7 dias(s)."));
}

TEST_F(Arranque, TheSettingsFileIsReadBeforeTheStepsThatUseIt) {
    escribirIni("[Appearance]\nskin=Otra.JPG\n[Copias Seguridad]\nCopiaSeg AlSalir=1\n"
                "RestCopiaSeg AlIniciar=1\nNombreDB Restaurar=/copias/vieja.mdb\n"
                "[Configuracion huella]\nthresholdId=40\n");
    ASSERT_TRUE(arrancar());
    EXPECT_EQ(ventana->ajustes().SkinActual, QStringLiteral("Otra.JPG"));
    EXPECT_TRUE(ventana->ajustes().CopiaSegAlSalir);
    // A scheduled restore has its place before the database is opened.
    EXPECT_EQ(desde(QStringLiteral("CargarConfigCopias")).mid(0, 3),
              (QStringList{"CargarConfigCopias", "RestaurarAlCargar", "InitAndShowDBData"}));
    // Its file is gone: the schedule is used up at once and the database opens as usual.
    EXPECT_FALSE(ventana->estado().RestaurarAlIniciar);
    EXPECT_FALSE(ventana->ajustes().RestaurarAlIniciar);
    // The engine got the parameter of the file after it was started.
    EXPECT_EQ(huellaFalsa->umbralId, 40);
    EXPECT_LT(pasos.indexOf("huella.IniciarHuella"),
              pasos.indexOf("huella.AplicarParametrosHuella"));
}

TEST_F(Arranque, SavedSkinIsTheBackgroundWhenItsPictureIsThere) {
    QDir(carpeta.ruta()).mkdir(QStringLiteral("Skins"));
    QImage skin(ventana->width(), ventana->height(), QImage::Format_RGB32);
    skin.fill(QColor(10, 200, 30));
    ASSERT_TRUE(skin.save(carpeta.archivo(QStringLiteral("Skins/Verde.jpg")), "JPG"));
    escribirIni("[Appearance]\nskin=Verde.jpg\n");
    ASSERT_TRUE(arrancar());
    const QImage vista = ventana->grab().toImage();
    const QColor esquina = vista.pixelColor(vista.width() - 3, vista.height() - 3);
    EXPECT_NEAR(esquina.green(), 200, 12);
    EXPECT_NEAR(esquina.red(), 10, 12);
}

TEST_F(Arranque, ADatabaseThatCannotBeOpenedEndsTheProgramWritingNothing) {
    // A file that is not a station database: it must come out of this untouched.
    const QString mdb = carpeta.archivo(QStringLiteral("Portiva.mdb"));
    QFile::remove(mdb);
    {
        QFile f(mdb);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("esto no es una base de datos");
    }
    QSignalSpy cerrado(ventana.get(), &frmClientes::cerrado);

    EXPECT_FALSE(arrancar());
    ASSERT_EQ(arranque.size(), 1u);
    EXPECT_EQ(arranque[0].estilo, 16);
    EXPECT_EQ(arranque[0].titulo, QStringLiteral("Error conectando con la base de datos..."));
    EXPECT_EQ(arranque[0].texto,
              QStringLiteral("Se produjo un error al intentar conectar con la base de datos, \r\n"
                             "asegurese de que se encuentra en la carpeta del programa.\r\n\r\n"
                             "Motivo: el archivo no es una base de datos\r\n\r\n"
                             "             El programa no puede continuar."));
    EXPECT_EQ(cerrado.count(), 1);
    EXPECT_TRUE(ventana->terminado());
    EXPECT_FALSE(ventana->isVisible());
    // Nothing after the database: no relay board, no engine.
    EXPECT_EQ(pasos.back(), QStringLiteral("InitAndShowDBData"));
    EXPECT_FALSE(pasos.contains("huella.IniciarHuella"));

    // Neither the settings file nor the database file is written, not even by a later close.
    ventana->close();
    ventana.reset();
    EXPECT_FALSE(QFile::exists(ini()));
    EXPECT_EQ(leerArchivo(mdb), QByteArray("esto no es una base de datos"));
    EXPECT_TRUE(msgBox.mostrados.empty());
}

TEST_F(Arranque, AMissingDatabaseEndsTheProgramToo) {
    QFile::remove(carpeta.archivo(QStringLiteral("Portiva.mdb")));
    EXPECT_FALSE(arrancar());
    ASSERT_EQ(arranque.size(), 1u);
    EXPECT_EQ(arranque[0].titulo, QStringLiteral("Error conectando con la base de datos..."));
    EXPECT_FALSE(QFile::exists(carpeta.archivo(QStringLiteral("Portiva.mdb"))));
    EXPECT_FALSE(QFile::exists(ini()));
}

TEST_F(Arranque, AnEmptyMemberTableSaysHowToAddMembers) {
    ASSERT_TRUE(CreadorBaseDatos::Insertar(carpeta.archivo(QStringLiteral("Portiva.mdb")),
                                           QStringLiteral("ServiciosDB"),
                                           {Servicio(QStringLiteral("Mensual"), 30)})
                    .ok());
    ASSERT_TRUE(arrancar());
    ASSERT_EQ(arranque.size(), 1u);
    EXPECT_EQ(arranque[0].estilo, 64);
    EXPECT_EQ(arranque[0].titulo, QStringLiteral("La base de datos esta vacia."));
    EXPECT_EQ(arranque[0].texto,
              QStringLiteral("Pulse en el icono de nuevo cliente, introduzca los datos en las "
                             "casillas de texto y \r\nhaga click en guardar para añadir clientes "
                             "a la base de datos. Gracias."));
    for (const char* caja : {"txtID", "txtCodigo", "txtNombre", "txtStuffSiNo", "txtPrecio"})
        EXPECT_TRUE(control<QLineEdit>(caja)->text().isEmpty()) << caja;
    EXPECT_EQ(control<QLabel>("lblInfoDB")->text(),
              QStringLiteral("La base de datos de clientes esta vacia..."));
    EXPECT_EQ(control<QLineEdit>("txtNavReg")->text(), QStringLiteral(" 0"));
    EXPECT_EQ(control<QLineEdit>("txtRegTotales")->text(), QStringLiteral(" 0"));
    for (const char* etiqueta : {"lblResult_Personal", "lblResult_ClientesPermitidos",
                                 "lblResult_ClientesNoPermitidos", "lblResult_TotalRegistros"})
        EXPECT_EQ(control<QLabel>(etiqueta)->text(), QStringLiteral("0")) << etiqueta;
    EXPECT_TRUE(ventana->isVisible());
}

TEST_F(Arranque, WithoutServicesTheStartGoesOnAfterTwoBoxes) {
    dosClientes();
    ASSERT_TRUE(arrancar());
    ASSERT_EQ(arranque.size(), 2u);
    EXPECT_EQ(arranque[0].titulo, QStringLiteral("Tipos de Servicios..."));
    EXPECT_EQ(arranque[1].titulo, QStringLiteral("Buscando tipos de servicios contratados..."));
    EXPECT_EQ(arranque[1].estilo, 48);
    EXPECT_EQ(pasos.back(), QStringLiteral("Show"));
}

TEST_F(Arranque, ClosingWhileEditingIsRefusedAndWritesNothing) {
    dosClientes();
    ASSERT_TRUE(arrancar());
    ventana->EditMode(true);
    cerrar();
    EXPECT_TRUE(ventana->isVisible());
    ASSERT_EQ(msgBox.mostrados.size(), 1u);
    EXPECT_EQ(msgBox.ultimo().titulo, QStringLiteral("Salir de Portiva..."));
    EXPECT_FALSE(pasos.contains("GuardarConfiguracion"));
    EXPECT_FALSE(QFile::exists(ini()));
}

TEST_F(Arranque, CancelAtTheBackupQuestionKeepsTheStationRunning) {
    dosClientes();
    ASSERT_TRUE(arrancar());
    QSignalSpy cerrado(ventana.get(), &frmClientes::cerrado);
    msgBox.responder(Respuesta::Cancelar);
    cerrar();
    ASSERT_EQ(msgBox.mostrados.size(), 1u);
    EXPECT_EQ(msgBox.ultimo().estilo, 35);
    EXPECT_EQ(msgBox.ultimo().titulo, QStringLiteral("Cerrar Portiva..."));
    EXPECT_EQ(msgBox.ultimo().texto,
              QStringLiteral("Desea realizar una copia de seguridad de la Base de Datos antes de "
                             "salir?\r\n           (pulse cancelar si desea volver al programa)"));
    EXPECT_TRUE(ventana->isVisible());
    EXPECT_EQ(cerrado.count(), 0);
    EXPECT_FALSE(QFile::exists(ini()));
    EXPECT_TRUE(ventana->db().cnClientes().State() == 1);
}

TEST_F(Arranque, YesBacksUpAtExitNoDoesNot) {
    dosClientes();
    ASSERT_TRUE(arrancar());
    msgBox.responder(Respuesta::Si);
    cerrar();
    EXPECT_TRUE(ventana->estado().CopiaSegEstaVez);
    EXPECT_EQ(desde(QStringLiteral("CerrarDB")),
              (QStringList{"CerrarDB", "CopiaSeguridad", "RemoveBallonIcon"}));

    // A second station on the same data, answered No.
    pasos.clear();
    ventana = std::make_unique<frmClientes>(servicios());
    ASSERT_TRUE(arrancar());
    msgBox.responder(Respuesta::No);
    cerrar();
    EXPECT_FALSE(ventana->estado().CopiaSegEstaVez);
    EXPECT_EQ(desde(QStringLiteral("CerrarDB")), (QStringList{"CerrarDB", "RemoveBallonIcon"}));
}

TEST_F(Arranque, BackupAtEveryExitAsksNothing) {
    dosClientes();
    escribirIni("[Copias Seguridad]\nCopiaSeg AlSalir=1\n");
    ASSERT_TRUE(arrancar());
    cerrar();
    // No question; only the backup's own outcome.
    ASSERT_EQ(msgBox.mostrados.size(), 1u);
    EXPECT_EQ(
        msgBox.ultimo().texto,
        QStringLiteral("La Copia de Seguridad de la base de datos se ha realizado con exito."));
    EXPECT_TRUE(pasos.contains("CopiaSeguridad"));
}

TEST_F(Arranque, AnEmptyTableIsNeitherQuestionedNorBackedUp) {
    escribirIni("[Copias Seguridad]\nCopiaSeg AlSalir=1\n");
    ASSERT_TRUE(arrancar());
    cerrar();
    EXPECT_TRUE(msgBox.mostrados.empty());
    EXPECT_FALSE(pasos.contains("CopiaSeguridad"));
    EXPECT_FALSE(pasos.contains("CompactarBaseDatos"));
    EXPECT_FALSE(ventana->isVisible());
}

TEST_F(Arranque, ShutdownRunsInItsOrderAndWritesTheSettingsBack) {
    dosClientes();
    ASSERT_TRUE(arrancar());
    ventana->ajustes().SkinActual = QStringLiteral("Azul.JPG");
    huellaFalsa->umbralId = 31; // what the engine holds at exit is what is saved
    QSignalSpy cerrado(ventana.get(), &frmClientes::cerrado);
    msgBox.responder(Respuesta::No);
    cerrar();

    EXPECT_EQ(
        desde(QStringLiteral("GuardarConfiguracion")),
        (QStringList{"GuardarConfiguracion", "huella.LeerParametrosHuella", "FinalizarHuella",
                     "huella.FinalizarHuella", "PararPuerta", "CerrarDB", "RemoveBallonIcon"}));
    EXPECT_EQ(cerrado.count(), 1);
    EXPECT_FALSE(ventana->isVisible());
    EXPECT_EQ(ventana->db().cnClientes().State(), 0);
    EXPECT_EQ(bandeja.llamadas.back().que, QStringLiteral("quitar"));

    EXPECT_EQ(LeerIni(ini(), QStringLiteral("Appearance"), QStringLiteral("skin")),
              QStringLiteral("Azul.JPG"));
    EXPECT_EQ(LeerIni(ini(), QStringLiteral("Configuracion huella"), QStringLiteral("thresholdId")),
              QStringLiteral("31"));
    EXPECT_EQ(
        LeerIni(ini(), QStringLiteral("Copias Seguridad"), QStringLiteral("CopiaSeg AlSalir")),
        QStringLiteral("0"));
    EXPECT_EQ(LeerIni(ini(), QStringLiteral("Colores huella"), QStringLiteral("segmentsColor")),
              QStringLiteral("65280"));

    // Closed once: a further close runs nothing again.
    ventana->close();
    ventana->Form_Unload();
    EXPECT_EQ(cerrado.count(), 1);
    EXPECT_EQ(pasos.count(QStringLiteral("GuardarConfiguracion")), 1);
}

// SIGTERM or SIGINT from a service manager or a script: the same shutdown, in its order,
// without the closing questions (nobody is there to answer them), and the signal is taken up
// by the event loop rather than inside the handler.
TEST_F(Arranque, ASignalToStopRunsTheShutdownWithoutTheClosingQuestions) {
    dosClientes();
    ASSERT_TRUE(arrancar());
    ventana->ajustes().SkinActual = QStringLiteral("Azul.JPG");
    QSignalSpy cerrado(ventana.get(), &frmClientes::cerrado);
    const auto esperar = [](const std::function<bool()>& condicion) {
        QDeadlineTimer plazo(10000);
        while (!condicion() && !plazo.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return condicion();
    };
    {
        int paradas = 0;
        SenalesParada senales([&] { ++paradas; });
        ASSERT_TRUE(senales.activas());
        ASSERT_EQ(::raise(SIGINT), 0);
        EXPECT_EQ(paradas, 0); // nothing runs inside the handler
        EXPECT_TRUE(esperar([&] { return paradas == 1; }));
        EXPECT_EQ(cerrado.count(), 0);
    }
    SenalesParada senales([&] { ventana->TerminarPorSenal(); });
    ASSERT_TRUE(senales.activas());
    ASSERT_EQ(::raise(SIGTERM), 0);
    EXPECT_TRUE(esperar([&] { return cerrado.count() == 1; }));
    EXPECT_TRUE(msgBox.mostrados.empty());
    EXPECT_EQ(
        desde(QStringLiteral("GuardarConfiguracion")),
        (QStringList{"GuardarConfiguracion", "huella.LeerParametrosHuella", "FinalizarHuella",
                     "huella.FinalizarHuella", "PararPuerta", "CerrarDB", "RemoveBallonIcon"}));
    EXPECT_EQ(cerrado.count(), 1);
    EXPECT_EQ(LeerIni(ini(), QStringLiteral("Appearance"), QStringLiteral("skin")),
              QStringLiteral("Azul.JPG"));
}

// A stop while a start-up box is open (an empty member table): the box is closed, the start-up
// ends, and then the shutdown runs in its order, the settings written.
TEST_F(Arranque, ASignalDuringAStartUpBoxRunsTheShutdownAfterTheStartUp) {
    QSignalSpy cerrado(ventana.get(), &frmClientes::cerrado);
    SenalesParada senales([&] { ventana->TerminarPorSenal(); });
    ASSERT_TRUE(senales.activas());
    bool senalEnLaCaja = false;
    msgBox.alMostrar = [&](const MsgBoxGuion::Mostrado&) {
        if (senalEnLaCaja)
            return;
        senalEnLaCaja = true;
        ASSERT_EQ(::raise(SIGTERM), 0);
        // The box's own loop runs a while: the stop is taken up there.
        QDeadlineTimer plazo(300);
        while (!plazo.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    ASSERT_TRUE(arrancar());
    ASSERT_TRUE(senalEnLaCaja);
    EXPECT_EQ(cerrado.count(), 0); // not under the start-up
    EXPECT_TRUE(pasos.contains(QStringLiteral("Show")));
    QDeadlineTimer plazo(10000);
    while (cerrado.count() == 0 && !plazo.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(cerrado.count(), 1);
    EXPECT_EQ(desde(QStringLiteral("GuardarConfiguracion")).value(0),
              QStringLiteral("GuardarConfiguracion"));
    EXPECT_TRUE(QFile::exists(ini()));
}

// A stop that finds a menu open: the menu is closed as if cancelled, the code that opened it
// goes on, and only then does the shutdown run.
TEST_F(Arranque, AStopWithAMenuOpenClosesTheMenuFirst) {
    dosClientes();
    ASSERT_TRUE(arrancar());
    QSignalSpy cerrado(ventana.get(), &frmClientes::cerrado);
    QMenu menu;
    menu.addAction(QStringLiteral("Salir"));
    int cerradosDentroDelMenu = -1;
    QTimer::singleShot(50, ventana.get(), [&] { ventana->TerminarPorSenal(); });
    menu.exec(QPoint(10, 10));
    cerradosDentroDelMenu = static_cast<int>(cerrado.count());
    QDeadlineTimer plazo(10000);
    while (cerrado.count() == 0 && !plazo.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(cerradosDentroDelMenu, 0);
    EXPECT_EQ(cerrado.count(), 1);
    EXPECT_TRUE(msgBox.mostrados.empty());
}

TEST_F(Arranque, ASettingsFileThatCannotBeWrittenIsReportedAndTheShutdownGoesOn) {
    // A folder where the file should be: nothing can be written there.
    ASSERT_TRUE(QDir(carpeta.ruta()).mkdir(IniFile::nombreArchivo()));
    ASSERT_TRUE(arrancar());
    cerrar();
    ASSERT_EQ(msgBox.mostrados.size(), 1u);
    EXPECT_EQ(msgBox.ultimo().estilo, 48);
    EXPECT_EQ(msgBox.ultimo().titulo, QStringLiteral("Cerrando Portiva..."));
    EXPECT_TRUE(msgBox.ultimo().texto.startsWith(QStringLiteral("Error 75 (")));
    EXPECT_TRUE(msgBox.ultimo().texto.endsWith(QStringLiteral(") cerrando el programa")));
    EXPECT_TRUE(pasos.contains("huella.FinalizarHuella"));
    EXPECT_EQ(ventana->db().cnClientes().State(), 0);
}

} // namespace
