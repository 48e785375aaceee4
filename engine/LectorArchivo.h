#pragma once

#include "LectorHuellas.h"

#include <vector>

namespace portiva::motor {

// The pseudo-sensor "File": images loaded from disk by the station's menu. Always connected.
// A loaded image is handed over at the next poll, whether or not capture was started on this
// sensor: the operator asked for that image explicitly.
class LectorArchivo final : public LectorHuellas {
public:
    static inline const std::string Id = "File";

    const std::string& id() const override { return Id; }
    bool conectado() override { return true; }
    int iniciarCaptura() override;
    int detenerCaptura() override;
    bool capturando() const override { return capturando_; }
    void sondear(std::deque<EventoLector>& cola) override;

    void entregar(ImagenGris imagen);
    void descartarPendientes() { pendientes_.clear(); }

private:
    bool capturando_ = false;
    std::vector<ImagenGris> pendientes_;
};

} // namespace portiva::motor
