#include "ArchivoPerfil.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace portiva {

namespace {

// One line of the file as stored (without its line break) and what it means.
struct Linea {
    enum class Tipo { Otra, Seccion, Entrada };
    QByteArray bytes;
    Tipo tipo = Tipo::Otra;
    QString nombre; // section name, or key
    QString valor;  // for an entry
};

QString sinBlancos(const QString& texto) {
    qsizetype inicio = 0, fin = texto.size();
    auto blanco = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (inicio < fin && blanco(texto[inicio]))
        ++inicio;
    while (fin > inicio && blanco(texto[fin - 1]))
        --fin;
    return texto.mid(inicio, fin - inicio);
}

// The characters 0x80-0x9F of Windows-1252; the rest of its upper half is Latin-1.
constexpr char16_t Cp1252Alto[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString desdeCp1252(const QByteArray& bytes) {
    QString texto;
    texto.reserve(bytes.size());
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        texto += QChar(u >= 0x80 && u < 0xA0 ? Cp1252Alto[u - 0x80] : char16_t(u));
    }
    return texto;
}

// The text in Windows-1252, or none when some character has no place in it.
std::optional<QByteArray> aCp1252(const QString& texto) {
    QByteArray bytes;
    bytes.reserve(texto.size());
    for (const QChar c : texto) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes += static_cast<char>(u);
            continue;
        }
        const auto* fin = std::end(Cp1252Alto);
        const auto* p = std::find(std::begin(Cp1252Alto), fin, u);
        if (p == fin)
            return std::nullopt;
        bytes += static_cast<char>(0x80 + (p - std::begin(Cp1252Alto)));
    }
    return bytes;
}

bool esUtf8(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)QString(utf8(bytes));
    return !utf8.hasError();
}

QString decodificar(const QByteArray& bytes, bool cp1252) {
    return cp1252 ? desdeCp1252(bytes) : QString::fromUtf8(bytes);
}

Linea analizar(const QByteArray& bytes, bool cp1252 = false) {
    Linea l;
    l.bytes = bytes;
    const QString texto = sinBlancos(decodificar(bytes, cp1252));
    if (texto.isEmpty() || texto.startsWith(QLatin1Char(';')))
        return l;
    if (texto.startsWith(QLatin1Char('['))) {
        const auto cierre = texto.indexOf(QLatin1Char(']'));
        l.tipo = Linea::Tipo::Seccion;
        l.nombre = sinBlancos(texto.mid(1, cierre < 0 ? -1 : cierre - 1));
        return l;
    }
    l.tipo = Linea::Tipo::Entrada;
    const auto igual = texto.indexOf(QLatin1Char('='));
    if (igual < 0) {
        l.nombre = texto;
        return l;
    }
    l.nombre = sinBlancos(texto.left(igual));
    QString valor = sinBlancos(texto.mid(igual + 1));
    if (valor.size() >= 2 &&
        ((valor.front() == QLatin1Char('"') && valor.back() == QLatin1Char('"')) ||
         (valor.front() == QLatin1Char('\'') && valor.back() == QLatin1Char('\''))))
        valor = valor.mid(1, valor.size() - 2);
    l.valor = valor;
    return l;
}

struct Contenido {
    QList<Linea> lineas;
    QByteArray salto = "\n";
    bool cp1252 = false; // a file of the old station, not valid UTF-8
    QByteArray codificar(const QString& texto) const {
        if (cp1252)
            if (auto bytes = aCp1252(texto))
                return *bytes;
        return texto.toUtf8();
    }
};

// The file's whole content; an empty array when it is missing, none when it is there but is
// not a regular file or cannot be read. It is opened without waiting, so that a FIFO or a
// device under the name never holds the station up.
std::optional<QByteArray> leerTodo(const QString& archivo) {
    const QByteArray nombre = QFile::encodeName(archivo);
    const int fd = ::open(nombre.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT)
            return QByteArray();
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    QFile f;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    return f.readAll();
}

// The file's lines; none when it is missing, nothing when it is there but cannot be read.
std::optional<Contenido> cargar(const QString& archivo) {
    Contenido c;
    const std::optional<QByteArray> leido = leerTodo(archivo);
    if (!leido)
        return std::nullopt;
    const QByteArray& todo = *leido;
    if (todo.isEmpty())
        return c;
    c.cp1252 = !esUtf8(todo);
    if (todo.contains("\r\n"))
        c.salto = "\r\n";
    QList<QByteArray> partes = todo.split('\n');
    if (todo.endsWith('\n'))
        partes.removeLast();
    for (QByteArray& p : partes) {
        if (p.endsWith('\r'))
            p.chop(1);
        c.lineas << analizar(p, c.cp1252);
    }
    return c;
}

