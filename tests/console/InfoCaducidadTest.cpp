#include "InfoCaducidad.h"
#include "VentanaPrueba.h"

#include <QLabel>

using namespace portiva;

namespace {

const QDate Hoy(2026, 12, 8);

FilaCaducidad socio(int inicioDias, int caducidadDias) {
    FilaCaducidad f;
    f.fldFechaInicio = Hoy.addDays(inicioDias);
    f.fldFechaCaducidad = Hoy.addDays(caducidadDias);
    return f;
}

InfoCaducidad calcular(const FilaCaducidad& f, bool nuevo = false, bool vacio = false) {
    return CalcularInfoCaducidad(f, Hoy, nuevo, vacio);
}

} // namespace

TEST(InfoCaducidad, FirstDayOfAMembership) {
    const auto i = calcular(socio(0, 30));
    EXPECT_EQ(i.texto, QStringLiteral("Le faltan 30 dia(s) para terminar, es su primer dia."));
    EXPECT_EQ(i.color, ColorInfo::Normal);
    EXPECT_EQ(i.imagen, 2);
}

TEST(InfoCaducidad, RunningMembershipCountsBothWays) {
    const auto i = calcular(socio(-10, 5));
    EXPECT_EQ(i.texto, QStringLiteral("Le faltan 5 dia(s) para terminar, lleva 10 dias(s)."));
    EXPECT_EQ(i.color, ColorInfo::Normal);
    EXPECT_EQ(i.imagen, 2);
}

TEST(InfoCaducidad, NotStartedWinsWhateverTheExpiry) {
    for (int caducidad : {30, 0, -7}) {
        const auto i = calcular(socio(3, caducidad));
        EXPECT_EQ(i.texto, QStringLiteral("A este cliente le faltan 3 dia(s) para su inicio."));
        EXPECT_EQ(i.color, ColorInfo::Rojo);
        EXPECT_EQ(i.imagen, 3);
    }
}

TEST(InfoCaducidad, ExpiryDayItselfDoesNotPass) {
    const auto i = calcular(socio(0, 0));
    EXPECT_EQ(i.texto, QStringLiteral("A este cliente le caduca hoy su fecha."));
    EXPECT_EQ(i.color, ColorInfo::Rojo);
    EXPECT_EQ(i.imagen, 3);
    EXPECT_EQ(calcular(socio(-40, 0)).texto, i.texto);
}

TEST(InfoCaducidad, ExpiredSaysHowLongAgo) {
    const auto i = calcular(socio(-60, -7));
    EXPECT_EQ(i.texto, QStringLiteral("Tiene la fecha cadudada desde hace 7 dia(s)."));
    EXPECT_EQ(i.color, ColorInfo::Rojo);
    EXPECT_EQ(i.imagen, 3);
}

TEST(InfoCaducidad, StaffNeverExpiresEvenWithoutDates) {
    FilaCaducidad f;
    f.fldStuffSiNo = true;
    const auto i = calcular(f);
    EXPECT_EQ(i.texto, QStringLiteral("La fecha de los miembros de la plantilla no caduca. "));
    EXPECT_EQ(i.color, ColorInfo::Normal);
    EXPECT_EQ(i.imagen, 1);
    f = socio(-400, -300);
    f.fldStuffSiNo = true;
    EXPECT_EQ(calcular(f).imagen, 1);
}

TEST(InfoCaducidad, MissingOrUnreadableDate) {
    FilaCaducidad sinInicio = socio(0, 10);
    sinInicio.fldFechaInicio.reset();
    FilaCaducidad sinCaducidad = socio(0, 10);
    sinCaducidad.fldFechaCaducidad.reset();
    FilaCaducidad ilegible = socio(0, 10);
    ilegible.fldFechaCaducidad = QDate(); // a stored text that was no date
    for (const auto& f : {sinInicio, sinCaducidad, ilegible}) {
        const auto i = calcular(f);
        EXPECT_EQ(i.texto, QStringLiteral("Campo de fecha de vacio..."));
        EXPECT_EQ(i.color, ColorInfo::Rojo);
        EXPECT_EQ(i.imagen, 4);
    }
}

