// The libfprint readers driven through libfprint's own "virtual_image" device.

#include "LectorFprint.h"
#include "CapaCaptura.h"
#include "EmisorVirtual.h"
#include "HuellasSinteticas.h"
#include "NucleoFprint.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace portiva::motor {
namespace {

using Reloj = std::chrono::steady_clock;
using Tipo = EventoLector::Tipo;

// Long enough for a loaded machine; only a hang would reach it.
constexpr auto Limite = std::chrono::seconds(20);

std::string RutaSocket() {
    static int n = 0;
    return (std::filesystem::temp_directory_path() /
            ("portiva-fp-" + std::to_string(::getpid()) + "-" + std::to_string(++n) + ".sock"))
        .string();
}

// libfprint looks for minutiae in every image it captures and refuses one without: the images
// are the suite's synthetic prints.
const std::vector<std::uint8_t>& Gris(int n) {
    return prueba::huellaPrueba(n % 4, (n / 4) % 2).pixeles;
}
constexpr int Lado = 400;
// libfprint's FP_DEVICE_ERROR_TOO_HOT, the error its heat estimate raises.
constexpr int ErrorDemasiadoCaliente = 257;

// A capture layer over the libfprint readers of one virtual device, polled the way the station
// does it: a connected reader is told to capture.
class Estacion {
public:
    explicit Estacion(const std::string& socket, OpcionesFprint opciones = {}) {
        ::setenv("FP_VIRTUAL_IMAGE", socket.c_str(), 1);
        nucleo = std::make_shared<NucleoFprint>(
            [this](const std::string& a) { avisos.push_back(a); }, 2, opciones);
        for (int i = 0; i < 2; ++i)
            capa_.agregar(std::make_unique<LectorFprint>(nucleo, i));
        capa_.iniciar();
    }
    ~Estacion() { capa_.detener(); }

    // Polls until `hasta` holds for the events seen so far; false on the hang guard.
    bool sondearHasta(const std::function<bool()>& hasta) {
        const auto fin = Reloj::now() + Limite;
        while (Reloj::now() < fin) {
            capa_.sondear();
            while (auto e = capa_.siguiente()) {
                if (e->tipo == Tipo::Conectado)
                    capa_.buscar(e->sensor)->iniciarCaptura();
                if (e->tipo == Tipo::Desconectado)
                    capa_.buscar(e->sensor)->detenerCaptura();
                eventos.push_back(std::move(*e));
            }
            if (hasta())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    int cuantos(Tipo t) const {
        int n = 0;
        for (const auto& e : eventos)
            n += e.tipo == t;
        return n;
    }
    std::vector<const EventoLector*> imagenes() const {
        std::vector<const EventoLector*> v;
        for (const auto& e : eventos)
            if (e.tipo == Tipo::Imagen)
                v.push_back(&e);
        return v;
    }

    bool avisado(const std::string& texto) const {
        for (const auto& a : avisos)
            if (a.find(texto) != std::string::npos)
                return true;
        return false;
    }

    std::vector<EventoLector> eventos;
    std::vector<std::string> avisos;
    std::shared_ptr<NucleoFprint> nucleo;

private:
    CapaCaptura capa_;
};

TEST(LectorFprint, ElLectorVirtualSeConectaYEntregaCadaImagenConSusMedidas) {
    const auto socket = RutaSocket();
    Estacion est(socket);
    ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Conectado) == 1; }));
    EXPECT_EQ(est.eventos[0].sensor, "virtual_image:0") << "driver and libfprint's device id";

    prueba::EmisorVirtual emisor(socket);
    const auto& gris = Gris(1);
    emisor.imagen(Lado, Lado, gris);
    ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Imagen) == 1; }));
    const auto& img = *est.imagenes()[0];
    EXPECT_EQ(img.sensor, est.eventos[0].sensor);
    EXPECT_EQ(img.imagen.ancho, Lado);
    EXPECT_EQ(img.imagen.alto, Lado);
    EXPECT_EQ(img.imagen.pixeles, gris);
    EXPECT_EQ(img.imagen.resolucion, 500) << "libfprint's default 19.7 pixels per mm";
    // Finger down before the image, lifted after it, as the other readers do.
    EXPECT_EQ(est.cuantos(Tipo::DedoPuesto), 1);
    EXPECT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::DedoRetirado) == 1; }));
    EXPECT_TRUE(est.avisos.empty());
}

