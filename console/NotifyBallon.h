#pragma once

#include <QIcon>
#include <QString>

namespace portiva {

class BandejaSistema;

// The station's one tray icon: `ShowBallon` puts it up the first time and changes it (with or
// without a balloon) afterwards; `RemoveBallonIcon` takes it away at exit.
class NotifyBallon {
public:
    explicit NotifyBallon(BandejaSistema& bandeja);

    // Identifier (always 1), icon, balloon title and text, tip, balloon flags (0 no balloon
    // icon, 1 information, 2 warning). An empty text shows no balloon: flags 0 with an empty
    // title and text change only the icon. Texts are cut to 127 (tip), 255 (text) and 63
    // (title) characters.
    void ShowBallon(int id, const QIcon& icono, const QString& titulo, const QString& texto,
                    const QString& tip, int flags);
    void RemoveBallonIcon(int id);

    bool anadido() const { return anadido_; }

    static constexpr int DuracionGlobo = 10000;

private:
    BandejaSistema& bandeja_;
    bool anadido_ = false;
};

} // namespace portiva
