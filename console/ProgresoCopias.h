#pragma once

#include <QElapsedTimer>
#include <QPointer>

class QProgressDialog;
class QWidget;

namespace portiva {

class Bombeo;

// Keeps the window alive during a long backup, compaction or restore: the events are pumped
// as the copy goes on and, once it has taken more than a second, a progress dialog shows that
// the station is working.
class ProgresoCopias {
public:
    static constexpr int RetrasoMs = 1000;

    ProgresoCopias(QWidget* padre, Bombeo& bombeo);
    ~ProgresoCopias();
    ProgresoCopias(const ProgresoCopias&) = delete;
    ProgresoCopias& operator=(const ProgresoCopias&) = delete;

    void avance();
    void fin();
    bool visible() const { return !dialogo_.isNull(); }

private:
    QWidget* padre_;
    Bombeo& bombeo_;
    QElapsedTimer reloj_;
    QPointer<QProgressDialog> dialogo_;
};

} // namespace portiva
