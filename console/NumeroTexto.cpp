#include "NumeroTexto.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <string>

namespace portiva {

QString TextoNumero(double valor) {
    if (!std::isfinite(valor) || valor == 0.0)
        return QStringLiteral(" 0");
    QString texto = QString::number(valor, 'g', 15);
    texto.replace(QLatin1Char('e'), QLatin1Char('E'));
    return valor < 0 ? texto : QLatin1Char(' ') + texto;
}

namespace {

bool esBlanco(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

bool esDigito(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Walks the text skipping blanks, one character at a time.
class Lector {
public:
    explicit Lector(QStringView texto) : texto_(texto) {}

    QChar actual() {
        while (pos_ < texto_.size() && esBlanco(texto_[pos_]))
            ++pos_;
        return pos_ < texto_.size() ? texto_[pos_] : QChar();
    }
    void avanzar() { ++pos_; }
    qsizetype posicion() const { return pos_; }
    void volver(qsizetype pos) { pos_ = pos; }

private:
    QStringView texto_;
    qsizetype pos_ = 0;
};

} // namespace

double LeerNumero(QStringView texto) {
    Lector lector(texto);
    std::string limpio;

    if (lector.actual() == QLatin1Char('-') || lector.actual() == QLatin1Char('+')) {
        limpio += static_cast<char>(lector.actual().toLatin1());
        lector.avanzar();
    }
    bool hayDigitos = false;
    while (esDigito(lector.actual())) {
        limpio += static_cast<char>(lector.actual().toLatin1());
        hayDigitos = true;
        lector.avanzar();
    }
    if (lector.actual() == QLatin1Char('.')) {
        limpio += '.';
        lector.avanzar();
        while (esDigito(lector.actual())) {
            limpio += static_cast<char>(lector.actual().toLatin1());
            hayDigitos = true;
            lector.avanzar();
        }
    }
    if (!hayDigitos)
        return 0.0;

    // An exponent counts only when digits follow it: "12e" reads as 12.
    const QChar e = lector.actual().toUpper();
    if (e == QLatin1Char('E') || e == QLatin1Char('D')) {
        const qsizetype antes = lector.posicion();
        std::string exponente = "e";
        lector.avanzar();
        if (lector.actual() == QLatin1Char('-') || lector.actual() == QLatin1Char('+')) {
            exponente += static_cast<char>(lector.actual().toLatin1());
            lector.avanzar();
        }
        bool digitosExponente = false;
        while (esDigito(lector.actual())) {
            exponente += static_cast<char>(lector.actual().toLatin1());
            digitosExponente = true;
            lector.avanzar();
        }
        if (digitosExponente)
            limpio += exponente;
        else
            lector.volver(antes);
    }

    const double valor = std::strtod(limpio.c_str(), nullptr);
    return std::isfinite(valor) ? valor : 0.0;
}

std::optional<double> LeerPrecio(QStringView texto) {
    static const QRegularExpression coma(
        QStringLiteral(R"(^[+-]?((\d{1,3}(\.\d{3})+|\d+)(,\d*)?|,\d+)$)"));
    static const QRegularExpression punto(QStringLiteral(R"(^[+-]?(\d+(\.\d*)?|\.\d+)$)"));
    QString t = texto.trimmed().toString();
    if (coma.match(t).hasMatch()) {
        t.remove(u'.').replace(u',', u'.');
        if (t.endsWith(u'.'))
            t.chop(1);
    } else if (!punto.match(t).hasMatch()) {
        return std::nullopt;
    }
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional(v) : std::nullopt;
}

QString TextoPrecio(double valor) {
    if (!std::isfinite(valor) || valor == 0.0)
        return QStringLiteral(" 0");
    QString texto;
    if (valor == std::trunc(valor) && std::abs(valor) < 1e15) {
        texto = QString::number(valor, 'f', 0);
    } else {
        texto = QString::number(valor, 'f', 2);
        // More than cents: the shortest text that gives the price back.
        if (std::abs(texto.toDouble() - valor) > 1e-9 * std::max(1.0, std::abs(valor))) {
            texto = QString::number(valor, 'g', 15);
            if (texto.contains(u'e'))
                return TextoNumero(valor);
        }
        texto.replace(u'.', u',');
    }
    return valor < 0 ? texto : QLatin1Char(' ') + texto;
}

} // namespace portiva
