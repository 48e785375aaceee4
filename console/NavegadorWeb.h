#pragma once

#include <QUrl>

namespace portiva {

// Opens an address in the desktop's web browser.
class NavegadorWeb {
public:
    virtual ~NavegadorWeb() = default;
    // False when nothing could open it.
    virtual bool abrir(const QUrl& direccion) = 0;
};

// Through QDesktopServices.
class NavegadorWebQt final : public NavegadorWeb {
public:
    bool abrir(const QUrl& direccion) override;
};

} // namespace portiva
