#pragma once

#include "AjustesEstacion.h"
#include "BandejaSistema.h"
#include "CapturaSensores.h"
#include "HuellaEstacion.h"
#include "ParametrosHuella.h"
#include "ReproductorSonido.h"
#include "SelectorArchivos.h"
#include "VisorArchivos.h"

#include <QIcon>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace portiva::prueba {

// A notification area that records what it was asked.
class BandejaFalsa final : public BandejaSistema {
public:
    struct Llamada {
        QString que; // "anadir", "modificar", "globo", "quitar"
        qint64 icono = 0;
        QString tip, titulo, texto;
        int flags = 0;
    };
    bool anadir(const QIcon& icono, const QString& tip) override {
        llamadas.push_back({QStringLiteral("anadir"), icono.cacheKey(), tip, {}, {}, 0});
        ultimoIcono = icono;
        return disponible;
    }
    bool modificar(const QIcon& icono, const QString& tip) override {
        llamadas.push_back({QStringLiteral("modificar"), icono.cacheKey(), tip, {}, {}, 0});
        ultimoIcono = icono;
        return disponible;
    }
    void globo(const QString& titulo, const QString& texto, int flags, int) override {
        llamadas.push_back({QStringLiteral("globo"), 0, {}, titulo, texto, flags});
    }
    bool quitar() override {
        llamadas.push_back({QStringLiteral("quitar"), 0, {}, {}, {}, 0});
        return disponible;
    }
    bool hayAreaNotificacion() const override { return disponible; }
    void ponerReceptorRaton(std::function<void(int)> r) override { receptor = std::move(r); }

    bool disponible = true;
    QIcon ultimoIcono;
    std::function<void(int)> receptor;
    std::vector<Llamada> llamadas;
};

// A file picker that answers from a script and records how it was opened.
class SelectorGuion final : public SelectorArchivos {
public:
    QString guardar(const QString& carpetaInicial, const QString& filtroPedido, int indiceFiltro,
                    QWidget* padre) override {
        ++guardados;
        return abrir(carpetaInicial, filtroPedido, indiceFiltro, padre);
    }
    int guardados = 0;
    QString abrir(const QString& carpetaInicial, const QString& filtroPedido, int indiceFiltro,
                  QWidget*) override {
        carpeta = carpetaInicial;
        filtro = filtroPedido;
        indice = indiceFiltro;
        ++veces;
        if (respuestas.empty())
            return {};
        QString r = respuestas.front();
        respuestas.pop_front();
        return r;
    }
    std::deque<QString> respuestas;
    QString carpeta, filtro;
    int indice = 0;
    int veces = 0;
};

class VisorFalso final : public VisorArchivos {
public:
    bool abrir(const QString& ruta) override {
        abiertos << ruta;
        return true;
    }
    QStringList abiertos;
};

// A sound player that records what it was asked to play.
class SonidoFalso final : public ReproductorSonido {
public:
    bool Reproducir(const QString& ruta) override {
        reproducidos << ruta;
        return true;
    }
    QStringList reproducidos;
};

// The fingerprint side for window tests: no engine, every call recorded (into `pasos`, shared
// with the window's step observer when the test wants one order of everything). The engine's
// parameters are fixed values, so what the settings file writes can be checked.
class HuellaFalsa final : public HuellaEstacion, ParametrosHuella, CapturaSensores {
public:
    explicit HuellaFalsa(QStringList& pasos) : pasos_(pasos) {}

    ParametrosHuella& parametros() override { return *this; }
    CapturaSensores& captura() override { return *this; }
    void IniciarHuella() override { pasos_ << QStringLiteral("huella.IniciarHuella"); }
    void FinalizarHuella() override { pasos_ << QStringLiteral("huella.FinalizarHuella"); }
    void cmdAnalizarHuella_Click() override { pasos_ << QStringLiteral("huella.Analizar"); }
    void cmdIndentificarHuellaDB_Click() override {
        pasos_ << QStringLiteral("huella.Identificar");
    }
    void cmdAddTemplateDB_Click(qint32 id, std::function<void(bool)> hecho) override {
        pasos_ << QStringLiteral("huella.Anadir %1").arg(id);
        if (respuestaAnadir)
            plantilla = QByteArray("capturada", 10);
        hecho(respuestaAnadir);
    }
    void cmdVerificarHuellaDB_Click(bool modoEdicion, qint32 id,
                                    const QVariant& guardada) override {
        pasos_ << QStringLiteral("huella.Verificar %1 %2 %3")
                      .arg(modoEdicion ? QStringLiteral("edicion") : QStringLiteral("vista"))
                      .arg(id)
                      .arg(guardada.isNull() ? QStringLiteral("nula") : QStringLiteral("guardada"));
    }
    int CargarImagen(const QString& ruta) override {
        pasos_ << QStringLiteral("huella.CargarImagen ") + ruta;
        return respuestaCargar;
    }
    bool HayImagenCaptura() const override { return hayImagen; }
    int GuardarImagen(const QString& ruta) override {
        pasos_ << QStringLiteral("huella.GuardarImagen ") + ruta;
        return respuestaGuardar;
    }
    void VersionMotor(int& mayor, int& menor) const override {
        mayor = 1;
        menor = 0;
    }
    bool hayImagen = false;
    int respuestaGuardar = 0;
    void CargarTemplateCliente(QByteArrayView guardada) override {
        plantilla = guardada.toByteArray();
    }
    QByteArray TemplateClienteGuardable() const override { return plantilla; }
    bool respuestaAnadir = true;

    void LeerParametrosHuella(AjustesEstacion& a) override {
        pasos_ << QStringLiteral("huella.LeerParametrosHuella");
        a.thresholdId = umbralId;
        a.rotationMaxId = 45;
        a.thresholdVr = 23;
        a.rotationMaxVr = 45;
    }
    void AplicarParametrosHuella(const AjustesEstacion& a) override {
        pasos_ << QStringLiteral("huella.AplicarParametrosHuella");
        umbralId = a.thresholdId;
    }
    void ColoresPorDefecto(AjustesEstacion&) override {}
    void AplicarColoresHuella(const AjustesEstacion&) override {
        pasos_ << QStringLiteral("huella.AplicarColoresHuella");
    }
    void IniciarCaptura(const QString& id) override {
        pasos_ << QStringLiteral("huella.IniciarCaptura ") + id;
    }
    void DetenerCaptura(const QString& id) override {
        pasos_ << QStringLiteral("huella.DetenerCaptura ") + id;
    }

    QByteArray plantilla;
    int umbralId = 25;
    int respuestaCargar = 0;

private:
    QStringList& pasos_;
};

} // namespace portiva::prueba
