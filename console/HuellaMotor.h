#pragma once

#include "ControlHuella.h"
#include "HuellaEstacion.h"

namespace portiva {

// The station's fingerprint side on its own engine: the adapter and the capture flow of
// ControlHuella, with the simulated reader watching <program folder>/LectorSimulado.
class HuellaMotor final : public HuellaEstacion {
public:
    explicit HuellaMotor(const ContextoHuella& contexto);

    ParametrosHuella& parametros() override { return huella_; }
    CapturaSensores& captura() override { return huella_; }
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
    QByteArray TemplateClienteGuardable() const override;
    bool Ocupada() const override;

    ControlHuella& control() { return control_; }

private:
    ControlHuella control_;
    DBHuella& huella_;
};

} // namespace portiva
