#include "ReproductorSonidoQt.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace portiva {

ReproductorSonidoQt::ReproductorSonidoQt() = default;
ReproductorSonidoQt::~ReproductorSonidoQt() = default;

QString ReproductorSonidoQt::TextoSinSonido() {
    return QStringLiteral("Sin salida de audio (tarjeta o servidor de sonido): la estacion "
                          "funciona sin sonido.");
}

bool ReproductorSonidoQt::Reproducir(const QString& ruta) {
    if (!QFileInfo(ruta).isFile())
        return false;
    // The list of outputs is kept up to date by Qt; asking it costs nothing, and a speaker
    // plugged in later is used from then on.
    if (QMediaDevices::audioOutputs().isEmpty()) {
        // Qt's own line on standard error ("PulseAudioService: pa_context_connect() failed")
        // does not say what it means for the station; this does, once.
        if (!avisadoSinSonido_) {
            avisadoSinSonido_ = true;
            qWarning("%s", qUtf8Printable(TextoSinSonido()));
            if (aviso_)
                aviso_(TextoSinSonido());
        }
        return false;
    }

    std::unique_ptr<QSoundEffect>& efecto = efectos_[ruta];
    if (!efecto || efecto->status() == QSoundEffect::Error) {
        // A file that failed to load (or was replaced) is loaded afresh.
        efecto = std::make_unique<QSoundEffect>();
        efecto->setSource(QUrl::fromLocalFile(ruta));
    }
    // A sound still playing from the previous access starts again from its beginning.
    efecto->stop();
    efecto->play();
    return efecto->status() != QSoundEffect::Error;
}

} // namespace portiva
