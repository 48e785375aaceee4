// The whole station through its real window: the station's own fingerprint engine with its
// simulated reader, synthetic prints, a real member database file and the relay board on a
// pseudo-terminal. Each finger put on the reader must give its relay bytes, log line, status
// line and counter.

#include "CodigoAcceso.h"
#include "ControlAcceso.h"
#include "GeneradorHuellas.h"
#include "MotorHuella.h"
#include "PlantillaPrueba.h"
#include "ReleSimulado.h"
#include "VentanaPrueba.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

using namespace portiva;
using namespace portiva::prueba;

namespace {

using Bytes = std::vector<std::uint8_t>;

// The station's prints: finger n of this seed, impression 0 enrolled.
constexpr std::uint64_t Semilla = fpgen::semillaPruebas;
constexpr int DedoDesconocido = 17;

class EstacionCompleta : public VentanaPrueba {
protected:
    void SetUp() override {
        ASSERT_TRUE(carpeta.valida() && conBase);
        ASSERT_TRUE(motor.Inicializar() >= 0);
        // Staff with empty dates, allowed (started today, expires tomorrow), expiring today,
        // not started (starts tomorrow); today is the test clock's 08/12/2026.
        const QDate hoy = reloj.hoy();
        std::vector<QVariantMap> filas = {
            Cliente(QStringLiteral("P1"), QVariant(), QVariant(), true, QStringLiteral("Pilar")),
            Cliente(QStringLiteral("A1"), hoy, hoy.addDays(1), false, QStringLiteral("Alba")),
            Cliente(QStringLiteral("X1"), hoy.addDays(-30), hoy, false, QStringLiteral("Ximo")),
            Cliente(QStringLiteral("N1"), hoy.addDays(1), hoy.addDays(30), false,
                    QStringLiteral("Nuria"))};
        for (int dedo = 0; dedo < 4; ++dedo)
            filas[size_t(dedo)].insert(QStringLiteral("fldTemplate"), plantilla(dedo, 0));
        ASSERT_TRUE(CreadorBaseDatos::Insertar(carpeta.archivo(QStringLiteral("Portiva.mdb")),
                                               QStringLiteral("ClientesDB"), filas)
                        .ok());
        ASSERT_TRUE(CreadorBaseDatos::Insertar(carpeta.archivo(QStringLiteral("Portiva.mdb")),
                                               QStringLiteral("ServiciosDB"),
                                               {Servicio(QStringLiteral("Mensual"), 30)})
                        .ok());
        // The reader is plugged in (its folder exists) and the relay board is on COM4.
        ASSERT_TRUE(QDir(carpeta.ruta()).mkdir(QStringLiteral("LectorSimulado")));
        placa = PlacaEnPuerto(carpeta.ruta(), 4);
        ASSERT_NE(placa, nullptr);

        ServiciosConsola s = servicios();
        s.fabricaHuella = {};  // the station's own engine
        s.puertaEnHilo = true; // on its own thread, as the station runs
        ventana = std::make_unique<frmClientes>(s);
        ASSERT_TRUE(arrancar());
        ASSERT_TRUE(EsperarHasta([&] { return ventana->puerta().estado().lectorDetectado; }));
        ASSERT_TRUE(EsperarHasta([&] { return placa->estado() == 2; }));
        placa->olvidar();
    }

    QByteArray plantilla(int dedo, int impresion) {
        return PlantillaComoSeGuarda(motor, generador.impresion(Semilla, dedo, impresion));
    }

    // Puts impression 1 of a finger on the reader and waits for the door's pulse and the
    // restore of the resting byte: five bytes on the wire (status request, two writes).
    // Puts impression 1 of a finger on the reader, the board's traffic so far forgotten unless
    // told otherwise.
    void ponerDedo(int dedo, bool olvidar = true) {
        const fpgen::ImagenGris img = generador.impresion(Semilla, dedo, 1);
        const QString temporal = carpeta.archivo(QStringLiteral("entrando.bmp"));
        EXPECT_EQ(motor.GuardarImagen(img.pixeles.data(), img.ancho, img.alto,
                                      temporal.toStdString(), 501, img.dpi),
                  0);
        if (olvidar)
            placa->olvidar();
        EXPECT_TRUE(QFile::rename(
            temporal, carpeta.archivo(QStringLiteral("LectorSimulado/huella%1.bmp").arg(dedo))));
    }

