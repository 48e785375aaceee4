// portiva-creardb: creates an empty or a demo station database.
#include "CreadorBaseDatos.h"

#include <QCoreApplication>
#include <QDate>
#include <QStringList>
#include <cstdio>

namespace {

int uso() {
    std::fprintf(stderr,
                 "Uso: portiva-creardb [--demo] [--hoy AAAA-MM-DD] <archivo>\n"
                 "  Crea una base de datos de la estación (por ejemplo Portiva.mdb) vacía,\n"
                 "  o con servicios y clientes de demostración con --demo. Nunca\n"
                 "  sobrescribe un archivo existente.\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    bool demo = false;
    QDate hoy = QDate::currentDate();
    QString ruta;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == QLatin1String("--demo")) {
            demo = true;
        } else if (a == QLatin1String("--hoy") && !args.isEmpty()) {
            hoy = QDate::fromString(args.takeFirst(), Qt::ISODate);
            if (!hoy.isValid())
                return uso();
        } else if (a.startsWith(QLatin1Char('-')) || !ruta.isEmpty()) {
            return uso();
        } else {
            ruta = a;
        }
    }
    if (ruta.isEmpty())
        return uso();
    const portiva::Resultado r = demo ? portiva::CreadorBaseDatos::CrearDemo(ruta, hoy)
                                      : portiva::CreadorBaseDatos::CrearVacia(ruta);
    if (!r) {
        std::fprintf(stderr, "%s\n", qPrintable(r.error().texto()));
        return 1;
    }
    std::printf("Creada %s\n", qPrintable(ruta));
    return 0;
}
