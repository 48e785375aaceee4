#include "BandejaQt.h"

namespace portiva {

BandejaQt::BandejaQt() {
    QObject::connect(&icono_, &QSystemTrayIcon::activated, [this](auto razon) {
        if (!receptor_)
            return;
        switch (razon) {
        case QSystemTrayIcon::Trigger:
            receptor_(ClicIzquierdo);
            break;
        case QSystemTrayIcon::DoubleClick:
            receptor_(DobleClic);
            break;
        case QSystemTrayIcon::Context:
            receptor_(ClicDerecho);
            break;
        default:
            break;
        }
    });
}

bool BandejaQt::hayAreaNotificacion() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void BandejaQt::ponerReceptorRaton(std::function<void(int mensaje)> receptor) {
    receptor_ = std::move(receptor);
}

bool BandejaQt::anadir(const QIcon& icono, const QString& tip) {
    icono_.setIcon(icono);
    icono_.setToolTip(tip);
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    icono_.show();
    return true;
}

bool BandejaQt::modificar(const QIcon& icono, const QString& tip) {
    icono_.setIcon(icono);
    icono_.setToolTip(tip);
    return icono_.isVisible();
}

void BandejaQt::globo(const QString& titulo, const QString& texto, int flags, int milisegundos) {
    if (!icono_.isVisible() || texto.isEmpty())
        return;
    QSystemTrayIcon::MessageIcon tipo = QSystemTrayIcon::NoIcon;
    switch (flags) {
    case 1:
        tipo = QSystemTrayIcon::Information;
        break;
    case 2:
        tipo = QSystemTrayIcon::Warning;
        break;
    case 3:
        tipo = QSystemTrayIcon::Critical;
        break;
    default:
        break;
    }
    icono_.showMessage(titulo, texto, tipo, milisegundos);
}

bool BandejaQt::quitar() {
    const bool estaba = icono_.isVisible();
    icono_.hide();
    return estaba;
}

} // namespace portiva