    Bytes dedoEnElLector(int dedo) {
        const int lineas = control<QListWidget>("lbLog")->count();
        ponerDedo(dedo);
        EXPECT_TRUE(EsperarHasta([&] { return placa->bytesRecibidos().size() >= 5; }, 30000));
        puertaAlDia();
        // The identification's own line follows the pulse.
        EXPECT_TRUE(EsperarHasta([&] {
            auto* log = control<QListWidget>("lbLog");
            for (int i = lineas; i < log->count(); ++i)
                if (log->item(i)->text().contains(QStringLiteral("Identif")))
                    return true;
            return false;
        }));
        return placa->bytesRecibidos();
    }

    QString ultimaLinea() {
        auto* log = control<QListWidget>("lbLog");
        return log->count() ? log->item(log->count() - 1)->text() : QString();
    }
    QString estado() { return control<QLabel>("lblInfoHuella")->text(); }
    QString contador(int tipo) {
        return control<QLabel>(qPrintable(QStringLiteral("lblResult_Acceso(%1)").arg(tipo)))
            ->text();
    }
    void guardarCaptura(const QString& nombre) {
        QDir().mkpath(QStringLiteral(PORTIVA_CAPTURAS));
        ventana->grab().save(QDir(QStringLiteral(PORTIVA_CAPTURAS)).filePath(nombre));
    }

