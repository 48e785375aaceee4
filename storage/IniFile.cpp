#include "IniFile.h"

#include "AjustesEstacion.h"
#include "ArchivoPerfil.h"
#include "ParametrosHuella.h"

#include <QDir>
#include <QtGlobal>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace portiva {

QString LeerIni(const QString& archivo, const QString& seccion, const QString& clave) {
    return ArchivoPerfil::leer(archivo, seccion, clave);
}

QString LeerSeccionIni(const QString& archivo, const QString& seccion) {
    return ArchivoPerfil::leerSeccion(archivo, seccion);
}

bool EscribirIni(const QString& archivo, const QString& seccion, const QString& clave,
                 const QString& valor) {
    return ArchivoPerfil::escribir(archivo, seccion, clave, valor);
}

namespace {

const QString Apariencia = QStringLiteral("Appearance");
const QString Copias = QStringLiteral("Copias Seguridad");
const QString ConfigHuella = QStringLiteral("Configuracion huella");
const QString ColoresHuella = QStringLiteral("Colores huella");

// The decimal number the text begins with: blanks skipped, optional sign, digits, a "." and
// decimals, an exponent; 0 when it begins with no number; none when it is too large for a
// double.
std::optional<double> numeroInicial(const QString& texto) {
    const QByteArray t = texto.toLatin1();
    qsizetype i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t'))
        ++i;
    const qsizetype inicio = i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    bool cifras = false;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
        ++i;
        cifras = true;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
            ++i;
            cifras = true;
        }
    }
    if (!cifras)
        return 0.0;
    qsizetype fin = i;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        qsizetype j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-'))
            ++j;
        if (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) {
            while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j])))
                ++j;
            fin = j;
        }
    }
    bool ok = false;
    const double valor = t.mid(inicio, fin - inicio).toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return valor;
}

std::optional<qint32> leerEntero(const QString& texto) {
    const auto numero = numeroInicial(texto);
    if (!numero)
        return std::nullopt;
    const double redondeado = std::nearbyint(*numero); // half to even
    if (!std::isfinite(redondeado) || redondeado < std::numeric_limits<qint32>::min() ||
        redondeado > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(redondeado);
}

std::optional<bool> leerSiNo(const QString& texto) {
    const QString t = texto.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return d != 0.0;
}

} // namespace

IniFile::IniFile(QString carpetaPrograma, AjustesEstacion& ajustes, ParametrosHuella& huella)
    : carpeta_(std::move(carpetaPrograma)), ajustes_(ajustes), huella_(huella) {}

QString IniFile::rutaArchivo() const {
    return QDir(carpeta_).filePath(nombreArchivo());
}

void IniFile::avisar(const QString& texto) const {
    qWarning("%s", qUtf8Printable(texto));
    if (aviso_)
        aviso_(texto);
}

namespace {

// The four fingerprint parameters of the settings, in the file's order.
std::array<qint32*, 4> parametros(AjustesEstacion& a) {
    return {&a.thresholdId, &a.rotationMaxId, &a.thresholdVr, &a.rotationMaxVr};
}
const std::array<const char*, 4> ClavesHuella = {"thresholdId", "rotationMaxId", "thresholdVr",
                                                 "rotationMaxVr"};
// The identification and verification thresholds that earlier versions of the station wrote at
// exit as their engine's defaults, oldest first. A file holding one of these pairs (both keys)
// was left as it came and gets today's defaults: on today's score scale the old pair would
// refuse members or let strangers in. A threshold the operator chose stays, even one equal to an
// earlier default, as long as the two together are not one of these pairs. When a new engine
// changes its defaults, the pair it leaves behind is added at the end.
struct ParPorDefecto {
    qint32 identificacion;
    qint32 verificacion;
};
constexpr ParPorDefecto PorDefectoAnteriores[] = {
    {40, 35}, {25, 23},  {133, 101}, {105, 75}, {90, 40},  {75, 35},  {75, 36},
    {75, 38}, {105, 52}, {130, 52},  {135, 52}, {135, 55}, {135, 53},
};
constexpr std::size_t UmbralId = 0;
constexpr std::size_t UmbralVr = 2;
// Below this, about one comparison in a few hundred between unrelated fingers matches: said in
// the log, kept as the operator chose it.
constexpr qint32 UmbralMuyBajo = 20;

} // namespace

