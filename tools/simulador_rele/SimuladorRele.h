#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace portiva::simulador {

using Reloj = std::chrono::steady_clock;

// One byte the board received from the station, with the moment it arrived.
struct ByteRecibido {
    Reloj::time_point momento;
    std::uint8_t valor;
};

// The relays as a write-state or all-off command left them.
struct CambioRele {
    Reloj::time_point momento;
    std::uint8_t estado;
};

// How the simulated board answers its requests.
enum class ModoRespuesta {
    Normal,  // 90 -> module id and version, 91 -> state byte
    UnByte,  // 90 -> the module id only; 91 as normal
    Ninguna, // answers nothing at all
};

// An eight-relay board on a pseudo-terminal. The station opens the slave side (rutaEsclavo(),
// or a link made with enlazar()) as its serial port; the board runs on its own thread on the
// master side and speaks the board's protocol: 90 asks module id and version, 91 the relay
// state byte, 92 followed by a byte sets the relays, 110 switches them all off. Every byte
// received is recorded with its time so tests can check the exact traffic and its timing.
class SimuladorRele {
public:
    SimuladorRele();
    ~SimuladorRele();
    SimuladorRele(const SimuladorRele&) = delete;
    SimuladorRele& operator=(const SimuladorRele&) = delete;

    // False when the pseudo-terminal could not be made; error() tells why.
    bool valido() const { return valido_; }
    const std::string& error() const { return error_; }

    // Device path of the slave side, e.g. "/dev/pts/7".
    const std::string& rutaEsclavo() const { return rutaEsclavo_; }

    // Makes a symbolic link at `ruta` to the slave side (replacing a link already there);
    // the link is removed when the board is destroyed.
    bool enlazar(const std::string& ruta);

    // Answers.
    void ponerModo(ModoRespuesta modo);
    void ponerIdModulo(std::uint8_t id);
    void ponerVersion(std::uint8_t version);
    void ponerEstado(std::uint8_t estado);
    // Waits this long before each answer.
    void ponerRetardo(std::chrono::milliseconds retardo);
    // Bytes sent in front of every answer (noise inside the reply).
    void ponerRuidoAntesDeRespuesta(std::vector<std::uint8_t> ruido);

    // Sends bytes to the station now, unasked (noise on the line).
    bool enviar(const std::vector<std::uint8_t>& bytes);

    // Pulls the plug: the master side is closed, the station's port sees the device vanish,
    // and the links made with enlazar() are left pointing to nothing.
    void desenchufar();
    bool desenchufado() const { return desenchufado_; }

    std::uint8_t estado() const;
    std::vector<ByteRecibido> recibidos() const;
    std::vector<std::uint8_t> bytesRecibidos() const;
    std::vector<CambioRele> cambios() const;
    void olvidar(); // forgets the received bytes and relay changes recorded so far

    // Waits until at least `cuantos` bytes have been received in all; false on timeout.
    bool esperarBytes(std::size_t cuantos, std::chrono::milliseconds limite) const;

    // Called on the board's thread with a short Spanish description of each command.
    void alActuar(std::function<void(const std::string&)> observador);

private:
    void Bucle();
    void Procesar(std::uint8_t byte);
    void Responder(std::vector<std::uint8_t> respuesta);
    bool Escribir(const std::vector<std::uint8_t>& bytes);
    void Avisar(const std::string& texto);
    void Detener();

    int maestro_ = -1;
    int esclavo_ = -1; // held open so the line does not hang up while the station is away
    int tuberia_[2] = {-1, -1};
    std::string rutaEsclavo_;
    std::string error_;
    std::vector<std::string> enlaces_;
    bool valido_ = false;
    bool desenchufado_ = false;

    mutable std::mutex mutex_;
    mutable std::condition_variable cambio_;
    ModoRespuesta modo_ = ModoRespuesta::Normal;
    std::uint8_t idModulo_ = 8;
    std::uint8_t version_ = 1;
    std::uint8_t estado_ = 0;
    std::chrono::milliseconds retardo_{0};
    std::vector<std::uint8_t> ruido_;
    std::vector<ByteRecibido> recibidos_;
    std::vector<CambioRele> cambios_;
    std::function<void(const std::string&)> observador_;
    bool esperandoEstado_ = false; // thread only

    std::mutex escritura_;
    std::thread hilo_;
};

// The relays of a state byte as text: "1 6" for 33, "-" for none.
std::string RelesEncendidos(std::uint8_t estado);

} // namespace portiva::simulador
