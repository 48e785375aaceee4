#pragma once

#include <QString>

namespace portiva {

// A database run-time error: a number and a description, as the console shows them ("Error "
// number " (" description ")"). Errors of the engine keep SQLite's extended result code as their
// number; errors of the recordset layer itself use the numbers below.
struct ErrorDB {
    long numero = 0;
    QString descripcion;

    // Numbers of the errors raised by the recordset layer.
    static constexpr long Desbordamiento = 6;          // a value does not fit its type
    static constexpr long SinRegistroActual = 3021;    // BOF or EOF, or the row was deleted
    static constexpr long NoActualizable = 3251;       // the recordset cannot write this
    static constexpr long CampoNoEncontrado = 3265;    // no field of that name
    static constexpr long TipoIncorrecto = 3421;       // a value of the wrong type
    static constexpr long ObjetoCerrado = 3704;        // the object is closed
    static constexpr long ObjetoAbierto = 3705;        // the object is already open
    static constexpr long ErrorSintaxis = 3075;        // a malformed query expression
    static constexpr long RegistroNoLocalizado = 3640; // the row is no longer in the table
    static constexpr long NoEsBaseDeDatos = 3343;      // a file that is not a station database

    // "Error <n> (<description>)", the form every error box of the station starts with.
    QString texto() const { return QStringLiteral("Error %1 (%2)").arg(numero).arg(descripcion); }
    // The whole box: "Error <n> (<description>) in procedure <p> of Módulo <m>".
    QString enProcedimiento(const QString& procedimiento, const QString& modulo) const {
        return texto() + QStringLiteral(" in procedure ") + procedimiento +
               QStringLiteral(" of Módulo ") + modulo;
    }
};

} // namespace portiva
