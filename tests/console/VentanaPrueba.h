#pragma once

#include "BaseDatosPrueba.h"
#include "CarpetaTemporal.h"
#include "DbClientes.h"
#include "Entorno.h"
#include "Falsos.h"
#include "MsgBoxGuion.h"
#include "PuertaEstacion.h"
#include "Recordset.h"
#include "ReleSimulado.h"
#include "RelojFijo.h"
#include "frmClientes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace portiva::prueba {

// Runs `consulta` on the door's thread and gives its answer (generous limit).
template <class F> auto EnPuerta(frmClientes& ventana, F consulta) -> decltype(consulta()) {
    using Valor = decltype(consulta());
    auto valor = std::make_shared<Valor>();
    EXPECT_TRUE(ventana.puerta().Ejecutar([valor, consulta] { *valor = consulta(); }, 20000));
    return *valor;
}

// A main window on a temporary program folder holding an empty member database, with
// scripted message boxes, a fixed clock, fake desktop services, a recording fingerprint side
// and sound player, and no serial ports; set up as at start-up (InitVariables, InitForm).
// Every start-up and shutdown step, and every call of the fingerprint side, goes into `pasos`.
class VentanaPrueba : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(carpeta.valida() && conBase);
        CopiarSkinPredeterminada();
        ventana = std::make_unique<frmClientes>(servicios());
        ventana->InitVariables();
        ventana->InitForm();
    }
    void TearDown() override { ventana.reset(); }

    // The skin every station ships, as the saved setting names it by default.
    void CopiarSkinPredeterminada() {
        ASSERT_TRUE(QDir(carpeta.ruta()).mkpath(QStringLiteral("Skins")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(PORTIVA_ASSETS "/Skins/Default.JPG"),
                                carpeta.archivo(QStringLiteral("Skins/Default.JPG"))));
    }

    ServiciosConsola servicios() {
        ServiciosConsola s{entorno, selector, visor, bandeja};
        s.sonido = &sonido;
        s.fabricaHuella = [this](const ContextoHuella&) {
            auto h = std::make_unique<HuellaFalsa>(pasos);
            huellaFalsa = h.get();
            return std::unique_ptr<HuellaEstacion>(std::move(h));
        };
        // The door on the window's thread: the recording fingerprint side is called at once.
        s.puertaEnHilo = false;
        // No serial device: a board is found only where a test links one into the folder.
        s.prefijoDispositivo = carpeta.archivo(QStringLiteral("sin-puertos/ttyS"));
        s.locale = QLocale(QLocale::Spanish, QLocale::Spain);
        s.pasos = [this](const QString& paso) { pasos << paso; };
        return s;
    }

    // Once the door has nothing under way, everything it posted to the window has been
    // shown: a call sent to the door answers back by the same queue as its earlier posts.
    void puertaAlDia() {
        ASSERT_TRUE(EsperarHasta([&] { return !ventana->puerta().estado().ocupada; }));
        auto vuelta = std::make_shared<bool>(false);
        frmClientes* v = ventana.get();
        v->puerta().Enviar(
            [v, vuelta] { v->puerta().buzonVentana().Publicar([vuelta] { *vuelta = true; }); });
        ASSERT_TRUE(EsperarHasta([&] { return *vuelta; }));
    }

    // The start-up sequence; the boxes it showed are kept in `arranque` and cleared.
    bool arrancar() {
        const bool ok = ventana->Form_Load();
        arranque = msgBox.mostrados;
        msgBox.limpiar();
        return ok;
    }

    template <class T> T* control(const char* nombre) {
        T* c = ventana->findChild<T*>(QString::fromLatin1(nombre));
        EXPECT_NE(c, nullptr) << nombre;
        return c;
    }
    // Visible as the window shows it (the window itself may not be on screen).
    bool visible(const char* nombre) {
        QWidget* c = control<QWidget>(nombre);
        return c && c->isVisibleTo(ventana.get());
    }
    void click(const char* nombre) { QTest::mouseClick(control<QWidget>(nombre), Qt::LeftButton); }
    void dobleClick(const char* nombre) {
        QTest::mouseDClick(control<QWidget>(nombre), Qt::LeftButton);
    }
    // A raw mouse event with explicit buttons, delivered to a control.
    static void raton(QWidget* destino, QEvent::Type tipo, QPoint donde, Qt::MouseButton boton,
                      Qt::MouseButtons botones) {
        QMouseEvent evento(tipo, QPointF(donde), QPointF(destino->mapToGlobal(donde)), boton,
                           botones, Qt::NoModifier);
        QApplication::sendEvent(destino, &evento);
    }

    // A field of a stored row, read afresh from the file by its ID ("?" when it cannot be).
    QVariant almacenado(qint64 id, const char* campo) {
        Recordset rs;
        EXPECT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB WHERE ID = ?"),
                            ventana->db().cnClientes(), {id})
                        .ok());
        return rs.Valor(QString::fromLatin1(campo)).valor_o(QVariant(QStringLiteral("?")));
    }

    CarpetaTemporal carpeta;
    // The member database of the folder, empty; tests add rows before the start-up.
    const bool conBase =
        CreadorBaseDatos::CrearVacia(carpeta.archivo(QStringLiteral("Portiva.mdb"))).ok();
    MsgBoxGuion msgBox;
    RelojFijo reloj;
    Entorno entorno{carpeta.ruta(), msgBox, reloj};
    SelectorGuion selector;
    VisorFalso visor;
    BandejaFalsa bandeja;
    SonidoFalso sonido;
    QStringList pasos;
    HuellaFalsa* huellaFalsa = nullptr;
    std::vector<MsgBoxGuion::Mostrado> arranque;
    std::unique_ptr<frmClientes> ventana;
};

} // namespace portiva::prueba
