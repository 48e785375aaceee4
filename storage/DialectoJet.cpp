#include "DialectoJet.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>
#include <QTime>

namespace portiva {

namespace {

bool esDeNombre(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Index just past the quoted text or bracketed name that starts at i.
int saltarCita(const QString& s, int i) {
    const QChar abre = s[i];
    const QChar cierra = abre == QLatin1Char('[') ? QLatin1Char(']') : abre;
    int j = i + 1;
    while (j < s.size()) {
        if (s[j] == cierra) {
            if (cierra != QLatin1Char(']') && j + 1 < s.size() && s[j + 1] == cierra) {
                j += 2; // a doubled quote inside the text
                continue;
            }
            return j + 1;
        }
        ++j;
    }
    return static_cast<int>(s.size());
}

bool esCita(QChar c) {
    return c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[');
}

// Index of the ")" that closes the "(" at i, or -1.
int parentesisFinal(const QString& s, int i) {
    int nivel = 0;
    for (int j = i; j < s.size();) {
        const QChar c = s[j];
        if (esCita(c)) {
            j = saltarCita(s, j);
            continue;
        }
        if (c == QLatin1Char('('))
            ++nivel;
        else if (c == QLatin1Char(')') && --nivel == 0)
            return j;
        ++j;
    }
    return -1;
}

ErrorDB errorSintaxis(const QString& detalle) {
    return {ErrorDB::ErrorSintaxis,
            QStringLiteral("Error de sintaxis en la expresión de consulta: %1").arg(detalle)};
}

int anioCompleto(const QString& texto) {
    const int anio = texto.toInt();
    if (texto.size() > 2)
        return anio;
    return anio < 30 ? 2000 + anio : 1900 + anio;
}

// The ISO text of a Jet date literal's content, or an empty string when it is no date.
QString fechaLiteral(const QString& contenido) {
    static const QRegularExpression mdy(QStringLiteral(
        R"(^\s*(\d{1,2})[-/](\d{1,2})[-/](\d{4}|\d{2})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    static const QRegularExpression iso(QStringLiteral(
        R"(^\s*(\d{4})-(\d{1,2})-(\d{1,2})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    int anio = 0, mes = 0, dia = 0;
    QRegularExpressionMatch m = iso.match(contenido);
    if (m.hasMatch()) {
        anio = m.captured(1).toInt();
        mes = m.captured(2).toInt();
        dia = m.captured(3).toInt();
    } else {
        m = mdy.match(contenido);
        if (!m.hasMatch())
            return {};
        mes = m.captured(1).toInt();
        dia = m.captured(2).toInt();
        anio = anioCompleto(m.captured(3));
    }
    const QDate fecha(anio, mes, dia);
    if (!fecha.isValid())
        return {};
    QTime hora(0, 0);
    if (m.hasCaptured(4))
        hora = QTime(m.captured(4).toInt(), m.captured(5).toInt(),
                     m.hasCaptured(6) ? m.captured(6).toInt() : 0);
    if (!hora.isValid())
        return {};
    if (hora == QTime(0, 0))
        return fecha.toString(QStringLiteral("yyyy-MM-dd"));
    return fecha.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') +
           hora.toString(QStringLiteral("HH:mm:ss"));
}

bool palabraEn(const QString& s, int i, QLatin1StringView palabra) {
    if (i > 0 && esDeNombre(s[i - 1]))
        return false;
    const int fin = i + static_cast<int>(palabra.size());
    if (fin > s.size() ||
        QStringView(s).mid(i, palabra.size()).compare(palabra, Qt::CaseInsensitive))
        return false;
    return fin == s.size() || !esDeNombre(s[fin]);
}

int saltarBlancos(const QString& s, int i) {
    while (i < s.size() && s[i].isSpace())
        ++i;
    return i;
}

// Dates and ISNULL, everywhere in the text.
ResultadoDe<QString> traducirExpresiones(const QString& s) {
    QString salida;
    salida.reserve(s.size() + 16);
    for (int i = 0; i < s.size();) {
        const QChar c = s[i];
        if (esCita(c)) {
            const int fin = saltarCita(s, i);
            salida += QStringView(s).mid(i, fin - i);
            i = fin;
            continue;
        }
        if (c == QLatin1Char('#')) {
            const int fin = static_cast<int>(s.indexOf(QLatin1Char('#'), i + 1));
            if (fin < 0)
                return errorSintaxis(QStringLiteral("falta el # de cierre de una fecha"));
            const QString iso = fechaLiteral(s.mid(i + 1, fin - i - 1));
            if (iso.isEmpty())
                return errorSintaxis(
                    QStringLiteral("fecha no válida %1").arg(s.mid(i, fin - i + 1)));
            salida += QLatin1Char('\'') + iso + QLatin1Char('\'');
            i = fin + 1;
            continue;
        }
        if (palabraEn(s, i, QLatin1StringView("ISNULL"))) {
            const int abre = saltarBlancos(s, i + 6);
            if (abre < s.size() && s[abre] == QLatin1Char('(')) {
                const int cierra = parentesisFinal(s, abre);
                if (cierra < 0)
                    return errorSintaxis(QStringLiteral("falta el ) de cierre de ISNULL"));
                auto dentro = traducirExpresiones(s.mid(abre + 1, cierra - abre - 1));
                if (!dentro)
                    return dentro;
                salida += QStringLiteral("((") + *dentro + QStringLiteral(") IS NULL)");
                i = cierra + 1;
                continue;
            }
        }
        salida += c;
        ++i;
    }
    return salida;
}

// The bare column name of an ORDER BY term ("t.[col] DESC" -> "col"), lower case.
QString nombreDeTermino(QString termino) {
    termino = termino.trimmed();
    static const QRegularExpression sentido(QStringLiteral(R"(\s+(ASC|DESC)$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    termino.remove(sentido);
    const int punto = static_cast<int>(termino.lastIndexOf(QLatin1Char('.')));
    if (punto >= 0)
        termino = termino.mid(punto + 1);
    if (termino.size() >= 2 &&
        (termino.front() == QLatin1Char('[') || termino.front() == QLatin1Char('"')))
        termino = termino.mid(1, termino.size() - 2);
    return termino.toLower();
}

// Walks the text from `desde`, skipping quoted text and keeping the parenthesis level, and calls
// paso(index, level) on every other character; returns the index where paso said stop, or the
// text's size.
template <class Paso> int recorrer(const QString& s, int desde, Paso paso) {
    int nivel = 0;
    for (int i = desde; i < s.size();) {
        const QChar c = s[i];
        if (esCita(c)) {
            i = saltarCita(s, i);
            continue;
        }
        if (c == QLatin1Char('('))
            ++nivel;
        else if (c == QLatin1Char(')'))
            --nivel;
        else if (paso(i, nivel))
            return i;
        ++i;
    }
    return static_cast<int>(s.size());
}

// Rewrites the yes/no terms of the statement's own ORDER BY (outside parentheses).
QString ordenarSiNo(const QString& s, const QSet<QString>& columnasSiNo) {
    if (columnasSiNo.isEmpty())
        return s;
    int inicio = -1;
    recorrer(s, 0, [&](int i, int nivel) {
        if (nivel != 0 || !palabraEn(s, i, QLatin1StringView("ORDER")))
            return false;
        const int by = saltarBlancos(s, i + 5);
        if (!palabraEn(s, by, QLatin1StringView("BY")))
            return false;
        inicio = by + 2;
        return true;
    });
    if (inicio < 0)
        return s;
    // The ORDER BY list runs to the end, or to a LIMIT or ";" at this level.
    QStringList terminos;
    int desde = inicio;
    const int fin = recorrer(s, inicio, [&](int i, int nivel) {
        if (nivel != 0)
            return false;
        if (s[i] == QLatin1Char(',')) {
            terminos << s.mid(desde, i - desde);
            desde = i + 1;
            return false;
        }
        return s[i] == QLatin1Char(';') || palabraEn(s, i, QLatin1StringView("LIMIT"));
    });
    terminos << s.mid(desde, fin - desde);
    const QString resto = s.mid(fin);
    QStringList salida;
    for (const QString& termino : terminos) {
        if (!columnasSiNo.contains(nombreDeTermino(termino))) {
            salida << termino;
            continue;
        }
        // Keep the blanks around and the ASC/DESC after the name.
        static const QRegularExpression partes(
            QStringLiteral(R"(^(\s*)(.*?)(\s+(?:ASC|DESC))?(\s*)$)"),
            QRegularExpression::CaseInsensitiveOption |
                QRegularExpression::DotMatchesEverythingOption);
        const auto m = partes.match(termino);
        salida << m.captured(1) + QStringLiteral("(0 - ") + m.captured(2) + QLatin1Char(')') +
                      m.captured(3) + m.captured(4);
    }
    return s.left(inicio) + salida.join(QLatin1Char(',')) + resto;
}

} // namespace

ResultadoDe<QString> TraducirJet(const QString& sql, const QSet<QString>& columnasSiNo) {
    auto expresiones = traducirExpresiones(sql);
    if (!expresiones)
        return expresiones;
    return ordenarSiNo(*expresiones, columnasSiNo);
}

} // namespace portiva
