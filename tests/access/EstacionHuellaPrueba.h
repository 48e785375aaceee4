#pragma once

#include "BaseDatosPrueba.h"
#include "CodigoAcceso.h"
#include "ControlAcceso.h"
#include "ControlHuella.h"
#include "DbClientes.h"
#include "EnlaceCapturaSensores.h"
#include "Entorno.h"
#include "HuellasPrueba.h"
#include "MsgBoxGuion.h"
#include "PantallaHuella.h"
#include "PantallaPrueba.h"
#include "PuertaAsincrona.h"
#include "ReleSimulado.h"
#include "RelojFijo.h"
#include "VistaQuieta.h"

#include <QCoreApplication>
#include <QDir>
#include <QThread>

#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace portiva::prueba {

// The main window as the fingerprint flow sees it: option boxes the test sets, and a record
// of the pictures, jumps and fold-outs, each with the number of log lines and result pictures
// there were at that moment (to check what came before what).
class PantallaHuellaPrueba final : public PantallaHuella {
public:
    explicit PantallaHuellaPrueba(const PantallaPrueba& acceso) : acceso_(acceso) {}

    bool chkAutoAnalizar() const override { return autoAnalizar; }
    bool chkAutoIdentify() const override { return autoIdentificar; }
    bool chkMostrarHuella() const override { return mostrarHuella; }
    bool chkMostrarAnalisis() const override { return mostrarAnalisis; }
    bool chkMostrarIdentificacion() const override { return mostrarIdentificacion; }
    bool chkInformacionAmpliada() const override { return informacionAmpliada; }
    void MostrarCapturaHuella(const motor::ImagenRGB& imagen) override {
        imagenes.push_back(imagen);
        lineasAlMostrar.push_back(static_cast<int>(acceso_.log.size()));
    }
    bool InfoDesplegada() const override { return infoDesplegada; }
    void DesplegarInfo(bool valor) override {
        desplegados.push_back(valor);
        infoDesplegada = valor;
    }
    void gotoRecordNum(qint16 posicion) override {
        saltos.push_back(posicion);
        resultadosAlSaltar = static_cast<int>(acceso_.resultados.size());
    }
    bool RestaurandoDB() const override { return restaurando; }

    bool autoAnalizar = true;
    bool autoIdentificar = true;
    bool mostrarHuella = true;
    bool mostrarAnalisis = false;
    bool mostrarIdentificacion = false;
    bool informacionAmpliada = false;
    bool infoDesplegada = false;
    bool restaurando = false;

    std::vector<motor::ImagenRGB> imagenes;
    std::vector<int> lineasAlMostrar;
    std::vector<bool> desplegados;
    std::vector<qint16> saltos;
    int resultadosAlSaltar = -1;

private:
    const PantallaPrueba& acceso_;
};

// One station's fingerprint side over a temporary program folder with a real member database,
// the real engine, the access layer and a simulated relay board on COM4 (when asked for).
// The engine is started; the poll timer runs only while the test pumps events.
class EstacionHuellaPrueba {
public:
    explicit EstacionHuellaPrueba(unsigned hilos = 0)
        : entorno{base.carpeta(), msgBox, reloj}, ventana(pantalla),
          acceso(entorno, pantalla, sonido, enlace,
                 QDir(base.carpeta()).filePath(QStringLiteral("sin-dispositivos/ttyS"))),
          db(entorno, vista) {
        acceso.modos().tmrBlink().stop();
        acceso.torno().PonerDuracionPulso(80); // many door actions; the 50 ms answer stays real
        control = std::make_unique<ControlHuella>(entorno, db.cnClientes(), acceso, pantalla,
                                                  ventana, base.carpeta(), &enlace, hilos);
    }

    // Opens the database (after the rows are in) and starts the engine; the log is emptied.
    void Arrancar() {
        ASSERT_TRUE(db.AbrirDB());
        huella().IniciarHuella();
        acceso.modos().tmrDetectarLector().stop();
        pantalla.limpiar();
    }

    // The board on COM4, connected and resting under fingerprint control, its traffic so far
    // forgotten.
    SimuladorRele& Placa() {
        placa = PlacaEnPuerto(base.carpeta(), 4);
        if (!placa) {
            ADD_FAILURE() << "no pseudo-terminal for COM4";
            std::abort();
        }
        EXPECT_TRUE(Conectar(acceso.rele()));
        acceso.torno().PonerAccesoActual(CodigoAcceso::ControlPorHuella);
        acceso.torno().ActRelayBoard(CodigoAcceso::ControlPorHuella);
        EXPECT_TRUE(EsperarBytes(*placa, 4, EsperaGenerosa));
        placa->olvidar();
        pantalla.limpiar();
        return *placa;
    }

    // A member row with the stored template of a finger's impression 0.
    static QVariantMap ConHuella(QVariantMap fila, int dedo) {
        fila.insert(QStringLiteral("fldTemplate"), PlantillaGuardada(dedo, 0));
        return fila;
    }

    // The reader delivers impression `impresion` of finger `dedo`.
    void Capturar(int dedo, int impresion = 1, const QString& sensor = QStringLiteral("Simulado")) {
        const fpgen::ImagenGris& img = Impresion(dedo, impresion);
        flujo().MotorHuellaCtrl_ImageCaptured(sensor, img.ancho, img.alto, img.pixeles, img.dpi);
    }
    void CapturarEnBlanco() {
        const fpgen::ImagenGris& img = ImagenEnBlanco();
        flujo().MotorHuellaCtrl_ImageCaptured(QStringLiteral("Simulado"), img.ancho, img.alto,
                                              img.pixeles, img.dpi);
    }

    // Runs `accion` once, while the door's relays are on (inside its 500 ms pulse).
    void DuranteElPulso(std::function<void()> accion) {
        prueba::DuranteElPulso(acceso.torno(), sondeos_, std::move(accion));
    }

    DBHuella& huella() { return control->huella(); }
    FlujoHuella& flujo() { return control->flujo(); }

    BaseDatosPrueba base;
    MsgBoxGuion msgBox;
    RelojFijo reloj;
    Entorno entorno;
    PantallaPrueba pantalla;
    PantallaHuellaPrueba ventana;
    SonidoPrueba sonido;
    EnlaceCapturaSensores enlace;
    ControlAcceso acceso;
    prueba::VistaQuieta vista;
    DbClientes db;
    std::unique_ptr<SimuladorRele> placa;
    std::unique_ptr<ControlHuella> control;
    std::vector<std::unique_ptr<QTimer>> sondeos_;
};

} // namespace portiva::prueba
