#include "SimuladorRele.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

namespace portiva::simulador {

namespace {

constexpr std::uint8_t kVersion = 90;
constexpr std::uint8_t kLeerEstado = 91;
constexpr std::uint8_t kEscribirEstado = 92;
constexpr std::uint8_t kApagarTodo = 110;

std::string ErrorSistema(const char* que) {
    return std::string(que) + ": " + std::strerror(errno);
}

void Cerrar(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

std::string RelesEncendidos(std::uint8_t estado) {
    std::string texto;
    for (int rele = 1; rele <= 8; ++rele)
        if (estado & (1u << (rele - 1))) {
            if (!texto.empty())
                texto += ' ';
            texto += std::to_string(rele);
        }
    return texto.empty() ? std::string("-") : texto;
}

SimuladorRele::SimuladorRele() {
    maestro_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (maestro_ < 0) {
        error_ = ErrorSistema("posix_openpt");
        return;
    }
    char nombre[256] = {};
    if (::grantpt(maestro_) != 0 || ::unlockpt(maestro_) != 0 ||
        ::ptsname_r(maestro_, nombre, sizeof nombre) != 0) {
        error_ = ErrorSistema("pseudo-terminal");
        Cerrar(maestro_);
        return;
    }
    rutaEsclavo_ = nombre;
    esclavo_ = ::open(nombre, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (esclavo_ < 0) {
        error_ = ErrorSistema("open slave");
        Cerrar(maestro_);
        return;
    }
    // Raw line: no echo, no line editing, every byte passes unchanged.
    termios t{};
    if (::tcgetattr(esclavo_, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(esclavo_, TCSANOW, &t);
    }
    const int flags = ::fcntl(maestro_, F_GETFL);
    ::fcntl(maestro_, F_SETFL, flags | O_NONBLOCK);
    if (::pipe2(tuberia_, O_CLOEXEC) != 0) {
        error_ = ErrorSistema("pipe");
        Cerrar(esclavo_);
        Cerrar(maestro_);
        return;
    }
    valido_ = true;
    hilo_ = std::thread([this] { Bucle(); });
}

SimuladorRele::~SimuladorRele() {
    Detener();
    Cerrar(tuberia_[0]);
    Cerrar(tuberia_[1]);
    for (const std::string& enlace : enlaces_)
        ::unlink(enlace.c_str());
}

bool SimuladorRele::enlazar(const std::string& ruta) {
    if (!valido_)
        return false;
    struct stat info {};
    if (::lstat(ruta.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            errno = EEXIST;
            error_ = ErrorSistema(ruta.c_str());
            return false;
        }
        ::unlink(ruta.c_str());
    }
    if (::symlink(rutaEsclavo_.c_str(), ruta.c_str()) != 0) {
        error_ = ErrorSistema(ruta.c_str());
        return false;
    }
    enlaces_.push_back(ruta);
    return true;
}

void SimuladorRele::ponerModo(ModoRespuesta modo) {
    std::lock_guard lock(mutex_);
    modo_ = modo;
}

void SimuladorRele::ponerIdModulo(std::uint8_t id) {
    std::lock_guard lock(mutex_);
    idModulo_ = id;
}

void SimuladorRele::ponerVersion(std::uint8_t version) {
    std::lock_guard lock(mutex_);
    version_ = version;
}

void SimuladorRele::ponerEstado(std::uint8_t estado) {
    std::lock_guard lock(mutex_);
    estado_ = estado;
}

void SimuladorRele::ponerRetardo(std::chrono::milliseconds retardo) {
    std::lock_guard lock(mutex_);
    retardo_ = retardo;
}

void SimuladorRele::ponerRuidoAntesDeRespuesta(std::vector<std::uint8_t> ruido) {
    std::lock_guard lock(mutex_);
    ruido_ = std::move(ruido);
}

void SimuladorRele::alActuar(std::function<void(const std::string&)> observador) {
    std::lock_guard lock(mutex_);
    observador_ = std::move(observador);
}

std::uint8_t SimuladorRele::estado() const {
    std::lock_guard lock(mutex_);
    return estado_;
}

std::vector<ByteRecibido> SimuladorRele::recibidos() const {
    std::lock_guard lock(mutex_);
    return recibidos_;
}

std::vector<std::uint8_t> SimuladorRele::bytesRecibidos() const {
    std::lock_guard lock(mutex_);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(recibidos_.size());
    for (const ByteRecibido& r : recibidos_)
        bytes.push_back(r.valor);
    return bytes;
}

std::vector<CambioRele> SimuladorRele::cambios() const {
    std::lock_guard lock(mutex_);
    return cambios_;
}

void SimuladorRele::olvidar() {
    std::lock_guard lock(mutex_);
    recibidos_.clear();
    cambios_.clear();
}

bool SimuladorRele::esperarBytes(std::size_t cuantos, std::chrono::milliseconds limite) const {
    std::unique_lock lock(mutex_);
    return cambio_.wait_for(lock, limite, [&] { return recibidos_.size() >= cuantos; });
}

bool SimuladorRele::enviar(const std::vector<std::uint8_t>& bytes) {
    return Escribir(bytes);
}

bool SimuladorRele::Escribir(const std::vector<std::uint8_t>& bytes) {
    std::lock_guard lock(escritura_);
    if (maestro_ < 0)
        return false;
    std::size_t hecho = 0;
    const auto limite = Reloj::now() + std::chrono::seconds(2);
    while (hecho < bytes.size()) {
        const ssize_t n = ::write(maestro_, bytes.data() + hecho, bytes.size() - hecho);
        if (n > 0) {
            hecho += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (Reloj::now() > limite)
            return false;
        pollfd p{maestro_, POLLOUT, 0};
        ::poll(&p, 1, 20);
    }
    return true;
}

void SimuladorRele::Avisar(const std::string& texto) {
    std::function<void(const std::string&)> observador;
    {
        std::lock_guard lock(mutex_);
        observador = observador_;
    }
    if (observador)
        observador(texto);
}

void SimuladorRele::Responder(std::vector<std::uint8_t> respuesta) {
    std::chrono::milliseconds retardo;
    std::vector<std::uint8_t> bytes;
    {
        std::lock_guard lock(mutex_);
        retardo = retardo_;
        bytes = ruido_;
    }
    bytes.insert(bytes.end(), respuesta.begin(), respuesta.end());
    if (retardo.count() > 0)
        std::this_thread::sleep_for(retardo);
    Escribir(bytes);
}

void SimuladorRele::Procesar(std::uint8_t byte) {
    std::string aviso;
    std::vector<std::uint8_t> respuesta;
    bool responder = false;
    bool peticion = false;
    {
        std::lock_guard lock(mutex_);
        recibidos_.push_back({Reloj::now(), byte});
        if (esperandoEstado_) {
            esperandoEstado_ = false;
            estado_ = byte;
            cambios_.push_back({Reloj::now(), estado_});
            aviso = "reles " + RelesEncendidos(estado_) + " (byte " + std::to_string(estado_) + ")";
        } else {
            switch (byte) {
            case kVersion:
                if (modo_ == ModoRespuesta::Normal)
                    respuesta = {idModulo_, version_};
                else if (modo_ == ModoRespuesta::UnByte)
                    respuesta = {idModulo_};
                responder = !respuesta.empty();
                peticion = true;
                aviso = "version pedida";
                break;
            case kLeerEstado:
                if (modo_ != ModoRespuesta::Ninguna)
                    respuesta = {estado_};
                responder = !respuesta.empty();
                peticion = true;
                aviso = "estado pedido";
                break;
            case kEscribirEstado:
                esperandoEstado_ = true;
                break;
            case kApagarTodo:
                estado_ = 0;
                cambios_.push_back({Reloj::now(), estado_});
                aviso = "todos los reles apagados";
                break;
            default:
                aviso = "byte desconocido " + std::to_string(byte);
                break;
            }
        }
    }
    cambio_.notify_all();
    if (peticion) {
        if (respuesta.empty()) {
            aviso += ": sin respuesta";
        } else {
            aviso += ": responde";
            for (std::uint8_t b : respuesta)
                aviso += " " + std::to_string(b);
        }
    }
    // Answer first: a slow observer must not make the board miss the station's wait.
    if (responder)
        Responder(respuesta);
    if (!aviso.empty())
        Avisar(aviso);
}

void SimuladorRele::Bucle() {
    // A real board has a processor of its own and answers within a millisecond whatever the
    // PC is doing. This thread shares the PC with the station (and, in the tests, with a whole
    // parallel build), so it asks to be scheduled ahead of ordinary threads; where that is not
    // allowed (not root, no CAP_SYS_NICE) it runs at the ordinary priority.
    (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), -10);
    for (;;) {
        pollfd p[2] = {{maestro_, POLLIN, 0}, {tuberia_[0], POLLIN, 0}};
        const int listos = ::poll(p, 2, -1);
        if (listos < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (p[1].revents)
            return;
        if (p[0].revents & POLLIN) {
            std::uint8_t buffer[256];
            const ssize_t n = ::read(maestro_, buffer, sizeof buffer);
            if (n > 0) {
                for (ssize_t i = 0; i < n; ++i)
                    Procesar(buffer[i]);
                continue;
            }
        }
        if (p[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            // Should not happen while our own slave descriptor is open; do not spin.
            pollfd solo{tuberia_[0], POLLIN, 0};
            if (::poll(&solo, 1, 50) > 0)
                return;
        }
    }
}

void SimuladorRele::Detener() {
    if (hilo_.joinable()) {
        const char c = 0;
        [[maybe_unused]] const ssize_t n = ::write(tuberia_[1], &c, 1);
        hilo_.join();
    }
    std::lock_guard lock(escritura_);
    Cerrar(maestro_);
    Cerrar(esclavo_);
}

void SimuladorRele::desenchufar() {
    Detener();
    desenchufado_ = true;
    // The links now point nowhere, like the installer's link once its adapter is pulled out.
    // They must not keep naming the pseudo-terminal: its number is reused by the next one made.
    for (const std::string& enlace : enlaces_) {
        ::unlink(enlace.c_str());
        if (::symlink((enlace + ".desenchufado").c_str(), enlace.c_str()) != 0)
            error_ = ErrorSistema(enlace.c_str());
    }
}

} // namespace portiva::simulador
