#include "TextoSinMayusculas.h"

#include <QList>
#include <QString>
#include <sqlite3.h>
#include <string>

namespace portiva {

namespace {

bool Ascii(QStringView t) {
    for (QChar c : t)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

char16_t MinusculaAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

int CompararAscii(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = MinusculaAscii(a[i].unicode());
        const char16_t y = MinusculaAscii(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The pattern and the text as folded code points, so "_" takes one whole character.
std::u32string Plegado(QStringView t) {
    const QList<uint> puntos = t.toString().toCaseFolded().toUcs4();
    return std::u32string(puntos.begin(), puntos.end());
}

bool Parecido(const std::u32string& t, const std::u32string& p, char32_t escape) {
    // Greedy match with one back-tracking point per "%": linear in practice.
    size_t i = 0, j = 0, estrella = std::u32string::npos, desde = 0;
    while (i < t.size()) {
        if (j < p.size() && p[j] == U'%') {
            estrella = j++;
            desde = i;
            continue;
        }
        if (j < p.size()) {
            char32_t c = p[j];
            size_t largo = 1;
            bool literal = false;
            if (escape && c == escape && j + 1 < p.size()) {
                c = p[j + 1];
                largo = 2;
                literal = true;
            }
            if ((!literal && c == U'_') || c == t[i]) {
                ++i;
                j += largo;
                continue;
            }
        }
        if (estrella == std::u32string::npos)
            return false;
        j = estrella + 1;
        i = ++desde;
    }
    while (j < p.size() && p[j] == U'%')
        ++j;
    return j == p.size();
}

QStringView Vista(const void* datos, int bytes, QString& espacio) {
    espacio = QString::fromUtf8(static_cast<const char*>(datos), bytes);
    return espacio;
}

int Colacion(void*, int la, const void* a, int lb, const void* b) {
    QString x, y;
    return CompararSinMayusculas(Vista(a, la, x), Vista(b, lb, y));
}

void FuncionLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    // like(pattern, text[, escape]), as SQLite calls it for "text LIKE pattern".
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return; // NULL
    QChar escape;
    if (argc == 3) {
        const QString e =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[2])),
                              sqlite3_value_bytes(argv[2]));
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e[0];
    }
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int lp = sqlite3_value_bytes(argv[0]);
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const int lt = sqlite3_value_bytes(argv[1]);
    const QString patron = QString::fromUtf8(p, lp);
    const QString texto = QString::fromUtf8(t, lt);
    sqlite3_result_int(ctx, ParecidoSinMayusculas(texto, patron, escape) ? 1 : 0);
}

} // namespace

int CompararSinMayusculas(QStringView a, QStringView b) {
    if (Ascii(a) && Ascii(b))
        return CompararAscii(a, b);
    const QString x = a.toString().toCaseFolded();
    const QString y = b.toString().toCaseFolded();
    return QStringView(x).compare(y, Qt::CaseSensitive) < 0   ? -1
           : QStringView(x).compare(y, Qt::CaseSensitive) > 0 ? 1
                                                              : 0;
}

bool ParecidoSinMayusculas(QStringView texto, QStringView patron, QChar escape) {
    const std::u32string e = escape.isNull() ? std::u32string() : Plegado(QStringView(&escape, 1));
    return Parecido(Plegado(texto), Plegado(patron), e.empty() ? 0 : e[0]);
}

void RegistrarTextoSinMayusculas(sqlite3* db) {
    sqlite3_create_collation(db, "NOCASE", SQLITE_UTF8, nullptr, &Colacion);
    const int banderas = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "like", 2, banderas, nullptr, &FuncionLike, nullptr, nullptr);
    sqlite3_create_function(db, "like", 3, banderas, nullptr, &FuncionLike, nullptr, nullptr);
}

} // namespace portiva
