// portiva-demo: prepares the demo station folder, and feeds its simulated reader.
#include "AlimentadorLector.h"
#include "PreparadorDemo.h"

#include <QCoreApplication>
#include <QDate>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

std::atomic<bool> parar{false};

void alSenal(int) {
    parar = true;
}

int uso() {
    std::fprintf(stderr,
                 "Uso:\n"
                 "  portiva-demo preparar <carpeta> [--programa <portiva>] [--recursos <assets>]\n"
                 "                        [--hoy AAAA-MM-DD]\n"
                 "      Deja en <carpeta> una estacion lista: base de datos de demostracion con\n"
                 "      huellas inscritas, Huellas/, Sonidos/, Skins/, Fotos/, LectorSimulado/ y\n"
                 "      el programa. Rehace lo que una demostracion anterior dejo alli.\n"
                 "  portiva-demo alimentar <carpeta> [--cada <segundos>] [--veces <n>]\n"
                 "      Pone una huella de Huellas/ en LectorSimulado/ cada pocos segundos\n"
                 "      (personal, cliente al dia, caducado, sin empezar, desconocido) hasta\n"
                 "      Ctrl+C, o n veces.\n");
    return 2;
}

int preparar(QStringList args) {
    portiva::demo::OpcionesDemo o;
    o.programa = QStringLiteral(PORTIVA_PROGRAMA);
    o.recursos = QStringLiteral(PORTIVA_RECURSOS);
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == QLatin1String("--programa") && !args.isEmpty())
            o.programa = args.takeFirst();
        else if (a == QLatin1String("--recursos") && !args.isEmpty())
            o.recursos = args.takeFirst();
        else if (a == QLatin1String("--hoy") && !args.isEmpty()) {
            o.hoy = QDate::fromString(args.takeFirst(), Qt::ISODate);
            if (!o.hoy.isValid())
                return uso();
        } else if (a.startsWith(QLatin1Char('-')) || !o.carpeta.isEmpty())
            return uso();
        else
            o.carpeta = a;
    }
    if (o.carpeta.isEmpty())
        return uso();
    portiva::demo::PreparadorDemo preparador(o);
    if (!preparador.Preparar()) {
        std::fprintf(stderr, "portiva-demo: %s\n", qPrintable(preparador.error()));
        return 1;
    }
    std::printf("Estacion de demostracion lista en %s\n", qPrintable(o.carpeta));
    return 0;
}

int alimentar(QStringList args) {
    QString carpeta;
    int cada = 4;
    int veces = -1;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        bool ok = true;
        if (a == QLatin1String("--cada") && !args.isEmpty())
            cada = args.takeFirst().toInt(&ok);
        else if (a == QLatin1String("--veces") && !args.isEmpty())
            veces = args.takeFirst().toInt(&ok);
        else if (a.startsWith(QLatin1Char('-')) || !carpeta.isEmpty())
            return uso();
        else
            carpeta = a;
        if (!ok || cada < 1)
            return uso();
    }
    if (carpeta.isEmpty())
        return uso();

    std::signal(SIGINT, alSenal);
    std::signal(SIGTERM, alSenal);
    portiva::demo::AlimentadorLector alimentador(carpeta);
    QString ultimoAviso;
    while (!parar && (veces < 0 || alimentador.soltadas() < veces)) {
        // The first print waits too: the station needs a moment to start.
        for (int ms = 0; ms < cada * 1000 && !parar; ms += 100)
            QThread::msleep(100);
        if (parar)
            break;
        QString mensaje;
        if (alimentador.SoltarSiguiente(mensaje)) {
            std::printf("[lector] %s\n", qPrintable(mensaje));
            ultimoAviso.clear();
        } else if (mensaje != ultimoAviso) {
            std::printf("[lector] %s\n", qPrintable(mensaje));
            ultimoAviso = mensaje;
        }
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return uso();
    const QString orden = args.takeFirst();
    if (orden == QLatin1String("preparar"))
        return preparar(args);
    if (orden == QLatin1String("alimentar"))
        return alimentar(args);
    return uso();
}
