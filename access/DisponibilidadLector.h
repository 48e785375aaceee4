#pragma once

#include <QObject>
#include <QString>

namespace portiva {

class PantallaAcceso;
class Torno;

// Whether the station has a working fingerprint reader, kept on screen. The station modes put
// the station in state 5 (with its tray balloon and relay byte) when the reader goes, and back
// in 8 when it returns, but leave the status line as it was: it went on reading "Sistema de
// Apertura por Huella" over a dead reader. This keeps it true: "Lector de la huella no
// detectado" in red while no reader works, "Sistema de Apertura por Huella" again when one is
// back and the station is under fingerprint control. Images loaded from a file ("File") are no
// reader.
class DisponibilidadLector final : public QObject {
    Q_OBJECT

public:
    DisponibilidadLector(Torno& torno, PantallaAcceso& pantalla, QObject* parent = nullptr);

    // The engine's reader events, after the station modes have handled them.
    void LectorConectado(const QString& idSensor);
    void LectorDesconectado(const QString& idSensor);

    bool Disponible() const { return disponible_; }

signals:
    void CambioDisponibilidad(bool disponible, const QString& idSensor);

private:
    Torno& torno_;
    PantallaAcceso& pantalla_;
    bool disponible_ = false;
};

} // namespace portiva
