#include "FlujoHuella.h"

#include "CodigoAcceso.h"
#include "CodigosMotor.h"
#include "Conexion.h"
#include "DBHuella.h"
#include "ErroresHuella.h"
#include "MsgBox.h"
#include "PantallaAcceso.h"
#include "PantallaHuella.h"
#include "RegistroEventos.h"
#include "ReglaAcceso.h"
#include "Reloj.h"
#include "ResultadoHuella.h"
#include "Torno.h"

#include <algorithm>
#include <limits>
#include <mutex>
#include <utility>

namespace portiva {

namespace {

const QString kDesconocido = QStringLiteral("Desconocido");
// Largest position the record form can jump to.
constexpr qint32 PosicionMaxima = std::numeric_limits<qint16>::max();

// Clears the busy flag however the flow ends.
class Ocupacion {
public:
    explicit Ocupacion(bool& ocupado) : ocupado_(ocupado) { ocupado_ = true; }
    ~Ocupacion() { ocupado_ = false; }
    Ocupacion(const Ocupacion&) = delete;
    Ocupacion& operator=(const Ocupacion&) = delete;

private:
    bool& ocupado_;
};

// The door pulse's state request sent ahead for the access being decided; dropped at the end
// when no pulse took it.
class PulsoAdelantado {
public:
    PulsoAdelantado(Torno& torno, bool adelantar) : torno_(torno) {
        if (adelantar)
            torno_.AdelantarPulso();
    }
    ~PulsoAdelantado() { torno_.OlvidarPulso(); }
    PulsoAdelantado(const PulsoAdelantado&) = delete;
    PulsoAdelantado& operator=(const PulsoAdelantado&) = delete;

private:
    Torno& torno_;
};

} // namespace

FlujoHuella::FlujoHuella(Conexion& cn, DBHuella& huella, Torno& torno, RegistroEventos& registro,
                         PantallaAcceso& pantallaAcceso, PantallaHuella& pantallaHuella,
                         MsgBox& msgBox, const Reloj& reloj, unsigned hilosBusqueda)
    : cn_(cn), huella_(huella), torno_(torno), registro_(registro), pantallaAcceso_(pantallaAcceso),
      pantallaHuella_(pantallaHuella), msgBox_(msgBox), reloj_(reloj), busqueda_(hilosBusqueda) {
    reintento_.setSingleShot(true);
    QObject::connect(&reintento_, &QTimer::timeout, [this] {
        enEspera_ = false;
        Ejecutar([this] { IndentificarHuellaDB(); });
    });
}

void FlujoHuella::Ejecutar(std::function<void()> accion) {
    if (ocupado_ || enEspera_) {
        // Inside the running flow, or while it waits for the file: after it, latest first.
        pendiente_ = std::move(accion);
        return;
    }
    {
        Ocupacion ocupacion(ocupado_);
        accion();
        while (pendiente_ && !enEspera_) {
            auto siguiente = std::exchange(pendiente_, nullptr);
            siguiente();
        }
    }
    MostrarAvisos();
}

void FlujoHuella::Avisar(const QString& texto, int estilo, const QString& titulo) {
    avisos_.push_back({texto, estilo, titulo});
    if (!ocupado_)
        MostrarAvisos();
}

void FlujoHuella::MostrarAvisos() {
    // Shown once the flow has ended: a finger put on the reader while a box is open is
    // handled at once (the box's loop runs it), not when the operator closes the box.
    while (!avisos_.empty() && !ocupado_) {
        const Aviso aviso = avisos_.front();
        avisos_.pop_front();
        msgBox_(aviso.texto, aviso.estilo, aviso.titulo);
    }
}

void FlujoHuella::MotorHuellaCtrl_ImageCaptured(const QString& idSensor, int ancho, int alto,
                                                const std::vector<std::uint8_t>& imagen,
                                                int resolucion) {
    const CaducidadHuella::Instante llegada = caducidad_.Ahora();
    Ejecutar([this, idSensor, ancho, alto, imagen, resolucion, llegada]() mutable {
        if (const auto segundos = caducidad_.Caducada(llegada)) {
            registro_.Escribir(
                QStringLiteral("Huella descartada: llevaba %1 s esperando.").arg(*segundos));
            return;
        }
        Capturada(idSensor, ancho, alto, std::move(imagen), resolucion);
    });
}

void FlujoHuella::Capturada(const QString& /*idSensor*/, int ancho, int alto,
                            std::vector<std::uint8_t> imagen, int resolucion) {
    ImagenHuella& c = huella_.ImagenCaptura;
    c.RawImage = std::move(imagen);
    c.Width = ancho;
    c.Height = alto;
    c.Resolution = resolucion;
    registro_.Escribir(QStringLiteral("Nueva huella capturada."));
    huella_.MostrarImagenHuella(false, 0);
    if (pantallaHuella_.chkAutoAnalizar()) {
        AnalizarHuella();
        if (pantallaHuella_.chkAutoIdentify())
            IndentificarHuellaDB();
    }
}

bool FlujoHuella::AnalizarHuella() {
    const qint16 calidad = huella_.ExtraerPlantilla();
    const QString prefijo = QStringLiteral("Analisis de la huella: ");
    switch (calidad) {
    case ResultadoHuella::CalidadBaja:
        registro_.EscribirDetalle(prefijo + QStringLiteral("Analisis con exito. Calidad baja."));
        break;
    case ResultadoHuella::CalidadMedia:
        registro_.EscribirDetalle(prefijo + QStringLiteral("Analisis con exito. Calidad media."));
        break;
    case ResultadoHuella::CalidadAlta:
        registro_.EscribirDetalle(prefijo + QStringLiteral("Analisis con exito. Calidad alta."));
        break;
    default:
        break;
    }
    if (calidad < 0) {
        registro_.EscribirDetalle(prefijo + QStringLiteral("Error!"));
        registro_.EscribirDetalle(CausaErrorAnalisis(calidad));
        return false;
    }
    if (pantallaHuella_.chkMostrarAnalisis())
        huella_.MostrarImagenHuella(true, -1);
    return true;
}

void FlujoHuella::MensajeSinHuella(const QString& accion) {
    Avisar(QStringLiteral("No existe una huella valida que pueda ser %1.\r\nCapture una huella e "
                          "intentelo de nuevo. Gracias")
               .arg(accion),
           EstiloMsg::Informacion, QStringLiteral("Error añadiendo la huella a este cliente"));
}

void FlujoHuella::cmdAnalizarHuella_Click() {
    Ejecutar([this] {
        if (!AnalizarHuella())
            MensajeSinHuella(QStringLiteral("Analizada"));
    });
}

void FlujoHuella::cmdIndentificarHuellaDB_Click() {
    Ejecutar([this] {
        if (PlantillaValida(huella_.TemplateCaptura))
            IndentificarHuellaDB();
        else
            MensajeSinHuella(QStringLiteral("Identificada"));
    });
}

void FlujoHuella::IndentificarHuellaDB() {
    if (pantallaHuella_.RestaurandoDB()) {
        Avisar(QStringLiteral("Se capturó una huella mientras se restauraba la base de datos, "
                              "intentelo de nuevo"),
               EstiloMsg::Informacion, QStringLiteral("Analisis de huella no permitido"));
        return;
    }
    if (!GaleriaLista())
        return; // tried again in a moment
    qint32 score = 0;
    qint32 posicion = 0;
    QString estado;
    const qint32 resultado = IdentificarHuella(score, posicion, estado);
    if (resultado >= 1) {
        registro_.EscribirDetalle(QStringLiteral("Identif.: %1  ID %2  [%3%]  Registro=%4")
                                      .arg(estado)
                                      .arg(resultado)
                                      .arg(score)
                                      .arg(posicion));
        if (pantallaHuella_.chkMostrarIdentificacion())
            huella_.MostrarImagenHuella(true, 0);
    } else if (resultado == 0) {
        registro_.EscribirDetalle(QStringLiteral("Identifi.: Huella no encontrada."));
    } else {
        registro_.MostrarErrorHuella(resultado);
    }
}

qint32 FlujoHuella::IdentificarHuella(qint32& Score, qint32& Posicion, QString& Estado) {
    // The question of IndentificarHuellaDB, when it was just asked, is not asked twice.
    const std::optional<GaleriaHuellas::Estado> preguntada =
        std::exchange(galeriaPreguntada_, std::nullopt);
    const PlantillaHuella& plantilla = huella_.TemplateCaptura;
    if (!PlantillaValida(plantilla))
        return ResultadoHuella::PlantillaNoValida;
    motor::MotorHuella& motor = huella_.MotorHuellaCtrl();
    const int preparada =
        motor.PrepararIdentificacion(reinterpret_cast<const std::uint8_t*>(plantilla.Data.data()),
                                     static_cast<int>(plantilla.Data.size()), 0);
    if (preparada < 0)
        return preparada;
    const auto consulta = motor.ConsultaIdentificacion();

    // The unrecognised-finger end of the walk: refusal at the door, the code handed back.
    auto desconocida = [&](qint32 codigo) {
        Posicion = 0;
        torno_.AbrirTorno(CodigoAcceso::HuellaDesconocida);
        pantallaAcceso_.InfoHuella(QStringLiteral(" Huella desconocida!"), true);
        Estado = kDesconocido;
        return codigo;
    };
    if (!consulta)
        return desconocida(motor::codigo::NoPermitidoAhora);

    // From here every outcome acts on the door, and nothing in between runs events or writes to
    // the board, unless the record form is to jump to the member first (its window may ask the
    // operator something): the pulse's state request goes out now, and the board answers while
    // the comparisons run. A request no pulse took is dropped however the walk ends.
    const PulsoAdelantado adelanto(torno_, !pantallaHuella_.chkInformacionAmpliada());

    Posicion = 0;
    // The gallery as the file stands, read for this capture. A file another program keeps
    // locked past the wait refuses the finger: templates and dates read before the lock may
    // no longer be true (a member deleted or expired meanwhile).
    const GaleriaHuellas::Estado estadoGaleria =
        preguntada ? *preguntada : galeria_.Actualizar(cn_);
    switch (estadoGaleria) {
    case GaleriaHuellas::Estado::AlDia:
        break;
    case GaleriaHuellas::Estado::Ocupada: {
        registro_.EscribirDetalle(QStringLiteral(
            "Identif.: Base de datos ocupada por otro programa, no se pudo leer en 1 s: acceso "
            "denegado sin decidir."));
        const qint32 codigo = desconocida(ResultadoHuella::SinBaseDatos);
        pantallaAcceso_.InfoHuella(QStringLiteral(" Base de datos ocupada!"), true);
        return codigo;
    }
    case GaleriaHuellas::Estado::SinBaseDatos:
        return desconocida(ResultadoHuella::SinBaseDatos);
    }
    const std::vector<BusquedaParalela::Fila>& filas = galeria_.filas();

    // A stored template the engine cannot read (damaged on disk, written by something else)
    // counts as no match for that member only, so one bad row never locks out every member
    // after it; each such row in front of the decision is named in the log.
    const motor::ConsultaPreparada& q = *consulta;
    std::mutex mutexIlegibles;
    std::vector<const std::uint8_t*> ilegibles;
    const BusquedaParalela::Resultado r = busqueda_.buscar(
        filas, [&](const std::uint8_t* datos, std::size_t tamano, int& puntuacion) {
            // Checked, checksum and all, when it entered the gallery, which holds its own
            // copy: no data means no readable template.
            if (datos == nullptr) {
                puntuacion = 0;
                return 0;
            }
            const int respuesta = GaleriaHuellas::Comparar(q, datos, tamano, puntuacion);
            if (respuesta != motor::codigo::FueraDeLimite &&
                respuesta != motor::codigo::ParametroNulo)
                return respuesta;
            const std::lock_guard<std::mutex> cierre(mutexIlegibles);
            ilegibles.push_back(datos);
            return 0;
        });
    if (!filas.empty())
        Score = r.puntuacion;
    InformarPlantillasIlegibles(ilegibles, r.indice);

    if (r.resultado < 0)
        return desconocida(r.resultado);
    if (r.indice < 0) {
        pantallaAcceso_.InfoHuella(QStringLiteral(" Desconocida!"), true);
        Estado = kDesconocido;
        torno_.AbrirTorno(CodigoAcceso::HuellaDesconocida);
        return 0;
    }

    // The matched member: everything needed is copied before the jump and the door pulse.
    const auto indice = static_cast<std::size_t>(r.indice);
    const GaleriaHuellas::Miembro& miembro = galeria_.miembro(indice);
    const long fila = galeria_.posicion(indice);
    const qint64 id = miembro.id;
    if (id < 1 || id > std::numeric_limits<qint32>::max())
        return desconocida(ResultadoHuella::IdNoValido);
    const QString nombre = miembro.nombre;
    const DecisionAcceso decision =
        DecidirAccesoDias(miembro.personal, miembro.inicio, miembro.caducidad, reloj_.hoy());
    Posicion = static_cast<qint32>(fila);

    if (pantallaHuella_.chkInformacionAmpliada() && Posicion <= PosicionMaxima) {
        pantallaHuella_.gotoRecordNum(static_cast<qint16>(Posicion));
        if (!pantallaHuella_.InfoDesplegada())
            pantallaHuella_.DesplegarInfo(true);
    }
    Estado = decision.estado;
    // The decision is shown at once; the door acts on it on its own time (the board's reply,
    // the 500 ms pulse) and, when the turnstile did not open, the line says so in red. The
    // window and the door outlive the flow's part in it, so only they are captured.
    const QString linea = QStringLiteral(" ID %1 %2 (%3)").arg(id).arg(nombre, decision.estado);
    pantallaAcceso_.InfoHuella(linea, false);
    PantallaAcceso& pantalla = pantallaAcceso_;
    Torno& torno = torno_;
    torno_.AbrirTorno(decision.tipo, [&pantalla, &torno, linea](bool) {
        if (torno.AperturaFallida())
            pantalla.InfoHuella(linea + QStringLiteral(" - Apertura Fallida"), true);
    });
    return static_cast<qint32>(id);
}

void FlujoHuella::InformarPlantillasIlegibles(const std::vector<const std::uint8_t*>& ilegibles,
                                              std::ptrdiff_t decision) {
    const std::vector<BusquedaParalela::Fila>& filas = galeria_.filas();
    const std::size_t hasta = decision < 0 ? filas.size() : static_cast<std::size_t>(decision);
    for (std::size_t i = 0; i < hasta; ++i) {
        const std::uint8_t* datos = filas[i].datos;
        if (datos != nullptr &&
            std::find(ilegibles.begin(), ilegibles.end(), datos) == ilegibles.end())
            continue;
        registro_.EscribirDetalle(
            QStringLiteral("Identif.: Plantilla no valida en el cliente ID %1, se omite.")
                .arg(galeria_.miembro(i).id));
    }
}

bool FlujoHuella::GaleriaLista() {
    const GaleriaHuellas::Estado estado = galeria_.Actualizar(cn_);
    if (estado == GaleriaHuellas::Estado::Ocupada) {
        if (!esperandoBase_.isValid())
            esperandoBase_.start();
        if (esperandoBase_.elapsed() < EsperaBaseMs) {
            enEspera_ = true;
            reintento_.start(ReintentoBaseMs);
            return false;
        }
    }
    esperandoBase_.invalidate();
    galeriaPreguntada_ = estado;
    return true;
}

void FlujoHuella::CargarGaleria() {
    // A refresh that cannot run keeps the gallery as it stood; the next capture tries again.
    (void)galeria_.Actualizar(cn_);
}

} // namespace portiva
