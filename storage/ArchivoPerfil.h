#pragma once

#include <QString>

namespace portiva {

// An INI file read and written the way Windows' private-profile functions do:
// - sections "[name]" and keys "key=value" compare without regard to case; the first section
//   and the first key of a name count; lines starting with ";" are comments;
// - a value is trimmed of blanks and tabs, loses one pair of enclosing quotes, and is read cut
//   to 254 characters;
// - writing creates the file, the section and the key when missing and keeps every other line
//   byte for byte; it goes through a temporary file renamed over the old one, so a crash never
//   leaves half a file. Line breaks inside a key or value are written as blanks.
// - a file that is not valid UTF-8 is one of the old Windows station and is read as
//   Windows-1252; the lines written into it are in Windows-1252 too when they fit;
// - writing a key the value it already holds leaves the file untouched;
// - only a regular file is read or written: a FIFO, a device or a folder under the name reads
//   as unreadable, and a symbolic link is never written through (the write is refused).
// Nothing here fails loudly: an unreadable file reads as empty.
class ArchivoPerfil {
public:
    static constexpr int LargoMaximo = 254;

    // What is under the name, without following a link.
    enum class Estado { Ausente, Normal, Enlace, NoNormal };
    static Estado estado(const QString& archivo);

    // The value of the key, or the empty text when the file, section or key is missing.
    static QString leer(const QString& archivo, const QString& seccion, const QString& clave);
    // The section's entries, "key=value" each, separated by NUL characters; the empty text
    // when the section is missing or holds no entries.
    static QString leerSeccion(const QString& archivo, const QString& seccion);
    // Writes key=value into the section. False when the file could not be written (its old
    // content then stays).
    static bool escribir(const QString& archivo, const QString& seccion, const QString& clave,
                         const QString& valor);
};

} // namespace portiva
