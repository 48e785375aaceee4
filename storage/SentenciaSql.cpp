#include "SentenciaSql.h"

#include "DialectoJet.h"
#include "EnlaceSqlite.h"
#include "ValoresSql.h"

#include <sqlite3.h>

namespace portiva {

SentenciaSql::~SentenciaSql() {
    sqlite3_finalize(st_);
}

Resultado SentenciaSql::preparar(const QString& sql, const QVariantList& parametros) {
    sqlite3_finalize(st_);
    st_ = nullptr;
    if (!enlace_.abierto())
        return EnlaceSqlite::cerrado();
    enlace_.tomarFecha();
    const QByteArray texto = sql.toUtf8();
    const int codigo = sqlite3_prepare_v2(enlace_.db(), texto.constData(),
                                          static_cast<int>(texto.size()), &st_, nullptr);
    if (codigo != SQLITE_OK)
        return enlace_.error(codigo);
    if (!st_)
        return ErrorDB{ErrorDB::ErrorSintaxis, QStringLiteral("La consulta está vacía.")};
    const int esperados = sqlite3_bind_parameter_count(st_);
    if (esperados != parametros.size())
        return ErrorDB{ErrorDB::ErrorSintaxis,
                       QStringLiteral("La consulta espera %1 parámetros y se dieron %2.")
                           .arg(esperados)
                           .arg(parametros.size())};
    for (int i = 0; i < parametros.size(); ++i) {
        const int r = valores_sql::enlazar(st_, i + 1, parametros[i]);
        if (r != SQLITE_OK)
            return enlace_.error(r);
    }
    return {};
}

Resultado SentenciaSql::prepararJet(const QString& sqlJet, const QVariantList& parametros) {
    if (!enlace_.abierto())
        return EnlaceSqlite::cerrado();
    auto traducida = TraducirJet(sqlJet, enlace_.columnasSiNo());
    if (!traducida)
        return traducida.error();
    return preparar(*traducida, parametros);
}

int SentenciaSql::paso() {
    return sqlite3_step(st_);
}

} // namespace portiva
