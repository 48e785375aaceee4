#include "DBHuella.h"

#include "AjustesEstacion.h"
#include "CodigosMotor.h"
#include "ModosEstacion.h"
#include "MsgBox.h"
#include "PantallaHuella.h"
#include "RegistroEventos.h"
#include "ResultadoHuella.h"

#include <filesystem>

namespace portiva {

namespace {

std::filesystem::path RutaLector(const QString& carpeta) {
    if (carpeta.isEmpty())
        return {};
    return std::filesystem::path(carpeta.toStdString());
}

const std::uint8_t* Bytes(const QByteArray& datos) {
    return reinterpret_cast<const std::uint8_t*>(datos.constData());
}

} // namespace

DBHuella::DBHuella(RegistroEventos& registro, MsgBox& msgBox, PantallaHuella& pantalla,
                   ModosEstacion& modos, const QString& carpetaLectorSimulado)
    : registro_(registro), msgBox_(msgBox), pantalla_(pantalla), modos_(modos),
      motor_(RutaLector(carpetaLectorSimulado)) {
    tmrSondeo_.setInterval(IntervaloSondeoMs);
    QObject::connect(&tmrSondeo_, &QTimer::timeout, &tmrSondeo_, [this] { Sondear(); });

    motor_.SensorConectado = [this](const std::string& id) {
        modos_.MotorHuellaCtrl_SensorConnected(QString::fromStdString(id));
        if (observadorLector_)
            observadorLector_(QString::fromStdString(id), true);
    };
    motor_.SensorDesconectado = [this](const std::string& id) {
        modos_.MotorHuellaCtrl_SensorDisconnected(QString::fromStdString(id));
        if (observadorLector_)
            observadorLector_(QString::fromStdString(id), false);
    };
    // A print the reader cannot use or take from its folder is said in the event log.
    motor_.AvisoLector = [this](const std::string& texto) {
        registro_.Escribir(QString::fromStdString(texto));
    };
    // Finger placed and lifted: nothing to do.
    motor_.DedoPuesto = nullptr;
    motor_.DedoRetirado = nullptr;
    motor_.ImagenCapturada = [this](const std::string& id, int ancho, int alto,
                                    const std::vector<std::uint8_t>& imagen, int resolucion) {
        if (receptorImagen_)
            receptorImagen_(QString::fromStdString(id), ancho, alto, imagen, resolucion);
    };
}

DBHuella::~DBHuella() {
    tmrSondeo_.stop();
    // No event may reach the station modes or the flow while the engine winds down.
    motor_.SensorConectado = nullptr;
    motor_.SensorDesconectado = nullptr;
    motor_.ImagenCapturada = nullptr;
    motor_.AvisoLector = nullptr;
    if (motor_.Inicializado()) {
        motor_.DetenerCapturas();
        motor_.Finalizar();
    }
}

int DBHuella::IniciarHuella() {
    TemplateCaptura.Data.resize(PlantillaHuella::Capacidad + 1, '\0');
    ImagenCaptura.Width = 0;
    ImagenCaptura.Height = 0;

    const int inicio = motor_.Inicializar();
    if (inicio < 0) {
        registro_.MostrarErrorHuella(inicio);
        return inicio;
    }
    const int resultado = motor_.IniciarCapturas();
    registro_.Escribir(QStringLiteral("Driver huella iniciado con exito. Buscando el lector..."));
    tmrSondeo_.start();
    if (alIniciar_)
        alIniciar_();
    return resultado;
}

void DBHuella::FinalizarHuella() {
    tmrSondeo_.stop();
    motor_.DetenerCapturas();
    motor_.Finalizar();
}

qint16 DBHuella::ExtraerPlantilla() {
    PlantillaHuella& t = TemplateCaptura;
    t.Size = PlantillaHuella::Capacidad;
    t.Data.resize(PlantillaHuella::Capacidad + 1, '\0');

    int resultado = 0;
    if (!ImagenCaptura.Completa() && !ImagenCaptura.RawImage.empty()) {
        // Pixels that do not cover the stated size are never handed to the engine.
        t.Size = 0;
        resultado = ResultadoHuella::TamanoImagen;
    } else {
        int tamano = PlantillaHuella::Capacidad;
        resultado = motor_.ExtraerPlantilla(
            ImagenCaptura.RawImage.empty() ? nullptr : ImagenCaptura.RawImage.data(),
            ImagenCaptura.Width, ImagenCaptura.Height, ImagenCaptura.Resolution,
            reinterpret_cast<std::uint8_t*>(t.Data.data()), tamano, 0);
        t.Size = resultado < 0 ? 0 : tamano;
    }
    t.Data.resize(t.Size + 1);
    t.Data[t.Size] = 0;
    return static_cast<qint16>(resultado);
}

void DBHuella::MostrarImagenHuella(bool overlay, int contexto) {
    // The picture would be dropped with the box cleared: do not draw it at all.
    if (!pantalla_.chkMostrarHuella() || !ImagenCaptura.Completa())
        return;
    motor::ImagenRGB imagen;
    const ImagenHuella& c = ImagenCaptura;
    const int resultado =
        overlay ? motor_.DibujarBiometrico(
                      Bytes(TemplateCaptura.Data), static_cast<int>(TemplateCaptura.Data.size()),
                      c.RawImage.data(), c.Width, c.Height, c.Resolution, contexto, imagen)
                : motor_.DibujarImagen(c.RawImage.data(), c.Width, c.Height, imagen);
    if (resultado < 0 || imagen.bytes.empty())
        return;
    pantalla_.MostrarCapturaHuella(imagen);
}

void DBHuella::LeerParametrosHuella(AjustesEstacion& ajustes) {
    int umbral = 0;
    int rotacion = 0;
    motor_.LeerParametrosIdentificacion(umbral, rotacion);
    ajustes.thresholdId = umbral;
    ajustes.rotationMaxId = rotacion;
    motor_.LeerParametrosVerificacion(umbral, rotacion);
    ajustes.thresholdVr = umbral;
    ajustes.rotationMaxVr = rotacion;
}

void DBHuella::AplicarParametrosHuella(const AjustesEstacion& ajustes) {
    AplicarPar(ajustes.thresholdId, ajustes.rotationMaxId, true);
    AplicarPar(ajustes.thresholdVr, ajustes.rotationMaxVr, false);
}

void DBHuella::AplicarPar(int umbral, int rotacion, bool identificacion) {
    const QString cual =
        identificacion ? QStringLiteral("Identificación") : QStringLiteral("Verificación");
    const QString titulo = QStringLiteral("Cargando parametros...");
    const bool enRango = umbral >= motor::MotorHuella::UmbralMinimo &&
                         umbral <= motor::MotorHuella::UmbralMaximo && rotacion >= 0 &&
                         rotacion <= motor::MotorHuella::RotacionMaxima;
    if (!enRango) {
        msgBox_(QStringLiteral("Error: Parametros de %1 no validos!").arg(cual),
                EstiloMsg::Exclamacion, titulo);
        return;
    }
    const int resultado = identificacion ? motor_.FijarParametrosIdentificacion(umbral, rotacion)
                                         : motor_.FijarParametrosVerificacion(umbral, rotacion);
    if (resultado == ResultadoHuella::ValoresPorDefecto)
        msgBox_(QStringLiteral("Error: Parametros de %1 no validos. Se cargaron los valores por "
                               "defecto.")
                    .arg(cual),
                EstiloMsg::Exclamacion, titulo);
}

void DBHuella::ColoresPorDefecto(AjustesEstacion& ajustes) {
    ajustes.minutiaeColor = 0xFF0000;
    ajustes.segmentsColor = 0xFF00;
    ajustes.directionsColor = 0xFF;
    ajustes.minutiaeMatchColor = 0x800080;
    ajustes.segmentsMatchColor = 0x800080;
    ajustes.directionsMatchColor = 0x800080;
}

void DBHuella::AplicarColoresHuella(const AjustesEstacion& ajustes) {
    motor_.ColoresOverlay(ajustes.minutiaeColor, ajustes.minutiaeMatchColor, ajustes.segmentsColor,
                          ajustes.segmentsMatchColor, ajustes.directionsColor,
                          ajustes.directionsMatchColor);
}

void DBHuella::IniciarCaptura(const QString& idSensor) {
    motor_.IniciarCaptura(idSensor.toStdString());
}

void DBHuella::DetenerCaptura(const QString& idSensor) {
    motor_.DetenerCaptura(idSensor.toStdString());
}

void DBHuella::Sondear() {
    motor_.Sondear();
}

} // namespace portiva
