#pragma once

#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace portiva {

struct AjustesEstacion;
class ParametrosHuella;

// The profile-file calls of the settings file, each given the file path first.
// The key's value, at most 254 characters; the empty text when anything is missing.
QString LeerIni(const QString& archivo, const QString& seccion, const QString& clave);
// The section's content; the empty text when the section is missing or has no keys.
QString LeerSeccionIni(const QString& archivo, const QString& seccion);
// Writes key=value, creating the file, section and key as needed. False when the file could
// not be written (it then keeps its old content).
bool EscribirIni(const QString& archivo, const QString& seccion, const QString& clave,
                 const QString& valor);

// The station's settings file "Accesos.ini" in the program folder: read in three steps at
// start-up, written once at exit. A setting whose section is absent (or has no keys), whose
// key is missing or empty, or whose value cannot be read keeps its default; a malformed file
// never stops the station.
// - Whole numbers: the decimal number at the start of the text (blanks before it skipped; no
//   number reads 0), rounded half to even; a number outside the 32-bit range is unreadable.
// - Yes/no: any number (non-zero is yes) or the words True and False, in any case; other text
//   is unreadable.
class IniFile {
public:
    IniFile(QString carpetaPrograma, AjustesEstacion& ajustes, ParametrosHuella& huella);

    // Where the station's log lines about the file go (a refused value, a file that is not
    // read or not written and why); they also go to standard error.
    using Aviso = std::function<void(const QString&)>;
    void ponerAviso(Aviso aviso) { aviso_ = std::move(aviso); }

    static QString nombreArchivo() { return QStringLiteral("Accesos.ini"); }
    QString rutaArchivo() const;

    // [Appearance] skin.
    void CargarSkin();
    // [Copias Seguridad]: backup at exit, the scheduled restore.
    void CargarConfigCopias();
    // [Configuracion huella] and [Colores huella], given to the engine when present. The engine
    // must be started.
    void CargarConfigHuella();
    // Writes the four sections and fourteen keys; the engine's parameters are read back from it
    // first. A fingerprint parameter the file held and that is still what was in use after
    // loading is left as the file has it: a value the engine refused is not replaced by the
    // default the operator never chose. Nothing is written when the name is a link, a FIFO or
    // anything but a regular file. False when some key could not be written.
    bool GuardarConfiguracion();

private:
    void avisar(const QString& texto) const;

    QString carpeta_;
    Aviso aviso_;
    // For thresholdId, rotationMaxId, thresholdVr, rotationMaxVr: the file's text when it had
    // one, and the engine's value once loaded.
    std::array<std::optional<QString>, 4> textoHuella_;
    std::array<qint32, 4> enUsoHuella_{};
    AjustesEstacion& ajustes_;
    ParametrosHuella& huella_;
};

} // namespace portiva
