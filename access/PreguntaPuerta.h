#pragma once

#include "MsgBox.h"

#include <QString>

#include <functional>

namespace portiva {

// A question the door asks the operator without waiting for the answer: the door goes on, and
// `alResponder` runs on the door's own thread when the operator has answered.
class PreguntaPuerta {
public:
    virtual ~PreguntaPuerta() = default;
    virtual void Preguntar(const QString& texto, int estilo, const QString& titulo,
                           std::function<void(Respuesta)> alResponder) = 0;
};

// A question as a modal box of the same thread, answered before the call returns: the door
// that lives on the window's thread, and the tests that script the answers.
class PreguntaModal final : public PreguntaPuerta {
public:
    explicit PreguntaModal(MsgBox& msgBox) : msgBox_(msgBox) {}
    void Preguntar(const QString& texto, int estilo, const QString& titulo,
                   std::function<void(Respuesta)> alResponder) override {
        alResponder(msgBox_(texto, estilo, titulo));
    }

private:
    MsgBox& msgBox_;
};

} // namespace portiva
