#pragma once

// The engine's picture types (motor::ImagenGris, motor::ImagenRGB). This header sits next to
// PantallaHuella.h so that its include of "Imagenes.h" finds the engine's types even in a
// target whose own include folders hold another header of that name (the console has one).
#include "../engine/Imagenes.h"