void IniFile::CargarSkin() {
    const QString ruta = rutaArchivo();
    const auto estado = ArchivoPerfil::estado(ruta);
    if (estado == ArchivoPerfil::Estado::NoNormal)
        avisar(QStringLiteral("%1 no es un archivo normal: no se lee ni se escribe; se usan los "
                              "valores por defecto.")
                   .arg(nombreArchivo()));
    else if (estado == ArchivoPerfil::Estado::Enlace)
        avisar(QStringLiteral("%1 es un enlace simbolico: se lee, pero al cerrar no se escribe.")
                   .arg(nombreArchivo()));
    ajustes_.SkinActual = QStringLiteral("Default.JPG");
    if (LeerSeccionIni(ruta, Apariencia).isEmpty())
        return;
    const QString skin = LeerIni(ruta, Apariencia, QStringLiteral("skin"));
    if (!skin.isEmpty())
        ajustes_.SkinActual = skin;
}

void IniFile::CargarConfigCopias() {
    const QString ruta = rutaArchivo();
    ajustes_.CopiaSegAlSalir = false;
    ajustes_.RestaurarAlIniciar = false;
    ajustes_.NombreDBRestaurar.clear();
    if (LeerSeccionIni(ruta, Copias).isEmpty())
        return;
    const auto siNo = [&](const QString& clave, bool& destino) {
        const QString texto = LeerIni(ruta, Copias, clave);
        if (texto.isEmpty())
            return;
        if (const auto valor = leerSiNo(texto))
            destino = *valor;
    };
    siNo(QStringLiteral("CopiaSeg AlSalir"), ajustes_.CopiaSegAlSalir);
    siNo(QStringLiteral("RestCopiaSeg AlIniciar"), ajustes_.RestaurarAlIniciar);
    const QString nombre = LeerIni(ruta, Copias, QStringLiteral("NombreDB Restaurar"));
    if (!nombre.isEmpty())
        ajustes_.NombreDBRestaurar = nombre;
}

void IniFile::CargarConfigHuella() {
    const QString ruta = rutaArchivo();
    const auto leer = [&](const QString& seccion, const char* clave, qint32& destino) {
        const QString texto = LeerIni(ruta, seccion, QString::fromLatin1(clave));
        if (texto.isEmpty())
            return;
        if (const auto valor = leerEntero(texto))
            destino = *valor;
    };

    huella_.LeerParametrosHuella(ajustes_);
    textoHuella_ = {};
    const auto destinos = parametros(ajustes_);
    for (std::size_t i = 0; i < destinos.size(); ++i)
        enUsoHuella_[i] = *destinos[i];
    if (!LeerSeccionIni(ruta, ConfigHuella).isEmpty()) {
        std::array<bool, 4> legible{};
        for (std::size_t i = 0; i < destinos.size(); ++i) {
            const QString texto = LeerIni(ruta, ConfigHuella, QString::fromLatin1(ClavesHuella[i]));
            if (texto.isEmpty())
                continue;
            textoHuella_[i] = texto;
            if (const auto valor = leerEntero(texto)) {
                *destinos[i] = *valor;
                legible[i] = true;
            }
        }
        if (legible[UmbralId] && legible[UmbralVr]) {
            const qint32 id = *destinos[UmbralId];
            const qint32 vr = *destinos[UmbralVr];
            const bool deHoy = id == enUsoHuella_[UmbralId] && vr == enUsoHuella_[UmbralVr];
            const bool anterior =
                std::any_of(std::begin(PorDefectoAnteriores), std::end(PorDefectoAnteriores),
                            [&](const ParPorDefecto& p) {
                                return p.identificacion == id && p.verificacion == vr;
                            });
            if (anterior && !deHoy) {
                for (const std::size_t k : {UmbralId, UmbralVr}) {
                    *destinos[k] = enUsoHuella_[k];
                    textoHuella_[k].reset(); // written back with the new value at exit
                    legible[k] = false;
                }
                avisar(QStringLiteral("%1: [%2] thresholdId=%3 y thresholdVr=%4 eran los valores "
                                      "por defecto de una version anterior; se usan %5 y %6.")
                           .arg(nombreArchivo(), ConfigHuella)
                           .arg(id)
                           .arg(vr)
                           .arg(enUsoHuella_[UmbralId])
                           .arg(enUsoHuella_[UmbralVr]));
            }
        }
        huella_.AplicarParametrosHuella(ajustes_);
        // What the engine took: a value it refused is said in the log, with the one in use.
        AjustesEstacion enUso = ajustes_;
        huella_.LeerParametrosHuella(enUso);
        const auto usados = parametros(enUso);
        for (std::size_t i = 0; i < usados.size(); ++i) {
            const qint32 porDefecto = enUsoHuella_[i];
            enUsoHuella_[i] = *usados[i];
            if (!textoHuella_[i])
                continue;
            const QString clave = QStringLiteral("%1: [%2] %3=%4")
                                      .arg(nombreArchivo(), ConfigHuella,
                                           QString::fromLatin1(ClavesHuella[i]), *textoHuella_[i]);
            if (!legible[i] || *usados[i] != *destinos[i])
                avisar(QStringLiteral("%1 no valido; se usa %2.").arg(clave).arg(*usados[i]));
            else if ((i == UmbralId || i == UmbralVr) && *usados[i] < UmbralMuyBajo)
                // Only a threshold the engine took can let strangers in.
                avisar(QStringLiteral("%1 es muy bajo para este motor (por defecto %2): puede "
                                      "aceptar huellas ajenas.")
                           .arg(clave)
                           .arg(porDefecto));
        }
    }

    huella_.ColoresPorDefecto(ajustes_);
    if (!LeerSeccionIni(ruta, ColoresHuella).isEmpty()) {
        leer(ColoresHuella, "minutiaeColor", ajustes_.minutiaeColor);
        leer(ColoresHuella, "minutiaeMatchColor", ajustes_.minutiaeMatchColor);
        leer(ColoresHuella, "segmentsColor", ajustes_.segmentsColor);
        leer(ColoresHuella, "segmentsMatchColor", ajustes_.segmentsMatchColor);
        leer(ColoresHuella, "directionsColor", ajustes_.directionsColor);
        leer(ColoresHuella, "directionsMatchColor", ajustes_.directionsMatchColor);
        huella_.AplicarColoresHuella(ajustes_);
    }
}

