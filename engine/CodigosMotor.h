#pragma once

namespace portiva::motor {

// Result codes of the fingerprint engine. Non-negative values are results (quality, match,
// defaults loaded); negative values are errors. The station turns the negative ones into its
// Spanish log lines, so the numbers are fixed.
namespace codigo {
inline constexpr int Ok = 0;
inline constexpr int Coincide = 1;
inline constexpr int ValoresPorDefecto = 3;

inline constexpr int ErrorInicializar = -1;
inline constexpr int NoInicializada = -2;
inline constexpr int ParametroNulo = -5;
inline constexpr int SinMemoria = -7;
inline constexpr int FueraDeLimite = -8;
inline constexpr int NoPermitidoAhora = -107;
inline constexpr int ErrorAnalisis = -108;
inline constexpr int TamanoImagen = -109;
inline constexpr int ResolucionImagen = -110;
inline constexpr int ContextoInexistente = -112;
inline constexpr int SensorNoValido = -204;
inline constexpr int SensorNoCaptura = -205;
inline constexpr int ExtensionDesconocida = -206;
inline constexpr int NombreArchivoNoValido = -207;
inline constexpr int TipoArchivoNoValido = -208;
} // namespace codigo

// Quality classes returned by a successful extraction.
inline constexpr int CalidadBaja = 0;
inline constexpr int CalidadMedia = 1;
inline constexpr int CalidadAlta = 2;

} // namespace portiva::motor