TEST(LectorFprint, UnaRafagaDeVeinteImagenesNoAtascaElLector) {
    const auto socket = RutaSocket();
    Estacion est(socket);
    ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Conectado) == 1; }));
    prueba::EmisorVirtual emisor(socket);
    for (int i = 0; i < 20; ++i)
        emisor.imagen(Lado, Lado, Gris(i));
    ASSERT_TRUE(est.sondearHasta([&] { return emisor.vacio(); }));
    // The virtual device itself drops an image that arrives while no capture is running
    // (between two captures); whatever got through is whole, nothing hangs, the reader stays.
    ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Imagen) >= 1; }));
    ASSERT_TRUE(est.sondearHasta([&] { return emisor.vacio(); }));
    int vueltas = 0; // a little longer for the last images on their way
    est.sondearHasta([&] { return est.cuantos(Tipo::Imagen) == 20 || ++vueltas > 200; });
    EXPECT_EQ(est.cuantos(Tipo::Desconectado), 0);
    for (const auto* img : est.imagenes()) {
        EXPECT_EQ(img->imagen.ancho, Lado);
        EXPECT_EQ(img->imagen.pixeles.size(), static_cast<std::size_t>(Lado * Lado));
    }
    EXPECT_TRUE(est.avisos.empty());
}

TEST(LectorFprint, QuitarElLectorLoDesconectaYAlVolverSeConectaOtraVez) {
    const auto socket = RutaSocket();
    std::string id;
    {
        Estacion est(socket);
        ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Conectado) == 1; }));
        id = est.eventos[0].sensor;
        prueba::EmisorVirtual emisor(socket);
        emisor.orden(-5, 0); // the device goes away
        ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Desconectado) == 1; }));
        EXPECT_EQ(est.eventos.back().sensor, id) << "gone under the id it came with";
        EXPECT_TRUE(est.avisos.empty()) << "unplugging is no fault";
    }
    // The device back (libfprint finds it again): connected again under the same id.
    Estacion otra(socket);
    ASSERT_TRUE(otra.sondearHasta([&] { return otra.cuantos(Tipo::Conectado) == 1; }));
    EXPECT_EQ(otra.eventos[0].sensor, id);
    prueba::EmisorVirtual emisor(socket);
    emisor.imagen(Lado, Lado, Gris(3));
    ASSERT_TRUE(otra.sondearHasta([&] { return otra.cuantos(Tipo::Imagen) == 1; }));
}

// A failed reader tried again soon and trusted soon, so that a test sees it come back quickly.
OpcionesFprint RecuperacionRapida() {
    OpcionesFprint o;
    o.pausaTrasError = std::chrono::milliseconds(200);
    o.pruebaRecuperado = std::chrono::milliseconds(300);
    return o;
}

// libfprint's overheating protection: the virtual device reports the error libfprint raises when
// its estimate reads hot (-2 with FP_DEVICE_ERROR_TOO_HOT). The reader is opened anew, cold, in
// its own slot: the station sees no disconnection and the next finger is taken.
TEST(LectorFprint, ElCalentamientoDeLibfprintReabreElLectorSinDesconectarlo) {
    const auto socket = RutaSocket();
    Estacion est(socket);
    ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Conectado) == 1; }));
    prueba::EmisorVirtual emisor(socket);
    emisor.orden(-2, ErrorDemasiadoCaliente);
    ASSERT_TRUE(est.sondearHasta([&] { return est.nucleo->renovaciones() == 1; }));
    EXPECT_TRUE(est.avisado("calentamiento")) << "the log says why the reader was reopened";
    emisor.imagen(Lado, Lado, Gris(2));
    ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Imagen) == 1; }));
    EXPECT_EQ(est.cuantos(Tipo::Desconectado), 0);
    EXPECT_EQ(est.cuantos(Tipo::Conectado), 1);
    EXPECT_EQ(est.imagenes()[0]->imagen.pixeles, Gris(2));
}

