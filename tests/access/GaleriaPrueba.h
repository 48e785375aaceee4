// The gallery compared with one read afresh from the file.
#pragma once

#include "Conexion.h"
#include "GaleriaHuellas.h"
#include "RelojFijo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace portiva::prueba {

inline std::vector<std::uint8_t> Bytes(const GaleriaHuellas::Miembro& m) {
    return {m.datos(), m.datos() + m.tamano()};
}

// A stored template as the comparison reads it from the gallery: its own length (without the
// byte the station stores after it), the ridge segments, which only the drawing reads, zeroed.
inline std::vector<std::uint8_t> ComoSeCompara(const QByteArray& guardada) {
    std::vector<std::uint8_t> r(guardada.begin(), guardada.end() - 1);
    const std::size_t n = r[19];
    std::fill_n(r.begin() + 32 + 72 * static_cast<std::ptrdiff_t>(n),
                6 * static_cast<std::ptrdiff_t>(n), std::uint8_t{0});
    return r;
}

// The gallery as read afresh from the file by a connection of its own.
inline void ExpectComoLeidaDeNuevo(const GaleriaHuellas& g, const QString& ruta,
                                   const std::string& caso) {
    prueba::RelojFijo reloj;
    Conexion cn(reloj);
    cn.setConnectionString(ruta);
    ASSERT_TRUE(cn.Open().ok());
    GaleriaHuellas nueva;
    ASSERT_EQ(nueva.Actualizar(cn), GaleriaHuellas::Estado::AlDia);
    ASSERT_EQ(g.tamano(), nueva.tamano()) << caso;
    ASSERT_EQ(g.filas().size(), g.tamano()) << caso;
    for (std::size_t i = 0; i < g.tamano(); ++i) {
        const auto& a = g.miembro(i);
        const auto& b = nueva.miembro(i);
        const std::string donde = caso + ", miembro " + std::to_string(i);
        EXPECT_EQ(a.id, b.id) << donde;
        EXPECT_EQ(g.posicion(i), nueva.posicion(i)) << donde;
        EXPECT_EQ(a.legible(), b.legible()) << donde;
        EXPECT_EQ(Bytes(a), Bytes(b)) << donde;
        EXPECT_EQ(a.nombre, b.nombre) << donde;
        EXPECT_EQ(a.personal, b.personal) << donde;
        EXPECT_EQ(a.inicio, b.inicio) << donde;
        EXPECT_EQ(a.caducidad, b.caducidad) << donde;
        // The walk takes the member's own bytes, or none for an unreadable value.
        EXPECT_EQ(g.filas()[i].datos, a.datos()) << donde;
        EXPECT_EQ(g.filas()[i].tamano, a.tamano()) << donde;
        EXPECT_EQ(a.datos() == nullptr, a.tamano() == 0) << donde;
    }
}

} // namespace portiva::prueba
