#include "LectorSimulado.h"

#include "ArchivoBmp.h"
#include "CodigosMotor.h"

#include <algorithm>
#include <iostream>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace portiva::motor {

namespace {

std::string causaBmp(int codigo) {
    switch (codigo) {
    case codigo::FueraDeLimite:
        return "la imagen es demasiado grande";
    case codigo::NombreArchivoNoValido:
        return "no se pudo leer el archivo";
    case codigo::ExtensionDesconocida:
        return "la extension no es .bmp";
    default:
        return "no es un mapa de bits utilizable (vacio, cortado, comprimido o de un formato no "
               "admitido)";
    }
}

// Gone, or removed now.
bool quitar(const std::filesystem::path& archivo, std::error_code& ec) {
    std::filesystem::remove(archivo, ec);
    std::error_code ec2;
    return !ec || !std::filesystem::exists(archivo, ec2);
}

} // namespace

LectorSimulado::LectorSimulado(std::filesystem::path carpeta, Aviso aviso)
    : carpeta_(std::move(carpeta)), aviso_(std::move(aviso)) {}

void LectorSimulado::avisar(const std::string& texto) const {
    if (aviso_)
        aviso_(texto);
    else
        std::cerr << "[lector] " << texto << std::endl;
}

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

void LectorSimulado::detener(const std::filesystem::path& archivo, const std::error_code& ec) {
    if (bloqueado_.empty())
        avisar("No se puede quitar " + archivo.filename().string() + " de la carpeta del lector " +
               carpeta_.string() + " (" + ec.message() +
               "): no se entrega y no se toman mas huellas de la carpeta hasta que se pueda "
               "escribir en ella.");
    bloqueado_ = archivo;
}

bool LectorSimulado::puedeSeguir() {
    if (bloqueado_.empty())
        return true;
    std::error_code ec;
    const bool sigue = std::filesystem::exists(bloqueado_, ec);
    if (sigue && ::access(carpeta_.c_str(), W_OK) != 0)
        return false;
    bloqueado_.clear();
    avisar("La carpeta del lector " + carpeta_.string() +
           " vuelve a admitir cambios: se toman "
           "huellas de nuevo.");
    return true;
}

void LectorSimulado::sondear(std::deque<EventoLector>& cola) {
    if (!capturando_ || !conectado() || !puedeSeguir())
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
    if (const int leido = ArchivoBmp::leer(primero, imagen); leido != codigo::Ok) {
        auto apartado = primero;
        apartado += ".invalido";
        std::filesystem::rename(primero, apartado, ec);
        if (!ec) {
            avisar(primero.filename().string() + ": " + causaBmp(leido) + "; se aparta como " +
                   apartado.filename().string() + ".");
            return;
        }
        if (quitar(primero, ec)) {
            avisar(primero.filename().string() + ": " + causaBmp(leido) + "; se borra.");
            return;
        }
        detener(primero, ec);
        return;
    }
    // Removed before it is delivered: a file that stays would be the same finger again.
    if (!quitar(primero, ec)) {
        detener(primero, ec);
        return;
    }

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
