#pragma once
#include "Imagenes.h" // engine: portiva::motor::ImagenRGB (RGB888, ancho, alto, bytes)
#include <QtGlobal>
namespace portiva {
// What the fingerprint flow needs of the main window. The console implements it.
class PantallaHuella {
public:
    virtual ~PantallaHuella() = default;
    // The option boxes of the station column (true = ticked).
    virtual bool chkAutoAnalizar() const = 0;
    virtual bool chkAutoIdentify() const = 0;
    virtual bool chkMostrarHuella() const = 0;
    virtual bool chkMostrarAnalisis() const = 0;
    virtual bool chkMostrarIdentificacion() const = 0;
    virtual bool chkInformacionAmpliada() const = 0;
    // imgCapturaHuella takes this picture.
    virtual void MostrarCapturaHuella(const motor::ImagenRGB& imagen) = 0;
    // The member-information panel, and the jump to a member by its 1-based position.
    virtual bool InfoDesplegada() const = 0;
    virtual void DesplegarInfo(bool valor) = 0;
    virtual void gotoRecordNum(qint16 posicion) = 0;
    // A database restore is running.
    virtual bool RestaurandoDB() const = 0;
};
} // namespace portiva