    motor::MotorHuella motor;
    fpgen::GeneradorHuellas generador;
    std::unique_ptr<SimuladorRele> placa;
};

// "HH:mm:ss ->       Identif.: <label>  ID <id>  [<score>%]  Registro=<row>"
QRegularExpression LineaIdentificado(const QString& estado, int id) {
    return QRegularExpression(
        QStringLiteral("^10:30:00 ->       Identif\\.: %1  ID %2  \\[\\d+%\\]  Registro=%2$")
            .arg(QRegularExpression::escape(estado))
            .arg(id));
}

TEST_F(EstacionCompleta, EveryKindOfFingerAtTheDoor) {
    // Staff: passage and staff relays (1 and 5).
    EXPECT_EQ(dedoEnElLector(0), (Bytes{91, 92, 17, 92, 2}));
    EXPECT_TRUE(LineaIdentificado(QStringLiteral("Personal"), 1).match(ultimaLinea()).hasMatch())
        << qPrintable(ultimaLinea());
    EXPECT_EQ(estado(), QStringLiteral(" ID 1 Pilar (Personal)"));
    EXPECT_EQ(contador(1), QStringLiteral("1"));
    EXPECT_EQ(control<QLabel>("imgResultHuella")->pixmap().toImage(),
              ventana->imagenes().TipoDeAcceso(1).toImage());

    // Allowed member: relays 1 and 6; the byte read before the pulse comes back.
    EXPECT_EQ(dedoEnElLector(1), (Bytes{91, 92, 33, 92, 2}));
    EXPECT_TRUE(LineaIdentificado(QStringLiteral("Permitido"), 2).match(ultimaLinea()).hasMatch())
        << qPrintable(ultimaLinea());
    EXPECT_EQ(estado(), QStringLiteral(" ID 2 Alba (Permitido)"));
    EXPECT_EQ(contador(2), QStringLiteral("1"));
    guardarCaptura(QStringLiteral("estacion_permitido.png"));

    // Expiring today: refused, relay 7 alone.
    EXPECT_EQ(dedoEnElLector(2), (Bytes{91, 92, 64, 92, 2}));
    EXPECT_TRUE(LineaIdentificado(QStringLiteral("No perm."), 3).match(ultimaLinea()).hasMatch())
        << qPrintable(ultimaLinea());
    EXPECT_EQ(estado(), QStringLiteral(" ID 3 Ximo (No perm.)"));
    EXPECT_EQ(contador(3), QStringLiteral("1"));

    // Not started yet: refused the same way.
    EXPECT_EQ(dedoEnElLector(3), (Bytes{91, 92, 64, 92, 2}));
    EXPECT_TRUE(
        LineaIdentificado(QStringLiteral("Inicio posterior"), 4).match(ultimaLinea()).hasMatch())
        << qPrintable(ultimaLinea());
    EXPECT_EQ(estado(), QStringLiteral(" ID 4 Nuria (Inicio posterior)"));
    EXPECT_EQ(contador(3), QStringLiteral("2"));

    // A finger nobody enrolled: relay 8 alone, the status line in red.
    EXPECT_EQ(dedoEnElLector(DedoDesconocido), (Bytes{91, 92, 128, 92, 2}));
    EXPECT_EQ(ultimaLinea(), QStringLiteral("10:30:00 ->       Identifi.: Huella no encontrada."));
    EXPECT_EQ(estado(), QStringLiteral(" Desconocida!"));
    EXPECT_EQ(control<QLabel>("lblInfoHuella")->palette().color(QPalette::WindowText),
              QColor(255, 0, 0));
    EXPECT_EQ(contador(4), QStringLiteral("1"));
    guardarCaptura(QStringLiteral("estacion_desconocido.png"));

    // The day's total counts those who went through: staff and the allowed member.
    EXPECT_EQ(control<QLabel>("lblResult_TotalHoy")->text(), QStringLiteral("2"));
    EXPECT_EQ(contador(0), QStringLiteral("0"));
    // The captured print is on show; nothing asked the operator anything.
    EXPECT_FALSE(control<QLabel>("imgCapturaHuella")->pixmap().isNull());
    EXPECT_TRUE(msgBox.mostrados.empty());
    // The member form did not move: without "Inform. ampliada" the first member stays shown.
    EXPECT_EQ(control<QLineEdit>("txtCodigo")->text(), QStringLiteral("P1"));
    EXPECT_FALSE(ventana->estado().InfoDesplegada);
}

TEST_F(EstacionCompleta, ExtendedInformationShowsTheIdentifiedMember) {
    QTest::mouseClick(control<QCheckBox>("chkInformacionAmpliada"), Qt::LeftButton);
    ventana->DesplegarInfo(false); // folded in again: the identification folds it out
    ASSERT_TRUE(control<QCheckBox>("chkInformacionAmpliada")->isChecked());

    EXPECT_EQ(dedoEnElLector(3), (Bytes{91, 92, 64, 92, 2}));
    EXPECT_TRUE(ventana->estado().InfoDesplegada);
    EXPECT_EQ(control<QLineEdit>("txtCodigo")->text(), QStringLiteral("N1"));
    EXPECT_EQ(control<QLineEdit>("txtNavReg")->text(), QStringLiteral(" 4"));
    EXPECT_EQ(control<QLabel>("lblInfoDB")->text(),
              QStringLiteral("A este cliente le faltan 1 dia(s) para su inicio."));
    guardarCaptura(QStringLiteral("estacion_informacion_ampliada.png"));

    // While a record is edited the form stays on it, whoever comes to the door.
    click("imgEditarCliente");
    EXPECT_FALSE(control<QCheckBox>("chkInformacionAmpliada")->isChecked());
    EXPECT_EQ(dedoEnElLector(1), (Bytes{91, 92, 33, 92, 2}));
    EXPECT_EQ(control<QLineEdit>("txtCodigo")->text(), QStringLiteral("N1"));
    EXPECT_TRUE(ventana->estado().ModoEdicion);
}

TEST_F(EstacionCompleta, APrintOpenedFromAFileTakesTheFingersRoad) {
    ASSERT_TRUE(QDir(carpeta.ruta()).mkdir(QStringLiteral("Huellas")));
    const QString archivo = carpeta.archivo(QStringLiteral("Huellas/alba.bmp"));
    const fpgen::ImagenGris img = generador.impresion(Semilla, 1, 2);
    ASSERT_EQ(motor.GuardarImagen(img.pixeles.data(), img.ancho, img.alto, archivo.toStdString(),
                                  501, img.dpi),
              0);
    selector.respuestas = {archivo};
    placa->olvidar();
    ventana->menu().menuImgFromFile->trigger();
    ASSERT_TRUE(EsperarHasta([&] { return placa->bytesRecibidos().size() >= 5; }));
    EXPECT_EQ(placa->bytesRecibidos(), (Bytes{91, 92, 33, 92, 2}));
    ASSERT_TRUE(EsperarHasta([&] { return ultimaLinea().contains(QStringLiteral("Identif")); }));
    EXPECT_TRUE(LineaIdentificado(QStringLiteral("Permitido"), 2).match(ultimaLinea()).hasMatch())
        << qPrintable(ultimaLinea());
    // A file is no reader: the station's reader stays as it was.
    EXPECT_TRUE(ventana->puerta().estado().lectorDetectado);
}

// Something modal open at the desk (a message box, a dialog, an open menu) runs its own event
// loop until the operator closes it. The door goes on meanwhile: the finger put on the reader
// while it is open is identified and pulsed, the relays back to rest after the pulse, all
// before the desk closes it.
TEST_F(EstacionCompleta, ModalLoopsAtTheDeskDoNotHoldTheDoor) {
    struct Modal {
        const char* nombre;
        std::function<void(QWidget*)> abrir; // runs the modal loop until the widget closes
    };
    const std::vector<Modal> modales = {
        {"message box",
         [](QWidget* padre) {
             QMessageBox caja(QMessageBox::Information, QStringLiteral("Portiva"),
                              QStringLiteral("Copia de seguridad realizada"), QMessageBox::Ok,
                              padre);
             caja.exec();
         }},
        {"dialog",
         [](QWidget* padre) {
             QDialog dialogo(padre);
             dialogo.exec();
         }},
        {"menu",
         [](QWidget* padre) {
             QMenu menu(padre);
             menu.addAction(QStringLiteral("Fijar a Cerrado"));
             menu.exec(padre->mapToGlobal(QPoint(10, 10)));
         }},
    };
    const Bytes esperados[] = {{91, 92, 17, 92, 2}, {91, 92, 33, 92, 2}, {91, 92, 64, 92, 2}};
    for (std::size_t i = 0; i < modales.size(); ++i) {
        const Modal& m = modales[i];
        placa->olvidar();
        bool abierto = false;
        bool pulsoConElModalAbierto = false;
        // While the modal loop runs, this timer (a timer runs inside any loop) closes it once
        // the door has pulsed and rested; it gives up after a long while.
        QTimer vigilante;
        QElapsedTimer desde;
        QObject::connect(&vigilante, &QTimer::timeout, [&] {
            if (!abierto)
                return;
            const bool pulsado = placa->bytesRecibidos().size() >= 5;
            if (!pulsado && desde.elapsed() < 30000)
                return;
            pulsoConElModalAbierto = pulsado;
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
            if (QWidget* w = QApplication::activePopupWidget())
                w->close();
        });
        vigilante.start(5);
        bool cerrado = false;
        QTimer::singleShot(0, ventana.get(), [&] {
            abierto = true;
            desde.start();
            // The finger goes on the reader once the modal loop runs.
            QTimer::singleShot(20, ventana.get(), [&] { ponerDedo(int(i)); });
            m.abrir(ventana.get());
            abierto = false;
            cerrado = true;
        });
        ASSERT_TRUE(EsperarHasta([&] { return cerrado; }, 40000)) << m.nombre;
        EXPECT_TRUE(pulsoConElModalAbierto) << m.nombre;
        EXPECT_EQ(placa->bytesRecibidos(), esperados[i]) << m.nombre;
        const auto escrituras = EscriturasDeEstado(placa->recibidos());
        ASSERT_EQ(escrituras.size(), 2u) << m.nombre;
        const long pulso = Milisegundos(escrituras[1].momento - escrituras[0].momento);
        EXPECT_GE(pulso, 450) << m.nombre;
        EXPECT_LT(pulso, 3000) << m.nombre;
    }
    EXPECT_EQ(control<QLabel>("lblResult_TotalHoy")->text(), QStringLiteral("2"));

    // A box opened while the relays of an access are on, and the next finger put on the
    // reader while it is open: the first pulse ends at its time and the second finger gets
    // its own pulse, both before the box is closed.
    placa->olvidar();
    bool cerrado = false;
    bool ambosConLaCajaAbierta = false;
    QTimer abrirEnElPulso;
    QObject::connect(&abrirEnElPulso, &QTimer::timeout, [&] {
        if (!ventana->puerta().estado().pulsando)
            return;
        abrirEnElPulso.stop();
        QMessageBox caja(QMessageBox::Question, QStringLiteral("Portiva"),
                         QStringLiteral("Desea restaurar la copia?"),
                         QMessageBox::Yes | QMessageBox::No, ventana.get());
        QTimer::singleShot(20, &caja, [&] { ponerDedo(3, false); });
        QTimer vigilante;
        QElapsedTimer desde;
        desde.start();
        QObject::connect(&vigilante, &QTimer::timeout, &caja, [&] {
            const bool ambos = placa->bytesRecibidos().size() >= 10;
            if (!ambos && desde.elapsed() < 30000)
                return;
            ambosConLaCajaAbierta = ambos;
            caja.close();
        });
        vigilante.start(5);
        caja.exec();
        cerrado = true;
    });
    abrirEnElPulso.start(1);
    ponerDedo(1);
    ASSERT_TRUE(EsperarHasta([&] { return cerrado; }, 40000));
    EXPECT_TRUE(ambosConLaCajaAbierta);
    EXPECT_EQ(placa->bytesRecibidos(), (Bytes{91, 92, 33, 92, 2, 91, 92, 64, 92, 2}));
}

TEST(EstacionArranque, AReaderAnnouncedDuringTheSettingsBoxIsNotForgotten) {
    // Parameters the engine refuses: their box lets events run, and the reader announces
    // itself meanwhile.
    CarpetaTemporal carpeta;
    ASSERT_TRUE(CreadorBaseDatos::CrearVacia(carpeta.archivo(QStringLiteral("Portiva.mdb"))).ok());
    ASSERT_TRUE(QDir(carpeta.ruta()).mkdir(QStringLiteral("LectorSimulado")));
    {
        QFile ini(carpeta.archivo(QStringLiteral("Accesos.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Configuracion huella]\nthresholdId=5\nrotationMaxId=45\n");
    }
    MsgBoxGuion msgBox;
    msgBox.alMostrar = [](const MsgBoxGuion::Mostrado& m) {
        if (m.titulo == QStringLiteral("Cargando parametros..."))
            EsperarHasta([] { return false; }, 600);
    };
    RelojFijo reloj;
    Entorno entorno{carpeta.ruta(), msgBox, reloj};
    SelectorGuion selector;
    VisorFalso visor;
    BandejaFalsa bandeja;
    SonidoFalso sonido;
    ServiciosConsola s{entorno, selector, visor, bandeja};
    s.sonido = &sonido;
    s.prefijoDispositivo = carpeta.archivo(QStringLiteral("sin-puertos/ttyS"));
    frmClientes ventana(s);
    ASSERT_TRUE(ventana.Form_Load());
    // The door's box is shown by the window while the door goes on.
    ASSERT_TRUE(EsperarHasta([&] {
        return std::any_of(msgBox.mostrados.begin(), msgBox.mostrados.end(), [](const auto& m) {
            return m.titulo == QStringLiteral("Cargando parametros...");
        });
    }));
    ASSERT_TRUE(EsperarHasta([&] { return ventana.puerta().estado().lectorDetectado; }));
    const bool detectando = EnPuerta(
        ventana, [&ventana] { return ventana.acceso().modos().tmrDetectarLector().isActive(); });
    EXPECT_FALSE(detectando);
    EXPECT_EQ(ventana.puerta().estado().accesoActual, CodigoAcceso::ControlPorHuella);
}

} // namespace

// The window's thread plainly busy (blocked on a semaphore here) while two fingers come one
// after the other: the door reads, identifies and pulses both meanwhile, in order, each back
// to rest; what it showed reaches the log once the window runs again, every line in order.
TEST_F(EstacionCompleta, TheDoorGoesOnWhileTheWindowsThreadIsBlocked) {
    // The prints are made here first; the helper thread only moves files and watches the board.
    const auto preparar = [&](int dedo, const QString& nombre) {
        const fpgen::ImagenGris img = generador.impresion(Semilla, dedo, 1);
        EXPECT_EQ(motor.GuardarImagen(img.pixeles.data(), img.ancho, img.alto,
                                      carpeta.archivo(nombre).toStdString(), 501, img.dpi),
                  0);
    };
    preparar(1, QStringLiteral("uno.bmp"));
    preparar(0, QStringLiteral("dos.bmp"));
    const int lineas = control<QListWidget>("lbLog")->count();
    placa->olvidar();
    QSemaphore listo;
    std::atomic<bool> ambos{false};
    std::thread ayudante([&] {
        const auto hasta = [&](std::size_t n) {
            const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (std::chrono::steady_clock::now() < limite && placa->bytesRecibidos().size() < n)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return placa->bytesRecibidos().size() >= n;
        };
        QFile::rename(carpeta.archivo(QStringLiteral("uno.bmp")),
                      carpeta.archivo(QStringLiteral("LectorSimulado/huella1.bmp")));
        const bool primero = hasta(5);
        QFile::rename(carpeta.archivo(QStringLiteral("dos.bmp")),
                      carpeta.archivo(QStringLiteral("LectorSimulado/huella0.bmp")));
        ambos = primero && hasta(10);
        listo.release();
    });
    listo.acquire();
    ayudante.join();
    EXPECT_TRUE(ambos);
    EXPECT_EQ(placa->bytesRecibidos(), (Bytes{91, 92, 33, 92, 2, 91, 92, 17, 92, 2}));
    const std::vector<long> pulsos = LargosDePulso(placa->recibidos());
    ASSERT_EQ(pulsos.size(), 2u);
    for (const long pulso : pulsos) {
        EXPECT_GE(pulso, 450);
        EXPECT_LT(pulso, 5000);
    }
    puertaAlDia();
    QStringList nuevas;
    auto* log = control<QListWidget>("lbLog");
    for (int i = lineas; i < log->count(); ++i)
        nuevas.append(log->item(i)->text());
    QStringList identificadas;
    for (const QString& l : nuevas)
        if (l.contains(QStringLiteral("Identif")) || l.contains(QStringLiteral("Nueva huella")))
            identificadas.append(l);
    ASSERT_EQ(identificadas.size(), 4) << qPrintable(nuevas.join(u'\n'));
    EXPECT_EQ(identificadas[0], QStringLiteral("10:30:00 -> Nueva huella capturada."));
    EXPECT_TRUE(
        LineaIdentificado(QStringLiteral("Permitido"), 2).match(identificadas[1]).hasMatch());
    EXPECT_EQ(identificadas[2], QStringLiteral("10:30:00 -> Nueva huella capturada."));
    EXPECT_TRUE(
        LineaIdentificado(QStringLiteral("Personal"), 1).match(identificadas[3]).hasMatch());
    EXPECT_EQ(contador(1), QStringLiteral("1"));
    EXPECT_EQ(contador(2), QStringLiteral("1"));
}

// A shutdown that comes while the relays of an access are on: the door ends the pulse first
// (the byte read before goes back), then its thread stops, then the database closes.
TEST_F(EstacionCompleta, AShutdownDuringAnAccessEndsThePulseFirst) {
    ponerDedo(1);
    ASSERT_TRUE(EsperarHasta([&] { return placa->bytesRecibidos().size() >= 3; }, 30000));
    pasos.clear();
    ventana->Form_Unload();
    EXPECT_EQ(placa->bytesRecibidos(), (Bytes{91, 92, 33, 92, 2}));
    EXPECT_TRUE(ventana->terminado());
    const qsizetype parar = pasos.indexOf(QStringLiteral("PararPuerta"));
    EXPECT_GE(parar, 0);
    EXPECT_LT(parar, pasos.indexOf(QStringLiteral("CerrarDB")));
    // The door's last lines were posted before it stopped.
    QCoreApplication::processEvents();
    auto* log = control<QListWidget>("lbLog");
    bool identificada = false;
    for (int i = 0; i < log->count(); ++i)
        identificada = identificada || log->item(i)->text().contains(QStringLiteral("Identif"));
    EXPECT_TRUE(identificada);
}
