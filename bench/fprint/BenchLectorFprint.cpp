// A door's day on libfprint's virtual reader (FP_VIRTUAL_IMAGE): a print every N seconds for M
// minutes, the readers polled the way the station polls them (every 50 ms, capture started on
// a connected reader). Prints how many were taken, how long each took to come back, when the
// reader went and came back, and how often libfprint's device was renewed.
//   portiva-bench-lector-fprint [minutes=30] [seconds between prints=15] [renewal seconds]
// (renewal seconds: the capture time before the device is renewed, the station's by default;
// 0 renews only when libfprint stops the device as too hot, to see its heat estimate at work)

#include "CapaCaptura.h"
#include "EmisorVirtual.h"
#include "HuellasSinteticas.h"
#include "LectorFprint.h"
#include "NucleoFprint.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace portiva;
using Reloj = std::chrono::steady_clock;
using Tipo = motor::EventoLector::Tipo;

namespace {

std::string Hora() {
    const std::time_t t = std::time(nullptr);
    char texto[16];
    std::strftime(texto, sizeof texto, "%H:%M:%S", std::localtime(&t));
    return texto;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each line as it happens, also into a file
    const int minutos = argc > 1 ? std::atoi(argv[1]) : 30;
    const int cada = argc > 2 ? std::atoi(argv[2]) : 15;
    const int renovar = argc > 3 ? std::atoi(argv[3]) : -1;
    if (minutos <= 0 || cada <= 0) {
        std::fprintf(stderr,
                     "uso: %s [minutos] [segundos entre huellas] [segundos hasta renovar]\n",
                     argv[0]);
        return 2;
    }
    motor::OpcionesFprint opciones;
    if (renovar == 0)
        opciones.activoAntesDeRenovar = std::chrono::hours(24 * 365);
    else if (renovar > 0)
        opciones.activoAntesDeRenovar = std::chrono::seconds(renovar);
    const std::string socket = (std::filesystem::temp_directory_path() /
                                ("portiva-bench-fp-" + std::to_string(::getpid()) + ".sock"))
                                   .string();
    ::setenv("FP_VIRTUAL_IMAGE", socket.c_str(), 1);
    std::vector<const std::vector<std::uint8_t>*> grises;
    for (int i = 0; i < 8; ++i)
        grises.push_back(&prueba::huellaPrueba(i % 4, i / 4).pixeles);
    constexpr int Lado = 400;

    auto nucleo = std::make_shared<motor::NucleoFprint>(
        [](const std::string& a) { std::printf("%s%s\n", Hora().c_str(), a.c_str()); }, 1,
        opciones);
    motor::CapaCaptura capa;
    capa.agregar(std::make_unique<motor::LectorFprint>(nucleo, 0));
    capa.iniciar();

    int enviadas = 0, tomadas = 0, desconexiones = 0;
    std::vector<double> esperas;
    Reloj::time_point enviada{};
    bool pendiente = false;
    std::unique_ptr<prueba::EmisorVirtual> emisor;
    const auto inicio = Reloj::now();
    const auto fin = inicio + std::chrono::minutes(minutos);
    auto proxima = inicio + std::chrono::seconds(3);
    while (Reloj::now() < fin + std::chrono::seconds(cada)) {
        capa.sondear();
        while (auto e = capa.siguiente()) {
            if (e->tipo == Tipo::Conectado) {
                std::printf("%s conectado %s\n", Hora().c_str(), e->sensor.c_str());
                capa.buscar(e->sensor)->iniciarCaptura();
                if (!emisor)
                    emisor = std::make_unique<prueba::EmisorVirtual>(socket);
            } else if (e->tipo == Tipo::Desconectado) {
                ++desconexiones;
                std::printf("%s desconectado %s\n", Hora().c_str(), e->sensor.c_str());
                capa.buscar(e->sensor)->detenerCaptura();
            } else if (e->tipo == Tipo::Imagen && pendiente) {
                ++tomadas;
                pendiente = false;
                esperas.push_back(std::chrono::duration<double>(Reloj::now() - enviada).count());
            }
        }
        const auto ahora = Reloj::now();
        if (emisor && ahora >= proxima && ahora < fin) {
            if (pendiente)
                std::printf("%s huella %d no tomada\n", Hora().c_str(), enviadas);
            emisor->imagen(Lado, Lado, *grises[static_cast<std::size_t>(enviadas % 8)]);
            ++enviadas;
            enviada = ahora;
            pendiente = true;
            proxima += std::chrono::seconds(cada);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (pendiente)
        std::printf("%s huella %d no tomada\n", Hora().c_str(), enviadas);
    std::sort(esperas.begin(), esperas.end());
    const double mediana = esperas.empty() ? 0 : esperas[esperas.size() / 2];
    const double maxima = esperas.empty() ? 0 : esperas.back();
    std::printf("minutos %d, una huella cada %d s: enviadas %d, tomadas %d (%.1f %%), "
                "desconexiones %d, renovaciones %d, espera mediana %.3f s, maxima %.3f s\n",
                minutos, cada, enviadas, tomadas, enviadas ? 100.0 * tomadas / enviadas : 0.0,
                desconexiones, nucleo->renovaciones(), mediana, maxima);
    capa.detener();
    emisor.reset();
    std::filesystem::remove(socket);
    return 0;
}
