#include "HuellasPrueba.h"

#include "MotorHuella.h"

#include <map>
#include <mutex>
#include <utility>

namespace portiva::prueba {

namespace {

std::mutex& Cerrojo() {
    static std::mutex m;
    return m;
}

} // namespace

const fpgen::ImagenGris& Impresion(int dedo, int impresion) {
    static std::map<std::pair<int, int>, fpgen::ImagenGris> imagenes;
    std::lock_guard<std::mutex> lock(Cerrojo());
    auto [it, nueva] = imagenes.try_emplace({dedo, impresion});
    if (nueva)
        it->second = fpgen::generarImpresion(fpgen::semillaPruebas, dedo, impresion);
    return it->second;
}

const QByteArray& PlantillaGuardada(int dedo, int impresion) {
    static std::map<std::pair<int, int>, QByteArray> plantillas;
    const fpgen::ImagenGris& img = Impresion(dedo, impresion);
    std::lock_guard<std::mutex> lock(Cerrojo());
    auto [it, nueva] = plantillas.try_emplace({dedo, impresion});
    if (nueva) {
        motor::MotorHuella motor;
        motor.Inicializar();
        QByteArray bytes(motor::TamanoMaximoPlantilla + 1, '\0');
        int tamano = motor::TamanoMaximoPlantilla;
        if (motor.ExtraerPlantilla(img.pixeles.data(), img.ancho, img.alto, img.dpi,
                                   reinterpret_cast<std::uint8_t*>(bytes.data()), tamano, 0) >= 0) {
            bytes.resize(tamano + 1);
            bytes[tamano] = 0;
            it->second = bytes;
        }
    }
    return it->second;
}

const fpgen::ImagenGris& ImagenEnBlanco() {
    static const fpgen::ImagenGris blanca = [] {
        fpgen::ImagenGris img;
        img.ancho = 400;
        img.alto = 400;
        img.pixeles.assign(400 * 400, 255);
        return img;
    }();
    return blanca;
}

} // namespace portiva::prueba
