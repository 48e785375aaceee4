#pragma once

#include "Entorno.h"
#include "OperacionesArchivo.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

namespace portiva {

struct AjustesEstacion;

// Dated backups of the member database in the folder "Seguridad" of the program folder, its
// compaction and the restore of a chosen backup. Every new file is built under a temporary
// name, written to the disk and checked as a station database before it takes its final name,
// so a failure at any step (or a power cut) leaves "Portiva.mdb" as it was and no dated name
// holding a partial file. Every dated backup is a compacted copy taken through SQLite.
//
// The procedures tell the operator the outcome themselves and return true on success. They
// touch nothing of the window and may run on a thread of their own, the boxes going through
// the Entorno's MsgBox (called on that thread); one procedure runs at a time.
class CopiasSeguridad {
public:
    CopiasSeguridad(Entorno& entorno, OperacionesArchivo& operaciones);

    static QString carpetaCopias() { return QStringLiteral("Seguridad"); }
    // Ending of the files being built; any left behind by a crash is removed at the next start.
    static QString sufijoTemporal() { return QStringLiteral(".portiva-tmp"); }
    // "2008-12-05 (18-27-48).mdb".
    static QString nombreFechado(const QDateTime& momento);
    // The name of the n-th copy taken in one second: the dated name itself for the first, then
    // "2008-12-05 (18-27-48) (2).mdb" and so on.
    static QString nombreLibre(const QString& fechado, int n);
    static constexpr int MaximoCopiasPorSegundo = 99;
    // The text after the last '/' or '\'; the whole text when it holds neither.
    static QString NombreArchivo(const QString& ruta);

    QString rutaBaseDatos() const;
    QString rutaCarpetaCopias() const;

    // A dated backup of the database; it may be open meanwhile.
    bool CopiaSeguridad();
    // The database (closed) is compacted: the compacted copy is kept as a dated backup and
    // becomes the database. A missing database: nothing is done.
    bool CompactarBaseDatos();
    // The checked backup `archivo` becomes the database (closed); the previous one is kept as a
    // dated backup first. With no database, the copy is put in place and the operator told.
    bool RestaurarDB(const QString& archivo);
    // The scheduled restore of start-up. The schedule is used up and written to the settings
    // file `archivoIni` as soon as it has been tried (before the new database takes its place),
    // so it never runs twice.
    void RestaurarAlCargar(AjustesEstacion& ajustes, const QString& archivoIni);

    // Whether `archivo` may be restored: it exists, is not the database itself and opens as a
    // station database. Otherwise an exclamation box titled `titulo` says why.
    bool ComprobarCopiaElegida(const QString& archivo, const QString& titulo);
    // Removes the temporary files (and their journals) of an interrupted backup, compaction or
    // restore; returns one line for each file that could not be removed.
    [[nodiscard]] QStringList LimpiarTemporales();

    // True while a restore runs (identification and the database commands refuse).
    bool RestaurandoDB() const { return restaurando_; }
    // True while any procedure of this class runs.
    bool Ocupado() const { return ocupado_; }
    // Called now and then during long copies, on the thread that runs the procedure (nothing
    // by default).
    void setAvance(std::function<void()> avance) { avance_ = std::move(avance); }
    // Called when the long work is over, before the outcome is shown, on the same thread.
    void setFin(std::function<void()> fin) { fin_ = std::move(fin); }

private:
    // A snapshot of `origen` at `temporal`, on the disk and checked as a station database.
    [[nodiscard]] Resultado copiaComprobada(const QString& origen, const QString& temporal);
    // A dated backup of `origen` under `fechado`, or under the next free name of that second;
    // `fechado` is the name given.
    Resultado copiaFechada(const QString& origen, QString& fechado);
    void quitarTemporal(const QString& temporal);
    Resultado ponerEnLugar(const QString& origen, const std::function<void()>& antesDeReemplazar);
    void avisar(const QString& texto, int estilo, const QString& titulo);
    bool restaurar(const QString& archivo, const std::function<void()>& antesDeReemplazar);

    Entorno& entorno_;
    OperacionesArchivo& ops_;
    std::function<void()> avance_;
    std::function<void()> fin_;
    // Read by the window's thread while a procedure runs on another.
    std::atomic<bool> restaurando_{false};
    std::atomic<bool> ocupado_{false};
};

} // namespace portiva
