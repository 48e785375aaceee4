// The member counts of DbClientes.
#include "DbClientes.h"

#include "Entorno.h"
#include "VistaClientes.h"

namespace portiva {

qint32 DbClientes::contar(const QString& procedimiento, const QString& sql) {
    const auto fallo = [&](const ErrorDB& e) {
        entorno_.msgBox(e.enProcedimiento(procedimiento, QStringLiteral("DbClientes")),
                        EstiloMsg::Ok);
        return 0;
    };
    if (auto r = rsTemp_.Open(sql, cnClientes_); !r)
        return fallo(r.error()); // not ours to close: it may be another operation's
    auto valor = rsTemp_.Valor(QStringLiteral("Result"));
    // Closing a scratch recordset has nothing left to report: what it read is already taken.
    (void)rsTemp_.Close();
    if (!valor)
        return fallo(valor.error());
    bool esNumero = false;
    const qlonglong cuenta = valor.valor().toLongLong(&esNumero);
    if (!esNumero || cuenta < 0 || cuenta > std::numeric_limits<qint32>::max())
        return fallo({ErrorDB::Desbordamiento,
                      QStringLiteral("Desbordamiento: la cuenta no cabe en un número de 32 bits")});
    return static_cast<qint32>(cuenta);
}

qint32 DbClientes::Stuff() {
    return contar(
        QStringLiteral("Stuff"),
        QStringLiteral("SELECT COUNT(*) AS Result FROM ClientesDB WHERE fldStuffSiNo = True"));
}

qint32 DbClientes::Permitidos() {
    return contar(
        QStringLiteral("Permitidos"),
        QStringLiteral("SELECT COUNT(*) AS Result FROM ClientesDB WHERE fldFechaInicio "
                       "<= DATE() AND fldFechaCaducidad > DATE() AND fldStuffSiNo = False"));
}

qint32 DbClientes::NoPermitidos() {
    return contar(QStringLiteral("NoPermitidos"),
                  QStringLiteral("SELECT COUNT(*) AS Result FROM ClientesDB WHERE NOT ( "
                                 "fldFechaInicio <= DATE() AND fldFechaCaducidad > DATE() ) AND "
                                 "fldStuffSiNo = False"));
}

qint32 DbClientes::TotalClientes() {
    return contar(QStringLiteral("TotalClientes"),
                  QStringLiteral("SELECT COUNT(*) AS Result FROM ClientesDB"));
}

void DbClientes::ActContadores() {
    using C = VistaClientes::Contador;
    vista_.MostrarContador(C::Personal, QString::number(Stuff()));
    vista_.MostrarContador(C::ClientesPermitidos, QString::number(Permitidos()));
    vista_.MostrarContador(C::ClientesNoPermitidos, QString::number(NoPermitidos()));
    vista_.MostrarContador(C::TotalRegistros, QString::number(TotalClientes()));
}

} // namespace portiva
