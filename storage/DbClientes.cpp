#include "DbClientes.h"
#include "CerrarAlSalir.h"
#include "ConsultaBusqueda.h"

#include "Entorno.h"
#include "EsquemaEstacion.h"
#include "RecordsetVacio.h"
#include "SaltoDeLinea.h"
#include "VistaClientes.h"

#include <QDir>
#include <cmath>
#include <limits>

namespace portiva {

namespace {

ErrorDB desbordamiento(const QString& que) {
    return {ErrorDB::Desbordamiento, QStringLiteral("Desbordamiento: %1").arg(que)};
}

} // namespace

DbClientes::DbClientes(Entorno& entorno, VistaClientes& vista)
    : entorno_(entorno), vista_(vista), cnClientes_(entorno.reloj) {}

QString DbClientes::rutaBaseDatos() const {
    return QDir(entorno_.carpetaPrograma).filePath(nombreArchivo());
}

bool DbClientes::AbrirDB() {
    // Start from fresh objects, also when called again after a restore.
    if (cnClientes_.State() == 1)
        // Closing a scratch recordset has nothing left to report: what it read is already taken.
        (void)cnClientes_.Close();
    rsClientes_ = Recordset();
    rsTemp_ = Recordset();
    rsServicios_ = Recordset();
    rsHuella_ = Recordset();
    cnClientes_.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;") +
                                    QStringLiteral("Data Source=") + rutaBaseDatos() +
                                    QStringLiteral(";"));
    motivoError_.clear();
    avisoRegistro_.clear();
    abierto_.reset();
    desaparecidoAvisado_ = false;
    Resultado r = cnClientes_.Open();
    if (r)
        r = EsquemaEstacion::comprobar(cnClientes_);
    // Only a file known to be the station's gets its header written for the log.
    if (r)
        avisoRegistro_ = cnClientes_.UsarRegistroAnticipado();
    // The record form reads a member's template only when that member is shown: the gallery
    // of the door already holds every template once.
    rsClientes_.DiferirBinarios(true);
    if (r)
        r = rsClientes_.Open(QStringLiteral("SELECT * FROM ClientesDB"), cnClientes_);
    const bool abierta = r.ok();
    if (abierta) {
        abierto_ = IdentidadArchivo::de(rutaBaseDatos());
    } else {
        motivoError_ = MotivoAperturaDB(r.error());
        rsClientes_ = Recordset();
        if (cnClientes_.State() == 1)
            // Closing a scratch recordset has nothing left to report: what it read is already
            // taken.
            (void)cnClientes_.Close();
    }
    return abierta;
}

QString DbClientes::AvisoSoloLectura() const {
    return abierto_ ? AvisoSoloLecturaDB(rutaBaseDatos()) : QString();
}

QString DbClientes::AvisoArchivoDesaparecido() {
    if (!abierto_ || cnClientes_.State() != 1)
        return {};
    if (IdentidadArchivo::de(rutaBaseDatos()) == abierto_) {
        desaparecidoAvisado_ = false;
        return {};
    }
    if (desaparecidoAvisado_)
        return {};
    desaparecidoAvisado_ = true;
    return QStringLiteral("La base de datos %1 ya no esta en la carpeta del programa (borrada, "
                          "movida o reemplazada): los cambios no se podran guardar. Cierre el "
                          "programa y vuelva a poner el archivo.")
        .arg(nombreArchivo());
}

Resultado DbClientes::CerrarDB() {
    for (Recordset* rs : {&rsClientes_, &rsTemp_, &rsHuella_})
        if (rs->State() == 1)
            if (auto r = rs->Close(); !r)
                return r;
    if (cnClientes_.State() == 1)
        return cnClientes_.Close();
    return {};
}

bool DbClientes::CargarServicios() {
    vista_.LimpiarServicios();
    if (!rsServicios_.Open(QStringLiteral("SELECT * FROM ServiciosDB"), cnClientes_))
        return false;
    CerrarAlSalir cerrar(rsServicios_);
    if (RecordsetVacio(rsServicios_)) {
        entorno_.msgBox(
            QStringLiteral("No se han encontrado tipos de Servicion que ofrecer al cliente."),
            EstiloMsg::Informacion, QStringLiteral("Tipos de Servicios..."));
        return false;
    }
    const int servicio = rsServicios_.IndiceCampo(QStringLiteral("fldServicio"));
    const int id = rsServicios_.IndiceCampo(QStringLiteral("ID"));
    // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
    for (; !rsServicios_.Eof(); (void)rsServicios_.MoveNext())
        vista_.AgregarServicio(rsServicios_.valorEn(servicio).toString(),
                               rsServicios_.valorEn(id).toInt());
    return true;
}

