#include "NucleoFprint.h"

#include <cmath>
#include <memory>
#include <set>

extern "C" {
#include <fprint.h>
}

namespace portiva::motor {

namespace {

// A device that failed to capture is tried again after this pause, not at once: a broken
// reader must not flood the log or the processor.
constexpr guint PausaTrasErrorMs = 5000;
// Longest wait for the devices to finish their work when the station closes.
constexpr guint EsperaCierreMs = 3000;

std::string IdDispositivo(FpDevice* dev) {
    const char* driver = fp_device_get_driver(dev);
    const char* id = fp_device_get_device_id(dev);
    return std::string(driver ? driver : "fprint") + ":" + (id ? id : "");
}

int Dpi(double ppmm) {
    if (!(ppmm > 0.0))
        return 500;
    return static_cast<int>(std::lround(ppmm * 25.4));
}

} // namespace

struct NucleoFprint::Dispositivo {
    struct Glib* glib = nullptr;
    FpDevice* dev = nullptr; // a reference of our own
    std::string id;
    int ranura = -1;
    bool abierto = false;
    bool ocupado = false; // an open, capture or close is in flight
    bool quitado = false;
    bool errorAvisado = false;
    guint reintento = 0;
    GCancellable* cancelar = nullptr;
};

// Everything that lives on the GLib thread.
struct Glib {
    NucleoFprint* nucleo = nullptr;
    GMainContext* contexto = nullptr;
    FpContext* fp = nullptr;
    bool parar = false;
    std::vector<std::unique_ptr<NucleoFprint::Dispositivo>> dispositivos;
    std::vector<NucleoFprint::Dispositivo*> ranuras;
    std::set<std::string> sinImagenAvisados;

    void avisar(std::string linea) { nucleo->avisos_.push_back(std::move(linea)); }
    bool quiere(int ranura) { return nucleo->estado_[static_cast<std::size_t>(ranura)].quiere; }
    void ocupar(NucleoFprint::Dispositivo* d) {
        auto& r = nucleo->estado_[static_cast<std::size_t>(d->ranura)];
        r.ocupante = NucleoFprint::Ocupante{d->id, ++nucleo->generacion_};
        r.eventos.clear();
    }
    void liberar(NucleoFprint::Dispositivo* d) {
        if (d->ranura < 0)
            return;
        {
            auto& r = nucleo->estado_[static_cast<std::size_t>(d->ranura)];
            r.ocupante.reset();
            r.eventos.clear();
        }
        ranuras[static_cast<std::size_t>(d->ranura)] = nullptr;
        d->ranura = -1;
    }
    void entregar(NucleoFprint::Dispositivo* d, FpImage* img) {
        gsize largo = 0;
        const guchar* datos = fp_image_get_data(img, &largo);
        const int ancho = static_cast<int>(fp_image_get_width(img));
        const int alto = static_cast<int>(fp_image_get_height(img));
        if (datos == nullptr || ancho <= 0 || alto <= 0 ||
            largo < static_cast<gsize>(ancho) * static_cast<gsize>(alto))
            return;
        EventoLector imagen;
        imagen.tipo = EventoLector::Tipo::Imagen;
        imagen.sensor = d->id;
        imagen.imagen.ancho = ancho;
        imagen.imagen.alto = alto;
        imagen.imagen.resolucion = Dpi(fp_image_get_ppmm(img));
        imagen.imagen.pixeles.assign(datos, datos + static_cast<std::size_t>(ancho) * alto);
        EventoLector puesto{EventoLector::Tipo::DedoPuesto, d->id, {}};
        EventoLector retirado{EventoLector::Tipo::DedoRetirado, d->id, {}};
        auto& r = nucleo->estado_[static_cast<std::size_t>(d->ranura)];
        r.eventos.push_back(std::move(puesto));
        r.eventos.push_back(std::move(imagen));
        r.eventos.push_back(std::move(retirado));
    }

