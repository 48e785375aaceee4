#pragma once

// Feeds libfprint's "virtual_image" reader (FP_VIRTUAL_IMAGE=<socket>) from a thread of its
// own: every image is int32 width, int32 height, then width x height grey bytes; a header with a
// negative width is a command (-2: capture error with the given code, -5: the device goes away).
// A large image does not fit the socket's buffer, so sending never happens on the thread that
// polls the reader. When libfprint opens the device again the old connection is closed: the
// message that finds it closed is sent again on a new one.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace portiva::prueba {

class EmisorVirtual {
public:
    explicit EmisorVirtual(std::string ruta) : ruta_(std::move(ruta)) {
        hilo_ = std::thread([this] { correr(); });
    }
    ~EmisorVirtual() {
        {
            std::lock_guard lock(mutex_);
            fin_ = true;
        }
        hay_.notify_all();
        hilo_.join();
        if (fd_ >= 0)
            ::close(fd_);
    }
    EmisorVirtual(const EmisorVirtual&) = delete;
    EmisorVirtual& operator=(const EmisorVirtual&) = delete;

    void imagen(int ancho, int alto, const std::vector<std::uint8_t>& gris) {
        std::vector<std::uint8_t> m(8 + gris.size());
        const std::int32_t cab[2] = {ancho, alto};
        std::memcpy(m.data(), cab, 8);
        std::memcpy(m.data() + 8, gris.data(), gris.size());
        poner(std::move(m));
    }
    void orden(std::int32_t a, std::int32_t b) {
        std::vector<std::uint8_t> m(8);
        const std::int32_t cab[2] = {a, b};
        std::memcpy(m.data(), cab, 8);
        poner(std::move(m));
    }
    // Every queued message written to the socket.
    bool vacio() {
        std::lock_guard lock(mutex_);
        return cola_.empty() && !escribiendo_;
    }
    // The time the last byte of the last message went out.
    std::chrono::steady_clock::time_point ultimoEnvio() {
        std::lock_guard lock(mutex_);
        return ultimo_;
    }

private:
    void poner(std::vector<std::uint8_t> m) {
        {
            std::lock_guard lock(mutex_);
            cola_.push_back(std::move(m));
        }
        hay_.notify_all();
    }
    bool conectar() {
        // The device listens once libfprint has opened it: try until it does.
        for (int i = 0; i < 600; ++i) {
            {
                std::lock_guard lock(mutex_);
                if (fin_)
                    return false;
            }
            fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un dir{};
            dir.sun_family = AF_UNIX;
            std::strncpy(dir.sun_path, ruta_.c_str(), sizeof(dir.sun_path) - 1);
            if (::connect(fd_, reinterpret_cast<sockaddr*>(&dir), sizeof(dir)) == 0)
                return true;
            ::close(fd_);
            fd_ = -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    bool enviar(const std::vector<std::uint8_t>& m) {
        std::size_t hecho = 0;
        while (hecho < m.size()) {
            const auto n = ::send(fd_, m.data() + hecho, m.size() - hecho, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            hecho += static_cast<std::size_t>(n);
        }
        return true;
    }
    void correr() {
        for (;;) {
            std::vector<std::uint8_t> m;
            {
                std::unique_lock lock(mutex_);
                hay_.wait(lock, [this] { return fin_ || !cola_.empty(); });
                if (fin_)
                    return;
                m = std::move(cola_.front());
                cola_.pop_front();
                escribiendo_ = true;
            }
            // The device listens anew each time libfprint opens it again (the station renews
            // it): a message the closed connection refused goes again on a new one.
            for (int intento = 0; intento < 2; ++intento) {
                if (fd_ < 0 && !conectar())
                    return;
                if (enviar(m))
                    break;
                ::close(fd_);
                fd_ = -1;
            }
            std::lock_guard lock(mutex_);
            escribiendo_ = false;
            ultimo_ = std::chrono::steady_clock::now();
        }
    }

    std::string ruta_;
    int fd_ = -1;
    std::mutex mutex_;
    std::condition_variable hay_;
    std::deque<std::vector<std::uint8_t>> cola_;
    bool escribiendo_ = false;
    bool fin_ = false;
    std::chrono::steady_clock::time_point ultimo_{};
    std::thread hilo_;
};

} // namespace portiva::prueba
