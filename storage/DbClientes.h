#pragma once

#include "ArchivoBaseDatos.h"
#include "Conexion.h"
#include "Recordset.h"
#include "Resultado.h"

#include <QString>

namespace portiva {

struct Entorno;
class VistaClientes;

// The member database "Portiva.mdb" in the program folder: the one connection and the
// recordsets the whole station shares, the lookups by ID, code and service, the record
// operations behind the member form's buttons, and the member counts.
//
// Procedures that trap their own errors (AbrirDB, CargarServicios, the counts) report by their
// plain result; the others hand a failure back in a Resultado for the calling event handler to
// show. Text typed by the operator is always bound as a parameter, never pasted into SQL.
//
// A scan that must run while another recordset is open (identification inside a door pulse)
// opens a Recordset of its own on cnClientes(): every recordset is a snapshot read whole on
// Open, so any number can be open on the connection at once.
class DbClientes {
public:
    DbClientes(Entorno& entorno, VistaClientes& vista);
    DbClientes(const DbClientes&) = delete;
    DbClientes& operator=(const DbClientes&) = delete;

    // Largest number of rows the record form can keep a position for.
    static constexpr long MaximoClientes = 32767;
    static QString nombreArchivo() { return QStringLiteral("Portiva.mdb"); }
    QString rutaBaseDatos() const;

    // Opens the database afresh and rsClientes on every member. False, with no message and
    // nothing written to the file, when it is missing or is not a station database.
    bool AbrirDB();
    // Why the last AbrirDB failed, in the operator's words ("el archivo no es una base de
    // datos", "falta el campo fldTemplate ..."); empty after a success.
    const QString& MotivoError() const { return motivoError_; }
    // After a successful AbrirDB: the warning when no change could be saved (the file or its
    // folder is read-only); empty otherwise.
    QString AvisoSoloLectura() const;
    // After a successful AbrirDB: the log line when the file could not be put in write-ahead-log
    // mode and stays with the rollback journal (Conexion::UsarRegistroAnticipado); empty when the
    // log is on.
    const QString& AvisoRegistroAnticipado() const { return avisoRegistro_; }
    // The warning, once, when the file opened by AbrirDB is no longer under its name (removed,
    // moved or replaced); empty otherwise, and again once the file is back.
    QString AvisoArchivoDesaparecido();
    // Closes rsClientes, rsTemp, rsHuella (when open) and the connection.
    Resultado CerrarDB();
    // Fills the form's service list from ServiciosDB; False (with an information box for an
    // empty table) when there is nothing to offer or the read failed.
    bool CargarServicios();
    // The price of a service, rounded half to even to 16 bits; 0 when there is no such service
    // or its price is empty; error 6 when the price is not a number or does not fit.
    ResultadoDe<qint16> PrecioServicio(qint32 id);
    // 1-based position of the member in table order, 0 when none (an information box when the
    // table is empty; none for an ID below 1).
    ResultadoDe<qint32> PosicionID(qint32 id);
    // ID of another member with this code (any case), 0 when none or the code is empty.
    ResultadoDe<qint32> CodigoRepetido(const QString& codigo, qint32 id);
    // Position of the member with the smallest ID whose code matches the pattern ("*" and "?"
    // wildcards), 0 when none (with an information box).
    ResultadoDe<qint32> BuscarCodigo(const QString& codigo);
    // Stores a new member with the default values at once, shows it and opens it for editing.
    // Refused (error 6) when the table already holds MaximoClientes rows.
    Resultado NuevoCliente();
    // Asks, then deletes the current member and shows the next one.
    void BorrarCliente();
    // 0 first, 1 previous, 2 next, 3 last, wrapping around; while editing it only asks to save
    // or undo.
    Resultado Desplazar(qint32 direccion);

    // The member counts; 0 after a failure, which shows its own error box.
    qint32 Stuff();
    qint32 Permitidos();
    qint32 NoPermitidos();
    qint32 TotalClientes();
    // Writes the four counts into the form's labels.
    void ActContadores();

    Conexion& cnClientes() { return cnClientes_; }
    Recordset& rsClientes() { return rsClientes_; }
    Recordset& rsTemp() { return rsTemp_; }
    Recordset& rsServicios() { return rsServicios_; }
    Recordset& rsHuella() { return rsHuella_; }

private:
    Resultado ValoresPorDefecto();
    qint32 contar(const QString& procedimiento, const QString& sql);

    Entorno& entorno_;
    VistaClientes& vista_;
    Conexion cnClientes_;
    Recordset rsClientes_;
    Recordset rsTemp_;
    Recordset rsServicios_;
    Recordset rsHuella_;
    QString motivoError_;
    QString avisoRegistro_;
    std::optional<IdentidadArchivo> abierto_;
    bool desaparecidoAvisado_ = false;
};

} // namespace portiva
