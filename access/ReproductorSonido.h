#pragma once

#include <QString>

namespace portiva {

// Plays a sound file without waiting for its end. The console implements it with
// QSoundEffect; tests record the calls.
class ReproductorSonido {
public:
    virtual ~ReproductorSonido() = default;
    // Starts playing the file; true when playing started.
    virtual bool Reproducir(const QString& ruta) = 0;
};

} // namespace portiva