TEST(InfoCaducidad, NewRecordAndEmptyListComeFirst) {
    FilaCaducidad personal;
    personal.fldStuffSiNo = true;
    const auto nuevo = calcular(personal, true, true);
    EXPECT_EQ(nuevo.texto, QStringLiteral("Añadiendo un nuevo registro a la base de datos."));
    EXPECT_EQ(nuevo.color, ColorInfo::Azul);
    EXPECT_EQ(nuevo.imagen, 4);

    const auto vacio = calcular(personal, false, true);
    EXPECT_EQ(vacio.texto, QStringLiteral("La base de datos de clientes esta vacia..."));
    EXPECT_EQ(vacio.color, ColorInfo::Rojo);
    EXPECT_EQ(vacio.imagen, 4);
}

TEST(InfoCaducidad, CountsCalendarDaysAcrossYearsAndLeapDays) {
    const QDate hoy(2028, 3, 1); // 2028 is a leap year
    FilaCaducidad f;
    f.fldFechaInicio = QDate(2027, 12, 31);
    f.fldFechaCaducidad = QDate(2028, 3, 2);
    EXPECT_EQ(CalcularInfoCaducidad(f, hoy, false, false).texto,
              QStringLiteral("Le faltan 1 dia(s) para terminar, lleva 61 dias(s)."));
}

// The window shows the decision on its own clock and RegistroNuevo.
class InfoCaducidadVentana : public portiva::prueba::VentanaPrueba {};

TEST_F(InfoCaducidadVentana, ShowsTextColourAndPicture) {
    reloj.ponerDia(Hoy);
    FilaCaducidad f;
    f.fldFechaInicio = Hoy.addDays(-60);
    f.fldFechaCaducidad = Hoy.addDays(-7);
    ventana->InfoCaducidadDB(f, false);
    auto* linea = control<QLabel>("lblInfoDB");
    EXPECT_EQ(linea->text(), QStringLiteral("Tiene la fecha cadudada desde hace 7 dia(s)."));
    EXPECT_EQ(linea->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(control<QLabel>("imgUser")->pixmap().toImage(),
              ventana->imagenes().UserDB(3).toImage());

    ventana->setRegistroNuevo(true);
    ventana->InfoCaducidadDB(f, false);
    EXPECT_EQ(linea->text(), QStringLiteral("Añadiendo un nuevo registro a la base de datos."));
    EXPECT_EQ(linea->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(control<QLabel>("imgUser")->pixmap().toImage(),
              ventana->imagenes().UserDB(4).toImage());

    ventana->setRegistroNuevo(false);
    f.fldFechaCaducidad = Hoy.addDays(3);
    ventana->InfoCaducidadDB(f, false);
    EXPECT_EQ(linea->palette().color(QPalette::WindowText),
              ventana->palette().color(QPalette::WindowText));
    EXPECT_EQ(control<QLabel>("imgUser")->pixmap().toImage(),
              ventana->imagenes().UserDB(2).toImage());
}

TEST_F(InfoCaducidadVentana, FollowsTheStationClock) {
    FilaCaducidad f;
    f.fldFechaInicio = QDate(2026, 1, 1);
    f.fldFechaCaducidad = QDate(2026, 2, 1);
    reloj.ponerDia(QDate(2026, 2, 1));
    ventana->InfoCaducidadDB(f, false);
    EXPECT_EQ(control<QLabel>("lblInfoDB")->text(),
              QStringLiteral("A este cliente le caduca hoy su fecha."));
    reloj.ponerDia(QDate(2026, 1, 31));
    ventana->InfoCaducidadDB(f, false);
    EXPECT_EQ(control<QLabel>("lblInfoDB")->text(),
              QStringLiteral("Le faltan 1 dia(s) para terminar, lleva 30 dias(s)."));
}
