// The member row and the record boxes: showing the current row of the member list
// (RecordSetToText), copying the boxes back into it (TextToRecordSet), the record counter, the
// fingerprint indicator, the jump to a position, the service list, the member counts and the
// membership status line of the row shown.

#include "frmClientes.h"

#include "ComboBloqueable.h"
#include "DbClientes.h"
#include "Entorno.h"
#include "NumeroTexto.h"
#include "RecordsetVacio.h"
#include "ReglaAcceso.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace portiva {

namespace {

// Number and text of the error a picture file that cannot be read gives.
constexpr long ErrorImagenNoValida = 481;
// Number of the error a box whose text cannot become its field's value gives.
constexpr long ErrorTipoNoCoincide = 13;

// The date pattern in the words of a Spanish operator: "dd/mm/aaaa".
QString PatronParaOperador(QString patron) {
    patron.replace(u'M', u'm');
    patron.replace(u'y', u'a');
    return patron;
}

} // namespace

void frmClientes::RecordSetToText() {
    Recordset& rs = db_->rsClientes();
    if (RecordsetVacio(rs))
        return;

    // Every box is filled from the row even when one field cannot be shown, so that the boxes
    // never mix two members; the first problem is reported once all are filled.
    std::optional<ErrorDB> primerError;
    const auto valor = [&](const char* campo) -> QVariant {
        ResultadoDe<QVariant> v = rs.Valor(QString::fromLatin1(campo));
        if (!v) {
            if (!primerError)
                primerError = v.error();
            return {};
        }
        return v.valor();
    };

    info_.txtID->setText(QString::number(valor("ID").toLongLong()));
    info_.txtCodigo->setText(valor("fldCodigo").toString());
    info_.txtNombre->setText(valor("fldNombre").toString());
    info_.txtNomFiscal->setText(valor("fldNomFiscal").toString());

    // A stored value the form cannot read is shown as it stands, with a warning, and is kept
    // by a save as long as its box is left as shown.
    QStringList ilegibles;
    QWidget* primeraIlegible = nullptr;
    const auto ilegible = [&](QWidget* caja, const QVariant& v, const QString& nota = {}) {
        ilegibles << QStringLiteral("\"%1\"").arg(v.toString()) + nota;
        if (!primeraIlegible)
            primeraIlegible = caja;
    };
    const QVariant precio = valor("fldPrecio");
    if (precio.isNull()) {
        info_.txtPrecio->setText(TextoPrecio(0.0));
    } else if (bool esNumero = false; precio.toDouble(&esNumero), esNumero) {
        info_.txtPrecio->setText(TextoPrecio(precio.toDouble()));
    } else {
        info_.txtPrecio->setText(precio.toString());
        ilegible(info_.txtPrecio, precio);
    }
    const auto mostrarFecha = [&](QLineEdit* caja, const char* campo) {
        const QVariant v = valor(campo);
        const QString texto = fechas_.Texto(v);
        if (texto.isEmpty() && !v.isNull()) {
            caja->setText(v.toString());
            ilegible(caja, v);
        } else {
            caja->setText(texto);
        }
    };
    mostrarFecha(info_.txtFechaInscripcion, "fldFechaInscripcion");
    mostrarFecha(info_.txtFechaInicio, "fldFechaInicio");
    mostrarFecha(info_.txtFechaCaducidad, "fldFechaCaducidad");
    const QVariant servicio = valor("fldServContratado");
    MostrarServicio(servicio.toString(), servicio.isNull());

    QString motivo;
    if (!MostrarFotoCliente(valor("fldFotoPath").toString(), &motivo) && !primerError)
        primerError = ErrorDB{ErrorImagenNoValida, motivo};

    const QVariant plantilla = valor("fldTemplate");
    MostrarTemplateSiNo(!plantilla.isNull());
    const QByteArray bytes = plantilla.toByteArray();
    huella_->CargarTemplateCliente(QByteArrayView(bytes));

    const QVariant personal = valor("fldStuffSiNo");
    info_.txtStuffSiNo->setText(TextoEmpleado(EsPersonal(personal)));
    // Shown as the door takes it: only a true yes/no or a non-zero number is staff.
    if (!PersonalLegible(personal))
        ilegible(info_.txtStuffSiNo, personal,
                 QStringLiteral(" en Empleado (la puerta no lo toma por personal: NO)"));

    mostrados_.clear();
    for (const QLineEdit* caja : {info_.txtPrecio, info_.txtFechaInscripcion, info_.txtFechaInicio,
                                  info_.txtFechaCaducidad, info_.txtStuffSiNo})
        mostrados_.insert(caja, caja->text());
    if (primeraIlegible)
        MostrarBalloon(QStringLiteral("No se puede leer lo guardado en la ficha: %1. Se conserva "
                                      "tal cual mientras no lo cambie.")
                           .arg(ilegibles.join(QStringLiteral(", "))),
                       2, QStringLiteral("Valor no valido"), primeraIlegible);

    if (primerError)
        entorno_.msgBox(primerError->texto() +
                            QStringLiteral(" cargando los valores de la Base de Datos en las cajas "
                                           "de texto."),
                        EstiloMsg::Exclamacion,
                        QStringLiteral("Mostrando los datos del Cliente actual..."));
}

