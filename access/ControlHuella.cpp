#include "ControlHuella.h"

#include "ControlAcceso.h"
#include "EnlaceCapturaSensores.h"
#include "Entorno.h"

#include <QDir>

#ifdef PORTIVA_CON_FPRINT
#include "LectorFprint.h"
#endif

namespace portiva {

ControlHuella::ControlHuella(const Entorno& entorno, Conexion& cn, ControlAcceso& acceso,
                             PantallaAcceso& pantallaAcceso, PantallaHuella& pantallaHuella,
                             const QString& carpetaPrograma, EnlaceCapturaSensores* enlace,
                             unsigned hilosBusqueda)
    : huella_(acceso.registro(), entorno.msgBox, pantallaHuella, acceso.modos(),
              QDir(carpetaPrograma).filePath(carpetaLectorSimulado())),
      flujo_(cn, huella_, acceso.torno(), acceso.registro(), pantallaAcceso, pantallaHuella,
             entorno.msgBox, entorno.reloj, hilosBusqueda),
      alta_(cn, huella_, flujo_, acceso.registro(), entorno.msgBox, pantallaHuella),
      disponibilidad_(acceso.torno(), pantallaAcceso), enlace_(enlace) {
#ifdef PORTIVA_CON_FPRINT
    // The USB readers that libfprint drives; their notices (a reader that gives no image, one
    // that fails or comes back, an image dropped as too old) go to the event log.
    // PORTIVA_LECTOR_USB=0 in the environment leaves them out.
    if (qEnvironmentVariable("PORTIVA_LECTOR_USB") != QStringLiteral("0")) {
        RegistroEventos& registro = acceso.registro();
        for (auto& lector : motor::CrearLectoresFprint([&registro](const std::string& linea) {
                 // Every notice is a line of the log with the time it was seen.
                 const QString texto = QString::fromStdString(linea);
                 const QString flecha = QStringLiteral(" -> ");
                 registro.Escribir(texto.startsWith(flecha) ? texto.mid(flecha.size()) : texto);
             }))
            huella_.MotorHuellaCtrl().AgregarLector(std::move(lector));
    }
#endif
    huella_.PonerReceptorImagen([this](const QString& idSensor, int ancho, int alto,
                                       const std::vector<std::uint8_t>& imagen, int resolucion) {
        flujo_.MotorHuellaCtrl_ImageCaptured(idSensor, ancho, alto, imagen, resolucion);
    });
    huella_.PonerAlIniciar([this] { flujo_.CargarGaleria(); });
    huella_.PonerObservadorLector([this](const QString& id, bool conectado) {
        if (conectado)
            disponibilidad_.LectorConectado(id);
        else
            disponibilidad_.LectorDesconectado(id);
    });
    if (enlace_ != nullptr)
        enlace_->Conectar(&huella_);
}

ControlHuella::~ControlHuella() {
    if (enlace_ != nullptr && enlace_->Destino() == &huella_)
        enlace_->Conectar(nullptr);
    huella_.PonerReceptorImagen(nullptr);
    huella_.PonerAlIniciar(nullptr);
    huella_.PonerObservadorLector(nullptr);
}

} // namespace portiva