// The station's own schedule: a device is renewed before libfprint's estimate could read hot.
// libfprint offers no way to shorten its model, so the capture time allowed is shortened here
// instead: over several renewals every finger sent is still taken and nothing is disconnected.
TEST(LectorFprint, ElLectorSeRenuevaAntesDeCalentarseYNoPierdeHuellas) {
    const auto socket = RutaSocket();
    OpcionesFprint opciones;
    opciones.activoAntesDeRenovar = std::chrono::milliseconds(800);
    for (int i = 0; i < 8; ++i)
        (void)Gris(i); // made beforehand: the door is not stopped to make them
    Estacion est(socket, opciones);
    ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Conectado) == 1; }));
    prueba::EmisorVirtual emisor(socket);
    int enviadas = 0;
    while (est.nucleo->renovaciones() < 3) {
        const int antes = est.cuantos(Tipo::Imagen);
        emisor.imagen(Lado, Lado, Gris(enviadas++));
        const auto siguiente = Reloj::now() + std::chrono::seconds(1);
        // One finger a second, as at a busy door.
        if (!est.sondearHasta([&] { return est.cuantos(Tipo::Imagen) > antes; }))
            ADD_FAILURE() << "finger " << enviadas << " never arrived";
        est.sondearHasta([&] { return Reloj::now() >= siguiente; });
        ASSERT_LT(enviadas, 30);
    }
    EXPECT_EQ(est.cuantos(Tipo::Desconectado), 0) << "a renewal is no disconnection";
    EXPECT_EQ(est.cuantos(Tipo::Conectado), 1);
    EXPECT_TRUE(est.avisos.empty()) << "routine renewals are not logged";
}

// The virtual reader's socket removed while the station runs: the reader is reported gone, and
// comes back by itself (libfprint makes the socket again when it opens the device).
TEST(LectorFprint, SinSocketElLectorSeDaPorPerdidoYVuelveSolo) {
    const auto socket = RutaSocket();
    Estacion est(socket, RecuperacionRapida());
    ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Conectado) == 1; }));
    ASSERT_TRUE(std::filesystem::remove(socket));
    ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Desconectado) == 1; }));
    EXPECT_TRUE(est.avisado("no disponible: ha desaparecido su socket")) << est.avisos.size();
    ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Conectado) == 2; }));
    EXPECT_TRUE(est.avisado("disponible de nuevo"));
    EXPECT_TRUE(std::filesystem::exists(socket));
    prueba::EmisorVirtual emisor(socket);
    emisor.imagen(Lado, Lado, Gris(1));
    ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Imagen) == 1; }));
}

// A driver error (not a retry, not a removal): reported unavailable with the error, tried
// again after a pause, available again once a capture runs without failing.
TEST(LectorFprint, UnErrorDelDriverDejaElLectorNoDisponibleHastaQueVuelveAFuncionar) {
    const auto socket = RutaSocket();
    Estacion est(socket, RecuperacionRapida());
    ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Conectado) == 1; }));
    prueba::EmisorVirtual emisor(socket);
    emisor.orden(-2, 5); // FP_DEVICE_ERROR_PROTO
    ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Desconectado) == 1; }));
    EXPECT_TRUE(est.avisado("no disponible: fallo en la captura"));
    ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Conectado) == 2; }));
    EXPECT_EQ(est.eventos.back().sensor, est.eventos.front().sensor) << "the same reader";
    emisor.imagen(Lado, Lado, Gris(0));
    ASSERT_TRUE(est.sondearHasta([&] { return est.cuantos(Tipo::Imagen) == 1; }));
}

// An image the station did not take in time is dropped, never handed over late.
TEST(LectorFprint, UnaImagenQueEsperoDemasiadoSeDescarta) {
    const auto socket = RutaSocket();
    OpcionesFprint opciones;
    opciones.vidaImagen = std::chrono::milliseconds(200);
    ::setenv("FP_VIRTUAL_IMAGE", socket.c_str(), 1);
    std::vector<std::string> avisos;
    auto nucleo = std::make_shared<NucleoFprint>([&](const std::string& a) { avisos.push_back(a); },
                                                 1, opciones);
    LectorFprint lector(nucleo, 0);
    const auto fin = Reloj::now() + Limite;
    while (!lector.conectado() && Reloj::now() < fin)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(lector.conectado());
    lector.iniciarCaptura();
    prueba::EmisorVirtual emisor(socket);
    emisor.imagen(Lado, Lado, Gris(3));
    // Only libfprint's work runs (the station does not take its events) until the image has
    // waited longer than allowed.
    while (!emisor.vacio() && Reloj::now() < fin) {
        nucleo->bombear();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const auto hasta = Reloj::now() + std::chrono::milliseconds(600);
    while (Reloj::now() < hasta) {
        nucleo->bombear();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::deque<EventoLector> cola;
    lector.sondear(cola);
    nucleo->entregarAvisos();
    for (const auto& e : cola)
        EXPECT_NE(e.tipo, Tipo::Imagen);
    ASSERT_EQ(avisos.size(), 1u);
    EXPECT_NE(avisos[0].find("imagen descartada"), std::string::npos) << avisos[0];
}

} // namespace
} // namespace portiva::motor
