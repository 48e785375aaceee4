#pragma once

#include "BombeoPrueba.h"
#include "CarpetaTemporal.h"
#include "Entorno.h"
#include "Falsos.h"
#include "MsgBoxGuion.h"
#include "RelojFijo.h"
#include "frmClientes.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace portiva::prueba {

// A main window on a temporary program folder, with scripted message boxes, a fixed clock
// and fake desktop services; started as at start-up (InitVariables, InitForm).
class VentanaPrueba : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(carpeta.valida());
        ventana =
            std::make_unique<frmClientes>(ServiciosConsola{entorno, selector, visor, bandeja});
        ventana->InitVariables();
        ventana->InitForm();
    }
    void TearDown() override { ventana.reset(); }

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

    CarpetaTemporal carpeta;
    MsgBoxGuion msgBox;
    RelojFijo reloj;
    BombeoPrueba bombeo;
    Entorno entorno{carpeta.ruta(), msgBox, reloj, bombeo};
    SelectorGuion selector;
    VisorFalso visor;
    BandejaFalsa bandeja;
    std::unique_ptr<frmClientes> ventana;
};

} // namespace portiva::prueba
