#pragma once

#include "BusquedaParalela.h"
#include "VersionDatos.h"

#include <QVariant>

#include <cstdint>
#include <memory>
#include <vector>

namespace portiva {

class Conexion;
class EnlaceSqlite;

// The enrolled members' templates held in memory for identification, in table order. Each
// row is checked once, when it enters; a value that is not a readable template stays in its
// place, marked, so that the walk skips it and names it as before. Before each walk the file
// is asked whether anything was written since the last load (by this connection or by any
// other process). When so, the rows named by the file's change log (RegistroCambios.h) are read
// again; everything is read again when in doubt: no log (a read-only file of an older version),
// entries missing from it, the schema changed, another connection. Either way the gallery is
// the one a full read would give. The question never waits on a lock another program holds:
// the gallery then stays as it stood and says the file is busy.
class GaleriaHuellas {
public:
    struct Miembro {
        // 1-based position of the row in the table scan (rows without a template count).
        long posicion = 0;
        qint64 id = 0;
        // Empty when the value is not a readable template.
        std::vector<std::uint8_t> plantilla;
        bool legible = false;
        // What the access decision and the status line need.
        QVariant nombre;
        QVariant personal;
        QVariant inicio;
        QVariant caducidad;
    };

    enum class Estado {
        AlDia,       // as the file stands
        Ocupada,     // the file is locked by another program: the gallery as it stood
        SinBaseDatos // the file cannot be read: the gallery is empty
    };

    // Brings the gallery up to date with the file, reloading it when anything changed.
    Estado Actualizar(Conexion& cn);
    // Empties it; the next Actualizar reloads.
    void Vaciar();

    bool cargada() const { return cargada_; }
    // How many times the whole table was read, for the figures.
    long lecturasCompletas() const { return lecturasCompletas_; }
    // Members with a value in their template column, in table order, and their templates as
    // the walk takes them (a row that is no readable template has no data).
    const std::vector<Miembro>& miembros() const { return miembros_; }
    const std::vector<BusquedaParalela::Fila>& filas() const { return filas_; }

private:
    // Reads every row; keeps the checked copy of each template that did not change.
    Resultado Cargar(Conexion& cn);
    // Reads the rows the change log names since the last read; false when in doubt.
    ResultadoDe<bool> Cambiar(Conexion& cn);
    // The log (created in a writable file that lacks it) and the schema, read with the rows.
    Resultado LeerRegistro(Conexion& cn);
    void Ordenar();

    std::vector<Miembro> miembros_;
    std::vector<BusquedaParalela::Fila> filas_;
    // Every row's ID in table order, templates or not: the rows' positions.
    std::vector<qint64> ids_;
    bool cargada_ = false;
    VersionDatos version_;
    std::weak_ptr<EnlaceSqlite> enlace_;
    // The connection on which the log was last asked to be created.
    std::weak_ptr<EnlaceSqlite> preparado_;
    bool conRegistro_ = false;
    qint64 ultimaEntrada_ = 0;
    qint64 esquema_ = -1;
    long lecturasCompletas_ = 0;
};

} // namespace portiva
