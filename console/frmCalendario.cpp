#include "frmCalendario.h"

#include "CrearControl.h"
#include "FormatoFecha.h"
#include "Reloj.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace portiva {

QString FechaLarga(const QDate& fecha, const QLocale& locale) {
    return locale.toString(fecha, QStringLiteral("dddd, d 'de' MMMM 'de' yyyy"));
}

namespace {
constexpr QSize Tamano(262, 300);
}

frmCalendario::frmCalendario(DestinosCalendario destinos, const Reloj& reloj,
                             const FormatoFecha& fechas, const AspectoSkin& skin,
                             const ImagenesVentana& imagenes, QWidget* padre)
    : DialogoSkin(QStringLiteral("Calendario"), Tamano, skin, imagenes, padre,
                  Qt::WindowStaysOnTopHint),
      destinos_(std::move(destinos)), reloj_(reloj), fechas_(fechas) {
    setObjectName(QStringLiteral("frmCalendario"));
    setWindowTitle(QStringLiteral("Calendario"));

    Calendar =
        CrearControl<QCalendarWidget>(this, QStringLiteral("Calendar"), QRect(6, 38, 250, 180));
    Calendar->setLocale(fechas_.locale());
    Calendar->setFirstDayOfWeek(fechas_.locale().firstDayOfWeek());
    Calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Calendar->setGridVisible(true);
    lblDate = CrearEtiqueta(this, QStringLiteral("lblDate"), QRect(6, 224, 250, 20), QString(),
                            Qt::AlignCenter);
    cmdHoy = CrearControl<QPushButton>(this, QStringLiteral("cmdHoy"), QRect(40, 256, 84, 28),
                                       QStringLiteral("Hoy"));
    cmdOk = CrearControl<QPushButton>(this, QStringLiteral("cmdOk"), QRect(138, 256, 84, 28),
                                      QStringLiteral("Ok"));
    cmdOk->setDefault(true);
    cmdHoy->setAutoDefault(false);
    PonerControlesSkin({Calendar, this, cmdOk, cmdHoy});

    connect(Calendar, &QCalendarWidget::selectionChanged, this,
            &frmCalendario::Calendar_DateChanged);
    // Enter on the calendar's grid (or a double click on a day) is "Ok" too.
    connect(Calendar, &QCalendarWidget::activated, this, &frmCalendario::cmdOk_Click);
    connect(cmdHoy, &QPushButton::clicked, this, &frmCalendario::cmdHoy_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmCalendario::cmdOk_Click);
    connect(this, &QDialog::rejected, this, [this] { close(); });
    installEventFilter(this);
}

frmCalendario::~frmCalendario() = default;

std::optional<QDate> frmCalendario::FechaDestino() const {
    const int campo = destinos_.CampoCalendario;
    QString texto;
    if (campo >= 1 && campo <= 3 && destinos_.fechas[static_cast<size_t>(campo - 1)])
        texto = destinos_.fechas[static_cast<size_t>(campo - 1)]->text();
    else if (campo == 4 && destinos_.CboDatoBusqueda)
        texto = destinos_.CboDatoBusqueda->currentText();
    else
        return std::nullopt;
    const std::optional<QVariant> leido = fechas_.Leer(texto);
    if (!leido || leido->isNull())
        return std::nullopt;
    const QDate fecha =
        leido->typeId() == QMetaType::QDateTime ? leido->toDateTime().date() : leido->toDate();
    if (!fecha.isValid())
        return std::nullopt;
    return fecha;
}

void frmCalendario::Form_Load() {
    const QDate hoy = reloj_.hoy();
    PonerTitulo(QStringLiteral("  Hoy es ") + fechas_.Texto(hoy));
    const QDate inicial = FechaDestino().value_or(hoy);
    Calendar->setSelectedDate(inicial);
    lblDate->setText(FechaLarga(inicial, fechas_.locale()));
    SetSkin();
    show();
    raise();
    activateWindow();
    Calendar->setFocus(Qt::OtherFocusReason);
}

void frmCalendario::Calendar_DateChanged() {
    lblDate->setText(FechaLarga(Calendar->selectedDate(), fechas_.locale()));
}

void frmCalendario::cmdHoy_Click() {
    Calendar->setSelectedDate(reloj_.hoy());
    Calendar->setCurrentPage(reloj_.hoy().year(), reloj_.hoy().month());
    lblDate->setText(FechaLarga(Calendar->selectedDate(), fechas_.locale()));
}

void frmCalendario::cmdOk_Click() {
    const QString texto = fechas_.Texto(Calendar->selectedDate());
    int& campo = destinos_.CampoCalendario;
    const bool edicion = destinos_.ModoEdicion && destinos_.ModoEdicion();
    if (edicion && campo >= 1 && campo <= 3) {
        if (QLineEdit* caja = destinos_.fechas[static_cast<size_t>(campo - 1)])
            caja->setText(texto);
        campo = 0;
    }
    if (campo == 4) {
        if (destinos_.CboDatoBusqueda)
            destinos_.CboDatoBusqueda->setEditText(texto);
        campo = 0;
        if (destinos_.BuscarAhora)
            destinos_.BuscarAhora();
    }
    close();
}

void frmCalendario::encima(bool siempre) {
    if (siempre == !apartado_)
        return;
    apartado_ = !siempre;
    // Changing the hint takes the window down: it comes back where it stood.
    const QPoint lugar = pos();
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, siempre);
    move(lugar);
    if (visible)
        show();
}

bool frmCalendario::eventFilter(QObject* objeto, QEvent* evento) {
    // A modal box (a search's error, a question) blocks the calendar: the calendar steps back
    // below it while it is up, and stays on top again once it is answered.
    if (objeto == this) {
        if (evento->type() == QEvent::WindowBlocked)
            encima(false);
        else if (evento->type() == QEvent::WindowUnblocked && !QApplication::activeModalWidget())
            encima(true);
    }
    return DialogoSkin::eventFilter(objeto, evento);
}

} // namespace portiva
