#pragma once

#include "MsgBox.h"
#include "PantallaAcceso.h"
#include "PantallaHuella.h"
#include "PreguntaPuerta.h"
#include "ReproductorSonido.h"

#include "Buzon.h"

namespace portiva {

// The window as the door sees it from the door's own thread. Every call is a copy of its
// arguments posted to the window's thread (`ventana` is a Buzon living there), in the order
// the door made them; none waits for the window. Built, used and destroyed on the door's
// thread; posts still queued when the window goes are dropped with it.

class PantallaAccesoDiferida final : public PantallaAcceso {
public:
    PantallaAccesoDiferida(PantallaAcceso& destino, Buzon& ventana)
        : destino_(destino), ventana_(ventana) {}

    void EscribirLog(const QString& linea) override;
    void MostrarResultado(int indice) override;
    void ShowBallon(int icono, const QString& tituloGlobo, const QString& textoGlobo,
                    int flags) override;
    void InfoHuella(const QString& texto, bool rojo) override;
    void HabilitarAperturaManual(bool habilitado) override;
    void MostrarContAperturas(int tipo, long valor, long totalHoy) override;

private:
    PantallaAcceso& destino_;
    Buzon& ventana_;
};

// What the fingerprint flow reads of the window: the option boxes, whether the information
// panel is out and whether a restore runs. The window sends them whenever they change
// (`Poner`); the door keeps its copy, so it never reads a widget of another thread.
struct OpcionesPantallaHuella {
    bool autoAnalizar = true;
    bool autoIdentify = true;
    bool mostrarHuella = false;
    bool mostrarAnalisis = false;
    bool mostrarIdentificacion = false;
    bool informacionAmpliada = false;
    bool infoDesplegada = false;
    bool restaurandoDB = false;
    bool operator==(const OpcionesPantallaHuella&) const = default;
};

class PantallaHuellaDiferida final : public PantallaHuella {
public:
    PantallaHuellaDiferida(PantallaHuella& destino, Buzon& ventana)
        : destino_(destino), ventana_(ventana) {}

    // The window's values, as it sent them last (door's thread).
    void Poner(const OpcionesPantallaHuella& opciones) { opciones_ = opciones; }
    const OpcionesPantallaHuella& opciones() const { return opciones_; }

    bool chkAutoAnalizar() const override { return opciones_.autoAnalizar; }
    bool chkAutoIdentify() const override { return opciones_.autoIdentify; }
    bool chkMostrarHuella() const override { return opciones_.mostrarHuella; }
    bool chkMostrarAnalisis() const override { return opciones_.mostrarAnalisis; }
    bool chkMostrarIdentificacion() const override { return opciones_.mostrarIdentificacion; }
    bool chkInformacionAmpliada() const override { return opciones_.informacionAmpliada; }
    void MostrarCapturaHuella(const motor::ImagenRGB& imagen) override;
    bool InfoDesplegada() const override { return opciones_.infoDesplegada; }
    // The panel is taken as out at once: the next identification does not ask again.
    void DesplegarInfo(bool valor) override;
    void gotoRecordNum(qint16 posicion) override;
    bool RestaurandoDB() const override { return opciones_.restaurandoDB; }

private:
    PantallaHuella& destino_;
    Buzon& ventana_;
    OpcionesPantallaHuella opciones_;
};

// The door's message boxes: a box that only informs is posted and the call returns at once
// (as if accepted); a question (PreguntaPuerta) is posted and its answer comes back to the
// door's thread (`puerta`, the Buzon living there) when the operator has given it.
class MsgBoxDiferido final : public MsgBox, public PreguntaPuerta {
public:
    MsgBoxDiferido(MsgBox& destino, Buzon& ventana, Buzon& puerta)
        : destino_(destino), ventana_(ventana), puerta_(puerta) {}

    Respuesta operator()(const QString& texto, int estilo, const QString& titulo = {}) override;
    void Preguntar(const QString& texto, int estilo, const QString& titulo,
                   std::function<void(Respuesta)> alResponder) override;

private:
    MsgBox& destino_;
    Buzon& ventana_;
    Buzon& puerta_;
};

// The access sounds, started on the window's thread where the player lives.
class SonidoDiferido final : public ReproductorSonido {
public:
    SonidoDiferido(ReproductorSonido& destino, Buzon& ventana)
        : destino_(destino), ventana_(ventana) {}
    // True: the sound is asked for; whether it plays is the player's affair, as before.
    bool Reproducir(const QString& ruta) override;

private:
    ReproductorSonido& destino_;
    Buzon& ventana_;
};

} // namespace portiva
