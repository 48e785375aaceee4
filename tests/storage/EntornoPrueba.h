#pragma once

#include "BaseDatosPrueba.h"
#include "DbClientes.h"
#include "Entorno.h"
#include "EsquemaEstacion.h"
#include "MsgBoxGuion.h"
#include "RelojFijo.h"
#include "VistaFalsa.h"

namespace portiva::prueba {

// A station database in a temporary program folder, with a scripted message box, a fixed
// clock (2026-12-08) and a fake member form around a DbClientes.
struct EntornoPrueba {
    BaseDatosPrueba base;
    MsgBoxGuion msgBox;
    RelojFijo reloj;
    Entorno entorno{base.carpeta(), msgBox, reloj};
    VistaFalsa vista;
    DbClientes db{entorno, vista};

    QDate hoy() const { return reloj.hoy(); }
    QVariant dias(int n) const { return reloj.hoy().addDays(n); }

    // The codes of the members table in table order, read afresh from the file.
    QStringList codigos() {
        Recordset rs;
        EXPECT_TRUE(rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), db.cnClientes()).ok());
        QStringList salida;
        // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
        for (; !rs.Eof(); (void)rs.MoveNext())
            salida << rs.Valor(QStringLiteral("fldCodigo")).valor_o({}).toString();
        return salida;
    }
    QString codigoActual() {
        return db.rsClientes().Valor(QStringLiteral("fldCodigo")).valor_o({}).toString();
    }
};

} // namespace portiva::prueba
