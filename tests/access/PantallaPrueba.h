#pragma once

#include "CapturaSensores.h"
#include "PantallaAcceso.h"
#include "ReproductorSonido.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

namespace portiva::prueba {

// A window for the access layer's tests: records every call.
class PantallaPrueba final : public PantallaAcceso {
public:
    struct Globo {
        int icono;
        QString titulo;
        QString texto;
        int flags;
    };
    struct Info {
        QString texto;
        bool rojo;
    };

    void EscribirLog(const QString& linea) override { log.append(linea); }
    void MostrarResultado(int indice) override {
        resultados.push_back(indice);
        if (alMostrarResultado)
            alMostrarResultado(indice);
    }
    void ShowBallon(int icono, const QString& titulo, const QString& texto, int flags) override {
        globos.push_back({icono, titulo, texto, flags});
    }
    void InfoHuella(const QString& texto, bool rojo) override { info.push_back({texto, rojo}); }
    void HabilitarAperturaManual(bool habilitado) override { aperturaManual.push_back(habilitado); }
    void MostrarContAperturas(int tipo, long valor, long total) override {
        contadores[tipo] = valor;
        totalHoy = total;
    }

    void limpiar() {
        log.clear();
        resultados.clear();
        globos.clear();
        info.clear();
        aperturaManual.clear();
    }

    QStringList log;
    std::vector<int> resultados;
    // Called as the door shows an access, before its relays pulse.
    std::function<void(int)> alMostrarResultado;
    std::vector<Globo> globos;
    std::vector<Info> info;
    std::vector<bool> aperturaManual;
    std::map<int, long> contadores;
    long totalHoy = -1;
};

class SonidoPrueba final : public ReproductorSonido {
public:
    bool Reproducir(const QString& ruta) override {
        rutas.append(ruta);
        return resultado;
    }
    QStringList rutas;
    bool resultado = true;
};

class CapturaPrueba final : public CapturaSensores {
public:
    void IniciarCaptura(const QString& id) override { iniciadas.append(id); }
    void DetenerCaptura(const QString& id) override { detenidas.append(id); }
    QStringList iniciadas;
    QStringList detenidas;
};

} // namespace portiva::prueba
