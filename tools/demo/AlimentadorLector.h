#pragma once

#include <QString>
#include <QStringList>

namespace portiva::demo {

// Puts a finger on the simulated reader now and then: copies the next print of the demo's
// turn from "Huellas/" into "LectorSimulado/" (written under a hidden name, then renamed, so
// the reader never takes half a file). The turn is staff, allowed member, expired member,
// member not yet started, unknown finger, each time with the next impression of that finger.
class AlimentadorLector {
public:
    explicit AlimentadorLector(QString carpetaPrograma);

    // The people of the turn: member codes, and the unknown finger's name last.
    static QStringList Turno();
    // Their words in the feeder's lines.
    static QString Descripcion(const QString& quien);

    // Drops the next print of the turn. False, with the reason in `mensaje`, when the reader's
    // folder is missing (the reader is unplugged), when the print before has not been taken
    // yet (the station is not reading), or when the print file is missing; the turn then
    // stays where it is. On success `mensaje` says whose print was dropped.
    bool SoltarSiguiente(QString& mensaje);

    int soltadas() const { return soltadas_; }

private:
    QString carpeta_;
    int siguiente_ = 0;
    int soltadas_ = 0;
};

} // namespace portiva::demo