bool frmClientes::TextToRecordSet() {
    // The boxes are read first: a date that cannot be read stops the copy before any field
    // is written, so the row is never left half copied.
    struct CajaFecha {
        QLineEdit* caja;
        const char* campo;
        const char* rotulo;
    };
    const CajaFecha fechas[] = {
        {info_.txtFechaInicio, "fldFechaInicio", "Fcha. Inicio"},
        {info_.txtFechaInscripcion, "fldFechaInscripcion", "Fecha Inscrip."},
        {info_.txtFechaCaducidad, "fldFechaCaducidad", "Fcha. Caduc."},
    };
    const auto comoSeMostro = [&](const QLineEdit* caja) {
        return mostrados_.contains(caja) && mostrados_.value(caja) == caja->text();
    };
    QVariant valoresFecha[3];
    for (int i = 0; i < 3; ++i) {
        if (comoSeMostro(fechas[i].caja))
            continue;
        const std::optional<QVariant> leida = fechas_.Leer(fechas[i].caja->text());
        if (!leida) {
            const ErrorDB error{ErrorTipoNoCoincide,
                                QStringLiteral("la casilla %1 no tiene una fecha valida: \"%2\"; "
                                               "escriba la fecha como %3")
                                    .arg(QString::fromLatin1(fechas[i].rotulo),
                                         fechas[i].caja->text().trimmed(),
                                         PatronParaOperador(fechas_.patron()))};
            entorno_.msgBox(error.texto() +
                                QStringLiteral(" guardando los datos en la base de datos."),
                            EstiloMsg::Exclamacion, QStringLiteral("Guardando los datos..."));
            fechas[i].caja->setFocus(Qt::OtherFocusReason);
            return false;
        }
        valoresFecha[i] = *leida;
    }

    std::vector<std::pair<QString, QVariant>> campos = {
        {QStringLiteral("fldCodigo"), info_.txtCodigo->text()},
        {QStringLiteral("fldNombre"), info_.txtNombre->text()},
        {QStringLiteral("fldNomFiscal"), info_.txtNomFiscal->text()},
        {QStringLiteral("fldServContratado"), info_.cboServContratado->currentText()},
        {QStringLiteral("fldFotoPath"), info_.txtFotoPath->text()},
    };
    // A box left as shown keeps its stored value (a Null price stays Null, a value the form
    // could not read stays as it was).
    const char* camposFecha[3] = {"fldFechaInicio", "fldFechaInscripcion", "fldFechaCaducidad"};
    for (int i = 0; i < 3; ++i)
        if (!comoSeMostro(fechas[i].caja))
            campos.emplace_back(QString::fromLatin1(camposFecha[i]), valoresFecha[i]);
    if (!comoSeMostro(info_.txtStuffSiNo))
        campos.emplace_back(QStringLiteral("fldStuffSiNo"),
                            LeerEmpleado(info_.txtStuffSiNo->text()));
    if (!comoSeMostro(info_.txtPrecio)) {
        const std::optional<double> precio = LeerPrecio(info_.txtPrecio->text());
        campos.emplace_back(QStringLiteral("fldPrecio"),
                            precio ? QVariant(*precio)
                                   : QVariant(LeerNumero(info_.txtPrecio->text())));
    }
    // A member without an enrolled finger keeps the row's template: the form never removes one.
    const QByteArray plantilla = huella_->TemplateClienteGuardable();
    if (!plantilla.isEmpty())
        campos.emplace_back(QStringLiteral("fldTemplate"), plantilla);

    Recordset& rs = db_->rsClientes();
    for (const auto& [campo, v] : campos) {
        if (const Resultado r = rs.PonerValor(campo, v); !r) {
            // Dropping an edit that is being abandoned cannot lose anything; its own failure
            // changes nothing.
            (void)rs.CancelUpdate();
            entorno_.msgBox(r.error().texto() +
                                QStringLiteral(" guardando los datos en la base de datos."),
                            EstiloMsg::Exclamacion, QStringLiteral("Guardando los datos..."));
            return false;
        }
    }
    return true;
}

