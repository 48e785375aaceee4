#pragma once

#include <QString>

namespace portiva {

// Opens a file with the system's own viewer for its type (a photo, a web page).
class VisorArchivos {
public:
    virtual ~VisorArchivos() = default;
    // True when the system took the request.
    virtual bool abrir(const QString& ruta) = 0;
};

} // namespace portiva
