#pragma once

#include <cstdint>

namespace portiva {

// One code space for the last access and the station state (`AccesoActual`). The same code
// indexes the result pictures, the tray icons, the counters and the sound files.
namespace CodigoAcceso {
constexpr int AperturaManual = 0;
constexpr int Personal = 1;
constexpr int ClientePermitido = 2;
constexpr int ClienteDenegado = 3;
constexpr int HuellaDesconocida = 4;
constexpr int LectorNoDetectado = 5;
constexpr int FijoCerrado = 6;
constexpr int FijoAbierto = 7;
constexpr int ControlPorHuella = 8;
// Picture-only codes: the dark phase of the blinking states 5, 6 and 7.
constexpr int ParpadeoLectorNoDetectado = 11;
constexpr int ParpadeoFijoCerrado = 12;
constexpr int ParpadeoFijoAbierto = 13;
// Offset from a blinking state to its dark picture.
constexpr int DesplazamientoParpadeo = 6;
} // namespace CodigoAcceso

// Relays switched on for 500 ms by an access of type 0-4 (bit 0 = relay 1 ... bit 7 = relay
// 8). Relay 1 releases the passage, relays 4 to 8 tell the access type. 0 for any other code.
constexpr std::uint8_t MascaraPulso(int tipoDeAcceso) {
    switch (tipoDeAcceso) {
    case CodigoAcceso::AperturaManual:
        return 9;
    case CodigoAcceso::Personal:
        return 17;
    case CodigoAcceso::ClientePermitido:
        return 33;
    case CodigoAcceso::ClienteDenegado:
        return 64;
    case CodigoAcceso::HuellaDesconocida:
        return 128;
    default:
        return 0;
    }
}

// Relay byte the board rests on in a station state: relay 3 while the reader is missing or
// the door is held (5, 6, 11, 12: byte 4; 7, 13: byte 5 with the passage relay), relay 2 under
// fingerprint control and after an access (byte 2).
constexpr std::uint8_t ByteReposo(int estado) {
    switch (estado) {
    case CodigoAcceso::LectorNoDetectado:
    case CodigoAcceso::FijoCerrado:
    case CodigoAcceso::ParpadeoLectorNoDetectado:
    case CodigoAcceso::ParpadeoFijoCerrado:
        return 4;
    case CodigoAcceso::FijoAbierto:
    case CodigoAcceso::ParpadeoFijoAbierto:
        return 5;
    default:
        return 2;
    }
}

constexpr bool EsTipoDeAcceso(int codigo) {
    return codigo >= CodigoAcceso::AperturaManual && codigo <= CodigoAcceso::HuellaDesconocida;
}

constexpr bool EsEstadoFijo(int estado) {
    return estado == CodigoAcceso::FijoCerrado || estado == CodigoAcceso::FijoAbierto;
}

// States that blink their result picture: reader missing, fixed closed, fixed open.
constexpr bool EsEstadoIntermitente(int estado) {
    return estado >= CodigoAcceso::LectorNoDetectado && estado <= CodigoAcceso::FijoAbierto;
}

} // namespace portiva
