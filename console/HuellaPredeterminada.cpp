#include "HuellaPredeterminada.h"

#include "AjustesEstacion.h"
#include "CapturaSensores.h"
#include "ParametrosHuella.h"

namespace portiva {

namespace {

// Until the engine is part of the station: no reader, no template, nothing to analyse.
class HuellaAusente final : public HuellaEstacion, ParametrosHuella, CapturaSensores {
public:
    ParametrosHuella& parametros() override { return *this; }
    CapturaSensores& captura() override { return *this; }
    void IniciarHuella() override {}
    void FinalizarHuella() override {}
    void cmdAnalizarHuella_Click() override {}
    void cmdIndentificarHuellaDB_Click() override {}
    void CargarTemplateCliente(QByteArrayView guardada) override {
        plantilla_ = guardada.toByteArray();
    }
    QByteArray TemplateClienteGuardable() const override { return plantilla_; }

    void LeerParametrosHuella(AjustesEstacion&) override {}
    void AplicarParametrosHuella(const AjustesEstacion&) override {}
    void ColoresPorDefecto(AjustesEstacion&) override {}
    void AplicarColoresHuella(const AjustesEstacion&) override {}
    void IniciarCaptura(const QString&) override {}
    void DetenerCaptura(const QString&) override {}

private:
    QByteArray plantilla_;
};

} // namespace

const FabricaHuella& FabricaHuellaPredeterminada() {
    static const FabricaHuella fabrica = [](const ContextoHuella&) {
        return std::unique_ptr<HuellaEstacion>(std::make_unique<HuellaAusente>());
    };
    return fabrica;
}

} // namespace portiva
