#pragma once

#include <QString>

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
    // first. False when some key could not be written.
    bool GuardarConfiguracion();

private:
    QString carpeta_;
    AjustesEstacion& ajustes_;
    ParametrosHuella& huella_;
};

} // namespace portiva
