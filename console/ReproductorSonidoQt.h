#pragma once

#include "ReproductorSonido.h"

#include <QString>

#include <map>
#include <memory>

class QSoundEffect;

namespace portiva {

// The access sounds through QSoundEffect. A sound is started and never waited for. Each file
// is loaded once and kept, so the door's next access plays at once. Without an audio output
// (a machine with no sound card or sound server) nothing is attempted: the call answers false
// at once, with no message per access.
class ReproductorSonidoQt final : public ReproductorSonido {
public:
    ReproductorSonidoQt();
    ~ReproductorSonidoQt() override;

    bool Reproducir(const QString& ruta) override;

private:
    std::map<QString, std::unique_ptr<QSoundEffect>> efectos_;
};

} // namespace portiva
