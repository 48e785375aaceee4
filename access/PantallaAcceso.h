#pragma once

#include <QString>

namespace portiva {

// Tray icon argument meaning "the window's own icon" instead of a state icon.
constexpr int IconoVentana = -1;

// Balloon flags of a tray call.
namespace Globo {
constexpr int Ninguno = 0;     // change the icon only
constexpr int Informacion = 1; // information balloon
constexpr int Aviso = 2;       // warning balloon
} // namespace Globo

// Tooltip of the tray icon for every call made from the access layer.
inline const QString TipBandeja = QStringLiteral(" Control de Accesos ");

// What the access layer needs from the main window. The console implements it; tests use a
// recording fake. Every call is made on the door's thread and must not block (the station posts it
// to the window's thread, PantallasDiferidas.h).
class PantallaAcceso {
public:
    virtual ~PantallaAcceso() = default;

    // Appends one line to the event log list, scrolls to it and leaves nothing selected.
    virtual void EscribirLog(const QString& linea) = 0;

    // The result picture `imgResultHuella` takes picture `indice` of `imgTipoDeAcceso` (0-13).
    virtual void MostrarResultado(int indice) = 0;

    // The tray icon becomes state icon `icono` of `imgSysTray` (0-9), or the window's own icon
    // for `IconoVentana`; with `flags` other than Globo::Ninguno a balloon shows the title and
    // text. The tooltip is TipBandeja.
    virtual void ShowBallon(int icono, const QString& tituloGlobo, const QString& textoGlobo,
                            int flags) = 0;

    // Status line `lblInfoHuella`: the text, in red (&HFF) or in the window's text colour.
    virtual void InfoHuella(const QString& texto, bool rojo) = 0;

    // Enables or disables the button "Apertura Manual".
    virtual void HabilitarAperturaManual(bool habilitado) = 0;

    // Counter label `lblResult_Acceso(tipo)` shows `valor`; `lblResult_TotalHoy` shows
    // `totalHoy` (manual openings, staff and admitted members).
    virtual void MostrarContAperturas(int tipo, long valor, long totalHoy) = 0;
};

} // namespace portiva
