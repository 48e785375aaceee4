#include "ArchivoPerfil.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QSaveFile>
#include <QStringList>
#include <optional>

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

Linea analizar(const QByteArray& bytes) {
    Linea l;
    l.bytes = bytes;
    const QString texto = sinBlancos(QString::fromUtf8(bytes));
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
};

// The file's lines; none when it is missing, nothing when it is there but cannot be read.
std::optional<Contenido> cargar(const QString& archivo) {
    Contenido c;
    QFile f(archivo);
    if (!f.exists())
        return c;
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray todo = f.readAll();
    if (todo.isEmpty())
        return c;
    if (todo.contains("\r\n"))
        c.salto = "\r\n";
    QList<QByteArray> partes = todo.split('\n');
    if (todo.endsWith('\n'))
        partes.removeLast();
    for (QByteArray& p : partes) {
        if (p.endsWith('\r'))
            p.chop(1);
        c.lineas << analizar(p);
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
            entradas << sinBlancos(QString::fromUtf8(c.lineas[i].bytes));
    return entradas.join(QChar(0));
}

bool ArchivoPerfil::escribir(const QString& archivo, const QString& seccion, const QString& clave,
                             const QString& valor) {
    // A file that is there but cannot be read is not replaced by one holding a single key.
    std::optional<Contenido> leido = cargar(archivo);
    if (!leido)
        return false;
    Contenido& c = *leido;
    const QString nombreSeccion = enUnaLinea(seccion);
    const QString nombreClave = enUnaLinea(clave);
    const QByteArray entrada = (nombreClave + QLatin1Char('=') + enUnaLinea(valor)).toUtf8();

    const qsizetype cabecera = buscarSeccion(c, nombreSeccion);
    if (cabecera < 0) {
        if (!c.lineas.isEmpty() && !c.lineas.back().bytes.trimmed().isEmpty())
            c.lineas << Linea{};
        c.lineas << analizar((QLatin1Char('[') + nombreSeccion + QLatin1Char(']')).toUtf8());
        c.lineas << analizar(entrada);
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
        if (existente >= 0)
            c.lineas[existente] = analizar(entrada);
        else
            c.lineas.insert(ultima + 1, analizar(entrada));
    }

    QByteArray salida;
    for (const Linea& l : c.lineas)
        salida += l.bytes + c.salto;
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
