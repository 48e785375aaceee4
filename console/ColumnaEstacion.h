#pragma once

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

namespace portiva {

class BotonImagen;
class ImagenesVentana;

// The station column, the left-hand area that always shows: title bar, status line, the
// captured fingerprint, the day's access counters, the action buttons, the display switches
// and the event log.
struct ColumnaEstacion {
    BotonImagen* imgMyTitleBar = nullptr;
    QLabel* lblTituloGeneral = nullptr;
    BotonImagen* imgMinim = nullptr;
    BotonImagen* imgClose = nullptr;
    BotonImagen* imgSoundOn = nullptr;
    BotonImagen* imgSoundOff = nullptr;
    BotonImagen* imgDesplegarInfo = nullptr;
    BotonImagen* imgRecogerInfo = nullptr;

    QLabel* lblInfoHuella = nullptr;

    QGroupBox* fraCaptura = nullptr;
    QLabel* imgCapturaHuella = nullptr;

    QGroupBox* fraTiposAcceso = nullptr;
    QLabel* imgResultHuella = nullptr;
    std::array<QLabel*, 5> lblAcceso{};
    std::array<QLabel*, 5> lblResult_Acceso{};
    QLabel* lblTotalHoy = nullptr;
    QLabel* lblResult_TotalHoy = nullptr;

    QGroupBox* fraAcciones = nullptr;
    QPushButton* cmdAperturaManual = nullptr;
    QPushButton* cmdAnalizarHuella = nullptr;
    QPushButton* cmdIndentificarHuellaDB = nullptr;

    QGroupBox* fraMostrar = nullptr;
    QCheckBox* chkAutoAnalizar = nullptr;
    QCheckBox* chkAutoIdentify = nullptr;
    QCheckBox* chkMostrarHuella = nullptr;
    QCheckBox* chkMostrarIdentificacion = nullptr;
    QCheckBox* chkMostrarAnalisis = nullptr;
    QCheckBox* chkInformacionAmpliada = nullptr;

    QLabel* lblEventos = nullptr;
    QListWidget* lbLog = nullptr;
    QPushButton* cmdClearEvents = nullptr;

    static ColumnaEstacion construir(QWidget* ventana, const ImagenesVentana& imagenes);

    // Places of the window chrome that move when the window widens (pixels).
    static constexpr int CloseEstrecha = 371;
    static constexpr int MinimEstrecha = 348;
    static constexpr int CloseAncha = 754;
    static constexpr int MinimAncha = 731;
    static constexpr int TopChrome = 1;
};

} // namespace portiva
