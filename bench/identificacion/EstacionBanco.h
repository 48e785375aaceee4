// The station the identification benchmark measures: the database of 32,767 members made
// once, and one station over a program folder with the board on COM4, with quiet stand-ins for
// the screen, the window, the sound and the message boxes.
#pragma once

#include "CodigoAcceso.h"
#include "ControlAcceso.h"
#include "ControlHuella.h"
#include "CreadorBaseDatos.h"
#include "DbClientes.h"
#include "EnlaceCapturaSensores.h"
#include "Entorno.h"
#include "GeneradorHuellas.h"
#include "MsgBox.h"
#include "PantallaAcceso.h"
#include "PantallaHuella.h"
#include "PuertaAsincrona.h"
#include "ReproductorSonido.h"
#include "SimuladorRele.h"
#include "VistaQuieta.h"

#include <QDate>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace portiva::banco {

constexpr int Miembros = 32767;
constexpr int DedosDistintos = 300;
// The finger looked for: none of the stored fingers 0 .. DedosDistintos-1.
constexpr int DedoBuscado = DedosDistintos;
constexpr std::uint8_t MascaraPermitido = 33;

class PantallaBanco final : public PantallaAcceso {
public:
    void EscribirLog(const QString& linea) override { ultimaLinea = linea; }
    void MostrarResultado(int) override {}
    void ShowBallon(int, const QString&, const QString&, int) override {}
    void InfoHuella(const QString&, bool) override {}
    void HabilitarAperturaManual(bool) override {}
    void MostrarContAperturas(int, long, long) override {}
    QString ultimaLinea;
};

// The window as it starts: automatic analysis and identification on, the picture shown.
class VentanaBanco final : public PantallaHuella {
public:
    bool chkAutoAnalizar() const override { return true; }
    bool chkAutoIdentify() const override { return true; }
    bool chkMostrarHuella() const override { return true; }
    bool chkMostrarAnalisis() const override { return false; }
    bool chkMostrarIdentificacion() const override { return false; }
    bool chkInformacionAmpliada() const override { return false; }
    void MostrarCapturaHuella(const motor::ImagenRGB&) override {}
    bool InfoDesplegada() const override { return false; }
    void DesplegarInfo(bool) override {}
    void gotoRecordNum(qint16) override {}
    bool RestaurandoDB() const override { return false; }
};

class SonidoBanco final : public ReproductorSonido {
public:
    bool Reproducir(const QString&) override { return true; }
};

class MsgBoxBanco final : public MsgBox {
public:
    Respuesta operator()(const QString& texto, int, const QString&) override {
        std::fprintf(stderr, "message box: %s\n", qPrintable(texto));
        return Respuesta::No;
    }
};

inline QByteArray Extraer(motor::MotorHuella& m, const fpgen::ImagenGris& img) {
    QByteArray p(motor::TamanoMaximoPlantilla + 1, '\0');
    int tamano = motor::TamanoMaximoPlantilla;
    if (m.ExtraerPlantilla(img.pixeles.data(), img.ancho, img.alto, img.dpi,
                           reinterpret_cast<std::uint8_t*>(p.data()), tamano, 0) < 0)
        return {};
    p.resize(tamano + 1);
    p[tamano] = 0;
    return p;
}

// The member database: every member allowed today, row k holding the template of finger
// (k - 1) mod DedosDistintos. Made once and kept in the data folder.
inline bool PrepararBase(const QString& ruta, int miembros = Miembros) {
    if (QFile::exists(ruta))
        return true;
    std::printf("making the database (%d members, %d distinct fingers)...\n", miembros,
                DedosDistintos);
    std::fflush(stdout);
    const auto conjunto =
        fpgen::generarConjunto(fpgen::semillaBanco, DedosDistintos, 1, fpgen::Condiciones{});
    std::vector<QByteArray> plantillas(DedosDistintos);
    std::vector<std::thread> hilos;
    const unsigned n = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned h = 0; h < n; ++h)
        hilos.emplace_back([&, h] {
            motor::MotorHuella m;
            m.Inicializar();
            for (int d = static_cast<int>(h); d < DedosDistintos; d += static_cast<int>(n))
                plantillas[static_cast<std::size_t>(d)] =
                    Extraer(m, conjunto[static_cast<std::size_t>(d)][0]);
        });
    for (auto& t : hilos)
        t.join();
    std::vector<QVariantMap> filas;
    filas.reserve(static_cast<std::size_t>(miembros));
    const QDate hoy = QDate::currentDate();
    for (int k = 0; k < miembros; ++k) {
        const QByteArray& p = plantillas[static_cast<std::size_t>(k % DedosDistintos)];
        filas.push_back({{QStringLiteral("fldCodigo"), QString::number(k + 1)},
                         {QStringLiteral("fldNombre"), QStringLiteral("Socio %1").arg(k + 1)},
                         {QStringLiteral("fldFechaInicio"), hoy.addDays(-100)},
                         {QStringLiteral("fldFechaCaducidad"), hoy.addYears(5)},
                         {QStringLiteral("fldStuffSiNo"), false},
                         {QStringLiteral("fldTemplate"), p.isEmpty() ? QVariant() : QVariant(p)}});
    }
    const QString temporal = ruta + QStringLiteral(".nuevo");
    QFile::remove(temporal);
    if (auto r = CreadorBaseDatos::CrearVacia(temporal); !r) {
        std::fprintf(stderr, "%s\n", qPrintable(r.error().texto()));
        return false;
    }
    if (auto r = CreadorBaseDatos::Insertar(temporal, QStringLiteral("ClientesDB"), filas); !r) {
        std::fprintf(stderr, "%s\n", qPrintable(r.error().texto()));
        return false;
    }
    return QFile::rename(temporal, ruta);
}

// One station over a program folder holding the database, with the board on COM4.
struct Estacion {
    Estacion(const QString& carpeta, unsigned hilos)
        : entorno{carpeta, msgBox, reloj},
          acceso(entorno, pantalla, sonido, enlace, carpeta + QStringLiteral("/sin/ttyS")),
          db(entorno, vista),
          control(entorno, db.cnClientes(), acceso, pantalla, ventana, carpeta, &enlace, hilos) {
        acceso.modos().tmrBlink().stop();
    }

    bool arrancar(simulador::SimuladorRele& placa) {
        if (!db.AbrirDB())
            return false;
        control.huella().IniciarHuella();
        acceso.modos().tmrDetectarLector().stop();
        if (!prueba::Conectar(acceso.rele()))
            return false;
        acceso.torno().PonerAccesoActual(CodigoAcceso::ControlPorHuella);
        acceso.torno().ActRelayBoard(CodigoAcceso::ControlPorHuella);
        prueba::EsperarBytes(placa, 4, std::chrono::seconds(5));
        return true;
    }

    MsgBoxBanco msgBox;
    RelojSistema reloj;
    Entorno entorno;
    PantallaBanco pantalla;
    VentanaBanco ventana;
    SonidoBanco sonido;
    EnlaceCapturaSensores enlace;
    ControlAcceso acceso;
    prueba::VistaQuieta vista;
    DbClientes db;
    ControlHuella control;
};

} // namespace portiva::banco
