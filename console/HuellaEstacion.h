#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

namespace portiva {

struct Entorno;
class CapturaSensores;
class Conexion;
class ControlAcceso;
class PantallaAcceso;
class PantallaHuella;
class ParametrosHuella;

// What the main window needs of the station's fingerprint side: the engine's start and stop,
// its parameters for the settings file, the capture control for the station modes, the two
// buttons of the station column, and the template of the member shown (`TemplateCliente`).
// The station's engine stands behind it; the window's tests put a recording fake there.
class HuellaEstacion {
public:
    virtual ~HuellaEstacion() = default;

    virtual ParametrosHuella& parametros() = 0;
    virtual CapturaSensores& captura() = 0;

    // Start-up: the engine is started and capture begins. Shutdown: capture stops and the
    // engine is finalised.
    virtual void IniciarHuella() = 0;
    virtual void FinalizarHuella() = 0;

    // The buttons "Analizar" and "Identificar".
    virtual void cmdAnalizarHuella_Click() = 0;
    virtual void cmdIndentificarHuellaDB_Click() = 0;

    // The buttons "Añadir" and "Verificar" of the member `id`. "Añadir" answers `hecho(true)`
    // when the member's template (`TemplateCliente`) is now the captured one; the answer may
    // come later, from the event loop. "Verificar" compares with `TemplateCliente` while
    // editing, otherwise with `guardada` (the row's fldTemplate).
    virtual void cmdAddTemplateDB_Click(qint32 id, std::function<void(bool)> hecho) = 0;
    virtual void cmdVerificarHuellaDB_Click(bool modoEdicion, qint32 id,
                                            const QVariant& guardada) = 0;

    // Loads a fingerprint image file; it then arrives as a capture from the sensor "File".
    // 0 when loaded, the engine's (non-zero) code otherwise.
    virtual int CargarImagen(const QString& ruta) = 0;
    // Whether a captured image is there to be saved, and saving it as a bitmap file: 0 when
    // saved, the engine's (non-zero) code otherwise.
    virtual bool HayImagenCaptura() const { return false; }
    virtual int GuardarImagen(const QString& ruta) {
        (void)ruta;
        return -1;
    }
    // The engine's library version.
    virtual void VersionMotor(int& mayor, int& menor) const { mayor = menor = 0; }

    // `TemplateCliente` from a member row: the stored bytes (the template and its one extra
    // trailing byte); empty bytes (a Null field) leave no template.
    virtual void CargarTemplateCliente(QByteArrayView guardada) = 0;
    // What saving the member row stores: the whole template array when its size is above 0,
    // empty bytes when there is no template (the row's field is then left as it is).
    virtual QByteArray TemplateClienteGuardable() const = 0;

    // The fingerprint side still has work under way (a capture being handled or waiting).
    virtual bool Ocupada() const { return false; }
};

// What the fingerprint side is built from: the window hands in its own layers.
struct ContextoHuella {
    Entorno& entorno;
    // The door's own connection to the member database.
    Conexion& conexion;
    ControlAcceso& acceso;
    PantallaAcceso& pantalla;
    PantallaHuella& pantallaHuella;
    QString carpetaPrograma;
};

using FabricaHuella = std::function<std::unique_ptr<HuellaEstacion>(const ContextoHuella&)>;

} // namespace portiva
