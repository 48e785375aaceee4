#pragma once

#include "DialogoSkin.h"

#include <QDate>

#include <array>
#include <functional>

class QCalendarWidget;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace portiva {

class FormatoFecha;
class Reloj;

// The boxes the calendar fills, by target code: 1 enrolment, 2 start, 3 expiry date (only
// while a record is edited), 4 the search value box (then the search runs).
struct DestinosCalendario {
    std::array<QLineEdit*, 3> fechas{};
    QComboBox* CboDatoBusqueda = nullptr;
    // The target named by the last calendar button clicked; 0 none. Reset after writing.
    int& CampoCalendario;
    std::function<bool()> ModoEdicion;
    // The search with the date just written into the value box.
    std::function<void()> BuscarAhora;
};

// The long date label's form: "lunes, 7 de diciembre de 2026" in the locale's language.
QString FechaLarga(const QDate& fecha, const QLocale& locale);

// The calendar dialog: pick a date with the mouse for the box whose calendar button opened it.
// It stays above the station's other windows, but steps back while a message box is up so
// that the box stays visible and answerable. "Ok" (or Enter) writes the date and closes;
// Escape and the close picture write nothing.
class frmCalendario final : public DialogoSkin {
    Q_OBJECT
public:
    frmCalendario(DestinosCalendario destinos, const Reloj& reloj, const FormatoFecha& fechas,
                  const AspectoSkin& skin, const ImagenesVentana& imagenes, QWidget* padre);
    ~frmCalendario() override;

    // Opens on the date in the target box when it holds one, else on today, and shows itself.
    void Form_Load();
    void cmdHoy_Click();
    void cmdOk_Click();
    void Calendar_DateChanged();
    // The target box's date, when it holds a valid one.
    std::optional<QDate> FechaDestino() const;

    QCalendarWidget* Calendar = nullptr;
    QLabel* lblDate = nullptr;
    QPushButton* cmdHoy = nullptr;
    QPushButton* cmdOk = nullptr;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void encima(bool siempre);

    DestinosCalendario destinos_;
    const Reloj& reloj_;
    const FormatoFecha& fechas_;
    bool apartado_ = false;
};

} // namespace portiva
