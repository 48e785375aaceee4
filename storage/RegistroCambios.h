#pragma once

#include "Resultado.h"

#include <QtGlobal>

#include <vector>

namespace portiva {

class Conexion;

// The change log of the members table, kept in the file itself: triggers on ClientesDB write
// the ID of every row inserted, updated or deleted into CambiosClientesDB, whoever writes the
// file (this station, the desk of another program, a script). Each entry has a number one above
// the one before; only the newest MaximoEntradas are kept, so a reader that fell further behind
// sees a gap and reads everything again. The log never touches the members' data.
namespace registro_cambios {

inline constexpr qint64 MaximoEntradas = 10000;

// Creates the log and its triggers when the file lacks them (a file of an older version).
// Errors: the file is read-only or locked (the log then stays missing; nothing is changed).
Resultado Preparar(Conexion& cn);

// The log as a reader finds it: whether the file has the table and all its triggers, the
// number of its newest entry (0 when none) and the row that entry names.
struct Estado {
    bool presente = false;
    qint64 ultima = 0;
    qint64 idUltima = 0;
};
ResultadoDe<Estado> Leer(Conexion& cn);

// The rows changed after entry `desde`, each ID once, in the order of their first change.
// `completos` is false when the changes are unknown: entries after `desde` are missing
// (pruned, or the log was altered), or entry `desde` itself no longer names `idEnDesde` (the
// file was put back from a copy with a history of its own). `hasta` is the newest entry,
// `idHasta` the row it names.
struct Cambios {
    bool completos = false;
    qint64 hasta = 0;
    qint64 idHasta = 0;
    std::vector<qint64> ids;
};
ResultadoDe<Cambios> Desde(Conexion& cn, qint64 desde, qint64 idEnDesde);

// SQLite's schema counter: it moves whenever a table, an index or a trigger is created,
// altered or dropped.
ResultadoDe<qint64> VersionEsquema(Conexion& cn);

} // namespace registro_cambios

// While alive, every read on the connection sees one state of the file (a read transaction),
// so rows read in several queries belong together. Nothing is written; when the connection is
// already inside a transaction, that one is used.
class LecturaUnica {
public:
    explicit LecturaUnica(Conexion& cn);
    ~LecturaUnica();
    LecturaUnica(const LecturaUnica&) = delete;
    LecturaUnica& operator=(const LecturaUnica&) = delete;

private:
    Conexion& cn_;
    bool propia_ = false;
};

// Lets go of the file's pages the connection keeps in its cache and nobody is using. A reader
// that copies every template out of the file calls it as it goes, so that the cache does not
// hold a second copy of the templates it has just taken.
void SoltarCache(Conexion& cn);

} // namespace portiva
