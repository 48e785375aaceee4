// The libfprint readers driven through libfprint's own "virtual_image" device.

#include "LectorFprint.h"
#include "CapaCaptura.h"
#include "EmisorVirtual.h"
#include "HuellasSinteticas.h"

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

// A capture layer over the libfprint readers of one virtual device, polled the way the station
// does it: a connected reader is told to capture.
class Estacion {
public:
    explicit Estacion(const std::string& socket) {
        ::setenv("FP_VIRTUAL_IMAGE", socket.c_str(), 1);
        for (auto& l : CrearLectoresFprint([this](const std::string& a) { avisos.push_back(a); }))
            capa_.agregar(std::move(l));
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

    std::vector<EventoLector> eventos;
    std::vector<std::string> avisos;

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

} // namespace
} // namespace portiva::motor
