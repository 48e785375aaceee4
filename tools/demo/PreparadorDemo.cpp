#include "PreparadorDemo.h"

#include "Conexion.h"
#include "CreadorBaseDatos.h"
#include "GeneradorHuellas.h"
#include "MotorHuella.h"
#include "Recordset.h"
#include "Reloj.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <vector>

namespace portiva::demo {

namespace {

const QStringList CarpetasPropias = {QStringLiteral("Huellas"), QStringLiteral("LectorSimulado"),
                                     QStringLiteral("Sonidos"), QStringLiteral("Skins"),
                                     QStringLiteral("Fotos")};
const QStringList ArchivosPropios = {QStringLiteral("Portiva.mdb"), QStringLiteral("Accesos.ini"),
                                     QStringLiteral("portiva")};

// Impressions tried per finger, after the clean one, to find those kept in "Huellas/".
constexpr int ImpresionesProbadas = 8;

// The template the station stores for an impression: the engine's bytes and one more, 0.
QByteArray Plantilla(motor::MotorHuella& motor, const fpgen::ImagenGris& img, int* codigo) {
    QByteArray bytes(motor::TamanoMaximoPlantilla + 1, '\0');
    int tamano = motor::TamanoMaximoPlantilla;
    *codigo = motor.ExtraerPlantilla(img.pixeles.data(), img.ancho, img.alto, img.dpi,
                                     reinterpret_cast<std::uint8_t*>(bytes.data()), tamano, 0);
    if (*codigo < 0)
        return {};
    bytes.resize(tamano + 1);
    bytes[tamano] = 0;
    return bytes;
}

// The 0-based row that identification would pick for this impression (the first enrolled
// template that matches, in table order), -1 when none matches or the print cannot be read.
int PrimeraCoincidencia(motor::MotorHuella& motor, const fpgen::ImagenGris& img,
                        const std::vector<QByteArray>& inscritas) {
    int codigo = 0;
    const QByteArray consulta = Plantilla(motor, img, &codigo);
    if (consulta.isEmpty() ||
        motor.PrepararIdentificacion(reinterpret_cast<const std::uint8_t*>(consulta.constData()),
                                     int(consulta.size() - 1), 0) < 0)
        return -1;
    for (size_t i = 0; i < inscritas.size(); ++i) {
        int puntuacion = 0;
        const QByteArray& guardada = inscritas[i];
        if (motor.Identificar(reinterpret_cast<const std::uint8_t*>(guardada.constData()),
                              int(guardada.size() - 1), puntuacion, 0) == 1)
            return int(i);
    }
    return -1;
}

} // namespace

PreparadorDemo::PreparadorDemo(OpcionesDemo opciones) : opciones_(std::move(opciones)) {}

QString PreparadorDemo::ArchivoHuella(const QString& quien, int n) {
    return QStringLiteral("%1_%2.bmp").arg(quien).arg(n);
}

bool PreparadorDemo::fallo(const QString& motivo) {
    error_ = motivo;
    return false;
}

bool PreparadorDemo::Preparar() {
    if (!comprobarOrigenes())
        return false;
    if (!QDir(opciones_.carpeta).mkpath(QStringLiteral(".")))
        return fallo(QStringLiteral("no se puede crear la carpeta %1").arg(opciones_.carpeta));
    // The station's own lock: a station running on the folder keeps its database, and none
    // can start on a half-made folder.
    QLockFile bloqueo(QDir(opciones_.carpeta).filePath(QStringLiteral("Portiva.lock")));
    bloqueo.setStaleLockTime(0);
    if (!bloqueo.tryLock(0))
        return fallo(QStringLiteral("hay una estacion en marcha en %1; cierrela antes de "
                                    "preparar la demostracion")
                         .arg(opciones_.carpeta));
    return crearCarpetas() && baseDeDatos() && inscribirYGuardarHuellas() && copiarRecursos();
}

bool PreparadorDemo::comprobarOrigenes() {
    // Everything copied in is looked for first, so a missing file never leaves the folder
    // half made.
    QStringList origenes = {opciones_.programa,
                            QDir(opciones_.recursos).filePath(QStringLiteral("Skins/Default.JPG"))};
    for (int i = 0; i <= 4; ++i)
        origenes << QDir(opciones_.recursos).filePath(QStringLiteral("Sonidos/%1.wav").arg(i));
    for (const QString& origen : origenes)
        if (!QFileInfo(origen).isFile())
            return fallo(QStringLiteral("no se encuentra %1").arg(origen));
    return true;
}

bool PreparadorDemo::crearCarpetas() {
    QDir carpeta(opciones_.carpeta);
    if (!carpeta.mkpath(QStringLiteral(".")))
        return fallo(QStringLiteral("no se puede crear la carpeta %1").arg(opciones_.carpeta));
    // A demo made before is replaced whole: its database, settings and prints.
    for (const QString& sub : CarpetasPropias) {
        QDir vieja(carpeta.filePath(sub));
        if (vieja.exists() && !vieja.removeRecursively())
            return fallo(QStringLiteral("no se puede vaciar %1").arg(vieja.path()));
        if (!carpeta.mkdir(sub))
            return fallo(QStringLiteral("no se puede crear %1").arg(carpeta.filePath(sub)));
    }
    for (const QString& archivo : ArchivosPropios) {
        const QString ruta = carpeta.filePath(archivo);
        if (QFileInfo::exists(ruta) && !QFile::remove(ruta))
            return fallo(QStringLiteral("no se puede borrar %1").arg(ruta));
    }
    return true;
}

bool PreparadorDemo::baseDeDatos() {
    const QString ruta = QDir(opciones_.carpeta).filePath(QStringLiteral("Portiva.mdb"));
    if (const Resultado r = CreadorBaseDatos::CrearDemo(ruta, opciones_.hoy); !r)
        return fallo(QStringLiteral("base de datos: %1").arg(r.error().texto()));
    return true;
}

bool PreparadorDemo::inscribirYGuardarHuellas() {
    motor::MotorHuella motor;
    if (motor.Inicializar() < 0)
        return fallo(QStringLiteral("el motor de huellas no se inicia"));

    RelojSistema reloj;
    Conexion cn(reloj);
    cn.setConnectionString(QDir(opciones_.carpeta).filePath(QStringLiteral("Portiva.mdb")));
    if (const Resultado r = cn.Open(); !r)
        return fallo(QStringLiteral("base de datos: %1").arg(r.error().texto()));
    Recordset rs;
    if (const Resultado r = rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cn); !r)
        return fallo(QStringLiteral("base de datos: %1").arg(r.error().texto()));

