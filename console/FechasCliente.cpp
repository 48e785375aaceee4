#include "FechasCliente.h"

#include "ComboBloqueable.h"
#include "DbClientes.h"
#include "Entorno.h"
#include "FormatoFecha.h"
#include "PanelInfo.h"
#include "ReglaCaducidad.h"
#include "Reloj.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace portiva {

namespace {

const QString TituloCalculo = QStringLiteral("Calculando fecha caducidad...");

} // namespace

FechasCliente::FechasCliente(const PanelInfo& cajas, DbClientes& db, Entorno& entorno,
                             const FormatoFecha& fechas, std::function<bool()> modoEdicion,
                             Globo globo)
    : cajas_(cajas), db_(db), entorno_(entorno), fechas_(fechas),
      modoEdicion_(std::move(modoEdicion)), globo_(std::move(globo)) {
    for (QLineEdit* caja :
         {cajas_.txtFechaInscripcion, cajas_.txtFechaInicio, cajas_.txtFechaCaducidad})
        caja->installEventFilter(this);
    // The operator's choice only: filling the form selects entries too.
    QObject::connect(cajas_.cboServContratado, &QComboBox::activated, this,
                     [this] { cboServContratado_Click(); });
}

void FechasCliente::cboServContratado_Click() {
    if (!modoEdicion_())
        return;
    const QVariant id = cajas_.cboServContratado->currentData();
    if (cajas_.cboServContratado->currentIndex() < 0 || !id.isValid())
        return;
    const ResultadoDe<qint16> precio = db_.PrecioServicio(id.toInt());
    if (!precio) {
        entorno_.msgBox(precio.error().texto() + QStringLiteral(" leyendo el precio del servicio."),
                        EstiloMsg::Exclamacion, TituloCalculo);
        return;
    }
    const qint16 p = precio.valor();
    cajas_.txtPrecio->setText(p >= 0 ? QStringLiteral(" %1").arg(p) : QString::number(p));
    CalcularCaducidad();
}

void FechasCliente::CalcularCaducidad() {
    if (!modoEdicion_() || cajas_.cboServContratado->currentIndex() < 0)
        return;
    const QVariant id = cajas_.cboServContratado->currentData();
    Recordset& rs = db_.rsServicios();
    if (rs.State() == 1)
        // Closing a scratch recordset has nothing left to report: what it read is already taken.
        (void)rs.Close();
    if (Resultado r = rs.Open(QStringLiteral("SELECT * FROM ServiciosDB WHERE ID = ?"),
                              db_.cnClientes(), {id.toInt()});
        !r) {
        entorno_.msgBox(r.error().texto() + QStringLiteral(" calculando la fecha de caducidad."),
                        EstiloMsg::Exclamacion, TituloCalculo);
        return;
    }
    struct Cerrar {
        Recordset& rs;
        // Closing a scratch recordset has nothing left to report.
        ~Cerrar() { (void)rs.Close(); }
    } cerrar{rs};
    if (rs.Eof()) {
        entorno_.msgBox(
            QStringLiteral("No se han encontrado tipos de Servicio para calcular las fechas."),
            EstiloMsg::Informacion, TituloCalculo);
        return;
    }
    const QVariant intervalo = rs.Valor(QStringLiteral("fldIntervalo")).valor_o({});
    const QVariant numero = rs.Valor(QStringLiteral("fldNumero")).valor_o({});
    if (intervalo.isNull() || numero.isNull() || cajas_.txtFechaInicio->text().isEmpty()) {
        entorno_.msgBox(QStringLiteral("No se han encontrado todos los datos necesario para el "
                                       "calculo de la fecha de caducidad."),
                        EstiloMsg::Informacion, TituloCalculo);
        return;
    }
    // A start that is no date, a count that is no number or a code the rule does not know
    // leave the boxes as they are.
    bool esNumero = false;
    const double cuenta = numero.toDouble(&esNumero);
    const std::optional<QVariant> inicio = fechas_.Leer(cajas_.txtFechaInicio->text());
    if (!esNumero || !inicio || inicio->isNull())
        return;
    const std::optional<QVariant> fin = SumarIntervalo(*inicio, intervalo.toString(), cuenta);
    if (!fin)
        return;
    const QString texto = fechas_.Texto(*fin);
    if (texto == cajas_.txtFechaCaducidad->text())
        return;
    cajas_.txtFechaCaducidad->setText(texto);
    globo_(QStringLiteral("Se ha calculado automaticamente la fecha en funcion de la fecha de "
                          "inicio y el servicio contratado."),
           QStringLiteral("Fecha de Caducidad"), cajas_.txtFechaCaducidad);
}

bool FechasCliente::ValidarFecha(QLineEdit* caja) {
    if (!modoEdicion_())
        return true;
    const std::optional<QVariant> leida = fechas_.Leer(caja->text());
    if (leida && !leida->isNull())
        return true;
    const char* campo = "fldFechaInscripcion";
    QString titulo = QStringLiteral("Fecha de Inscripcion");
    if (caja == cajas_.txtFechaInicio) {
        campo = "fldFechaInicio";
        titulo = QStringLiteral("Fecha de Inicio");
    } else if (caja == cajas_.txtFechaCaducidad) {
        campo = "fldFechaCaducidad";
        titulo = QStringLiteral("Fecha de Caducidad");
    }
    const QVariant guardada = db_.rsClientes().Valor(QString::fromLatin1(campo)).valor_o({});
    const QString previa = fechas_.Texto(guardada);
    caja->setText(previa.isEmpty() ? fechas_.Texto(QVariant(entorno_.reloj.hoy())) : previa);
    globo_(QStringLiteral("Fecha no valida, se ha vuelto a la fecha anterior."), titulo, caja);
    return false;
}

void FechasCliente::retenerFoco(QLineEdit* caja) {
    // The focus comes back once the focus change that is under way is over; only one box is
    // held at a time, so two refused boxes never pass the focus back and forth.
    if (reteniendo_)
        return;
    reteniendo_ = caja;
    QPointer<QLineEdit> destino(caja);
    QTimer::singleShot(0, this, [this, destino] {
        reteniendo_ = nullptr;
        if (destino && destino->isVisible())
            destino->setFocus(Qt::OtherFocusReason);
    });
}

bool FechasCliente::eventFilter(QObject* objeto, QEvent* evento) {
    auto* caja = qobject_cast<QLineEdit*>(objeto);
    if (!caja)
        return false;
    if (evento->type() == QEvent::FocusOut) {
        // Only the operator moving on leaves the box: a balloon, box or other window taking
        // the focus does not.
        const Qt::FocusReason razon = static_cast<QFocusEvent*>(evento)->reason();
        if (razon == Qt::ActiveWindowFocusReason || razon == Qt::PopupFocusReason)
            return false;
        if (reteniendo_ && reteniendo_ != caja)
            return false;
        if (!ValidarFecha(caja)) {
            retenerFoco(caja);
            return false;
        }
        if (caja == cajas_.txtFechaInicio)
            CalcularCaducidad();
    } else if (evento->type() == QEvent::FocusIn && caja == cajas_.txtFechaCaducidad &&
               !reteniendo_) {
        CalcularCaducidad();
    }
    return false;
}

} // namespace portiva
