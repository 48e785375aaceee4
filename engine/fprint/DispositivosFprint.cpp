// The devices of NucleoFprint: open, capture, close, removal, and what their failures mean.

#include "NucleoFprintGlib.h"

#include <cmath>
#include <cstdlib>

namespace portiva::motor {

namespace {

// A driver that libfprint finds hot before the usual renewal is renewed this much earlier
// than the capture time it had reached, and never more often than `LimiteMinimo`.
constexpr double MargenCalor = 0.8;
constexpr auto LimiteMinimo = std::chrono::seconds(10);

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

std::string SocketVirtual(FpDevice* dev) {
    const char* driver = fp_device_get_driver(dev);
    if (driver == nullptr || std::string(driver) != "virtual_image")
        return {};
    const char* ruta = std::getenv("FP_VIRTUAL_IMAGE");
    return ruta ? ruta : "";
}

void TerminarCaptura(NucleoFprint::Dispositivo* d) {
    if (d->capturandoDesde) {
        d->activo += Reloj::now() - *d->capturandoDesde;
        d->capturandoDesde.reset();
    }
}

void AlCerrar(GObject* origen, GAsyncResult* res, gpointer datos) {
    auto* d = static_cast<NucleoFprint::Dispositivo*>(datos);
    fp_device_close_finish(FP_DEVICE(origen), res, nullptr);
    d->ocupado = false;
    d->abierto = false;
    if (d->glib->renovando)
        d->glib->completarLuego();
}

void AlCapturar(GObject* origen, GAsyncResult* res, gpointer datos) {
    auto* d = static_cast<NucleoFprint::Dispositivo*>(datos);
    Glib& g = *d->glib;
    GError* error = nullptr;
    FpImage* img = fp_device_capture_finish(FP_DEVICE(origen), res, &error);
    d->ocupado = false;
    TerminarCaptura(d);
    g_clear_object(&d->cancelar);
    if (img != nullptr) {
        if (d->ranura >= 0)
            g.entregar(d, img);
        g_object_unref(img);
    } else if (error != nullptr && !d->quitado && !g.parar) {
        if (g_error_matches(error, FP_DEVICE_ERROR, FP_DEVICE_ERROR_TOO_HOT)) {
            g_clear_error(&error);
            g.demasiadoCaliente(d);
            return;
        }
        if (!g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED) &&
            error->domain != FP_DEVICE_RETRY &&
            !g_error_matches(error, FP_DEVICE_ERROR, FP_DEVICE_ERROR_REMOVED)) {
            const std::string motivo = std::string("fallo en la captura: ") + error->message;
            g_clear_error(&error);
            g.noDisponible(d, motivo);
            return;
        }
    }
    g_clear_error(&error);
    if (d->quitado || g.parar) {
        g.cerrar(d);
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
        const bool aviso = !d->quitado && !g.parar;
        if (aviso)
            g.avisar(" -> Error: Lector huella " + d->id +
                     ", no se ha podido abrir: " + (error ? error->message : ""));
        g_clear_error(&error);
        g.liberar(d);
        if (aviso) {
            // Tried again later, as a failed capture is.
            ++g.fallos;
            g.programarRenovacion(g.opciones().pausaTrasError);
        }
        if (g.renovando)
            g.completarLuego();
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

Reloj::duration Glib::limite(const std::string& id) const {
    const auto i = limites.find(id);
    if (i != limites.end())
        return i->second;
    return opciones().activoAntesDeRenovar;
}

void Glib::ocupar(NucleoFprint::Dispositivo* d) {
    auto& r = ranura(d->ranura);
    // The same reader back after a renewal keeps its place: no disconnection is seen.
    if (r.ocupante && r.ocupante->id == d->id)
        return;
    r.ocupante = NucleoFprint::Ocupante{d->id, ++nucleo->generacion_};
    r.disponible = true;
    r.eventos.clear();
}

void Glib::liberar(NucleoFprint::Dispositivo* d) {
    if (d->ranura < 0)
        return;
    auto& r = ranura(d->ranura);
    r.ocupante.reset();
    r.disponible = true;
    r.eventos.clear();
    ranuras[static_cast<std::size_t>(d->ranura)] = nullptr;
    d->ranura = -1;
}

void Glib::entregar(NucleoFprint::Dispositivo* d, FpImage* img) {
    auto& r = ranura(d->ranura);
    // A capture made to see whether a failed reader works again is not a finger to act on.
    if (!r.disponible)
        return;
    gsize largo = 0;
    const guchar* datos = fp_image_get_data(img, &largo);
    const int ancho = static_cast<int>(fp_image_get_width(img));
    const int alto = static_cast<int>(fp_image_get_height(img));
    if (datos == nullptr || ancho <= 0 || alto <= 0 ||
        largo < static_cast<gsize>(ancho) * static_cast<gsize>(alto))
        return;
    const auto ahora = Reloj::now();
    NucleoFprint::Evento imagen{{EventoLector::Tipo::Imagen, d->id, {}}, ahora};
    imagen.evento.imagen.ancho = ancho;
    imagen.evento.imagen.alto = alto;
    imagen.evento.imagen.resolucion = Dpi(fp_image_get_ppmm(img));
    imagen.evento.imagen.pixeles.assign(datos, datos + static_cast<std::size_t>(ancho) * alto);
    r.eventos.push_back({{EventoLector::Tipo::DedoPuesto, d->id, {}}, ahora});
    r.eventos.push_back(std::move(imagen));
    r.eventos.push_back({{EventoLector::Tipo::DedoRetirado, d->id, {}}, ahora});
}

void Glib::cerrar(NucleoFprint::Dispositivo* d) {
    if (d->ocupado || !d->abierto)
        return;
    d->ocupado = true;
    fp_device_close(d->dev, nullptr, AlCerrar, d);
}

void Glib::aplicar(NucleoFprint::Dispositivo* d) {
    if (!d->abierto || d->quitado || d->ranura < 0 || parar || renovando)
        return;
    // A reader being recovered captures whether or not the station asks, to prove it works.
    const bool si = quiere(d->ranura) || !ranura(d->ranura).disponible;
    if (si && !d->ocupado) {
        d->cancelar = g_cancellable_new();
        d->ocupado = true;
        d->capturandoDesde = Reloj::now();
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
    if (d->cancelar != nullptr)
        g_cancellable_cancel(d->cancelar);
    cerrar(d);
}

void Glib::noDisponible(NucleoFprint::Dispositivo* d, const std::string& motivo) {
    if (d->ranura >= 0) {
        auto& r = ranura(d->ranura);
        if (r.disponible)
            avisar(" -> Error: Lector huella " + d->id + " no disponible: " + motivo + ".");
        r.disponible = false;
        r.eventos.clear();
    }
    ++fallos;
    // 5 s, 10 s, 20 s ... up to the longest pause.
    auto pausa = opciones().pausaTrasError;
    for (int i = 1; i < fallos && pausa < opciones().pausaMaxima; ++i)
        pausa *= 2;
    programarRenovacion(std::min(pausa, opciones().pausaMaxima));
}

void Glib::demasiadoCaliente(NucleoFprint::Dispositivo* d) {
    const auto alcanzado = d->activo;
    auto nuevo = std::chrono::duration_cast<Reloj::duration>(alcanzado * MargenCalor);
    if (nuevo < LimiteMinimo)
        nuevo = LimiteMinimo;
    if (nuevo < limite(d->id))
        limites[d->id] = nuevo;
    avisar(" -> Lector huella " + d->id + ": libfprint lo ha detenido por calentamiento tras " +
           std::to_string(std::chrono::duration_cast<std::chrono::seconds>(alcanzado).count()) +
           " s de captura; se vuelve a abrir.");
    renovar();
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
    // Its own slot after a renewal, else the first free one.
    int libre = -1;
    for (std::size_t i = 0; i < ranuras.size() && libre < 0; ++i)
        if (ranuras[i] == nullptr && reservas[i] == id)
            libre = static_cast<int>(i);
    for (std::size_t i = 0; i < ranuras.size() && libre < 0; ++i)
        if (ranuras[i] == nullptr && reservas[i].empty())
            libre = static_cast<int>(i);
    if (libre < 0)
        return; // every slot taken: the extra reader is left alone
    reservas[static_cast<std::size_t>(libre)].clear();
    auto d = std::make_unique<NucleoFprint::Dispositivo>();
    d->glib = this;
    d->dev = FP_DEVICE(g_object_ref(dev));
    d->id = id;
    d->ranura = libre;
    d->ocupado = true;
    d->socket = SocketVirtual(dev);
    ranuras[static_cast<std::size_t>(libre)] = d.get();
    g_signal_connect(dev, "removed", G_CALLBACK(+[](FpDevice* quien, gpointer p) {
                         auto* gg = static_cast<Glib*>(p);
                         if (auto* x = gg->buscar(quien))
                             gg->quitar(x);
                     }),
                     this);
    g_signal_connect(dev, "notify::finger-status",
                     G_CALLBACK(+[](FpDevice* quien, GParamSpec*, gpointer p) {
                         auto* gg = static_cast<Glib*>(p);
                         if (auto* x = gg->buscar(quien))
                             x->ultimoDedo = Reloj::now();
                     }),
                     this);
    fp_device_open(dev, nullptr, AlAbrir, d.get());
    dispositivos.push_back(std::move(d));
}

} // namespace portiva::motor