ResultadoDe<qint16> DbClientes::PrecioServicio(qint32 id) {
    if (auto r = rsServicios_.Open(QStringLiteral("SELECT fldPrecio FROM ServiciosDB WHERE ID =") +
                                       QString::number(id),
                                   cnClientes_);
        !r)
        return r.error();
    CerrarAlSalir cerrar(rsServicios_);
    if (rsServicios_.Eof())
        return qint16(0);
    const QVariant precio = rsServicios_.valorEn(0);
    if (precio.isNull())
        return qint16(0);
    bool esNumero = false;
    const double valor = precio.toDouble(&esNumero);
    if (!esNumero)
        return ErrorDB{ErrorDB::TipoIncorrecto,
                       QStringLiteral("El precio del servicio ID=%1 no es un número.").arg(id)};
    const double redondeado = std::nearbyint(valor); // half to even
    if (!std::isfinite(redondeado) || redondeado < std::numeric_limits<qint16>::min() ||
        redondeado > std::numeric_limits<qint16>::max())
        return desbordamiento(
            QStringLiteral("el precio %1 del servicio ID=%2 no cabe entre -32768 y 32767.")
                .arg(valor)
                .arg(id));
    return static_cast<qint16>(redondeado);
}

ResultadoDe<qint32> DbClientes::PosicionID(qint32 id) {
    if (id < 1)
        return 0;
    if (auto r = rsTemp_.Open(QStringLiteral("SELECT ID FROM ClientesDB"), cnClientes_); !r)
        return r.error();
    CerrarAlSalir cerrar(rsTemp_);
    if (RecordsetVacio(rsTemp_)) {
        entorno_.msgBox(QStringLiteral("No se han encontrado coincidencias, intentelo de nuevo."),
                        EstiloMsg::Informacion, QStringLiteral("Buscando ID de cliente..."));
        return 0;
    }
    // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
    for (; !rsTemp_.Eof(); (void)rsTemp_.MoveNext())
        if (rsTemp_.valorEn(0).toLongLong() == id)
            return static_cast<qint32>(rsTemp_.AbsolutePosition());
    return 0;
}

ResultadoDe<qint32> DbClientes::CodigoRepetido(const QString& codigo, qint32 id) {
    if (codigo.isEmpty() || id < 1)
        return 0;
    if (auto r = rsTemp_.Open(QStringLiteral("SELECT ID FROM ClientesDB WHERE ID <> ") +
                                  QString::number(id) + QStringLiteral(" AND fldCodigo = ?"),
                              cnClientes_, {codigo});
        !r)
        return r.error();
    CerrarAlSalir cerrar(rsTemp_);
    if (rsTemp_.Eof())
        return 0;
    return rsTemp_.valorEn(0).toInt();
}

ResultadoDe<qint32> DbClientes::BuscarCodigo(const QString& codigo) {
    if (codigo.isEmpty())
        return 0;
    const QString patron = PatronOperador(codigo);
    qint32 id = 0;
    {
        if (auto r = rsTemp_.Open(
                QStringLiteral(
                    "SELECT * FROM ClientesDB WHERE fldCodigo LIKE ? ESCAPE '\\' ORDER BY ID"),
                cnClientes_, {patron});
            !r)
            return r.error();
        CerrarAlSalir cerrar(rsTemp_);
        if (RecordsetVacio(rsTemp_)) {
            entorno_.msgBox(
                QStringLiteral("No se han encontrado coincidencias, intentelo de nuevo."),
                EstiloMsg::Informacion, QStringLiteral("Buscando Codigo del cliente..."));
            return 0;
        }
        id = rsTemp_.valorEn(rsTemp_.IndiceCampo(QStringLiteral("ID"))).toInt();
    }
    return PosicionID(id);
}

Resultado DbClientes::NuevoCliente() {
    if (rsClientes_.RecordCount() >= MaximoClientes)
        return desbordamiento(QStringLiteral("la base de datos ya tiene %1 registros, el máximo "
                                             "que admite la ficha de clientes.")
                                  .arg(MaximoClientes));
    const int infoAntes = vista_.InfoAmpliadaPrevia();
    const qint16 posicionAntes = vista_.PosicionPrevia();
    const bool nuevoAntes = vista_.RegistroNuevo();
    const int casilla = vista_.chkInformacionAmpliada();
    vista_.setInfoAmpliadaPrevia(casilla);
    vista_.setChkInformacionAmpliada(0);
    vista_.setPosicionPrevia(static_cast<qint16>(rsClientes_.AbsolutePosition()));
    vista_.setRegistroNuevo(true);

    Resultado r = rsClientes_.AddNew();
    if (r)
        r = ValoresPorDefecto();
    if (r)
        r = rsClientes_.Update();
    if (!r) {
        // Nothing stored: leave the form as it was.
        (void)rsClientes_.CancelUpdate();
        vista_.setChkInformacionAmpliada(casilla);
        vista_.setInfoAmpliadaPrevia(infoAntes);
        vista_.setPosicionPrevia(posicionAntes);
        vista_.setRegistroNuevo(nuevoAntes);
        return r;
    }
    if (auto d = Desplazar(3); !d)
        return d;
    vista_.EditMode(true);
    return {};
}