    void cerrar(NucleoFprint::Dispositivo* d);
    void aplicar(NucleoFprint::Dispositivo* d);
    void quitar(NucleoFprint::Dispositivo* d);
    void agregar(FpDevice* dev);
    NucleoFprint::Dispositivo* buscar(FpDevice* dev) {
        for (auto& d : dispositivos)
            if (d->dev == dev && !d->quitado)
                return d.get();
        return nullptr;
    }
};

namespace {

void AlCerrar(GObject* origen, GAsyncResult* res, gpointer datos) {
    auto* d = static_cast<NucleoFprint::Dispositivo*>(datos);
    fp_device_close_finish(FP_DEVICE(origen), res, nullptr);
    d->ocupado = false;
    d->abierto = false;
}

void AlCapturar(GObject* origen, GAsyncResult* res, gpointer datos) {
    auto* d = static_cast<NucleoFprint::Dispositivo*>(datos);
    Glib& g = *d->glib;
    GError* error = nullptr;
    FpImage* img = fp_device_capture_finish(FP_DEVICE(origen), res, &error);
    d->ocupado = false;
    g_clear_object(&d->cancelar);
    bool pausa = false;
    if (img != nullptr) {
        if (d->ranura >= 0)
            g.entregar(d, img);
        d->errorAvisado = false;
        g_object_unref(img);
    } else if (error != nullptr && !g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED) &&
               error->domain != FP_DEVICE_RETRY && !d->quitado && !g.parar &&
               !g_error_matches(error, FP_DEVICE_ERROR, FP_DEVICE_ERROR_REMOVED)) {
        if (!d->errorAvisado)
            g.avisar(" -> Error: Lector huella " + d->id +
                     ", fallo en la captura: " + error->message);
        d->errorAvisado = true;
        pausa = true;
    }
    g_clear_error(&error);
    if (d->quitado || g.parar) {
        g.cerrar(d);
        return;
    }
    if (pausa) {
        GSource* s = g_timeout_source_new(PausaTrasErrorMs);
        g_source_set_callback(
            s,
            [](gpointer p) -> gboolean {
                auto* dd = static_cast<NucleoFprint::Dispositivo*>(p);
                dd->reintento = 0;
                dd->glib->aplicar(dd);
                return G_SOURCE_REMOVE;
            },
            d, nullptr);
        d->reintento = g_source_attach(s, g.contexto);
        g_source_unref(s);
        return;
    }
    g.aplicar(d);
}

void AlAbrir(GObject* origen, GAsyncResult* res, gpointer datos) {
    auto* d = static_cast<NucleoFprint::Dispositivo*>(datos);
    Glib& g = *d->glib;
    GError* error = nullptr;
    const bool ok = fp_device_open_finish(FP_DEVICE(origen), res, &error);
    d->ocupado = false;
    if (!ok) {
        if (!d->quitado && !g.parar)
            g.avisar(" -> Error: Lector huella " + d->id +
                     ", no se ha podido abrir: " + (error ? error->message : ""));
        g_clear_error(&error);
        g.liberar(d);
        return;
    }
    d->abierto = true;
    if (d->quitado || g.parar) {
        g.cerrar(d);
        return;
    }
    g.ocupar(d);
    g.aplicar(d);
}

} // namespace

void Glib::cerrar(NucleoFprint::Dispositivo* d) {
    if (d->ocupado || !d->abierto)
        return;
    d->ocupado = true;
    fp_device_close(d->dev, nullptr, AlCerrar, d);
}

void Glib::aplicar(NucleoFprint::Dispositivo* d) {
    if (!d->abierto || d->quitado || d->ranura < 0 || parar)
        return;
    const bool si = quiere(d->ranura);
    if (si && !d->ocupado && d->reintento == 0) {
        d->cancelar = g_cancellable_new();
        d->ocupado = true;
        fp_device_capture(d->dev, TRUE, d->cancelar, AlCapturar, d);
    } else if (!si && d->cancelar != nullptr) {
        g_cancellable_cancel(d->cancelar);
    }
}

void Glib::quitar(NucleoFprint::Dispositivo* d) {
    if (d->quitado)
        return;
    d->quitado = true;
    liberar(d);
    if (d->reintento != 0) {
        if (GSource* s = g_main_context_find_source_by_id(contexto, d->reintento))
            g_source_destroy(s);
        d->reintento = 0;
    }
    if (d->cancelar != nullptr)
        g_cancellable_cancel(d->cancelar);
    cerrar(d);
}

void Glib::agregar(FpDevice* dev) {
    if (buscar(dev) != nullptr || parar)
        return;
    const std::string id = IdDispositivo(dev);
    if (!fp_device_has_feature(dev, FP_DEVICE_FEATURE_CAPTURE)) {
        if (sinImagenAvisados.insert(id).second)
            avisar(" -> Lector huella " + id +
                   " no entrega imagen (compara en el propio lector): esta estacion no puede "
                   "usarlo.");
        return;
    }
    int libre = -1;
    for (std::size_t i = 0; i < ranuras.size(); ++i)
        if (ranuras[i] == nullptr) {
            libre = static_cast<int>(i);
            break;
        }
    if (libre < 0)
        return; // every slot taken: the extra reader is left alone
    auto d = std::make_unique<NucleoFprint::Dispositivo>();
    d->glib = this;
    d->dev = FP_DEVICE(g_object_ref(dev));
    d->id = id;
    d->ranura = libre;
    d->ocupado = true;
    ranuras[static_cast<std::size_t>(libre)] = d.get();
    g_signal_connect(dev, "removed", G_CALLBACK(+[](FpDevice* quien, gpointer p) {
                         auto* gg = static_cast<Glib*>(p);
                         if (auto* x = gg->buscar(quien))
                             gg->quitar(x);
                     }),
                     this);
    fp_device_open(dev, nullptr, AlAbrir, d.get());
    dispositivos.push_back(std::move(d));
}

