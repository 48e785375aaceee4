#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace portiva {

// SIGTERM and SIGINT turned into an ordinary event of the user-interface thread: the signal
// handler only writes one byte to a pipe, and a notifier on its other end calls `alParar` from
// the event loop, where the station can shut down in order (a service manager or a script
// stopping it). One instance at a time; the previous handlers come back when it goes.
class SenalesParada final : public QObject {
    Q_OBJECT
public:
    explicit SenalesParada(std::function<void()> alParar, QObject* padre = nullptr);
    ~SenalesParada() override;

    SenalesParada(const SenalesParada&) = delete;
    SenalesParada& operator=(const SenalesParada&) = delete;

    // False when the pipe or the handlers could not be set up (the signals then keep their
    // default action).
    bool activas() const { return activas_; }

private:
    void leer();

    std::function<void()> alParar_;
    std::unique_ptr<QSocketNotifier> notificador_;
    bool activas_ = false;
};

} // namespace portiva
