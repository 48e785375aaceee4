#include "MotorHuella.h"

#include "ArchivoBmp.h"
#include "CodigosMotor.h"
#include "DibujoOverlay.h"
#include "LectorArchivo.h"
#include "LectorSimulado.h"
#include "Plantilla.h"

#include <iostream>
#include <new>

namespace portiva::motor {

namespace {

// The smallest side taken: libfprint's small press sensors deliver 96 x 96 (README.md: how
// well such images identify, measured on crops of real prints).
constexpr int LadoMinimo = 96;
constexpr int LadoMaximo = 1000;
constexpr int ResolucionMinima = 250;
constexpr int ResolucionMaxima = 1000;
constexpr int FormatoBmpCarga = 500;
constexpr int FormatoBmpGuardado = 501;

bool parametrosValidos(int umbral, int rotacion) {
    return umbral >= MotorHuella::UmbralMinimo && umbral <= MotorHuella::UmbralMaximo &&
           rotacion >= 0 && rotacion <= MotorHuella::RotacionMaxima;
}

bool colorValido(int c) {
    return (c >= 0 && c <= 0xFFFFFF) || c == MotorHuella::NoDibujar;
}

bool formatoValido(int f) {
    return f == FormatoBmpCarga || f == FormatoBmpGuardado;
}

} // namespace

MotorHuella::MotorHuella(std::filesystem::path carpetaLectorSimulado)
    : colores_{0xFF0000, 0x800080, 0x00FF00, 0x800080, 0x0000FF, 0x800080} {
    auto archivo = std::make_unique<LectorArchivo>();
    archivo_ = archivo.get();
    captura_.agregar(std::move(archivo));
    if (!carpetaLectorSimulado.empty())
        captura_.agregar(std::make_unique<LectorSimulado>(
            std::move(carpetaLectorSimulado), [this](const std::string& texto) {
                if (AvisoLector)
                    AvisoLector(texto);
                else
                    std::cerr << "[lector] " << texto << std::endl;
            }));
}

MotorHuella::~MotorHuella() = default;

void MotorHuella::AgregarLector(std::unique_ptr<LectorHuellas> lector) {
    captura_.agregar(std::move(lector));
}

int MotorHuella::Inicializar() {
    if (inicializado_)
        return codigo::Ok;
    try {
        extractor_ = std::make_unique<ExtractorMinucias>();
    } catch (const std::bad_alloc&) {
        return codigo::ErrorInicializar;
    }
    inicializado_ = true;
    return codigo::Ok;
}

int MotorHuella::Finalizar() {
    if (!inicializado_)
        return codigo::NoInicializada;
    captura_.detener();
    archivo_->descartarPendientes();
    consulta_.reset();
    hayUltima_ = false;
    extractor_.reset();
    inicializado_ = false;
    return codigo::Ok;
}

void MotorHuella::Version(std::uint8_t& mayor, std::uint8_t& menor) const {
    mayor = VersionMayor;
    menor = VersionMenor;
}

int MotorHuella::IniciarCapturas() {
    if (!inicializado_)
        return codigo::NoInicializada;
    return captura_.iniciar();
}

int MotorHuella::DetenerCapturas() {
    if (!inicializado_)
        return codigo::NoInicializada;
    archivo_->descartarPendientes();
    return captura_.detener();
}

int MotorHuella::IniciarCaptura(const std::string& idSensor) {
    if (!inicializado_)
        return codigo::NoInicializada;
    LectorHuellas* l = captura_.buscar(idSensor);
    if (l == nullptr)
        return codigo::SensorNoValido;
    return l->iniciarCaptura();
}

int MotorHuella::DetenerCaptura(const std::string& idSensor) {
    if (!inicializado_)
        return codigo::NoInicializada;
    LectorHuellas* l = captura_.buscar(idSensor);
    if (l == nullptr)
        return codigo::SensorNoValido;
    if (!l->capturando())
        return codigo::SensorNoCaptura;
    return l->detenerCaptura();
}

int MotorHuella::Sondear() {
    if (!inicializado_ || !captura_.activa())
        return 0;
    captura_.sondear();
    int entregados = 0;
    // One event at a time: a handler may poll again (nested) or stop the engine.
    while (inicializado_ && captura_.activa()) {
        auto e = captura_.siguiente();
        if (!e)
            break;
        ++entregados;
        try {
            switch (e->tipo) {
            case EventoLector::Tipo::Conectado:
                if (SensorConectado)
                    SensorConectado(e->sensor);
                break;
            case EventoLector::Tipo::Desconectado:
                if (SensorDesconectado)
                    SensorDesconectado(e->sensor);
                break;
            case EventoLector::Tipo::DedoPuesto:
                if (DedoPuesto)
                    DedoPuesto(e->sensor);
                break;
            case EventoLector::Tipo::DedoRetirado:
                if (DedoRetirado)
                    DedoRetirado(e->sensor);
                break;
            case EventoLector::Tipo::Imagen:
                if (ImagenCapturada)
                    ImagenCapturada(e->sensor, e->imagen.ancho, e->imagen.alto, e->imagen.pixeles,
                                    e->imagen.resolucion);
                break;
            }
        } catch (...) {
            // A handler's failure is the station's; the engine goes on delivering.
        }
    }
    return entregados;
}

int MotorHuella::ExtraerPlantilla(const std::uint8_t* imagen, int ancho, int alto, int resolucion,
                                  std::uint8_t* plantilla, int& tamano, int contexto) {
    const int capacidad = tamano;
    tamano = 0;
    if (!inicializado_)
        return codigo::NoInicializada;
    if (contexto != 0)
        return codigo::ContextoInexistente;
    if (imagen == nullptr || plantilla == nullptr)
        return codigo::ParametroNulo;
    if (ancho < LadoMinimo || alto < LadoMinimo || ancho > LadoMaximo || alto > LadoMaximo)
        return codigo::TamanoImagen;
    if (resolucion < ResolucionMinima || resolucion > ResolucionMaxima)
        return codigo::ResolucionImagen;
    if (capacidad < TamanoCabeceraPlantilla)
        return codigo::FueraDeLimite;
    try {
        DatosPlantilla datos;
        int clase = 0;
        const int r = extractor_->extraer(imagen, ancho, alto, resolucion, datos, clase);
        if (r != codigo::Ok)
            return r;
        int usados = 0;
        const int c = CodecPlantilla::codificar(datos, plantilla, capacidad, usados);
        if (c != codigo::Ok)
            return c;
        tamano = usados;
        return clase;
    } catch (const std::bad_alloc&) {
        return codigo::SinMemoria;
    } catch (...) {
        return codigo::ErrorAnalisis;
    }
}

int MotorHuella::prepararEn(std::shared_ptr<const ConsultaPreparada>& destino,
                            const std::uint8_t* plantilla, int tamano, ParametrosComparacion p) {
    if (plantilla == nullptr)
        return codigo::ParametroNulo;
    if (tamano < 1)
        return codigo::FueraDeLimite;
    int r = codigo::Ok;
    try {
        auto c = ConsultaPreparada::crear(plantilla, static_cast<std::size_t>(tamano), p, r);
        if (!c)
            return r;
        destino = std::move(c);
    } catch (const std::bad_alloc&) {
        return codigo::SinMemoria;
    }
    return codigo::Ok;
}

int MotorHuella::PrepararIdentificacion(const std::uint8_t* plantilla, int tamano, int contexto) {
    if (!inicializado_)
        return codigo::NoInicializada;
    if (contexto != 0)
        return codigo::ContextoInexistente;
    std::shared_ptr<const ConsultaPreparada> nueva;
    const int r = prepararEn(nueva, plantilla, tamano, identificacion_);
    if (r != codigo::Ok)
        return r;
    consulta_ = std::move(nueva);
    return codigo::Ok;
}

int MotorHuella::Identificar(const std::uint8_t* plantillaGuardada, int tamano, int& puntuacion,
                             int contexto) {
    puntuacion = 0;
    if (!inicializado_)
        return codigo::NoInicializada;
    if (contexto != 0)
        return codigo::ContextoInexistente;
    if (!consulta_)
        return codigo::NoPermitidoAhora;
    if (plantillaGuardada == nullptr)
        return codigo::ParametroNulo;
    if (tamano < 1)
        return codigo::FueraDeLimite;
    const auto& p = consulta_->parametros();
    if (p.umbral != identificacion_.umbral || p.rotacion != identificacion_.rotacion) {
        // The parameters changed since the preparation: prepare the same query again.
        const auto bytes = consulta_->bytes();
        const int r =
            prepararEn(consulta_, bytes.data(), static_cast<int>(bytes.size()), identificacion_);
        if (r != codigo::Ok)
            return r;
    }
    try {
        // The pairs are kept for the drawing only when the row matches (the scan stops there);
        // every other row is compared without that bookkeeping.
        const int r =
            consulta_->comparar(plantillaGuardada, static_cast<std::size_t>(tamano), puntuacion);
        hayUltima_ = false;
        if (r == codigo::Coincide) {
            int repetida = 0;
            consulta_->comparar(plantillaGuardada, static_cast<std::size_t>(tamano), repetida,
                                &ultima_);
            hayUltima_ = true;
        }
        return r;
    } catch (const std::bad_alloc&) {
        return codigo::SinMemoria;
    }
}

int MotorHuella::Verificar(const std::uint8_t* consulta, int tamanoConsulta,
                           const std::uint8_t* referencia, int tamanoReferencia, int& puntuacion,
                           int contexto) {
    puntuacion = 0;
    if (!inicializado_)
        return codigo::NoInicializada;
    if (contexto != 0)
        return codigo::ContextoInexistente;
    if (referencia == nullptr)
        return codigo::ParametroNulo;
    if (tamanoReferencia < 1)
        return codigo::FueraDeLimite;
    std::shared_ptr<const ConsultaPreparada> c;
    const int r = prepararEn(c, consulta, tamanoConsulta, verificacion_);
    if (r != codigo::Ok)
        return r;
    try {
        const int v = c->comparar(referencia, static_cast<std::size_t>(tamanoReferencia),
                                  puntuacion, &ultima_);
        hayUltima_ = v >= 0;
        return v;
    } catch (const std::bad_alloc&) {
        return codigo::SinMemoria;
    }
}

void MotorHuella::LeerParametrosIdentificacion(int& umbral, int& rotacion) const {
    umbral = identificacion_.umbral;
    rotacion = identificacion_.rotacion;
}

void MotorHuella::LeerParametrosVerificacion(int& umbral, int& rotacion) const {
    umbral = verificacion_.umbral;
    rotacion = verificacion_.rotacion;
}

int MotorHuella::FijarParametrosIdentificacion(int umbral, int rotacion) {
    if (!inicializado_)
        return codigo::NoInicializada;
    if (!parametrosValidos(umbral, rotacion)) {
        identificacion_ = {UmbralIdentificacionPorDefecto, RotacionIdentificacionPorDefecto};
        return codigo::ValoresPorDefecto;
    }
    identificacion_ = {umbral, rotacion};
    return codigo::Ok;
}

int MotorHuella::FijarParametrosVerificacion(int umbral, int rotacion) {
    if (!inicializado_)
        return codigo::NoInicializada;
    if (!parametrosValidos(umbral, rotacion)) {
        verificacion_ = {UmbralVerificacionPorDefecto, RotacionVerificacionPorDefecto};
        return codigo::ValoresPorDefecto;
    }
    verificacion_ = {umbral, rotacion};
    return codigo::Ok;
}

int MotorHuella::ColoresOverlay(int minucias, int minuciasCoincidentes, int segmentos,
                                int segmentosCoincidentes, int direcciones,
                                int direccionesCoincidentes) {
    if (!inicializado_)
        return codigo::NoInicializada;
    const std::array<int, 6> nuevos{minucias,    minuciasCoincidentes,
                                    segmentos,   segmentosCoincidentes,
                                    direcciones, direccionesCoincidentes};
    for (int c : nuevos)
        if (!colorValido(c))
            return codigo::FueraDeLimite;
    colores_ = nuevos;
    return codigo::Ok;
}

int MotorHuella::DibujarImagen(const std::uint8_t* imagen, int ancho, int alto,
                               ImagenRGB& salida) const {
    if (!inicializado_)
        return codigo::NoInicializada;
    if (imagen == nullptr)
        return codigo::ParametroNulo;
    if (ancho < 1 || alto < 1 || ancho > ArchivoBmp::LadoMaximo || alto > ArchivoBmp::LadoMaximo)
        return codigo::TamanoImagen;
    try {
        salida = DibujoOverlay::gris(imagen, ancho, alto);
    } catch (const std::bad_alloc&) {
        return codigo::SinMemoria;
    }
    return codigo::Ok;
}

int MotorHuella::DibujarBiometrico(const std::uint8_t* plantilla, int tamano,
                                   const std::uint8_t* imagen, int ancho, int alto, int resolucion,
                                   int contexto, ImagenRGB& salida) const {
    if (!inicializado_)
        return codigo::NoInicializada;
    if (contexto != 0 && contexto != -1)
        return codigo::ContextoInexistente;
    if (plantilla == nullptr || imagen == nullptr)
        return codigo::ParametroNulo;
    if (ancho < 1 || alto < 1 || ancho > ArchivoBmp::LadoMaximo || alto > ArchivoBmp::LadoMaximo)
        return codigo::TamanoImagen;
    if (resolucion < ResolucionMinima || resolucion > ResolucionMaxima)
        return codigo::ResolucionImagen;
    if (tamano < 1)
        return codigo::FueraDeLimite;
    try {
        DatosPlantilla datos;
        const int r =
            CodecPlantilla::decodificar(plantilla, static_cast<std::size_t>(tamano), datos);
        if (r != codigo::Ok)
            return r;
        const DetalleComparacion* comp = nullptr;
        if (contexto == 0 && hayUltima_) {
            // The pairs refer to the query of that comparison; another template gets none.
            VistaPlantilla v;
            if (CodecPlantilla::examinar(plantilla, static_cast<std::size_t>(tamano), v) ==
                    codigo::Ok &&
                v.suma == ultima_.sumaConsulta)
                comp = &ultima_;
        }
        salida = DibujoOverlay::biometrico(datos, imagen, ancho, alto, resolucion, colores_, comp);
    } catch (const std::bad_alloc&) {
        return codigo::SinMemoria;
    }
    return codigo::Ok;
}

int MotorHuella::GuardarImagen(const std::uint8_t* imagen, int ancho, int alto,
                               const std::filesystem::path& archivo, int formato, int resolucion) {
    if (!inicializado_)
        return codigo::NoInicializada;
    if (imagen == nullptr)
        return codigo::ParametroNulo;
    if (!formatoValido(formato) || ancho < 1 || alto < 1 || ancho > ArchivoBmp::LadoMaximo ||
        alto > ArchivoBmp::LadoMaximo || resolucion < 1)
        return codigo::FueraDeLimite;
    try {
        ImagenGris g;
        g.ancho = ancho;
        g.alto = alto;
        g.resolucion = resolucion;
        g.pixeles.assign(imagen,
                         imagen + static_cast<std::size_t>(ancho) * static_cast<std::size_t>(alto));
        return ArchivoBmp::escribir(archivo, g);
    } catch (const std::bad_alloc&) {
        return codigo::SinMemoria;
    }
}

int MotorHuella::CargarImagen(const std::filesystem::path& archivo, int formato) {
    if (!inicializado_)
        return codigo::NoInicializada;
    if (!formatoValido(formato))
        return codigo::FueraDeLimite;
    if (!captura_.activa())
        return codigo::NoPermitidoAhora;
    try {
        ImagenGris g;
        const int r = ArchivoBmp::leer(archivo, g);
        if (r != codigo::Ok)
            return r;
        archivo_->entregar(std::move(g));
    } catch (const std::bad_alloc&) {
        return codigo::SinMemoria;
    }
    return codigo::Ok;
}

} // namespace portiva::motor
