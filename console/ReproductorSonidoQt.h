#pragma once

#include "ReproductorSonido.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>

class QSoundEffect;

namespace portiva {

// The access sounds through QSoundEffect. A sound is started and never waited for. Each file
// is loaded once and kept, so the door's next access plays at once. Without an audio output
// (a machine with no sound card or sound server) nothing is attempted: the call answers false
// at once, and the first such call of the run says so once through the notice (the station's
// event log), so that an operator knows the station runs without sound.
class ReproductorSonidoQt final : public ReproductorSonido {
public:
    using Aviso = std::function<void(const QString&)>;

    ReproductorSonidoQt();
    ~ReproductorSonidoQt() override;

    bool Reproducir(const QString& ruta) override;
    void ponerAviso(Aviso aviso) { aviso_ = std::move(aviso); }

    // The notice's text.
    static QString TextoSinSonido();

private:
    std::map<QString, std::unique_ptr<QSoundEffect>> efectos_;
    Aviso aviso_;
    bool avisadoSinSonido_ = false;
};

} // namespace portiva
