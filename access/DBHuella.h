#pragma once

#include "CapturaSensores.h"
#include "ImagenHuella.h"
#include "MotorHuella.h"
#include "ParametrosHuella.h"
#include "PlantillaHuella.h"

#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

namespace portiva {

class ModosEstacion;
class MsgBox;
class PantallaHuella;
class RegistroEventos;

// The station's fingerprint state and its engine: the last captured image and its template,
// the member template of the record form, and the few calls the station makes of the engine
// (start and stop, extraction, drawing, parameters and colours). A timer on the user-interface
// thread polls the engine; reader events go to the station modes, captured images to the
// capture flow.
class DBHuella final : public ParametrosHuella, public CapturaSensores {
public:
    // How often the engine is asked for reader events.
    static constexpr int IntervaloSondeoMs = 50;

    using ReceptorImagen =
        std::function<void(const QString& idSensor, int ancho, int alto,
                           const std::vector<std::uint8_t>& imagen, int resolucion)>;

    // `carpetaLectorSimulado`: the folder the simulated reader "Simulado" watches (empty: none).
    DBHuella(RegistroEventos& registro, MsgBox& msgBox, PantallaHuella& pantalla,
             ModosEstacion& modos, const QString& carpetaLectorSimulado);
    ~DBHuella() override;
    DBHuella(const DBHuella&) = delete;
    DBHuella& operator=(const DBHuella&) = delete;

    // Where captured images go (the capture flow).
    void PonerReceptorImagen(ReceptorImagen receptor) { receptorImagen_ = std::move(receptor); }
    // Told of every reader event after the station modes (true: connected).
    void PonerObservadorLector(std::function<void(const QString& idSensor, bool conectado)> o) {
        observadorLector_ = std::move(o);
    }
    // Called once the engine has started (the gallery of enrolled templates is loaded then).
    void PonerAlIniciar(std::function<void()> alIniciar) { alIniciar_ = std::move(alIniciar); }

    // A template is valid when its size is 1 or more (also PlantillaValida in PlantillaHuella.h).
    static bool PlantillaValida(const PlantillaHuella& plantilla) {
        return portiva::PlantillaValida(plantilla);
    }

    // Starts the engine and its capture layer and begins polling; on an engine failure logs
    // its line and returns the (negative) code.
    int IniciarHuella();
    // Stops polling and the capture layer, then finalises the engine.
    void FinalizarHuella();
    // The template of ImagenCaptura into TemplateCaptura; the engine's code (quality 0-2 or a
    // negative error, after which TemplateCaptura is invalid).
    qint16 ExtraerPlantilla();
    // Draws ImagenCaptura, with TemplateCaptura's overlay when asked (context -1 after an
    // analysis, 0 after a comparison), into imgCapturaHuella when the box "Huella" is ticked.
    void MostrarImagenHuella(bool overlay, int contexto);

    // ParametrosHuella
    void LeerParametrosHuella(AjustesEstacion& ajustes) override;
    void AplicarParametrosHuella(const AjustesEstacion& ajustes) override;
    void ColoresPorDefecto(AjustesEstacion& ajustes) override;
    void AplicarColoresHuella(const AjustesEstacion& ajustes) override;

    // CapturaSensores
    void IniciarCaptura(const QString& idSensor) override;
    void DetenerCaptura(const QString& idSensor) override;

    // Asks the engine for reader events and hands them on (the timer calls it).
    void Sondear();

    // The engine, for the calls the console makes itself (image files, version).
    motor::MotorHuella& MotorHuellaCtrl() { return motor_; }
    QTimer& tmrSondeo() { return tmrSondeo_; }

    PlantillaHuella TemplateCaptura;
    PlantillaHuella TemplateCliente;
    ImagenHuella ImagenCaptura;

private:
    void AplicarPar(int umbral, int rotacion, bool identificacion);

    RegistroEventos& registro_;
    MsgBox& msgBox_;
    PantallaHuella& pantalla_;
    ModosEstacion& modos_;
    motor::MotorHuella motor_;
    QTimer tmrSondeo_;
    ReceptorImagen receptorImagen_;
    std::function<void(const QString&, bool)> observadorLector_;
    std::function<void()> alIniciar_;
};

} // namespace portiva
