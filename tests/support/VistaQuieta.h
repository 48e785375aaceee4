#pragma once

#include "VistaClientes.h"

namespace portiva::prueba {

// A member form that shows nothing and holds no flags: for the door, the benchmarks and every
// test where the database must work but the record form plays no part.
class VistaQuieta final : public VistaClientes {
public:
    void RecordSetToText() override {}
    void InitTextBoxes() override {}
    void ActNavegador() override {}
    void EditMode(bool) override {}
    void InfoCaducidadDB() override {}
    Resultado GuardarCliente() override { return {}; }
    Resultado DeshacerCambiosDB() override { return {}; }
    void LimpiarServicios() override {}
    void AgregarServicio(const QString&, qint32) override {}
    void MostrarContador(Contador, const QString&) override {}
    bool ModoEdicion() const override { return false; }
    bool RegistroNuevo() const override { return false; }
    void setRegistroNuevo(bool) override {}
    qint16 PosicionPrevia() const override { return 0; }
    void setPosicionPrevia(qint16) override {}
    int InfoAmpliadaPrevia() const override { return 0; }
    void setInfoAmpliadaPrevia(int) override {}
    int chkInformacionAmpliada() const override { return 0; }
    void setChkInformacionAmpliada(int) override {}
};

} // namespace portiva::prueba
