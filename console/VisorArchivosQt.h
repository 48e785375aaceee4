#pragma once

#include "VisorArchivos.h"

namespace portiva {

// The system viewer through QDesktopServices.
class VisorArchivosQt final : public VisorArchivos {
public:
    bool abrir(const QString& ruta) override;
};

} // namespace portiva
