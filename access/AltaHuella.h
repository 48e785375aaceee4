#pragma once

#include <QByteArray>
#include <QVariant>
#include <QtGlobal>

namespace portiva {

class Conexion;
class DBHuella;
class FlujoHuella;
class MsgBox;
class PantallaHuella;
class RegistroEventos;

// The desk's two fingerprint buttons of the member record: "Añadir" gives the last analysed
// template to the member being edited once no other member has that finger, and "Verificar"
// compares a fresh analysis of the last capture one to one with the member's template and
// logs the outcome. Neither opens the door, touches the status line or counts anything; the
// database is only read (the template reaches it when the record is saved).
class AltaHuella {
public:
    AltaHuella(Conexion& cn, DBHuella& huella, FlujoHuella& flujo, RegistroEventos& registro,
               MsgBox& msgBox, PantallaHuella& pantalla);

    // "Añadir" for the member `id`: true when TemplateCliente now holds the captured template.
    bool cmdAddTemplateDB_Click(qint32 id);
    // "Verificar" for the member `id`: while editing, against TemplateCliente (enrolled and
    // maybe not yet saved); otherwise against `guardada`, the row's stored fldTemplate.
    void cmdVerificarHuellaDB_Click(bool modoEdicion, qint32 id, const QVariant& guardada);
    // Verifies TemplateCaptura against `plantilla` and logs the outcome.
    void VerificarHuellaDB(const QByteArray& plantilla, qint32 id);

private:
    void Aviso(const QString& texto, const QString& segunda, const QString& titulo);

    Conexion& cn_;
    DBHuella& huella_;
    FlujoHuella& flujo_;
    RegistroEventos& registro_;
    MsgBox& msgBox_;
    PantallaHuella& pantalla_;
};

} // namespace portiva