bool IniFile::GuardarConfiguracion() {
    const QString ruta = rutaArchivo();
    if (const auto estado = ArchivoPerfil::estado(ruta);
        estado != ArchivoPerfil::Estado::Normal && estado != ArchivoPerfil::Estado::Ausente) {
        avisar(QStringLiteral("%1 no se escribe: %2.")
                   .arg(nombreArchivo(), estado == ArchivoPerfil::Estado::Enlace
                                             ? QStringLiteral("es un enlace simbolico")
                                             : QStringLiteral("no es un archivo normal")));
        return false;
    }
    bool todo = true;
    const auto escribir = [&](const QString& seccion, const char* clave, const QString& valor) {
        todo = EscribirIni(ruta, seccion, QString::fromLatin1(clave), valor) && todo;
    };
    const auto siNo = [](bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); };
    const auto numero = [](qint32 v) { return QString::number(v); };

    escribir(Apariencia, "skin", ajustes_.SkinActual);
    escribir(Copias, "CopiaSeg AlSalir", siNo(ajustes_.CopiaSegAlSalir));
    escribir(Copias, "RestCopiaSeg AlIniciar", siNo(ajustes_.RestaurarAlIniciar));
    escribir(Copias, "NombreDB Restaurar", ajustes_.NombreDBRestaurar);
    // What is saved is what the engine holds: a value it refused is not kept.
    huella_.LeerParametrosHuella(ajustes_);
    const auto valores = parametros(ajustes_);
    for (std::size_t i = 0; i < valores.size(); ++i) {
        // Untouched in this run: the file keeps the operator's text, even one refused.
        if (textoHuella_[i] && *valores[i] == enUsoHuella_[i] &&
            !LeerIni(ruta, ConfigHuella, QString::fromLatin1(ClavesHuella[i])).isEmpty())
            continue;
        escribir(ConfigHuella, ClavesHuella[i], numero(*valores[i]));
    }
    escribir(ColoresHuella, "minutiaeColor", numero(ajustes_.minutiaeColor));
    escribir(ColoresHuella, "minutiaeMatchColor", numero(ajustes_.minutiaeMatchColor));
    escribir(ColoresHuella, "segmentsColor", numero(ajustes_.segmentsColor));
    escribir(ColoresHuella, "segmentsMatchColor", numero(ajustes_.segmentsMatchColor));
    escribir(ColoresHuella, "directionsColor", numero(ajustes_.directionsColor));
    escribir(ColoresHuella, "directionsMatchColor", numero(ajustes_.directionsMatchColor));
    return todo;
}

} // namespace portiva
