#pragma once

namespace portiva {

// Result codes of the fingerprint calls as the station sees them (a signed number): the
// engine's own (extraction quality 0, 1, 2; 1 for a match; 3 when the engine refused new
// parameters and loaded its defaults; negative for an error) and the station's own errors.
namespace ResultadoHuella {
constexpr int CalidadBaja = 0;
constexpr int CalidadMedia = 1;
constexpr int CalidadAlta = 2;
constexpr int Coincide = 1;
constexpr int ValoresPorDefecto = 3;
// Image bytes that do not cover the given size (the engine's "image too small or too large").
constexpr int TamanoImagen = -109;
// No valid captured template to identify with.
constexpr int PlantillaNoValida = -997;
// A member ID that is not valid.
constexpr int IdNoValido = -998;
// The member database could not be read.
constexpr int SinBaseDatos = -999;
} // namespace ResultadoHuella

} // namespace portiva
