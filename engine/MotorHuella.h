#pragma once

#include "CapaCaptura.h"
#include "ConsultaPreparada.h"
#include "ExtractorMinucias.h"
#include "Imagenes.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace portiva::motor {

// The station's fingerprint engine: one call per operation the station uses, integer result
// codes (CodigosMotor.h), never an exception, any input answered with a code. Everything here
// runs on the station's thread; reader events are delivered from `Sondear`, which the station
// calls from a timer. The thread-safe identification path is `ConsultaIdentificacion`.
class MotorHuella {
public:
    // The folder watched by the simulated reader "Simulado" (empty: no simulated reader).
    explicit MotorHuella(std::filesystem::path carpetaLectorSimulado = {});
    ~MotorHuella();
    MotorHuella(const MotorHuella&) = delete;
    MotorHuella& operator=(const MotorHuella&) = delete;

    // A further reader (for example a hardware one); before Inicializar.
    void AgregarLector(std::unique_ptr<LectorHuellas> lector);

    // --- Library ---------------------------------------------------------------------------
    int Inicializar();
    int Finalizar();
    bool Inicializado() const { return inicializado_; }
    void Version(std::uint8_t& mayor, std::uint8_t& menor) const;

    // --- Capture layer and events ------------------------------------------------------------
    int IniciarCapturas();
    int DetenerCapturas();
    int IniciarCaptura(const std::string& idSensor);
    int DetenerCaptura(const std::string& idSensor);
    // Asks the readers what happened and raises the events, one by one, on this thread.
    // Returns how many events were delivered.
    int Sondear();

    std::function<void(const std::string& idSensor)> SensorConectado;
    std::function<void(const std::string& idSensor)> SensorDesconectado;
    std::function<void(const std::string& idSensor)> DedoPuesto;
    std::function<void(const std::string& idSensor)> DedoRetirado;
    std::function<void(const std::string& idSensor, int ancho, int alto,
                       const std::vector<std::uint8_t>& imagen, int resolucion)>
        ImagenCapturada;
    // What a reader has to say about its own folder (a print it cannot use or cannot take
    // away); without a handler it goes to the standard error.
    std::function<void(const std::string& texto)> AvisoLector;

    // --- Templates ---------------------------------------------------------------------------
    // 0/1/2 = quality low/medium/high; -109 size outside 96..1000, -110 resolution outside
    // 250..1000 dpi, -8 capacity too small or bad parameter, -5 null buffer, -108 no usable
    // print. `tamano` goes in as the capacity and comes back as the bytes used (0 on error).
    int ExtraerPlantilla(const std::uint8_t* imagen, int ancho, int alto, int resolucion,
                         std::uint8_t* plantilla, int& tamano, int contexto);

    int PrepararIdentificacion(const std::uint8_t* plantilla, int tamano, int contexto);
    // 1 = match at or above the identification threshold, 0 = no match, negative = error.
    int Identificar(const std::uint8_t* plantillaGuardada, int tamano, int& puntuacion,
                    int contexto);
    // 1 = match at the verification threshold, 0 = no match, negative = error.
    int Verificar(const std::uint8_t* consulta, int tamanoConsulta, const std::uint8_t* referencia,
                  int tamanoReferencia, int& puntuacion, int contexto);
    // The query prepared by PrepararIdentificacion, for comparing on several threads; null
    // before one was prepared.
    std::shared_ptr<const ConsultaPreparada> ConsultaIdentificacion() const { return consulta_; }

    // --- Parameters ----------------------------------------------------------------------------
    void LeerParametrosIdentificacion(int& umbral, int& rotacion) const;
    void LeerParametrosVerificacion(int& umbral, int& rotacion) const;
    // 0, or 3 when a value is outside (threshold 10..200, rotation 0..180): defaults loaded.
    int FijarParametrosIdentificacion(int umbral, int rotacion);
    int FijarParametrosVerificacion(int umbral, int rotacion);

    static constexpr int UmbralMinimo = 10;
    static constexpr int UmbralMaximo = 200;
    static constexpr int RotacionMaxima = 180;
    static constexpr int UmbralIdentificacionPorDefecto = 159;
    static constexpr int RotacionIdentificacionPorDefecto = 45;
    static constexpr int UmbralVerificacionPorDefecto = 60;
    static constexpr int RotacionVerificacionPorDefecto = 45;

    // --- Drawing -------------------------------------------------------------------------------
    // Colours 0x00BBGGRR; NoDibujar leaves that element out. Order: minutiae, matched minutiae,
    // segments, matched segments, directions, matched directions. -8 for a value that is
    // neither a colour nor NoDibujar (nothing changes).
    int ColoresOverlay(int minucias, int minuciasCoincidentes, int segmentos,
                       int segmentosCoincidentes, int direcciones, int direccionesCoincidentes);
    static constexpr int NoDibujar = 0x1FFFFFFF;

    int DibujarImagen(const std::uint8_t* imagen, int ancho, int alto, ImagenRGB& salida) const;
    // contexto -1: the template's minutiae, segments and directions; 0: also, in the match
    // colours, what the last identification or verification paired.
    int DibujarBiometrico(const std::uint8_t* plantilla, int tamano, const std::uint8_t* imagen,
                          int ancho, int alto, int resolucion, int contexto,
                          ImagenRGB& salida) const;

    // --- Image files ---------------------------------------------------------------------------
    // BMP only (format codes 500 and 501 both mean BMP). 0 on success; -206 / -207 / -208 file
    // errors, -8 bad parameters.
    int GuardarImagen(const std::uint8_t* imagen, int ancho, int alto,
                      const std::filesystem::path& archivo, int formato, int resolucion = 500);
    // The image arrives through ImagenCapturada from the sensor "File" at the next Sondear
    // (-107 while the capture layer is stopped, so that nothing is silently dropped).
    int CargarImagen(const std::filesystem::path& archivo, int formato);

    static constexpr int VersionMayor = 1;
    static constexpr int VersionMenor = 0;

private:
    int prepararEn(std::shared_ptr<const ConsultaPreparada>& destino, const std::uint8_t* plantilla,
                   int tamano, ParametrosComparacion p);

    bool inicializado_ = false;
    CapaCaptura captura_;
    class LectorArchivo* archivo_ = nullptr; // owned by captura_
    std::unique_ptr<ExtractorMinucias> extractor_;
    ParametrosComparacion identificacion_{UmbralIdentificacionPorDefecto,
                                          RotacionIdentificacionPorDefecto};
    ParametrosComparacion verificacion_{UmbralVerificacionPorDefecto,
                                        RotacionVerificacionPorDefecto};
    std::shared_ptr<const ConsultaPreparada> consulta_;
    std::array<int, 6> colores_;
    DetalleComparacion ultima_;
    bool hayUltima_ = false;
};

} // namespace portiva::motor
