#pragma once

#include <QIcon>
#include <QString>

#include <functional>

namespace portiva {

// The notification area as the station uses it: one icon with a tip, and balloons from it.
class BandejaSistema {
public:
    virtual ~BandejaSistema() = default;
    // Puts the icon up. False when the desktop has no notification area.
    virtual bool anadir(const QIcon& icono, const QString& tip) = 0;
    virtual bool modificar(const QIcon& icono, const QString& tip) = 0;
    // A balloon from the icon; flags 0 no icon, 1 information, 2 warning, 3 error.
    virtual void globo(const QString& titulo, const QString& texto, int flags,
                       int milisegundos) = 0;
    // Takes the icon away; true when it was removed.
    virtual bool quitar() = 0;

    // The mouse on the icon, as the station's callback numbers it.
    static constexpr int ClicIzquierdo = 514; // left button up
    static constexpr int DobleClic = 515;     // left double click
    static constexpr int ClicDerecho = 517;   // right button up
    // Whether the desktop has a notification area to put the icon in.
    virtual bool hayAreaNotificacion() const = 0;
    // Who hears the mouse on the icon (an empty function: nobody).
    virtual void ponerReceptorRaton(std::function<void(int mensaje)> receptor) = 0;
};

} // namespace portiva
