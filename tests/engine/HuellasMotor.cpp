#include "HuellasMotor.h"

#include <map>
#include <mutex>
#include <tuple>

namespace portiva::prueba {

const fpgen::ImagenGris& impresion(int dedo, int numero, const fpgen::Condiciones& c) {
    static std::mutex mutex;
    static fpgen::GeneradorHuellas generador;
    static std::map<std::tuple<int, int, double, double>, fpgen::ImagenGris> cache;
    std::lock_guard<std::mutex> l(mutex);
    const auto clave = std::make_tuple(dedo, numero, c.ruido, c.rotacionMaxGrados);
    auto it = cache.find(clave);
    if (it == cache.end())
        it = cache.emplace(clave, generador.impresion(SemillaMotor, dedo, numero, c)).first;
    return it->second;
}

std::vector<std::uint8_t> plantillaDe(motor::MotorHuella& m, const fpgen::ImagenGris& img,
                                      int* calidad) {
    std::vector<std::uint8_t> p(motor::TamanoMaximoPlantilla + 1, 0xAB);
    int tamano = motor::TamanoMaximoPlantilla;
    const int r =
        m.ExtraerPlantilla(img.pixeles.data(), img.ancho, img.alto, img.dpi, p.data(), tamano, 0);
    if (calidad != nullptr)
        *calidad = r;
    if (r < 0)
        return {};
    p.resize(static_cast<std::size_t>(tamano) + 1);
    return p;
}

} // namespace portiva::prueba
