#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

namespace portiva {

// Calls handed from any thread to the thread this object lives on, run there one by one in the
// order they were handed in, each from its own event (so a modal loop open on that thread still
// runs the next one). The calls go through a queue of our own under a std::mutex, so whatever a
// call captured is seen whole on the other side, also by the thread checker, which cannot see
// Qt's own event queue.
class Buzon final : public QObject {
    Q_OBJECT
public:
    explicit Buzon(QObject* padre = nullptr) : QObject(padre) {}
    // Calls not run by then are dropped. Taken under the lock, so that the last call's
    // hand-over is seen before the queue goes (the thread that ran it may have ended).
    ~Buzon() override;

    // Any thread.
    void Publicar(std::function<void()> llamada);

private slots:
    void Atender();

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> llamadas_;
    // An event to run the first call is on its way.
    bool avisado_ = false;
};

} // namespace portiva
