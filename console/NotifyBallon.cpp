#include "NotifyBallon.h"

#include "BandejaSistema.h"

namespace portiva {

NotifyBallon::NotifyBallon(BandejaSistema& bandeja) : bandeja_(bandeja) {}

void NotifyBallon::ShowBallon(int /*id*/, const QIcon& icono, const QString& titulo,
                              const QString& texto, const QString& tip, int flags) {
    const QString tipCorto = tip.left(127);
    if (!anadido_) {
        // A failed first add is not retried: later calls change the icon.
        bandeja_.anadir(icono, tipCorto);
        anadido_ = true;
    } else {
        bandeja_.modificar(icono, tipCorto);
    }
    if (!texto.isEmpty())
        bandeja_.globo(titulo.left(63), texto.left(255), flags, DuracionGlobo);
}

void NotifyBallon::RemoveBallonIcon(int /*id*/) {
    if (!anadido_)
        return;
    if (bandeja_.quitar())
        anadido_ = false;
}

} // namespace portiva
