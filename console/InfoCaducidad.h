#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace portiva {

// What the membership status line needs of the member row shown.
struct FilaCaducidad {
    bool fldStuffSiNo = false; // a Null staff flag counts as false
    std::optional<QDate> fldFechaInicio;
    std::optional<QDate> fldFechaCaducidad;
};

enum class ColorInfo { Normal, Azul, Rojo };

// The status line: its text, its colour and the imgUserDB picture (1 staff, 2 active member,
// 3 a member who may not pass by date, 4 nobody to judge).
struct InfoCaducidad {
    QString texto;
    ColorInfo color = ColorInfo::Normal;
    int imagen = 4;
};

// Where the member stands today. `vacio` is true when the member list holds no row;
// `registroNuevo` while a just-added row is being edited. A missing or unreadable date reads
// as an empty date field.
InfoCaducidad CalcularInfoCaducidad(const FilaCaducidad& fila, QDate hoy, bool registroNuevo,
                                    bool vacio);

} // namespace portiva
