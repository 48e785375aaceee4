#include "ConsultaBusqueda.h"

#include <QRegularExpression>
#include <cmath>

namespace portiva {

namespace {

const QString Inicio = QStringLiteral("SELECT * FROM ClientesDB WHERE ");
const QString Permitido =
    QStringLiteral("( fldFechaInicio <= DATE() AND fldFechaCaducidad > DATE() )");
const QString NoPermitido =
    QStringLiteral("NOT ") + Permitido + QStringLiteral(" AND fldStuffSiNo = False ORDER BY ID");

QString NumeroTexto(double n) {
    return QString::number(n, 'g', 15);
}

QString FechaJet(const QDate& d) {
    return d.toString(QStringLiteral("MM-dd-yyyy"));
}

QString FechaBarra(const QDate& d) {
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

bool FechaRepresentable(const QDate& d) {
    return d.isValid() && d.year() >= 100 && d.year() <= 9999;
}

} // namespace

QStringList TiposBusqueda() {
    return {QStringLiteral("Cliente ID"),
            QStringLiteral("Codigo"),
            QStringLiteral("Empleado (Si/No)"),
            QStringLiteral("Clientes Permitidos (Si/No)"),
            QStringLiteral("Servicio Contratado"),
            QStringLiteral("Nombre"),
            QStringLiteral("Foto (Si/No)"),
            QStringLiteral("Huella (Si/No)"),
            QStringLiteral("AbrirPuerta (Si/No)"),
            QStringLiteral("Fecha de Inscripcion igual a..."),
            QStringLiteral("Fecha de Inicio igual a..."),
            QStringLiteral("Fecha de Caducidad igual a..."),
            QStringLiteral("Clientes que caducarán dentro de..."),
            QStringLiteral("Clientes que caducaron hace... "),
            QStringLiteral("Clientes que caducaron hoy")};
}

std::optional<PreparacionBusqueda> PrepararBusqueda(int tipo) {
    using Caja = PreparacionBusqueda::Caja;
    PreparacionBusqueda p;
    const QStringList siNo{QStringLiteral("Si"), QStringLiteral("No")};
    const QString elija = QStringLiteral("Elija una opcion");
    const QString fecha = QStringLiteral("Introduzca una fecha (dd/mm/aaaa)");
    const QString dias = QStringLiteral("Introduzca el número de días");
    switch (tipo) {
    case 0:
        p.texto = QStringLiteral("Introduzca un valor");
        break;
    case 1:
        p.texto = QStringLiteral("Introduzca un valor (use '*'  '?')");
        break;
    case 3:
        p.caja = Caja::Opciones;
        p.opciones = {QStringLiteral("Clientes Permitidos"),
                      QStringLiteral("Clientes No permitidos")};
        p.texto = elija;
        break;
    case 2:
    case 6:
    case 7:
    case 8:
        p.caja = Caja::Opciones;
        p.opciones = siNo;
        p.texto = elija;
        break;
    case 4:
        p.caja = Caja::Servicios;
        break;
    case 5:
        p.texto = QStringLiteral("Introduzca un nombre (use '*'  '?')");
        break;
    case 9:
    case 10:
        p.texto = fecha;
        p.calendario = true;
        break;
    case 11:
        p.texto = QStringLiteral("Introduzca un fecha (dd/mm/aaaa)");
        p.calendario = true;
        break;
    case 12:
    case 13:
        p.texto = dias;
        break;
    case 14:
        p.caja = Caja::Hoy;
        break;
    default:
        return std::nullopt;
    }
    return p;
}

QString PatronOperador(const QString& texto) {
    QString patron;
    patron.reserve(texto.size());
    for (const QChar c : texto) {
        if (c == u'*')
            patron += u'%';
        else if (c == u'?')
            patron += u'_';
        else if (c == u'%' || c == u'_' || c == u'\\')
            patron += QLatin1Char('\\') + c;
        else
            patron += c;
    }
    return patron;
}

double NumeroInicial(const QString& texto) {
    static const QRegularExpression numero(
        QStringLiteral(R"(^\s*([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?))"));
    const auto m = numero.match(texto);
    if (!m.hasMatch())
        return 0;
    bool ok = false;
    const double v = m.captured(1).toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
}

ConsultaBuscada ConstruirBusqueda(int tipo, int opcion, const QString& dato, const QDate& hoy,
                                  const FechasCortas& fechas) {
    ConsultaBuscada c;
    auto poner = [&](const QString& resto, const QString& titulo) {
        c.sql = Inicio + resto;
        c.titulo = titulo;
    };
    auto lista = [&](const QString& si, const QString& no, const QString& tituloSi,
                     const QString& tituloNo) {
        if (opcion == 0)
            poner(si, tituloSi);
        else if (opcion == 1)
            poner(no, tituloNo);
        else
            c.titulo = QString();
    };
    const QString hoyTexto = fechas.escribir(hoy);

    switch (tipo) {
    case 0: {
        const QString n = NumeroTexto(NumeroInicial(dato));
        poner(QStringLiteral("ID = ") + n + QStringLiteral(" ORDER BY ID"),
              QStringLiteral("Datos Cliente ID ") + n);
        break;
    }
    case 1:
        poner(QStringLiteral("fldCodigo LIKE ? ESCAPE '\\' ORDER BY fldCodigo"),
              QStringLiteral("Con Codigo similar a ") + dato);
        c.parametros = {PatronOperador(dato)};
        break;
    case 2:
        lista(QStringLiteral("fldStuffSiNo = True ORDER BY ID"),
              QStringLiteral("fldStuffSiNo = False ORDER BY ID"),
              QStringLiteral("Listado Empleados"), QStringLiteral("Listado Clientes"));
        break;
    case 3:
        lista(Permitido + QStringLiteral(" AND fldStuffSiNo = False ORDER BY ID"), NoPermitido,
              QStringLiteral("Clientes Permitidos"), QStringLiteral("Clientes No Permitidos"));
        break;
    case 4:
        if (opcion >= 0) {
            poner(QStringLiteral("(fldStuffSiNo = False AND fldServContratado = ?) ORDER BY ID"),
                  QStringLiteral("Contrataron ") + dato);
            c.parametros = {dato};
        } else {
            poner(
                QStringLiteral(
                    "(fldStuffSiNo = False AND fldServContratado LIKE ? ESCAPE '\\') ORDER BY ID"),
                QStringLiteral("Serv. contratado similar a ") + dato.trimmed());
            c.parametros = {PatronOperador(dato.trimmed())};
        }
        break;
    case 5:
        poner(QStringLiteral("fldNombre LIKE ? ESCAPE '\\' ORDER BY ID"),
              QStringLiteral("Listado nombres parecidos a ") + dato.trimmed());
        c.parametros = {PatronOperador(dato.trimmed())};
        break;
    case 6:
        lista(QStringLiteral("fldFotoPath <> '' ORDER BY ID"),
              QStringLiteral("fldFotoPath = '' ORDER BY ID"), QStringLiteral("Listado con foto"),
              QStringLiteral("Listado sin foto"));
        break;
    case 7:
        lista(QStringLiteral("NOT ISNULL(fldTemplate) ORDER BY ID"),
              QStringLiteral("ISNULL(fldTemplate) ORDER BY ID"),
              QStringLiteral("Listado con huella"), QStringLiteral("Listado sin huella"));
        break;
    case 8:
        lista(Permitido +
                  QStringLiteral(" OR fldStuffSiNo = True ORDER BY fldStuffSiNo DESC, ID ASC"),
              NoPermitido, QStringLiteral("Listado Permitidos"),
              QStringLiteral("Listado No Permitidos"));
        break;
    case 9:
    case 10:
    case 11: {
        const std::optional<QDate> d = fechas.leer(dato);
        if (!d || !FechaRepresentable(*d))
            break;
        const QString corta = fechas.escribir(*d);
        c.textoCaja = corta;
        static const char* const campos[] = {"fldFechaInscripcion", "fldFechaInicio",
                                             "fldFechaCaducidad"};
        static const char* const titulos[] = {"Listado fecha inscripcion ", "Listado fecha inicio ",
                                              "Listado fecha caducidad "};
        const auto i = static_cast<size_t>(tipo - 9);
        poner(QString::fromLatin1(campos[i]) + QStringLiteral(" = #") + FechaJet(*d) +
                  QStringLiteral("# ORDER BY ID"),
              QString::fromLatin1(titulos[i]) + corta);
        break;
    }
    case 12:
    case 13: {
        const double n = NumeroInicial(dato);
        const bool futuro = tipo == 12;
        // A count far outside the calendar must not overflow the day arithmetic.
        const double limite = 4.0e6;
        const qint64 dias = std::abs(n) < limite ? static_cast<qint64>(std::trunc(n)) : 0;
        const QDate d = hoy.addDays(futuro ? dias : -dias);
        if (!futuro)
            c.textoCaja = NumeroTexto(n) + QStringLiteral(" dias atras.");
        if (std::abs(n) >= limite || !FechaRepresentable(d))
            break;
        if (futuro) {
            c.textoCaja = NumeroTexto(n) + QStringLiteral(" dias");
            poner(QStringLiteral("fldStuffSiNo = False AND fldFechaInicio < DATE() AND DATE() < "
                                 "fldFechaCaducidad AND fldFechaCaducidad <= #") +
                      FechaJet(d) + QStringLiteral("# ORDER BY ID"),
                  QStringLiteral("Caducaran del ") + hoyTexto + QStringLiteral(" al ") +
                      FechaBarra(d));
        } else {
            poner(QStringLiteral("fldStuffSiNo = False AND #") + FechaJet(d) +
                      QStringLiteral("# <= fldFechaCaducidad AND fldFechaCaducidad < DATE() "
                                     "ORDER BY ID"),
                  QStringLiteral("Caducaron del ") + FechaBarra(d) + QStringLiteral(" al ") +
                      hoyTexto);
        }
        break;
    }
    case 14:
        c.textoCaja = hoyTexto;
        poner(QStringLiteral("fldStuffSiNo = False AND fldFechaCaducidad = DATE() ORDER BY ID"),
              QStringLiteral("Clientes que caducaron hoy ") + hoyTexto);
        break;
    default:
        c.titulo = QString();
        break;
    }
    return c;
}

} // namespace portiva
