#pragma once

#include "CapturaSensores.h"
#include "HuellaEstacion.h"
#include "ParametrosHuella.h"

#include <QByteArray>

#include <cstdint>

namespace portiva {

class PuertaEstacion;

// The fingerprint side as the window sees it when the door runs on its own thread: every call
// goes to the door's own fingerprint side (PuertaEstacion::huella) on the door's thread.
// Commands are queued; replies (an enrolment's answer) come back queued to the window's thread.
// The template of the member shown is kept here as well, so the record form reads it without
// asking the door. The few calls that return a value at once (the engine's parameters and
// version, an image file loaded or saved) wait for the door at most `EsperaRespuestaMs`.
class HuellaEnPuerta final : public HuellaEstacion, ParametrosHuella, CapturaSensores {
public:
    explicit HuellaEnPuerta(PuertaEstacion& puerta) : puerta_(puerta) {}

    static constexpr int EsperaRespuestaMs = 2000;

    ParametrosHuella& parametros() override { return *this; }
    CapturaSensores& captura() override { return *this; }
    void IniciarHuella() override;
    void FinalizarHuella() override;
    void cmdAnalizarHuella_Click() override;
    void cmdIndentificarHuellaDB_Click() override;
    void cmdAddTemplateDB_Click(qint32 id, std::function<void(bool)> hecho) override;
    void cmdVerificarHuellaDB_Click(bool modoEdicion, qint32 id, const QVariant& guardada) override;
    int CargarImagen(const QString& ruta) override;
    bool HayImagenCaptura() const override;
    int GuardarImagen(const QString& ruta) override;
    void VersionMotor(int& mayor, int& menor) const override;
    void CargarTemplateCliente(QByteArrayView guardada) override;
    QByteArray TemplateClienteGuardable() const override { return guardable_; }
    bool Ocupada() const override;

    // ParametrosHuella
    void LeerParametrosHuella(AjustesEstacion& ajustes) override;
    void AplicarParametrosHuella(const AjustesEstacion& ajustes) override;
    void ColoresPorDefecto(AjustesEstacion& ajustes) override;
    void AplicarColoresHuella(const AjustesEstacion& ajustes) override;

    // CapturaSensores
    void IniciarCaptura(const QString& idSensor) override;
    void DetenerCaptura(const QString& idSensor) override;

private:
    void ConAjustesDeLaPuerta(AjustesEstacion& ajustes,
                              void (ParametrosHuella::*llamada)(AjustesEstacion&));

    PuertaEstacion& puerta_;
    QByteArray guardable_;
    // Grows with every template the record form loads: an enrolment's answer that comes after
    // the form moved on does not overwrite the template of the member now shown.
    std::uint64_t generacion_ = 0;
};

} // namespace portiva
