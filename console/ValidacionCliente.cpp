#include "ValidacionCliente.h"
#include "CerrarAlSalir.h"

#include "ComboBloqueable.h"
#include "DbClientes.h"
#include "FormatoFecha.h"
#include "MsgBox.h"
#include "NumeroTexto.h"
#include "PanelInfo.h"
#include "ReglaCaducidad.h"

#include <QDateTime>
#include <QLineEdit>

namespace portiva {

namespace {

const QString Titulo = QStringLiteral("Guardando datos de Cliente...");
const QString TituloCalculo = QStringLiteral("Calculando fecha caducidad...");
const QString Salto = QStringLiteral("\r\n");
constexpr long ErrorTipoNoCoincide = 13;

// Leading and trailing spaces removed (other blanks stay).
QString SinEspacios(QString t) {
    while (t.startsWith(u' '))
        t.remove(0, 1);
    while (t.endsWith(u' '))
        t.chop(1);
    return t;
}

// The same, written back into the box.
QString Recortar(QLineEdit* caja) {
    const QString t = SinEspacios(caja->text());
    if (t != caja->text())
        caja->setText(t);
    return t;
}

QDate DiaDe(const QVariant& v) {
    return v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
}

} // namespace

ValidacionCliente::ValidacionCliente(const PanelInfo& cajas, DbClientes& db, MsgBox& msgBox,
                                     const FormatoFecha& fechas, const TextosMostrados& mostrados,
                                     Globo globo)
    : cajas_(cajas), db_(db), msgBox_(msgBox), fechas_(fechas), mostrados_(mostrados),
      globo_(std::move(globo)) {}

void ValidacionCliente::informar(const QString& texto) {
    msgBox_(texto, EstiloMsg::Informacion, Titulo);
}

bool ValidacionCliente::DatosOK() {
    bool resultado = true;
    if (const std::optional<ErrorDB> error = comprobar(resultado)) {
        if (db_.rsServicios().State() == 1)
            // The check's own error is the one shown; closing the list adds nothing to it.
            (void)db_.rsServicios().Close();
        msgBox_(QStringLiteral("Error %1 (%2) comprobando los datos.")
                    .arg(error->numero)
                    .arg(error->descripcion),
                EstiloMsg::Exclamacion, Titulo);
        return false;
    }
    return resultado;
}

std::optional<ErrorDB> ValidacionCliente::comprobar(bool& resultado) {
    const QString personal = cajas_.txtStuffSiNo->text();
    if (personal != u"NO" && personal != u"SI") {
        globo_(QStringLiteral("Debe elegir entre Empleado 'SI' o 'NO'"),
               QStringLiteral("Campo no valido"), cajas_.txtStuffSiNo);
        resultado = false;
        return std::nullopt;
    }
    if (Recortar(cajas_.txtNombre).isEmpty()) {
        globo_(QStringLiteral("Este campo no puede estar vacio, introduzca un nombre."),
               QStringLiteral("Campo vacio"), cajas_.txtNombre);
        resultado = false;
        return std::nullopt;
    }
    const auto fallo = [&](const char* texto) {
        informar(QString::fromUtf8(texto));
        resultado = false;
    };
    if (cajas_.txtFechaInscripcion->text().isEmpty())
        fallo("Debe introducir una fecha de inscripcion valida");

    if (personal != u"SI") {
        if (cajas_.txtFechaInicio->text().isEmpty())
            fallo("Debe introducir una fecha de inicio valida");
        if (cajas_.txtFechaCaducidad->text().isEmpty())
            fallo("Debe introducir una fecha de caducidad valida");
        const std::optional<QVariant> inicio = fechas_.Leer(cajas_.txtFechaInicio->text());
        const std::optional<QVariant> caducidad = fechas_.Leer(cajas_.txtFechaCaducidad->text());
        if (!inicio || !caducidad || inicio->isNull() || caducidad->isNull())
            return ErrorDB{ErrorTipoNoCoincide,
                           QStringLiteral("las fechas de inicio y caducidad deben ser fechas "
                                          "validas, escritas como %1")
                               .arg(fechas_.patron().replace(u'M', u'm').replace(u'y', u'a'))};
        const long long dias = DiaDe(*inicio).daysTo(DiaDe(*caducidad));
        if (dias < 0)
            fallo("La fecha de Inicio no puede ser mayor que la fecha de Caducidad");
        const QString precio = cajas_.txtPrecio->text();
        if (precio.isEmpty()) {
            fallo("Debe introducir un precio por el Servicio Cantratado valido");
        } else if (precio != mostrados_.value(cajas_.txtPrecio) && !LeerPrecio(precio)) {
            // A typed price is stored only when it reads whole, never as a part of it.
            globo_(QStringLiteral("El precio \"%1\" no es un número; escribalo como 29,90 o "
                                  "29.90.")
                       .arg(precio.trimmed()),
                   QStringLiteral("Precio no valido"), cajas_.txtPrecio);
            resultado = false;
        }
        QString servicio = cajas_.cboServContratado->currentText();
        const QString recortado = SinEspacios(servicio);
        if (recortado != servicio) {
            servicio = recortado;
            cajas_.cboServContratado->setEditText(servicio);
        }
        if (servicio.isEmpty())
            fallo("Debe introducir un Servicio Contratado valido");
        if (resultado)
            if (std::optional<ErrorDB> e = buscarServicio(servicio, dias, resultado))
                return e;
    }

    const QString codigo = Recortar(cajas_.txtCodigo);
    if (!codigo.isEmpty()) {
        const ResultadoDe<QVariant> id = db_.rsClientes().Valor(QStringLiteral("ID"));
        if (!id)
            return id.error();
        const ResultadoDe<qint32> otro = db_.CodigoRepetido(codigo, id.valor().toInt());
        if (!otro)
            return otro.error();
        if (otro.valor() > 0) {
            informar(QStringLiteral("El Cliente ID = %1 ya posee este Codigo.").arg(otro.valor()) +
                     Salto +
                     QStringLiteral("Por favor elija otro número o deje el campo en blanco."));
            resultado = false;
        }
    }
    return std::nullopt;
}

std::optional<ErrorDB> ValidacionCliente::buscarServicio(const QString& nombre, long long dias,
                                                         bool& resultado) {
    Recordset& rs = db_.rsServicios();
    if (Resultado r = rs.Open(QStringLiteral("SELECT * FROM ServiciosDB WHERE fldServicio = ?"),
                              db_.cnClientes(), {nombre});
        !r)
        return r.error();
    CerrarAlSalir cerrar(rs);
    if (rs.Bof() && rs.Eof()) {
        // Closing a scratch recordset has nothing left to report: what it read is already taken.
        (void)rs.Close();
        const Respuesta r = msgBox_(
            QStringLiteral("No ha escogido un Servicio Contratado de la lista, desea dar de alta "
                           "este servicio?") +
                Salto + Salto + QStringLiteral("    Nombre del Servicio = ") + nombre + Salto +
                QStringLiteral("    Precio = ") + cajas_.txtPrecio->text() +
                QStringLiteral(" euros") + Salto + QStringLiteral("    Número de días = ") +
                QString::number(dias) + Salto + Salto +
                QStringLiteral("(pulse cancelar si desea corregir estos valores)"),
            EstiloMsg::SiNoCancelarPregunta, Titulo);
        if (r == Respuesta::Si)
            return agregarServicio(nombre, dias);
        if (r == Respuesta::Cancelar)
            resultado = false;
        return std::nullopt;
    }
    const QVariant intervalo = rs.Valor(QStringLiteral("fldIntervalo")).valor_o({});
    const QVariant numero = rs.Valor(QStringLiteral("fldNumero")).valor_o({});
    if (intervalo.isNull() || numero.isNull()) {
        msgBox_(QStringLiteral("No se han encontrado todos los datos necesario para el calculo de "
                               "la fecha de caducidad."),
                EstiloMsg::Informacion, TituloCalculo);
        return std::nullopt;
    }
    bool esNumero = false;
    const double cuenta = numero.toDouble(&esNumero);
    const std::optional<QVariant> inicio = fechas_.Leer(cajas_.txtFechaInicio->text());
    const std::optional<QVariant> esperada =
        esNumero && inicio ? SumarIntervalo(*inicio, intervalo.toString(), cuenta) : std::nullopt;
    if (!esperada)
        return ErrorDB{
            ErrorTipoNoCoincide,
            QStringLiteral("el servicio \"%1\" no da una fecha de caducidad").arg(nombre)};
    const QString texto = fechas_.Texto(*esperada);
    if (texto != cajas_.txtFechaCaducidad->text()) {
        const Respuesta r = msgBox_(
            QStringLiteral("Segun el Servicio Contratado la fecha deberia ser ") + texto +
                QStringLiteral(" y no ") + cajas_.txtFechaCaducidad->text() +
                QStringLiteral(", desea corregir este error?") + Salto +
                QStringLiteral("(pulse cancelar para volver al modo edicion y corregir el error "
                               "manualmente)"),
            EstiloMsg::SiNoCancelarPregunta, Titulo);
        if (r == Respuesta::Si)
            cajas_.txtFechaCaducidad->setText(texto);
        else if (r == Respuesta::Cancelar)
            resultado = false;
    }
    return std::nullopt;
}

std::optional<ErrorDB> ValidacionCliente::agregarServicio(const QString& nombre, long long dias) {
    Recordset& rs = db_.rsServicios();
    if (Resultado r = rs.Open(QStringLiteral("SELECT * FROM ServiciosDB "), db_.cnClientes()); !r)
        return r.error();
    CerrarAlSalir cerrar(rs);
    const std::pair<const char*, QVariant> valores[] = {
        {"fldIntervalo", QStringLiteral("d")},
        {"fldNumero", static_cast<double>(dias)},
        {"fldServicio", nombre},
        {"fldPrecio", LeerPrecio(cajas_.txtPrecio->text()).value_or(0.0)},
    };
    if (Resultado r = rs.AddNew(); !r)
        return r.error();
    for (const auto& [campo, valor] : valores)
        if (Resultado r = rs.PonerValor(QString::fromLatin1(campo), valor); !r) {
            // Dropping an edit that is being abandoned cannot lose anything; its own failure
            // changes nothing.
            (void)rs.CancelUpdate();
            return r.error();
        }
    if (Resultado r = rs.Update(); !r)
        return r.error();
    // The list is filled again in table order; the box keeps the new service's name.
    ComboBloqueable* combo = cajas_.cboServContratado;
    combo->clear();
    for (Resultado m = rs.MoveFirst(); m && !rs.Eof(); m = rs.MoveNext())
        combo->addItem(rs.Valor(QStringLiteral("fldServicio")).valor_o({}).toString(),
                       rs.Valor(QStringLiteral("ID")).valor_o({}));
    const int indice = combo->findText(nombre, Qt::MatchExactly | Qt::MatchCaseSensitive);
    combo->setCurrentIndex(indice);
    combo->setEditText(nombre);
    return std::nullopt;
}

} // namespace portiva
