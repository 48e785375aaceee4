#pragma once

#include "Resultado.h"

#include <QtGlobal>

namespace portiva {

class Conexion;

// How far the member file has moved, as seen by one connection: SQLite's data version, which
// changes when another connection or process commits, and the rows this connection itself
// changed. Two equal readings on the same open connection mean nothing was written between
// them.
struct VersionDatos {
    qint64 otros = -1;
    qint64 propios = -1;

    bool operator==(const VersionDatos&) const = default;
};

// Errors: closed connection (3704), a lock held by another program (SQLite's busy code).
ResultadoDe<VersionDatos> LeerVersionDatos(Conexion& cn);

// A lock held by another program: the file is busy, not broken.
bool EsBloqueo(const ErrorDB& error);

// While alive, a lock held by another program makes the connection's calls fail at once
// (busy) instead of waiting for it.
class SinEsperaBloqueo {
public:
    explicit SinEsperaBloqueo(Conexion& cn);
    ~SinEsperaBloqueo();
    SinEsperaBloqueo(const SinEsperaBloqueo&) = delete;
    SinEsperaBloqueo& operator=(const SinEsperaBloqueo&) = delete;

private:
    Conexion& cn_;
};

} // namespace portiva