Resultado DbClientes::ValoresPorDefecto() {
    const QDate hoy = entorno_.reloj.hoy();
    const QString vacio = QStringLiteral(""); // an empty text, not Null
    const std::pair<const char*, QVariant> valores[] = {
        {"fldCodigo", vacio},         {"fldNombre", vacio},    {"fldNomFiscal", vacio},
        {"fldFechaInscripcion", hoy}, {"fldFechaInicio", hoy}, {"fldFechaCaducidad", hoy},
        {"fldServContratado", vacio}, {"fldFotoPath", vacio},  {"fldStuffSiNo", false},
    };
    for (const auto& [campo, valor] : valores)
        if (auto r = rsClientes_.PonerValor(QString::fromLatin1(campo), valor); !r)
            return r;
    return {};
}

void DbClientes::BorrarCliente() {
    if (RecordsetVacio(rsClientes_)) {
        entorno_.msgBox(QStringLiteral("La base de datos esta vacia y no contiene registros que "
                                       "se puedan borrar!"),
                        EstiloMsg::Informacion, QStringLiteral("No hay registros que borrar..."));
        return;
    }
    const QString titulo = QStringLiteral("Borrar Cliente ID=") +
                           rsClientes_.Valor(QStringLiteral("ID")).valor_o({}).toString();
    const Respuesta respuesta = entorno_.msgBox(
        QStringLiteral("Esta seguro de que desea eliminar este cliente y toda su informacion de "
                       "la base de datos?") +
            SaltoDeLinea + QStringLiteral("(esta accion no se puede deshacer)"),
        EstiloMsg::SiNoExclamacion, titulo);
    if (respuesta != Respuesta::Si)
        return;
    const bool variasFilas = rsClientes_.RecordCount() > 1;
    Resultado borrado = rsClientes_.Delete();
    if (borrado)
        borrado = rsClientes_.Update();
    if (!borrado) {
        // The member is still in the table: say so rather than move on as if it were gone.
        entorno_.msgBox(borrado.error().texto() +
                            QStringLiteral(" borrando el cliente de la base de datos."),
                        EstiloMsg::Exclamacion, titulo);
        return;
    }
    if (variasFilas) {
        // Repositioning on a snapshot that holds rows: a move within its range cannot fail.
        (void)Desplazar(2);
    } else {
        // Repositioning on a snapshot that holds rows: a move within its range cannot fail.
        (void)rsClientes_.MoveFirst();
        if (RecordsetVacio(rsClientes_)) {
            entorno_.msgBox(QStringLiteral("La base de datos esta vacia, este era el ulitmo "
                                           "registro de la base de datos."),
                            EstiloMsg::Informacion, QStringLiteral("Eliminacion de Registros..."));
            vista_.InitTextBoxes();
            vista_.InfoCaducidadDB();
            vista_.ActNavegador();
        }
    }
    ActContadores();
}

Resultado DbClientes::Desplazar(qint32 direccion) {
    if (vista_.ModoEdicion()) {
        const Respuesta respuesta = entorno_.msgBox(
            QStringLiteral("Desea guardar los cambios realizados en la base de datos Clientes?"),
            EstiloMsg::SiNo, QStringLiteral("Finalizar la edicion del registro actual"));
        // A record the checks refuse is not stored: the edit stays open and the form stays.
        if (respuesta == Respuesta::Si)
            return vista_.DatosOK() ? vista_.GuardarCliente() : Resultado{};
        if (respuesta == Respuesta::No)
            return vista_.DeshacerCambiosDB();
        return {};
    }
    if (RecordsetVacio(rsClientes_)) {
        entorno_.msgBox(QStringLiteral("Debe existir mas de un registro para poder desplazarse "
                                       "por la base de datos"),
                        EstiloMsg::Informacion, QStringLiteral("La base de datos esta vacia"));
        return {};
    }
    Resultado r;
    switch (direccion) {
    case 0:
        r = rsClientes_.MoveFirst();
        break;
    case 1:
        r = rsClientes_.MovePrevious();
        if (r && rsClientes_.Bof())
            r = rsClientes_.MoveLast();
        break;
    case 2:
        r = rsClientes_.MoveNext();
        if (r && rsClientes_.Eof())
            r = rsClientes_.MoveFirst();
        break;
    case 3:
        r = rsClientes_.MoveLast();
        break;
    default:
        break;
    }
    if (!r)
        return r;
    vista_.RecordSetToText();
    vista_.InfoCaducidadDB();
    vista_.ActNavegador();
    return {};
}

} // namespace portiva
