#include "NucleoFprint.h"

#include "NucleoFprintGlib.h"

#include <filesystem>
#include <memory>

namespace portiva::motor {

namespace {

// Longest wait for the devices to finish their work when the station closes.
constexpr guint EsperaCierreMs = 3000;
// A slot kept for its reader through a renewal is given up when the reader is not back by then.
constexpr guint EsperaReservaMs = 5000;
// How often the core looks at its devices' capture time, sockets and recoveries.
constexpr guint TicVigilanciaMs = 250;
// A renewal waits this long after a finger was seen, so that no image being read is lost; past
// this share of the allowed capture time it waits no longer (a queue of fingers at the door
// must not bring libfprint's estimate to hot).
constexpr auto EsperaTrasDedo = std::chrono::milliseconds(750);
constexpr double LimiteForzado = 1.1;

long long Segundos(std::chrono::steady_clock::duration d) {
    return std::chrono::duration_cast<std::chrono::seconds>(d).count();
}

guint Temporizador(GMainContext* contexto, guint ms, GSourceFunc funcion, gpointer datos) {
    GSource* s = g_timeout_source_new(ms);
    g_source_set_callback(s, funcion, datos, nullptr);
    const guint id = g_source_attach(s, contexto);
    g_source_unref(s);
    return id;
}

void Quitar(GMainContext* contexto, guint& id) {
    if (id == 0)
        return;
    if (GSource* s = g_main_context_find_source_by_id(contexto, id))
        g_source_destroy(s);
    id = 0;
}

} // namespace

void Glib::crearContexto() {
    fp = fp_context_new();
    g_signal_connect(fp, "device-added", G_CALLBACK(+[](FpContext*, FpDevice* dev, gpointer p) {
                         static_cast<Glib*>(p)->agregar(dev);
                     }),
                     this);
    g_signal_connect(fp, "device-removed", G_CALLBACK(+[](FpContext*, FpDevice* dev, gpointer p) {
                         auto* gg = static_cast<Glib*>(p);
                         if (auto* x = gg->buscar(dev))
                             gg->quitar(x);
                     }),
                     this);
    // Finds the devices plugged in now (their objects only: no device is talked to yet) and
    // raises device-added for each; later plugs arrive through the same signal.
    fp_context_enumerate(fp);
}

void Glib::programarRenovacion(std::chrono::milliseconds pausa) {
    if (parar || renovacionProgramada != 0)
        return;
    renovacionProgramada = Temporizador(
        contexto, static_cast<guint>(pausa.count()),
        [](gpointer p) -> gboolean {
            auto* g = static_cast<Glib*>(p);
            g->renovacionProgramada = 0;
            g->renovar();
            return G_SOURCE_REMOVE;
        },
        this);
}

void Glib::renovar() {
    if (renovando || parar)
        return;
    Quitar(contexto, renovacionProgramada);
    renovando = true;
    ++renovaciones;
    for (auto& d : dispositivos) {
        if (d->ranura >= 0) {
            // The slot waits for the same reader; the station keeps seeing it meanwhile.
            reservas[static_cast<std::size_t>(d->ranura)] = d->id;
            ranuras[static_cast<std::size_t>(d->ranura)] = nullptr;
            d->ranura = -1;
        }
        d->quitado = true;
        if (d->cancelar != nullptr)
            g_cancellable_cancel(d->cancelar);
        cerrar(d.get());
    }
    completarRenovacion();
}

void Glib::completarLuego() {
    if (completar != 0)
        return;
    GSource* s = g_idle_source_new();
    g_source_set_callback(
        s,
        [](gpointer p) -> gboolean {
            auto* g = static_cast<Glib*>(p);
            g->completar = 0;
            g->completarRenovacion();
            return G_SOURCE_REMOVE;
        },
        this, nullptr);
    completar = g_source_attach(s, contexto);
    g_source_unref(s);
}

void Glib::completarRenovacion() {
    if (!renovando || parar)
        return;
    for (auto& d : dispositivos)
        if (d->ocupado || d->abierto)
            return; // the last close to finish calls again
    g_signal_handlers_disconnect_by_data(fp, this);
    for (auto& d : dispositivos) {
        g_signal_handlers_disconnect_by_data(d->dev, this);
        g_clear_object(&d->cancelar);
        g_object_unref(d->dev);
    }
    dispositivos.clear();
    g_clear_object(&fp);
    renovando = false;
    crearContexto();
    Quitar(contexto, finReservas);
    finReservas = Temporizador(
        contexto, EsperaReservaMs,
        [](gpointer p) -> gboolean {
            auto* g = static_cast<Glib*>(p);
            g->finReservas = 0;
            g->liberarReservas();
            return G_SOURCE_REMOVE;
        },
        this);
}

void Glib::liberarReservas() {
    for (std::size_t i = 0; i < reservas.size(); ++i) {
        if (reservas[i].empty() || ranuras[i] != nullptr)
            continue;
        reservas[i].clear();
        auto& r = ranura(static_cast<int>(i));
        r.ocupante.reset();
        r.disponible = true;
        r.eventos.clear();
    }
}

void Glib::vigilar() {
    if (parar || renovando)
        return;
    const auto ahora = Reloj::now();
    const bool socket = ahora - ultimaVigilanciaSocket >= opciones().vigilancia;
    if (socket)
        ultimaVigilanciaSocket = ahora;
    for (auto& dd : dispositivos) {
        NucleoFprint::Dispositivo* d = dd.get();
        if (d->quitado || !d->abierto || d->ranura < 0)
            continue;
        auto& r = ranura(d->ranura);
        if (socket && !d->socket.empty() && r.disponible) {
            std::error_code e;
            if (!std::filesystem::exists(d->socket, e)) {
                noDisponible(d, "ha desaparecido su socket " + d->socket);
                return;
            }
        }
        // Available again only once renewed (the failed device object itself is not trusted).
        if (!r.disponible && renovacionProgramada == 0 && d->capturandoDesde &&
            ahora - *d->capturandoDesde >= opciones().pruebaRecuperado) {
            r.disponible = true;
            fallos = 0;
            avisar(" -> Lector huella " + d->id + " disponible de nuevo.");
        }
        const auto activo = d->activoAhora(ahora);
        if (activo >= limite(d->id) &&
            (ahora - d->ultimoDedo >= EsperaTrasDedo || activo >= limite(d->id) * LimiteForzado)) {
            renovar();
            return;
        }
    }
}

NucleoFprint::NucleoFprint(AvisoLector aviso, int ranuras, OpcionesFprint opciones)
    : aviso_(std::move(aviso)), ranuras_(ranuras < 1 ? 1 : ranuras), opciones_(opciones),
      estado_(static_cast<std::size_t>(ranuras_)), glib_(std::make_unique<Glib>()) {
    Glib& g = *glib_;
    g.nucleo = this;
    g.contexto = g_main_context_default();
    g.ranuras.assign(static_cast<std::size_t>(ranuras_), nullptr);
    g.reservas.assign(static_cast<std::size_t>(ranuras_), std::string());
    g.ultimaVigilanciaSocket = Reloj::now();
    g.crearContexto();
    g.vigilancia = Temporizador(
        g.contexto, TicVigilanciaMs,
        [](gpointer p) -> gboolean {
            static_cast<Glib*>(p)->vigilar();
            return G_SOURCE_CONTINUE;
        },
        &g);
}

NucleoFprint::~NucleoFprint() {
    Glib& g = *glib_;
    g.parar = true;
    Quitar(g.contexto, g.vigilancia);
    Quitar(g.contexto, g.renovacionProgramada);
    Quitar(g.contexto, g.finReservas);
    Quitar(g.contexto, g.completar);
    // Wind down: cancel every capture, close every open device, wait (bounded) for libfprint.
    for (auto& d : g.dispositivos) {
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
    const Ranura& r = estado_[static_cast<std::size_t>(ranura)];
    if (!r.disponible)
        return std::nullopt;
    return r.ocupante;
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
    if (!r.ocupante || r.ocupante->generacion != generacion || !r.disponible)
        return;
    const auto ahora = std::chrono::steady_clock::now();
    while (!r.eventos.empty()) {
        Evento e = std::move(r.eventos.front());
        r.eventos.pop_front();
        const auto espera = ahora - e.llegada;
        if (espera > opciones_.vidaImagen) {
            if (e.evento.tipo == EventoLector::Tipo::Imagen)
                avisos_.push_back(" -> Lector huella " + e.evento.sensor +
                                  ": imagen descartada, esperaba desde hace " +
                                  std::to_string(Segundos(espera)) + " s.");
            continue;
        }
        cola.push_back(std::move(e.evento));
    }
}

void NucleoFprint::entregarAvisos() {
    std::vector<std::string> avisos;
    avisos.swap(avisos_);
    if (aviso_)
        for (const auto& a : avisos)
            aviso_(a);
}

int NucleoFprint::renovaciones() const {
    return glib_->renovaciones;
}

} // namespace portiva::motor
