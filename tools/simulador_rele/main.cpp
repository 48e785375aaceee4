// portiva-simrele: a simulated eight-relay board on a pseudo-terminal, for the demo folder and
// for trying the station without hardware. It links <folder>/<port> to the pseudo-terminal,
// prints every command and relay change, and runs until interrupted.

#include "SimuladorRele.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t gSalir = 0;

void AlSenal(int) {
    gSalir = 1;
}

void Uso() {
    std::fprintf(stderr, "Uso: portiva-simrele [--carpeta DIR] [--puerto COMn] [--modulo ID]\n"
                         "                     [--version N] [--un-byte | --mudo]\n"
                         "  Crea un pseudo-terminal con una placa de 8 reles simulada y enlaza\n"
                         "  DIR/COMn (por defecto ./COM4) a el. Termina con Ctrl+C.\n");
}

bool LeerByte(const char* texto, std::uint8_t& valor) {
    char* fin = nullptr;
    const long n = std::strtol(texto, &fin, 10);
    if (fin == texto || *fin != '\0' || n < 0 || n > 255)
        return false;
    valor = static_cast<std::uint8_t>(n);
    return true;
}

std::string Hora() {
    const auto ahora = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(ahora);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(ahora.time_since_epoch()) % 1000;
    std::tm local{};
    ::localtime_r(&t, &local);
    char texto[32];
    std::snprintf(texto, sizeof texto, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(ms.count()));
    return texto;
}

} // namespace

int main(int argc, char** argv) {
    using portiva::simulador::ModoRespuesta;
    std::string carpeta = ".";
    std::string puerto = "COM4";
    std::uint8_t modulo = 8;
    std::uint8_t version = 1;
    ModoRespuesta modo = ModoRespuesta::Normal;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hayValor = i + 1 < argc;
        if (arg == "--carpeta" && hayValor) {
            carpeta = argv[++i];
        } else if (arg == "--puerto" && hayValor) {
            puerto = argv[++i];
        } else if (arg == "--modulo" && hayValor) {
            if (!LeerByte(argv[++i], modulo)) {
                Uso();
                return 2;
            }
        } else if (arg == "--version" && hayValor) {
            if (!LeerByte(argv[++i], version)) {
                Uso();
                return 2;
            }
        } else if (arg == "--un-byte") {
            modo = ModoRespuesta::UnByte;
        } else if (arg == "--mudo") {
            modo = ModoRespuesta::Ninguna;
        } else {
            Uso();
            return arg == "--help" || arg == "-h" ? 0 : 2;
        }
    }

    portiva::simulador::SimuladorRele placa;
    if (!placa.valido()) {
        std::fprintf(stderr, "portiva-simrele: %s\n", placa.error().c_str());
        return 1;
    }
    placa.ponerIdModulo(modulo);
    placa.ponerVersion(version);
    placa.ponerModo(modo);

    const std::string enlace = carpeta + "/" + puerto;
    if (!placa.enlazar(enlace)) {
        std::fprintf(stderr, "portiva-simrele: no se pudo crear %s: %s\n", enlace.c_str(),
                     placa.error().c_str());
        return 1;
    }

    std::mutex salida;
    placa.alActuar([&](const std::string& texto) {
        std::lock_guard lock(salida);
        std::printf("%s %s\n", Hora().c_str(), texto.c_str());
        std::fflush(stdout);
    });

    struct sigaction accion {};
    accion.sa_handler = AlSenal;
    ::sigaction(SIGINT, &accion, nullptr);
    ::sigaction(SIGTERM, &accion, nullptr);

    {
        std::lock_guard lock(salida);
        std::printf("%s placa de reles (modulo %d, version %d) en %s -> %s\n", Hora().c_str(),
                    modulo, version, enlace.c_str(), placa.rutaEsclavo().c_str());
        std::fflush(stdout);
    }
    while (!gSalir)
        ::pause();
    std::printf("%s placa desconectada\n", Hora().c_str());
    return 0;
}
