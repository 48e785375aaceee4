#include "InfoCaducidad.h"

#include <cstdlib>

namespace portiva {

namespace {

bool fechaValida(const std::optional<QDate>& fecha) {
    return fecha.has_value() && fecha->isValid();
}

QString numero(qint64 n) {
    return QString::number(n);
}

} // namespace

InfoCaducidad CalcularInfoCaducidad(const FilaCaducidad& fila, QDate hoy, bool registroNuevo,
                                    bool vacio) {
    if (registroNuevo)
        return {QStringLiteral("Añadiendo un nuevo registro a la base de datos."), ColorInfo::Azul,
                4};
    if (vacio)
        return {QStringLiteral("La base de datos de clientes esta vacia..."), ColorInfo::Rojo, 4};
    if (fila.fldStuffSiNo)
        return {QStringLiteral("La fecha de los miembros de la plantilla no caduca. "),
                ColorInfo::Normal, 1};
    if (!fechaValida(fila.fldFechaCaducidad) || !fechaValida(fila.fldFechaInicio))
        return {QStringLiteral("Campo de fecha de vacio..."), ColorInfo::Rojo, 4};

    const qint64 d1 = fila.fldFechaInicio->daysTo(hoy);    // days since the start day
    const qint64 d2 = hoy.daysTo(*fila.fldFechaCaducidad); // days left to the expiry day

    if (d1 < 0)
        return {QStringLiteral("A este cliente le faltan ") + numero(std::llabs(d1)) +
                    QStringLiteral(" dia(s) para su inicio."),
                ColorInfo::Rojo, 3};
    if (d2 == 0)
        return {QStringLiteral("A este cliente le caduca hoy su fecha."), ColorInfo::Rojo, 3};
    if (d2 > 0) {
        QString texto =
            QStringLiteral("Le faltan ") + numero(d2) + QStringLiteral(" dia(s) para terminar");
        if (d1 == 0)
            texto += QStringLiteral(", es su primer dia.");
        else
            texto += QStringLiteral(", lleva ") + numero(d1) + QStringLiteral(" dias(s).");
        return {texto, ColorInfo::Normal, 2};
    }
    return {QStringLiteral("Tiene la fecha cadudada desde hace ") + numero(std::llabs(d2)) +
                QStringLiteral(" dia(s)."),
            ColorInfo::Rojo, 3};
}

} // namespace portiva
