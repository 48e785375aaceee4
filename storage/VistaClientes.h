#pragma once

#include "Resultado.h"

#include <QString>

namespace portiva {

// What the member database needs of the member record form: the form shows the current row of
// DbClientes::rsClientes(), owns the record-form flags and the service list, and shows the
// member counts. The console implements it; tests use a fake.
class VistaClientes {
public:
    // The four count labels.
    enum class Contador { Personal, ClientesPermitidos, ClientesNoPermitidos, TotalRegistros };

    virtual ~VistaClientes() = default;

    // Show the current row in the record boxes / empty the boxes.
    virtual void RecordSetToText() = 0;
    virtual void InitTextBoxes() = 0;
    // Show the current position and the row count.
    virtual void ActNavegador() = 0;
    // Enter (true) or leave edit mode; sets ModoEdicion.
    virtual void EditMode(bool valor) = 0;
    // Show the membership status of the current row.
    virtual void InfoCaducidadDB() = 0;
    // Store the boxes into the current row and leave edit mode / drop the edit. They trap no
    // database error: a failure comes back to the caller.
    virtual Resultado GuardarCliente() = 0;
    virtual Resultado DeshacerCambiosDB() = 0;
    // The checks of the edited record before it is stored; false keeps the edit open (the
    // operator has been told why).
    virtual bool DatosOK() { return true; }

    // The service list box cboServContratado: empty it, add a name with its service ID.
    virtual void LimpiarServicios() = 0;
    virtual void AgregarServicio(const QString& nombre, qint32 id) = 0;

    // The caption of one count label (lblResult_Personal, lblResult_ClientesPermitidos,
    // lblResult_ClientesNoPermitidos, lblResult_TotalRegistros).
    virtual void MostrarContador(Contador contador, const QString& texto) = 0;

    // The record-form flags.
    virtual bool ModoEdicion() const = 0;
    virtual bool RegistroNuevo() const = 0;
    virtual void setRegistroNuevo(bool valor) = 0;
    virtual qint16 PosicionPrevia() const = 0;
    virtual void setPosicionPrevia(qint16 valor) = 0;
    virtual int InfoAmpliadaPrevia() const = 0;
    virtual void setInfoAmpliadaPrevia(int valor) = 0;
    // The value of the box chkInformacionAmpliada (0 clear, 1 ticked).
    virtual int chkInformacionAmpliada() const = 0;
    virtual void setChkInformacionAmpliada(int valor) = 0;
};

} // namespace portiva
