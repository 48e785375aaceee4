#include "PuertaEstacion.h"

#include "Conexion.h"
#include "ControlAcceso.h"
#include "EnlaceCapturaSensores.h"
#include "Entorno.h"
#include "HuellaPredeterminada.h"

#include <QAbstractEventDispatcher>
#include <QThread>
#include <QTimer>

namespace portiva {

PuertaEstacion::PuertaEstacion(const ContextoPuerta& contexto) : hilo_(contexto.modo) {
    hilo_.Construir([this, &contexto] { Construir(contexto); });
}

PuertaEstacion::~PuertaEstacion() {
    if (!parada_)
        (void)Parar();
}

void PuertaEstacion::Construir(const ContextoPuerta& c) {
    // On its own thread the door reaches the window only by posts; on line it calls it.
    MsgBox* msgBox = &c.entorno.msgBox;
    PantallaAcceso* pantalla = &c.pantalla;
    PantallaHuella* pantallaHuella = &c.pantallaHuella;
    ReproductorSonido* sonido = &c.sonido;
    PreguntaPuerta* preguntas = nullptr;
    if (hilo_.propio()) {
        msgBox_ =
            std::make_unique<MsgBoxDiferido>(c.entorno.msgBox, buzonVentana_, *hilo_.contexto());
        pantalla_ = std::make_unique<PantallaAccesoDiferida>(c.pantalla, buzonVentana_);
        pantallaHuella_ = std::make_unique<PantallaHuellaDiferida>(c.pantallaHuella, buzonVentana_);
        sonido_ = std::make_unique<SonidoDiferido>(c.sonido, buzonVentana_);
        msgBox = msgBox_.get();
        pantalla = pantalla_.get();
        pantallaHuella = pantallaHuella_.get();
        sonido = sonido_.get();
        preguntas = msgBox_.get();
    }
    entorno_ =
        std::make_unique<Entorno>(Entorno{c.entorno.carpetaPrograma, *msgBox, c.entorno.reloj});
    conexion_ = std::make_unique<Conexion>(c.entorno.reloj);
    enlace_ = std::make_unique<EnlaceCapturaSensores>();
    acceso_ = std::make_unique<ControlAcceso>(*entorno_, *pantalla, *sonido, *enlace_,
                                              c.prefijoDispositivo, preguntas);
    const FabricaHuella& fabrica =
        c.fabricaHuella ? c.fabricaHuella : FabricaHuellaPredeterminada();
    huella_ = fabrica(ContextoHuella{*entorno_, *conexion_, *acceso_, *pantalla, *pantallaHuella,
                                     c.entorno.carpetaPrograma});
    enlace_->Conectar(&huella_->captura());
    if (hilo_.propio()) {
        // The copy of the state the window reads is refreshed each time the door has handled
        // what was waiting and its loop goes idle.
        QObject::connect(
            QThread::currentThread()->eventDispatcher(), &QAbstractEventDispatcher::aboutToBlock,
            hilo_.contexto(), [this] { Publicar(); }, Qt::DirectConnection);
        Publicar();
    }
}

void PuertaEstacion::Destruir() {
    if (!acceso_)
        return;
    Publicar();
    ocupada_ = false;
    pulsando_ = false;
    enlace_->Conectar(nullptr);
    huella_.reset();
    acceso_.reset();
    enlace_.reset();
    if (conexion_->State() == 1)
        (void)conexion_->Close();
    conexion_.reset();
}

bool PuertaEstacion::Ocupada() const {
    if (!acceso_)
        return false;
    return acceso_->torno().Actuando() || acceso_->rele().Buscando() || huella_->Ocupada();
}

void PuertaEstacion::Publicar() const {
    if (!acceso_)
        return;
    accesoActual_ = acceso_->torno().AccesoActual();
    puertoAbierto_ = acceso_->rele().IsPortOpen();
    lectorDetectado_ = acceso_->modos().LectorDetectado();
    ocupada_ = Ocupada();
    pulsando_ = acceso_->torno().Pulsando();
    sonidoActivo_ = acceso_->torno().SonidoActivo();
}

PuertaEstacion::Estado PuertaEstacion::estado() const {
    if (!hilo_.propio())
        Publicar();
    Estado e;
    e.accesoActual = accesoActual_;
    e.puertoAbierto = puertoAbierto_;
    e.lectorDetectado = lectorDetectado_;
    e.ocupada = ocupada_;
    e.pulsando = pulsando_;
    e.sonidoActivo = sonidoActivo_;
    return e;
}

void PuertaEstacion::PonerOpciones(const OpcionesPantallaHuella& opciones) {
    if (!hilo_.propio())
        return; // on line the flow reads the window itself
    Enviar([this, opciones] {
        if (pantallaHuella_)
            pantallaHuella_->Poner(opciones);
    });
}

void PuertaEstacion::AbrirConexion(const QString& cadena) {
    Enviar([this, cadena] {
        if (!conexion_ || conexion_->State() == 1)
            return;
        conexion_->setConnectionString(cadena);
        // A file that does not open is found by the next identification, which refuses the
        // finger and says so in the log.
        (void)conexion_->Open();
    });
}

bool PuertaEstacion::CerrarConexion(int esperaMs) {
    return Ejecutar(
        [this] {
            if (conexion_ && conexion_->State() == 1)
                (void)conexion_->Close();
        },
        esperaMs);
}

bool PuertaEstacion::Parar() {
    if (parada_)
        return true;
    parada_ = true;
    if (!hilo_.propio()) {
        Destruir();
        return true;
    }
    // On the door's thread: wait on its own timer until nothing is under way, then take the
    // door down there and end its loop. The pending retry holds the step, the step does not
    // hold itself.
    auto paso = std::make_shared<std::function<void()>>();
    *paso = [this, debil = std::weak_ptr<std::function<void()>>(paso)] {
        if (Ocupada()) {
            if (auto fuerte = debil.lock())
                QTimer::singleShot(ReintentoParadaMs, hilo_.contexto(), [fuerte] { (*fuerte)(); });
            return;
        }
        Destruir();
        hilo_.Salir();
    };
    Enviar([paso] { (*paso)(); });
    if (hilo_.Unir(EsperaParadaMs))
        return true;
    // Still busy after that long (a board that never ends its answer): the door is taken
    // down as it stands.
    Enviar([this] {
        Destruir();
        hilo_.Salir();
    });
    (void)hilo_.Unir(EsperaParadaMs);
    return false;
}

} // namespace portiva
