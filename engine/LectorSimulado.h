#pragma once

#include "LectorHuellas.h"

#include <filesystem>
#include <functional>
#include <string>

namespace portiva::motor {

// A reader for the demo and the tests, driven through a folder. While the folder exists the
// reader "Simulado" is connected; when it disappears, disconnected. While capture is started,
// each poll takes the first *.bmp of the folder (by name), removes the file and then delivers
// it as a finger put down, its image and the finger lifted. A file that is not a usable bitmap
// is renamed to "<name>.invalido" so it is neither lost nor read again, and the reason goes to
// the log. Writers should write the bitmap elsewhere and rename it into the folder, so that no
// half-written file is read.
//
// A print is never delivered twice: when the file cannot be removed (or set aside), it is not
// delivered at all, the problem is logged once and the reader takes nothing more from the
// folder until the folder can be written again or the file is gone.
class LectorSimulado final : public LectorHuellas {
public:
    static inline const std::string Id = "Simulado";
    // Where the reader's log lines go; standard error when none is given.
    using Aviso = std::function<void(const std::string&)>;

    explicit LectorSimulado(std::filesystem::path carpeta, Aviso aviso = {});

    const std::string& id() const override { return Id; }
    bool conectado() override;
    int iniciarCaptura() override;
    int detenerCaptura() override;
    bool capturando() const override { return capturando_; }
    void sondear(std::deque<EventoLector>& cola) override;

    const std::filesystem::path& carpeta() const { return carpeta_; }
    // True while a file that could not be removed keeps the reader from taking more.
    bool detenido() const { return !bloqueado_.empty(); }

private:
    void avisar(const std::string& texto) const;
    void detener(const std::filesystem::path& archivo, const std::error_code& ec);
    bool puedeSeguir();

    std::filesystem::path carpeta_;
    Aviso aviso_;
    bool capturando_ = false;
    std::filesystem::path bloqueado_; // the file that could not be removed, if any
};

} // namespace portiva::motor
