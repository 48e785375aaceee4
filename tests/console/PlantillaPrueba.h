#pragma once

#include "GeneradorHuellas.h"
#include "MotorHuella.h"

#include <QByteArray>
#include <gtest/gtest.h>

#include <cstdint>

namespace portiva::prueba {

// The template of a generated impression as the station stores it: the template bytes the
// station's own engine extracts, then one more byte, 0.
inline QByteArray PlantillaComoSeGuarda(motor::MotorHuella& motor, const fpgen::ImagenGris& img) {
    QByteArray bytes(motor::TamanoMaximoPlantilla + 1, '\0');
    int tamano = motor::TamanoMaximoPlantilla;
    EXPECT_GE(motor.ExtraerPlantilla(img.pixeles.data(), img.ancho, img.alto, img.dpi,
                                     reinterpret_cast<std::uint8_t*>(bytes.data()), tamano, 0),
              0);
    bytes.resize(tamano + 1);
    bytes[tamano] = 0;
    return bytes;
}

} // namespace portiva::prueba
