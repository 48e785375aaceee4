#pragma once

#include "LectorHuellas.h"

#include <filesystem>

namespace portiva::motor {

// A reader for the demo and the tests, driven through a folder. While the folder exists the
// reader "Simulado" is connected; when it disappears, disconnected. While capture is started,
// each poll takes the first *.bmp of the folder (by name), delivers it as a finger put down,
// its image and the finger lifted, and removes the file. A file that is not a usable bitmap is
// renamed to "<name>.invalido" so it is neither lost nor read again. Writers should write the
// bitmap elsewhere and rename it into the folder, so that no half-written file is read.
class LectorSimulado final : public LectorHuellas {
public:
    static inline const std::string Id = "Simulado";

    explicit LectorSimulado(std::filesystem::path carpeta) : carpeta_(std::move(carpeta)) {}

    const std::string& id() const override { return Id; }
    bool conectado() override;
    int iniciarCaptura() override;
    int detenerCaptura() override;
    bool capturando() const override { return capturando_; }
    void sondear(std::deque<EventoLector>& cola) override;

    const std::filesystem::path& carpeta() const { return carpeta_; }

private:
    std::filesystem::path carpeta_;
    bool capturando_ = false;
};

} // namespace portiva::motor