NucleoFprint::NucleoFprint(AvisoLector aviso, int ranuras)
    : aviso_(std::move(aviso)), ranuras_(ranuras < 1 ? 1 : ranuras),
      estado_(static_cast<std::size_t>(ranuras_)), glib_(std::make_unique<Glib>()) {
    Glib& g = *glib_;
    g.nucleo = this;
    g.contexto = g_main_context_default();
    g.ranuras.assign(static_cast<std::size_t>(ranuras_), nullptr);
    g.fp = fp_context_new();
    g_signal_connect(g.fp, "device-added", G_CALLBACK(+[](FpContext*, FpDevice* dev, gpointer p) {
                         static_cast<Glib*>(p)->agregar(dev);
                     }),
                     &g);
    g_signal_connect(g.fp, "device-removed", G_CALLBACK(+[](FpContext*, FpDevice* dev, gpointer p) {
                         auto* gg = static_cast<Glib*>(p);
                         if (auto* x = gg->buscar(dev))
                             gg->quitar(x);
                     }),
                     &g);
    // Finds the devices plugged in now (their objects only: no device is talked to yet) and
    // raises device-added for each; later plugs arrive through the same signal.
    fp_context_enumerate(g.fp);
}

NucleoFprint::~NucleoFprint() {
    Glib& g = *glib_;
    g.parar = true;
    // Wind down: cancel every capture, close every open device, wait (bounded) for libfprint.
    for (auto& d : g.dispositivos) {
        if (d->reintento != 0) {
            if (GSource* s = g_main_context_find_source_by_id(g.contexto, d->reintento))
                g_source_destroy(s);
            d->reintento = 0;
        }
        if (d->cancelar != nullptr)
            g_cancellable_cancel(d->cancelar);
        g.cerrar(d.get());
    }
    bool agotado = false;
    GSource* limite = g_timeout_source_new(EsperaCierreMs);
    g_source_set_callback(
        limite,
        [](gpointer p) -> gboolean {
            *static_cast<bool*>(p) = true;
            return G_SOURCE_REMOVE;
        },
        &agotado, nullptr);
    g_source_attach(limite, g.contexto);
    auto pendientes = [&g] {
        for (auto& d : g.dispositivos)
            if (d->ocupado || d->abierto)
                return true;
        return false;
    };
    while (pendientes() && !agotado) {
        for (auto& d : g.dispositivos)
            g.cerrar(d.get());
        g_main_context_iteration(g.contexto, TRUE);
    }
    g_source_destroy(limite);
    g_source_unref(limite);

    g_signal_handlers_disconnect_by_data(g.fp, &g);
    const bool limpio = !pendientes();
    for (auto& d : g.dispositivos) {
        g_signal_handlers_disconnect_by_data(d->dev, &g);
        g_clear_object(&d->cancelar);
    }
    if (limpio) {
        for (auto& d : g.dispositivos)
            g_object_unref(d->dev);
        g_object_unref(g.fp);
        // libfprint's own idle work for the removed devices and the context.
        while (g_main_context_iteration(g.contexto, FALSE)) {
        }
    }
    // Otherwise a device never answered: its objects are left to the process's end rather
    // than freed under a pending callback.
    else
        (void)glib_.release();
}

void NucleoFprint::bombear() {
    if (g_main_depth() > 0)
        return; // inside a GLib dispatch: that loop runs libfprint's work itself
    for (int i = 0; i < 100 && g_main_context_iteration(glib_->contexto, FALSE); ++i) {
    }
}

std::optional<NucleoFprint::Ocupante> NucleoFprint::ocupante(int ranura) {
    if (ranura < 0 || ranura >= ranuras_)
        return std::nullopt;
    return estado_[static_cast<std::size_t>(ranura)].ocupante;
}

void NucleoFprint::capturar(int ranura, bool si) {
    if (ranura < 0 || ranura >= ranuras_)
        return;
    estado_[static_cast<std::size_t>(ranura)].quiere = si;
    if (!si)
        estado_[static_cast<std::size_t>(ranura)].eventos.clear();
    for (auto& d : glib_->dispositivos)
        glib_->aplicar(d.get());
}

void NucleoFprint::tomarEventos(int ranura, std::uint64_t generacion,
                                std::deque<EventoLector>& cola) {
    if (ranura < 0 || ranura >= ranuras_)
        return;
    auto& r = estado_[static_cast<std::size_t>(ranura)];
    if (!r.ocupante || r.ocupante->generacion != generacion)
        return;
    while (!r.eventos.empty()) {
        cola.push_back(std::move(r.eventos.front()));
        r.eventos.pop_front();
    }
}

void NucleoFprint::entregarAvisos() {
    std::vector<std::string> avisos;
    avisos.swap(avisos_);
    if (aviso_)
        for (const auto& a : avisos)
            aviso_(a);
}

} // namespace portiva::motor