void frmClientes::ActNavegador() {
    const Recordset& rs = db_->rsClientes();
    MostrarNavegador(rs.AbsolutePosition(), rs.RecordCount());
}

void frmClientes::ActTemplateSiNo() {
    const ResultadoDe<QVariant> plantilla = db_->rsClientes().Valor(QStringLiteral("fldTemplate"));
    MostrarTemplateSiNo(plantilla.ok() && !plantilla.valor().isNull());
}

void frmClientes::gotoRecordNum(qint16 RegNumber) {
    Recordset& rs = db_->rsClientes();
    if (RegNumber < 1 || RegNumber > rs.RecordCount()) {
        ActNavegador();
        return;
    }
    if (const Resultado r = rs.Move(RegNumber - 1); !r) {
        MostrarErrorRegistro(r.error(),
                             QStringLiteral("cargando los valores de la Base de Datos en las "
                                            "cajas de texto."),
                             QStringLiteral("Mostrando los datos del Cliente actual..."));
        ActNavegador();
        return;
    }
    RecordSetToText();
    InfoCaducidadDB();
    ActNavegador();
}

void frmClientes::InfoCaducidadDB() {
    Recordset& rs = db_->rsClientes();
    const bool vacio = RecordsetVacio(rs);
    FilaCaducidad fila;
    if (!vacio) {
        // A field that cannot be read counts as empty.
        const auto valor = [&](const char* campo) {
            return rs.Valor(QString::fromLatin1(campo)).valor_o(QVariant());
        };
        const auto fecha = [&](const char* campo) -> std::optional<QDate> {
            const QDate dia = DiaDeCampo(valor(campo));
            return dia.isValid() ? std::optional<QDate>(dia) : std::nullopt;
        };
        fila.fldStuffSiNo = EsPersonal(valor("fldStuffSiNo"));
        fila.fldFechaInicio = fecha("fldFechaInicio");
        fila.fldFechaCaducidad = fecha("fldFechaCaducidad");
    }
    InfoCaducidadDB(fila, vacio);
}

void frmClientes::LimpiarServicios() {
    info_.cboServContratado->clear();
}

void frmClientes::AgregarServicio(const QString& nombre, qint32 id) {
    info_.cboServContratado->addItem(nombre, id);
}

void frmClientes::MostrarContador(Contador contador, const QString& texto) {
    QLabel* etiqueta = nullptr;
    switch (contador) {
    case Contador::Personal:
        etiqueta = info_.lblResult_Personal;
        break;
    case Contador::ClientesPermitidos:
        etiqueta = info_.lblResult_ClientesPermitidos;
        break;
    case Contador::ClientesNoPermitidos:
        etiqueta = info_.lblResult_ClientesNoPermitidos;
        break;
    case Contador::TotalRegistros:
        etiqueta = info_.lblResult_TotalRegistros;
        break;
    }
    if (etiqueta)
        etiqueta->setText(texto);
}

int frmClientes::chkInformacionAmpliada() const {
    return columna_.chkInformacionAmpliada->isChecked() ? 1 : 0;
}

void frmClientes::setChkInformacionAmpliada(int valor) {
    columna_.chkInformacionAmpliada->setChecked(valor != 0);
}

void frmClientes::lblEstadistica_Click() {
    db_->ActContadores();
}

void frmClientes::MostrarErrorRegistro(const ErrorDB& error, const QString& accion,
                                       const QString& titulo) {
    entorno_.msgBox(error.texto() + u' ' + accion, EstiloMsg::Exclamacion, titulo);
}

} // namespace portiva
