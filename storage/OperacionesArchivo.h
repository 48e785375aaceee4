#pragma once

#include "ErrorDB.h"
#include "Resultado.h"

#include <QString>
#include <functional>

namespace portiva {

// The file steps that backups, compactions and restores are made of. Each step is checked and
// reports its failure; none overwrites a file it was not asked to replace. Tests put a failing
// or killing implementation in their place.
class OperacionesArchivo {
public:
    virtual ~OperacionesArchivo() = default;
    // A consistent, compacted copy of the SQLite database `origen` written to the new file
    // `destino` (which must not exist), taken through the engine (VACUUM INTO), so that a
    // database open elsewhere is copied as one committed state. `avance` is called now and then.
    virtual Resultado instantanea(const QString& origen, const QString& destino,
                                  const std::function<void()>& avance) = 0;
    // The file's data on the disk (fsync).
    virtual Resultado sincronizar(const QString& ruta) = 0;
    // The folder's entries on the disk (fsync of the folder).
    virtual Resultado sincronizarCarpeta(const QString& carpeta) = 0;
    // Atomically puts `origen` in place of `destino`, replacing it when it exists (rename).
    virtual Resultado reemplazar(const QString& origen, const QString& destino) = 0;
    // Gives `origen` the new name `destino` only when no file has that name (link + unlink):
    // an existing file is never overwritten.
    virtual Resultado renombrarSinReemplazar(const QString& origen, const QString& destino) = 0;
    // Removes the file; a missing file is no error.
    virtual Resultado borrar(const QString& ruta) = 0;
};

// The real steps, with POSIX calls and SQLite.
class OperacionesArchivoPosix final : public OperacionesArchivo {
public:
    Resultado instantanea(const QString& origen, const QString& destino,
                          const std::function<void()>& avance) override;
    Resultado sincronizar(const QString& ruta) override;
    Resultado sincronizarCarpeta(const QString& carpeta) override;
    Resultado reemplazar(const QString& origen, const QString& destino) override;
    Resultado renombrarSinReemplazar(const QString& origen, const QString& destino) override;
    Resultado borrar(const QString& ruta) override;
};

// Leaves the database `ruta` as one self-contained file before it is replaced: a write-ahead log
// beside it ("-wal", and its index "-shm") is folded into it and removed, and the file is left
// with the rollback journal. When no database is under the name, a log left there is removed
// (it would be played over the file that takes the name). A log that another program still holds
// open is an error (busy), and nothing is changed.
Resultado SoltarRegistroAnticipado(const QString& ruta);

// Checks that the file opens as a station database: SQLite opens it read-only, PRAGMA
// quick_check answers "ok", and both tables are there with every field. Nothing is written.
Resultado ComprobarBaseEstacion(const QString& ruta);

} // namespace portiva