    // Member n in table order enrols the clean impression of finger n.
    fpgen::GeneradorHuellas generador;
    std::vector<QByteArray> inscritas;
    QStringList codigos;
    for (int dedo = 0; !rs.Eof(); ++dedo) {
        int codigo = 0;
        const QByteArray plantilla =
            Plantilla(motor, generador.impresion(Semilla, dedo, 0), &codigo);
        if (plantilla.isEmpty())
            return fallo(
                QStringLiteral("el dedo %1 no da plantilla (codigo %2)").arg(dedo).arg(codigo));
        if (const Resultado r = rs.PonerValor(QStringLiteral("fldTemplate"), plantilla); !r)
            return fallo(r.error().texto());
        if (const Resultado r = rs.Update(); !r)
            return fallo(r.error().texto());
        inscritas.push_back(plantilla);
        codigos << rs.Valor(QStringLiteral("fldCodigo")).valor_o(QVariant()).toString();
        if (const Resultado r = rs.MoveNext(); !r)
            return fallo(r.error().texto());
    }
    // Closing a scratch recordset has nothing left to report: what it read is already taken.
    (void)rs.Close();
    // Closing a scratch recordset has nothing left to report: what it read is already taken.
    (void)cn.Close();

    // The prints for the reader: impressions that identify their own member (or, for the
    // unknown finger, nobody), as the station will decide on them.
    const QDir huellas(QDir(opciones_.carpeta).filePath(QStringLiteral("Huellas")));
    const auto guardar = [&](const fpgen::ImagenGris& img, const QString& nombre) {
        const QString ruta = huellas.filePath(nombre);
        return motor.GuardarImagen(img.pixeles.data(), img.ancho, img.alto, ruta.toStdString(), 501,
                                   img.dpi) == 0;
    };
    const int desconocido = static_cast<int>(inscritas.size());
    for (int dedo = 0; dedo <= desconocido; ++dedo) {
        const bool esDesconocido = dedo == desconocido;
        const int dedoReal = esDesconocido ? DedoDesconocido : dedo;
        const QString quien = esDesconocido ? NombreDesconocido() : codigos[dedo];
        const int esperado = esDesconocido ? -1 : dedo;
        int guardadas = 0;
        for (int n = 1; n <= ImpresionesProbadas && guardadas < ImpresionesPorDedo; ++n) {
            const fpgen::ImagenGris img = generador.impresion(Semilla, dedoReal, n);
            if (PrimeraCoincidencia(motor, img, inscritas) != esperado)
                continue;
            if (!guardar(img, ArchivoHuella(quien, ++guardadas)))
                return fallo(QStringLiteral("no se puede escribir en %1").arg(huellas.path()));
        }
        if (guardadas < ImpresionesPorDedo)
            return fallo(QStringLiteral("pocas impresiones validas del dedo de %1").arg(quien));
    }
    motor.Finalizar();
    return true;
}

bool PreparadorDemo::copiar(const QString& origen, const QString& destino) {
    if (!QFile::copy(origen, destino))
        return fallo(QStringLiteral("no se puede copiar %1 en %2").arg(origen, destino));
    return true;
}

bool PreparadorDemo::copiarRecursos() {
    const QDir recursos(opciones_.recursos);
    const QDir carpeta(opciones_.carpeta);
    for (int i = 0; i <= 4; ++i) {
        const QString sonido = QStringLiteral("Sonidos/%1.wav").arg(i);
        if (!copiar(recursos.filePath(sonido), carpeta.filePath(sonido)))
            return false;
    }
    if (!copiar(recursos.filePath(QStringLiteral("Skins/Default.JPG")),
                carpeta.filePath(QStringLiteral("Skins/Default.JPG"))))
        return false;
    // The other skins made for the project, for the menu "Estilo visual".
    const QDir skins(recursos.filePath(QStringLiteral("Skins")), QStringLiteral("*.jpg"),
                     QDir::Name, QDir::Files);
    for (const QString& skin : skins.entryList()) {
        const QString relativa = QStringLiteral("Skins/") + skin;
        if (!QFileInfo::exists(carpeta.filePath(relativa)) &&
            !copiar(recursos.filePath(relativa), carpeta.filePath(relativa)))
            return false;
    }
    const QString programa = carpeta.filePath(QStringLiteral("portiva"));
    if (!copiar(opciones_.programa, programa))
        return false;
    QFile::setPermissions(programa, QFile::permissions(opciones_.programa));
    return true;
}

} // namespace portiva::demo
