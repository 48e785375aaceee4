#include "LectorSimulado.h"

#include "ArchivoBmp.h"
#include "CodigosMotor.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace portiva::motor {

bool LectorSimulado::conectado() {
    std::error_code ec;
    return !carpeta_.empty() && std::filesystem::is_directory(carpeta_, ec);
}

int LectorSimulado::iniciarCaptura() {
    capturando_ = true;
    return codigo::Ok;
}

int LectorSimulado::detenerCaptura() {
    capturando_ = false;
    return codigo::Ok;
}

void LectorSimulado::sondear(std::deque<EventoLector>& cola) {
    if (!capturando_ || !conectado())
        return;
    std::error_code ec;
    std::vector<std::filesystem::path> archivos;
    for (std::filesystem::directory_iterator it(carpeta_, ec), fin; !ec && it != fin;
         it.increment(ec)) {
        std::error_code ec2;
        if (it->is_regular_file(ec2) && ArchivoBmp::tieneExtensionBmp(it->path()))
            archivos.push_back(it->path());
    }
    if (archivos.empty())
        return;
    const auto primero = *std::min_element(archivos.begin(), archivos.end());

    ImagenGris imagen;
    if (ArchivoBmp::leer(primero, imagen) != codigo::Ok) {
        auto apartado = primero;
        apartado += ".invalido";
        std::filesystem::rename(primero, apartado, ec);
        if (ec)
            std::filesystem::remove(primero, ec);
        return;
    }
    std::filesystem::remove(primero, ec);

    EventoLector puesto;
    puesto.tipo = EventoLector::Tipo::DedoPuesto;
    puesto.sensor = Id;
    cola.push_back(puesto);
    EventoLector captura;
    captura.tipo = EventoLector::Tipo::Imagen;
    captura.sensor = Id;
    captura.imagen = std::move(imagen);
    cola.push_back(std::move(captura));
    EventoLector retirado;
    retirado.tipo = EventoLector::Tipo::DedoRetirado;
    retirado.sensor = Id;
    cola.push_back(retirado);
}

} // namespace portiva::motor
