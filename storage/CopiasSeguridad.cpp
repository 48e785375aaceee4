#include "CopiasSeguridad.h"

#include "AjustesEstacion.h"
#include "DbClientes.h"
#include "FileExists.h"
#include "IniFile.h"
#include "SaltoDeLinea.h"

#include <QDir>
#include <QFileInfo>

namespace portiva {

namespace {

const QString TituloCopia = QStringLiteral("Realizando Copia de Seguridad...");
const QString TituloCompactar = QStringLiteral("Compactando la Base de Datos...");
const QString TituloRestaurar = QStringLiteral("Restaurando Copia de Seguridad...");
const QString OriginalIntacta = QStringLiteral("la base de datos original no se modificó.");

// Sets a flag for the length of a scope.
class Marca {
public:
    explicit Marca(std::atomic<bool>& flag) : flag_(flag), antes_(flag.exchange(true)) {}
    ~Marca() { flag_ = antes_; }
    Marca(const Marca&) = delete;
    Marca& operator=(const Marca&) = delete;

private:
    std::atomic<bool>& flag_;
    bool antes_;
};

bool mismoArchivo(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

} // namespace

CopiasSeguridad::CopiasSeguridad(Entorno& entorno, OperacionesArchivo& operaciones)
    : entorno_(entorno), ops_(operaciones) {}

QString CopiasSeguridad::nombreFechado(const QDateTime& momento) {
    return momento.toString(QStringLiteral("yyyy-MM-dd (HH-mm-ss)")) + QStringLiteral(".mdb");
}

QString CopiasSeguridad::NombreArchivo(const QString& ruta) {
    const qsizetype i = std::max(ruta.lastIndexOf(u'/'), ruta.lastIndexOf(u'\\'));
    return i < 0 ? ruta : ruta.mid(i + 1);
}

QString CopiasSeguridad::rutaBaseDatos() const {
    return QDir(entorno_.carpetaPrograma).filePath(DbClientes::nombreArchivo());
}

QString CopiasSeguridad::rutaCarpetaCopias() const {
    return QDir(entorno_.carpetaPrograma).filePath(carpetaCopias());
}

Resultado CopiasSeguridad::copiaComprobada(const QString& origen, const QString& temporal) {
    Resultado r = ops_.borrar(temporal);
    if (r)
        r = ops_.instantanea(origen, temporal, avance_);
    if (r && avance_)
        avance_();
    if (r)
        r = ops_.sincronizar(temporal);
    if (r)
        r = ComprobarBaseEstacion(temporal);
    return r;
}

QString CopiasSeguridad::nombreLibre(const QString& fechado, int n) {
    if (n <= 1)
        return fechado;
    const QString sinExtension = fechado.chopped(4); // ".mdb"
    return sinExtension + QStringLiteral(" (%1).mdb").arg(n);
}

void CopiasSeguridad::quitarTemporal(const QString& temporal) {
    // Removing leftovers of a failed step: what failed before is what gets reported.
    (void)ops_.borrar(temporal);
    (void)ops_.borrar(temporal + QStringLiteral("-journal"));
}

Resultado CopiasSeguridad::copiaFechada(const QString& origen, QString& fechado) {
    const QString carpeta = rutaCarpetaCopias();
    if (!QDir().mkpath(carpeta))
        return ErrorDB{75, QStringLiteral("no se pudo crear la carpeta %1").arg(carpetaCopias())};
    // A second copy in the same second (a backup, then a compaction) takes the next free name.
    QString libre;
    for (int n = 1; n <= MaximoCopiasPorSegundo && libre.isEmpty(); ++n)
        if (!QFileInfo::exists(nombreLibre(fechado, n)))
            libre = nombreLibre(fechado, n);
    if (libre.isEmpty())
        return ErrorDB{58, QStringLiteral("ya existe la copia %1").arg(NombreArchivo(fechado))};
    const QString temporal = libre + sufijoTemporal();
    Resultado r = copiaComprobada(origen, temporal);
    if (r)
        r = ops_.renombrarSinReemplazar(temporal, libre);
    if (!r) {
        quitarTemporal(temporal);
        return r;
    }
    fechado = libre;
    return ops_.sincronizarCarpeta(carpeta);
}

Resultado CopiasSeguridad::ponerEnLugar(const QString& origen,
                                        const std::function<void()>& antesDeReemplazar) {
    const QString base = rutaBaseDatos();
    const QString temporal = base + sufijoTemporal();
    Resultado r = copiaComprobada(origen, temporal);
    if (r && !QFileInfo::exists(base)) {
        // A journal left without its database would be played over the new one.
        r = ops_.borrar(base + QStringLiteral("-journal"));
    }
    if (r) {
        if (antesDeReemplazar)
            antesDeReemplazar();
        // Nothing of the replaced file may stay beside the new one: SQLite would play its log
        // over it. Checked last, when every connection of the station is closed.
        r = SoltarRegistroAnticipado(base);
    }
    if (r)
        r = ops_.reemplazar(temporal, base);
    if (!r) {
        quitarTemporal(temporal);
        return r;
    }
    // The new database is in place and its data on the disk; the folder entry follows.
    (void)ops_.sincronizarCarpeta(entorno_.carpetaPrograma);
    return {};
}

void CopiasSeguridad::avisar(const QString& texto, int estilo, const QString& titulo) {
    if (fin_)
        fin_();
    entorno_.msgBox(texto, estilo, titulo);
}

bool CopiasSeguridad::CopiaSeguridad() {
    const Marca ocupado(ocupado_);
    QString fechado = QDir(rutaCarpetaCopias()).filePath(nombreFechado(entorno_.reloj.ahora()));
    const Resultado r = copiaFechada(rutaBaseDatos(), fechado);
    if (!r) {
        avisar(QStringLiteral("Se produjo el error %1 (%2) al intentar realizar la Copia "
                              "de Seguridad de la base de datos")
                   .arg(r.error().numero)
                   .arg(r.error().descripcion),
               EstiloMsg::Exclamacion, TituloCopia);
        return false;
    }
    avisar(QStringLiteral("La Copia de Seguridad de la base de datos se ha realizado con exito."),
           EstiloMsg::Informacion, TituloCopia);
    return true;
}

bool CopiasSeguridad::CompactarBaseDatos() {
    const Marca ocupado(ocupado_);
    QString fechado = QDir(rutaCarpetaCopias()).filePath(nombreFechado(entorno_.reloj.ahora()));
    if (!FileExists(rutaBaseDatos()))
        return false;
    // A program that still holds the file is said before anything is written.
    Resultado r = SoltarRegistroAnticipado(rutaBaseDatos());
    if (r)
        r = copiaFechada(rutaBaseDatos(), fechado);
    if (r)
        r = ponerEnLugar(fechado, {});
    if (!r) {
        avisar(QStringLiteral("Ocurrio un error compactando la Base de Datos, ") + OriginalIntacta +
                   SaltoDeLinea + r.error().texto(),
               EstiloMsg::Exclamacion, TituloCompactar);
        return false;
    }
    avisar(QStringLiteral("Se ha Compactado y realizado una Copia de Seguridad la Base de "
                          "Datos con exito."),
           EstiloMsg::Informacion, TituloCompactar);
    return true;
}

bool CopiasSeguridad::ComprobarCopiaElegida(const QString& archivo, const QString& titulo) {
    QString motivo;
    if (!FileExists(archivo))
        motivo = QStringLiteral("el archivo no existe o no se encuentra");
    else if (mismoArchivo(archivo, rutaBaseDatos()))
        motivo = QStringLiteral("es la base de datos que esta en uso");
    else if (const Resultado r = ComprobarBaseEstacion(archivo); !r)
        motivo = r.error().texto();
    if (motivo.isEmpty())
        return true;
    avisar(QStringLiteral("No se puede restaurar el archivo %1: %2.")
                   .arg(NombreArchivo(archivo), motivo) +
               SaltoDeLinea + QStringLiteral("La base de datos original no se modificó."),
           EstiloMsg::Exclamacion, titulo);
    return false;
}

bool CopiasSeguridad::RestaurarDB(const QString& archivo) {
    return restaurar(archivo, {});
}

bool CopiasSeguridad::restaurar(const QString& archivo,
                                const std::function<void()>& antesDeReemplazar) {
    const Marca ocupado(ocupado_);
    const Marca restaurando(restaurando_);
    QString fechado = QDir(rutaCarpetaCopias()).filePath(nombreFechado(entorno_.reloj.ahora()));
    if (!ComprobarCopiaElegida(archivo, TituloRestaurar))
        return false;
    const bool habiaBase = QFileInfo::exists(rutaBaseDatos());
    if (habiaBase) {
        Resultado r = SoltarRegistroAnticipado(rutaBaseDatos());
        if (r)
            r = copiaFechada(rutaBaseDatos(), fechado);
        if (!r) {
            avisar(QStringLiteral("Ocurrio un error compactando la Base de Datos, ") +
                       OriginalIntacta + SaltoDeLinea + r.error().texto(),
                   EstiloMsg::Exclamacion, TituloCompactar);
            return false;
        }
    }
    if (const Resultado r = ponerEnLugar(archivo, antesDeReemplazar); !r) {
        avisar(r.error().texto() + QStringLiteral(" resturando la Copia de Seguridad.") +
                   SaltoDeLinea +
                   QStringLiteral("La base de datos original no se "
                                  "modificó."),
               EstiloMsg::Exclamacion, TituloRestaurar);
        return false;
    }
    if (!habiaBase) {
        avisar(QStringLiteral("No habia base de datos en la carpeta del programa: se ha "
                              "puesto en su lugar la copia ") +
                   NombreArchivo(archivo) + QStringLiteral(" con exito."),
               EstiloMsg::Informacion, TituloRestaurar);
        return true;
    }
    avisar(QStringLiteral("Se ha restaurado la base de datos ") + NombreArchivo(archivo) +
               SaltoDeLinea +
               QStringLiteral(" y realizado una Copia de Seguridad de la anterior Base de "
                              "Datos con exito."),
           EstiloMsg::Informacion, TituloCompactar);
    return true;
}

void CopiasSeguridad::RestaurarAlCargar(AjustesEstacion& ajustes, const QString& archivoIni) {
    const Marca restaurando(restaurando_);
    bool usada = false;
    const auto gastar = [&] {
        if (usada)
            return;
        usada = true;
        ajustes.RestaurarAlIniciar = false;
        ajustes.NombreDBRestaurar.clear();
        const QString seccion = QStringLiteral("Copias Seguridad");
        const bool ok =
            EscribirIni(archivoIni, seccion, QStringLiteral("RestCopiaSeg AlIniciar"),
                        QStringLiteral("0")) &&
            EscribirIni(archivoIni, seccion, QStringLiteral("NombreDB Restaurar"), QString());
        if (!ok)
            avisar(QStringLiteral("No se pudo anotar en %1 que la restauracion programada "
                                  "ya se realizo.")
                       .arg(IniFile::nombreArchivo()),
                   EstiloMsg::Exclamacion, QStringLiteral("Resturacion de Copia de Seguridad..."));
    };
    const QString archivo = ajustes.NombreDBRestaurar;
    if (!FileExists(archivo)) {
        gastar();
        avisar(QStringLiteral("Estaba programada una restauracion de una Copia de "
                              "Seguridad, pero la base de datos no existe o no se "
                              "encuentra."),
               EstiloMsg::Exclamacion, QStringLiteral("Resturacion de Copia de Seguridad..."));
        return;
    }
    // The restore reports its own outcome to the operator in its boxes.
    (void)restaurar(archivo, gastar);
    gastar();
}

QStringList CopiasSeguridad::LimpiarTemporales() {
    // The file being built, and the journal the engine keeps beside it while it writes.
    const QStringList patrones = {QStringLiteral("*") + sufijoTemporal(),
                                  QStringLiteral("*") + sufijoTemporal() + QStringLiteral("-*")};
    QStringList problemas;
    for (const QString& carpeta : {entorno_.carpetaPrograma, rutaCarpetaCopias()}) {
        const QDir dir(carpeta);
        for (const QString& nombre : dir.entryList(patrones, QDir::Files | QDir::Hidden))
            if (const Resultado r = ops_.borrar(dir.filePath(nombre)); !r)
                problemas << QStringLiteral("No se pudo borrar el archivo temporal %1 de una copia "
                                            "interrumpida: %2.")
                                 .arg(dir.filePath(nombre), r.error().texto());
    }
    return problemas;
}

} // namespace portiva
