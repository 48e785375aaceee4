#pragma once

#include "BandejaSistema.h"
#include "SelectorArchivos.h"
#include "VisorArchivos.h"

#include <QIcon>
#include <QString>
#include <QStringList>
#include <deque>
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

    bool disponible = true;
    QIcon ultimoIcono;
    std::vector<Llamada> llamadas;
};

// A file picker that answers from a script and records how it was opened.
class SelectorGuion final : public SelectorArchivos {
public:
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

} // namespace portiva::prueba
