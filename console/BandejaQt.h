#pragma once

#include "BandejaSistema.h"

#include <QSystemTrayIcon>

namespace portiva {

// The notification area through QSystemTrayIcon. Without a notification area (a bare X
// server, a desktop without a tray) every call is harmless and the station runs on.
class BandejaQt final : public BandejaSistema {
public:
    BandejaQt();

    bool anadir(const QIcon& icono, const QString& tip) override;
    bool modificar(const QIcon& icono, const QString& tip) override;
    void globo(const QString& titulo, const QString& texto, int flags, int milisegundos) override;
    bool quitar() override;
    bool hayAreaNotificacion() const override;
    void ponerReceptorRaton(std::function<void(int mensaje)> receptor) override;

    // For the tray's mouse callback.
    QSystemTrayIcon& icono() { return icono_; }

private:
    QSystemTrayIcon icono_;
    std::function<void(int)> receptor_;
};

} // namespace portiva
