#pragma once

#include "PantallaHuella.h"

namespace portiva {

class frmClientes;

// The main window as the fingerprint flow sees it: its option boxes, the captured picture, the
// member-information panel, the jump to a member and the restore flag. The window owns one.
class PantallaHuellaVentana final : public PantallaHuella {
public:
    explicit PantallaHuellaVentana(frmClientes& ventana) : ventana_(ventana) {}

    bool chkAutoAnalizar() const override;
    bool chkAutoIdentify() const override;
    bool chkMostrarHuella() const override;
    bool chkMostrarAnalisis() const override;
    bool chkMostrarIdentificacion() const override;
    bool chkInformacionAmpliada() const override;
    void MostrarCapturaHuella(const motor::ImagenRGB& imagen) override;
    bool InfoDesplegada() const override;
    void DesplegarInfo(bool valor) override;
    void gotoRecordNum(qint16 posicion) override;
    bool RestaurandoDB() const override;

private:
    frmClientes& ventana_;
};

} // namespace portiva
