#pragma once

#include "BusquedaParalela.h"
#include "CaducidadHuella.h"
#include "GaleriaHuellas.h"

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace portiva {

class Conexion;
class DBHuella;
class MsgBox;
class PantallaAcceso;
class PantallaHuella;
class RegistroEventos;
class Reloj;
class Torno;

// The road of one finger at the door: a captured image is kept, analysed into a template,
// identified against every enrolled member in table order, and the first matching member's row
// decides the access type that the door acts on; the status line and the event log tell the
// outcome. The operator can run analysis and identification by button as well.
//
// The flow hands its decision to the door and does not wait for the pulse. A request that comes
// while the flow still runs (while it waits for a locked file, or from an event the flow's own
// calls let run) is kept, the latest one replacing an earlier one, and runs right after the
// running flow has finished; the running identification is never disturbed and its scan is
// never opened twice. The flow's message boxes are shown once it has ended, so a finger put on
// the reader while one is open is handled at once.
class FlujoHuella {
public:
    // `hilosBusqueda`: threads comparing templates, 0 = the hardware's cores.
    FlujoHuella(Conexion& cn, DBHuella& huella, Torno& torno, RegistroEventos& registro,
                PantallaAcceso& pantallaAcceso, PantallaHuella& pantallaHuella, MsgBox& msgBox,
                const Reloj& reloj, unsigned hilosBusqueda = 0);

    // The engine's image-captured event, for every sensor ("File" included). An image that
    // waits longer than CaducidadHuella::Vida for the flow is logged and dropped.
    void MotorHuellaCtrl_ImageCaptured(const QString& idSensor, int ancho, int alto,
                                       const std::vector<std::uint8_t>& imagen, int resolucion);
    // Extracts the template of the last captured image and logs its quality; false on failure.
    bool AnalizarHuella();
    // The buttons "Analizar" and "Identificar".
    void cmdAnalizarHuella_Click();
    void cmdIndentificarHuellaDB_Click();
    // Identifies the last analysed template and logs the outcome (refused while a database
    // restore runs).
    void IndentificarHuellaDB();
    // The scan and the access decision. Returns the matched member's ID, 0 when no stored
    // template matches, or a negative result code. `Score` is the engine's score of the last
    // comparison (of the match after a match), `Posicion` the matched row's 1-based position
    // in the scan (0 otherwise), `Estado` the decision's label or "Desconocido".
    qint32 IdentificarHuella(qint32& Score, qint32& Posicion, QString& Estado);

    // Loads the gallery of enrolled templates (at start-up; identification keeps it current).
    void CargarGaleria();
    const GaleriaHuellas& galeria() const { return galeria_; }
    // For the desk's duplicate check (from the door's thread, outside a walk).
    GaleriaHuellas& galeria() { return galeria_; }

    // A capture or a button is being handled (requests arriving meanwhile are kept).
    bool Ocupado() const { return ocupado_; }
    // Something is still to be done: the flow runs, waits for a locked file, or holds a
    // capture or a click for after it.
    bool Pendiente() const { return ocupado_ || enEspera_ || static_cast<bool>(pendiente_); }
    unsigned hilosBusqueda() const { return busqueda_.hilos(); }
    CaducidadHuella& caducidad() { return caducidad_; }
    // The threads that compare templates, for the desk's checks (one walk at a time, from the
    // door's thread).
    BusquedaParalela& busqueda() { return busqueda_; }

private:
    void Ejecutar(std::function<void()> accion);
    void Capturada(const QString& idSensor, int ancho, int alto, std::vector<std::uint8_t> imagen,
                   int resolucion);
    void MensajeSinHuella(const QString& accion);
    // A box of the flow, shown when the flow has ended (at once outside it).
    void Avisar(const QString& texto, int estilo, const QString& titulo);
    void MostrarAvisos();
    struct Aviso {
        QString texto;
        int estilo;
        QString titulo;
    };
    std::deque<Aviso> avisos_;
    void InformarPlantillasIlegibles(const std::vector<const std::uint8_t*>& ilegibles,
                                     std::ptrdiff_t decision);

    Conexion& cn_;
    DBHuella& huella_;
    Torno& torno_;
    RegistroEventos& registro_;
    PantallaAcceso& pantallaAcceso_;
    PantallaHuella& pantallaHuella_;
    MsgBox& msgBox_;
    const Reloj& reloj_;
    BusquedaParalela busqueda_;
    // The enrolled templates in table order, kept current with the file.
    GaleriaHuellas galeria_;
    // While another program keeps the file locked, an identification is tried again every
    // ReintentoBaseMs (a timer: nothing sleeps) until EsperaBaseMs have passed; only then is
    // the finger refused, never decided on templates that may be out of date. Requests that
    // come meanwhile are kept as during any running flow.
    static constexpr int ReintentoBaseMs = 20;
    static constexpr int EsperaBaseMs = 1000;
    bool GaleriaLista();
    QTimer reintento_;
    QElapsedTimer esperandoBase_;
    bool enEspera_ = false;
    // The gallery was just brought up to date for the identification that follows: how.
    std::optional<GaleriaHuellas::Estado> galeriaPreguntada_;

    bool ocupado_ = false;
    std::function<void()> pendiente_;
    CaducidadHuella caducidad_;
};

} // namespace portiva
