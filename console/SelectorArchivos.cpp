#include "SelectorArchivos.h"

namespace portiva {

QStringList FiltrosDialogo(const QString& filtro) {
    const QStringList partes = filtro.split(QLatin1Char('|'));
    QStringList filtros;
    for (qsizetype i = 0; i + 1 < partes.size(); i += 2) {
        const QString descripcion = partes[i].trimmed();
        QString patrones = partes[i + 1].trimmed();
        patrones.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patrones.isEmpty())
            continue;
        const QString entreParentesis = QStringLiteral("(%1)").arg(patrones);
        if (descripcion.endsWith(entreParentesis))
            filtros << descripcion;
        else if (descripcion.isEmpty())
            filtros << patrones;
        else
            filtros << QStringLiteral("%1 %2").arg(descripcion, entreParentesis);
    }
    return filtros;
}

} // namespace portiva
