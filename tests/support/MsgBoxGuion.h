#pragma once

#include "MsgBox.h"

#include <QString>
#include <deque>
#include <functional>
#include <vector>

namespace portiva::prueba {

// A message box for tests: records every box shown and answers from a script. With the
// script empty it answers Aceptar for OK boxes and No for questions.
class MsgBoxGuion final : public MsgBox {
public:
    struct Mostrado {
        QString texto;
        int estilo;
        QString titulo;
    };

    Respuesta operator()(const QString& texto, int estilo, const QString& titulo) override {
        mostrados.push_back({texto, estilo, titulo});
        if (alMostrar)
            alMostrar(mostrados.back());
        if (!respuestas.empty()) {
            Respuesta r = respuestas.front();
            respuestas.pop_front();
            return r;
        }
        const int botones = estilo & 7;
        return botones == 0 ? Respuesta::Aceptar : Respuesta::No;
    }

    void responder(Respuesta r) { respuestas.push_back(r); }
    void limpiar() { mostrados.clear(); }
    const Mostrado& ultimo() const { return mostrados.back(); }

    std::vector<Mostrado> mostrados;
    std::deque<Respuesta> respuestas;
    std::function<void(const Mostrado&)> alMostrar;
};

} // namespace portiva::prueba
