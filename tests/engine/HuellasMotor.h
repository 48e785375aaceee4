#pragma once

#include "GeneradorHuellas.h"
#include "MotorHuella.h"

#include <cstdint>
#include <vector>

namespace portiva::prueba {

// Synthetic prints for the engine tests, generated once per process.
const fpgen::ImagenGris& impresion(int dedo, int numero, const fpgen::Condiciones& c = {});

// A template as the station keeps it: the template bytes followed by one extra byte.
std::vector<std::uint8_t> plantillaDe(motor::MotorHuella& m, const fpgen::ImagenGris& img,
                                      int* calidad = nullptr);

inline constexpr std::uint64_t SemillaMotor = 4242;

} // namespace portiva::prueba
