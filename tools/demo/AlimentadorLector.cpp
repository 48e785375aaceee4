#include "AlimentadorLector.h"

#include "PreparadorDemo.h"

#include <QDir>
#include <QFile>

namespace portiva::demo {

AlimentadorLector::AlimentadorLector(QString carpetaPrograma)
    : carpeta_(std::move(carpetaPrograma)) {}

QStringList AlimentadorLector::Turno() {
    return {QStringLiteral("P001"), QStringLiteral("A001"), QStringLiteral("B001"),
            QStringLiteral("C001"), PreparadorDemo::NombreDesconocido()};
}

QString AlimentadorLector::Descripcion(const QString& quien) {
    if (quien == QLatin1String("P001"))
        return QStringLiteral("P001, personal: pasa siempre");
    if (quien == QLatin1String("A001"))
        return QStringLiteral("A001, cliente al dia: pasa");
    if (quien == QLatin1String("B001"))
        return QStringLiteral("B001, cliente caducado: no pasa");
    if (quien == QLatin1String("C001"))
        return QStringLiteral("C001, cliente que aun no ha empezado: no pasa");
    return QStringLiteral("un dedo que nadie tiene inscrito: desconocido");
}

bool AlimentadorLector::SoltarSiguiente(QString& mensaje) {
    const QDir carpeta(carpeta_);
    const QDir lector(carpeta.filePath(QStringLiteral("LectorSimulado")));
    if (!lector.exists()) {
        mensaje = QStringLiteral("no hay lector: falta la carpeta %1").arg(lector.path());
        return false;
    }
    if (!lector.entryList({QStringLiteral("*.bmp")}, QDir::Files).isEmpty()) {
        mensaje = QStringLiteral("la huella anterior sigue en el lector: la estacion no esta "
                                 "leyendo");
        return false;
    }
    const QStringList turno = Turno();
    const QString quien = turno[siguiente_ % turno.size()];
    const int impresion = (siguiente_ / turno.size()) % PreparadorDemo::ImpresionesPorDedo + 1;
    const QString nombre = PreparadorDemo::ArchivoHuella(quien, impresion);
    const QString origen = carpeta.filePath(QStringLiteral("Huellas/") + nombre);

    const QString temporal = lector.filePath(QStringLiteral(".entrando"));
    QFile::remove(temporal);
    if (!QFile::copy(origen, temporal)) {
        mensaje = QStringLiteral("no se puede copiar %1").arg(origen);
        return false;
    }
    const QString destino = lector.filePath(
        QStringLiteral("%1_%2").arg(soltadas_, 4, 10, QLatin1Char('0')).arg(nombre));
    if (!QFile::rename(temporal, destino)) {
        QFile::remove(temporal);
        mensaje = QStringLiteral("no se puede dejar la huella en %1").arg(lector.path());
        return false;
    }
    ++siguiente_;
    ++soltadas_;
    mensaje = QStringLiteral("Huella %1 en el lector (%2)").arg(nombre, Descripcion(quien));
    return true;
}

} // namespace portiva::demo