bool igualNombre(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the first line of the section's header, or -1.
qsizetype buscarSeccion(const Contenido& c, const QString& seccion) {
    for (qsizetype i = 0; i < c.lineas.size(); ++i)
        if (c.lineas[i].tipo == Linea::Tipo::Seccion && igualNombre(c.lineas[i].nombre, seccion))
            return i;
    return -1;
}

// One past the section's last line (the next header or the end).
qsizetype finDeSeccion(const Contenido& c, qsizetype cabecera) {
    qsizetype i = cabecera + 1;
    while (i < c.lineas.size() && c.lineas[i].tipo != Linea::Tipo::Seccion)
        ++i;
    return i;
}

QString enUnaLinea(QString texto) {
    texto.replace(QLatin1String("\r\n"), QLatin1String(" "));
    texto.replace(QLatin1Char('\r'), QLatin1Char(' '));
    texto.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return texto;
}

} // namespace

QString ArchivoPerfil::leer(const QString& archivo, const QString& seccion, const QString& clave) {
    const Contenido c = cargar(archivo).value_or(Contenido{});
    const qsizetype cabecera = buscarSeccion(c, seccion);
    if (cabecera < 0)
        return {};
    const qsizetype fin = finDeSeccion(c, cabecera);
    for (qsizetype i = cabecera + 1; i < fin; ++i)
        if (c.lineas[i].tipo == Linea::Tipo::Entrada && igualNombre(c.lineas[i].nombre, clave))
            return c.lineas[i].valor.left(LargoMaximo);
    return {};
}

QString ArchivoPerfil::leerSeccion(const QString& archivo, const QString& seccion) {
    const Contenido c = cargar(archivo).value_or(Contenido{});
    const qsizetype cabecera = buscarSeccion(c, seccion);
    if (cabecera < 0)
        return {};
    QStringList entradas;
    const qsizetype fin = finDeSeccion(c, cabecera);
    for (qsizetype i = cabecera + 1; i < fin; ++i)
        if (c.lineas[i].tipo == Linea::Tipo::Entrada)
            entradas << sinBlancos(decodificar(c.lineas[i].bytes, c.cp1252));
    return entradas.join(QChar(0));
}

ArchivoPerfil::Estado ArchivoPerfil::estado(const QString& archivo) {
    struct stat st {};
    if (::lstat(QFile::encodeName(archivo).constData(), &st) != 0)
        return errno == ENOENT ? Estado::Ausente : Estado::NoNormal;
    if (S_ISLNK(st.st_mode))
        return Estado::Enlace;
    return S_ISREG(st.st_mode) ? Estado::Normal : Estado::NoNormal;
}

bool ArchivoPerfil::escribir(const QString& archivo, const QString& seccion, const QString& clave,
                             const QString& valor) {
    // A link is never followed and a FIFO or device never replaced: only a regular file, or
    // none, is written.
    const Estado antes = estado(archivo);
    if (antes != Estado::Normal && antes != Estado::Ausente)
        return false;
    // A file that is there but cannot be read is not replaced by one holding a single key.
    std::optional<Contenido> leido = cargar(archivo);
    if (!leido)
        return false;
    Contenido& c = *leido;
    const QString nombreSeccion = enUnaLinea(seccion);
    const QString nombreClave = enUnaLinea(clave);
    const QString valorLinea = enUnaLinea(valor);
    const QByteArray entrada = c.codificar(nombreClave + QLatin1Char('=') + valorLinea);
    const auto nueva = [&](const QByteArray& bytes) { return analizar(bytes, c.cp1252); };

    const qsizetype cabecera = buscarSeccion(c, nombreSeccion);
    if (cabecera < 0) {
        if (!c.lineas.isEmpty() && !c.lineas.back().bytes.trimmed().isEmpty())
            c.lineas << Linea{};
        c.lineas << nueva(c.codificar(QLatin1Char('[') + nombreSeccion + QLatin1Char(']')));
        c.lineas << nueva(entrada);
    } else {
        const qsizetype fin = finDeSeccion(c, cabecera);
        qsizetype existente = -1, ultima = cabecera;
        for (qsizetype i = cabecera + 1; i < fin; ++i) {
            if (c.lineas[i].tipo != Linea::Tipo::Entrada)
                continue;
            ultima = i;
            if (existente < 0 && igualNombre(c.lineas[i].nombre, nombreClave))
                existente = i;
        }
        if (existente >= 0) {
            // The same value already there keeps its line, and the file, as they are.
            Linea linea = nueva(entrada);
            if (linea.valor == c.lineas[existente].valor)
                return true;
            c.lineas[existente] = std::move(linea);
        } else {
            c.lineas.insert(ultima + 1, nueva(entrada));
        }
    }

    QByteArray salida;
    for (const Linea& l : c.lineas)
        salida += l.bytes + c.salto;
    // Checked again just before: a link put there meanwhile is not followed either.
    const Estado ahora = estado(archivo);
    if (ahora != Estado::Normal && ahora != Estado::Ausente)
        return false;
    QSaveFile f(archivo);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(salida) != salida.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace portiva
