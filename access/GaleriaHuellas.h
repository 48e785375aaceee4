#pragma once

#include "BusquedaParalela.h"
#include "VersionDatos.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace portiva {

class Conexion;
class EnlaceSqlite;
class Recordset;

namespace motor {
class ConsultaPreparada;
}

// The enrolled members' templates held in memory for identification, in table order. Each
// row is checked once, when it enters; a value that is not a readable template stays in its
// place, marked, so that the walk skips it and names it as before. Before each walk the file
// is asked whether anything was written since the last load (by this connection or by any
// other process). When so, the rows named by the file's change log (RegistroCambios.h) are read
// again and only they are changed in memory: a row edited in place is replaced where it
// stands, a row gone or come moves the entries after it by one. Everything is read again when
// in doubt: no log (a read-only file of an older version), entries missing from it, a log that
// is not the one read before (the file put back from a copy), the schema changed, another
// connection. Either way the gallery is the one a full read would give, and it is changed only
// once every row it needs has been read in one read transaction, so a walk never sees a
// template half-written or a write half-applied. The question never waits on a lock another
// program holds: the gallery then stays as it stood and says the file is busy.
//
// Everything here runs on one thread (the door's); the walk's other threads read `filas()`
// only while that thread waits for them, between two updates.
class GaleriaHuellas {
public:
    // What the walk, the access decision and the status line need of one row.
    class Miembro {
    public:
        qint64 id = 0;
        // fldNombre as text (empty for Null).
        QString nombre;
        // What the access rule reads: the staff flag, and the calendar days of the start and
        // expiry dates (invalid for Null or a value that is not a date).
        bool personal = false;
        QDate inicio;
        QDate caducidad;

        // The template as it was checked when the row came in, in the form kept in memory
        // (PlantillaCompacta.h; the walk hands it to Comparar); none when the value is not a
        // readable template.
        bool legible() const { return plantilla_ != nullptr; }
        const std::uint8_t* datos() const { return plantilla_.get(); }
        std::size_t tamano() const { return tamano_; }
        // The template as the comparison reads it: the stored bytes, their ridge segments
        // zeroed. Empty when not readable.
        std::vector<std::uint8_t> plantilla() const;

    private:
        friend class GaleriaHuellas;
        std::unique_ptr<std::uint8_t[]> plantilla_;
        std::uint32_t tamano_ = 0;
    };

    enum class Estado {
        AlDia,       // as the file stands
        Ocupada,     // the file is locked by another program: the gallery as it stood
        SinBaseDatos // the file cannot be read: the gallery is empty
    };

    GaleriaHuellas();
    ~GaleriaHuellas();
    GaleriaHuellas(const GaleriaHuellas&) = delete;
    GaleriaHuellas& operator=(const GaleriaHuellas&) = delete;

    // Brings the gallery up to date with the file, reading what changed.
    Estado Actualizar(Conexion& cn);
    // Empties it; the next Actualizar reads everything.
    void Vaciar();

    bool cargada() const { return cargada_; }
    // How many times the whole table was read, for the figures.
    long lecturasCompletas() const { return lecturasCompletas_; }

    // Members with a value in their template column, in table order.
    std::size_t tamano() const { return miembros_.size(); }
    const Miembro& miembro(std::size_t i) const { return *miembros_[i]; }
    // The 1-based position of member i's row in the table scan (rows without a template count).
    long posicion(std::size_t i) const;
    // The members' templates as the walk takes them, same order (an unreadable value has no
    // data).
    const std::vector<BusquedaParalela::Fila>& filas() const { return filas_; }
    // The comparison of one of those entries with a prepared query: the answer and score of
    // ConsultaPreparada::compararComprobada on the stored template. Thread-safe.
    static int Comparar(const motor::ConsultaPreparada& consulta, const std::uint8_t* datos,
                        std::size_t tamano, int& puntuacion);

private:
    struct Campos;
    struct Leida;
    // One row of the table as it stands now; `anterior`, the member that row was before.
    static Leida LeerFila(const Recordset& rs, const Campos& c, qint64 id, Miembro* anterior);
    // A member read takes over the checked copy of its template from before, when unchanged.
    static void Tomar(Leida& l);
    static bool MismaPlantilla(const Miembro& m, const std::uint8_t* datos, std::size_t tamano);
    // Reads every row; keeps the checked copy of each template that did not change.
    Resultado Cargar(Conexion& cn);
    // Reads the rows the change log names since the last read and changes only them; false
    // when in doubt.
    ResultadoDe<bool> Cambiar(Conexion& cn);
    // The log (created in a writable file that lacks it) and the schema, read with the rows.
    Resultado LeerRegistro(Conexion& cn);
    // Index of the member with this ID, or where it would go.
    std::size_t Buscar(qint64 id) const;
    // The changed rows, read, put in place (in ID order).
    void Aplicar(std::vector<Leida>& leidas);
    void RehacerFilas();

    std::vector<std::unique_ptr<Miembro>> miembros_;
    std::vector<BusquedaParalela::Fila> filas_;
    // The IDs of the rows without a template, in table order: with the members, every row's
    // position.
    std::vector<qint64> sinPlantilla_;
    bool cargada_ = false;
    VersionDatos version_;
    std::weak_ptr<EnlaceSqlite> enlace_;
    // The connection on which the log was last asked to be created.
    std::weak_ptr<EnlaceSqlite> preparado_;
    bool conRegistro_ = false;
    // The log's newest entry read, and the row it names.
    qint64 ultimaEntrada_ = 0;
    qint64 idUltimaEntrada_ = 0;
    qint64 esquema_ = -1;
    long lecturasCompletas_ = 0;
};

} // namespace portiva
