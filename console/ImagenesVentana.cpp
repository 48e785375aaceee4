#include "ImagenesVentana.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

// The resource file is compiled into the console library; a static library needs it
// registered by hand. Q_INIT_RESOURCE cannot stand inside a namespace.
static void iniciarRecursosPortiva() {
    Q_INIT_RESOURCE(portiva);
}

namespace portiva {

namespace {

QString rutaDibujo(const QString& nombre) {
    return QStringLiteral(":/imagenes/%1.svg").arg(nombre);
}

qreal escalaPantalla() {
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

} // namespace

ImagenesVentana::ImagenesVentana() {
    static const bool registrados = (iniciarRecursosPortiva(), true);
    (void)registrados;
}

QPixmap ImagenesVentana::imagen(const QString& nombre, QSize tamano) const {
    const QString clave =
        QStringLiteral("%1@%2x%3").arg(nombre).arg(tamano.width()).arg(tamano.height());
    if (auto hallado = cache_.constFind(clave); hallado != cache_.constEnd())
        return *hallado;

    QPixmap resultado;
    QSvgRenderer dibujo(rutaDibujo(nombre));
    if (dibujo.isValid() && !tamano.isEmpty()) {
        const qreal escala = escalaPantalla();
        resultado = QPixmap(tamano * escala);
        resultado.setDevicePixelRatio(escala);
        resultado.fill(Qt::transparent);
        QPainter pintor(&resultado);
        pintor.setRenderHint(QPainter::Antialiasing);
        dibujo.render(&pintor, QRectF(QPointF(0, 0), QSizeF(tamano)));
    }
    cache_.insert(clave, resultado);
    return resultado;
}

QPixmap ImagenesVentana::imagen(const QString& nombre) const {
    QSvgRenderer dibujo(rutaDibujo(nombre));
    if (!dibujo.isValid())
        return {};
    return imagen(nombre, dibujo.defaultSize());
}

QPixmap ImagenesVentana::TipoDeAcceso(int indice) const {
    const bool existe = (indice >= 0 && indice <= 8) || (indice >= 11 && indice <= 13);
    if (!existe)
        return {};
    return imagen(QStringLiteral("TipoDeAcceso%1").arg(indice), TamanoResultado);
}

QIcon ImagenesVentana::SysTray(int indice) const {
    if (indice < 0 || indice > 9)
        return {};
    return icono(QStringLiteral("SysTray%1").arg(indice));
}

QPixmap ImagenesVentana::UserDB(int indice) const {
    if (indice < 1 || indice > 4)
        return {};
    return imagen(QStringLiteral("UserDB%1").arg(indice), QSize(24, 24));
}

QPixmap ImagenesVentana::NoFoto(QSize tamano) const {
    return imagen(QStringLiteral("NoFoto"), tamano);
}

QPixmap ImagenesVentana::NoMostrar(QSize tamano) const {
    return imagen(QStringLiteral("NoMostrar"), tamano);
}

QIcon ImagenesVentana::IconoVentana() const {
    return icono(QStringLiteral("Portiva"));
}

QPixmap ImagenesVentana::Fondo() const {
    const QString clave = QStringLiteral("Fondo");
    if (auto hallado = cache_.constFind(clave); hallado != cache_.constEnd())
        return *hallado;
    QPixmap fondo(QStringLiteral(":/imagenes/Fondo.jpg"));
    cache_.insert(clave, fondo);
    return fondo;
}

QIcon ImagenesVentana::icono(const QString& nombre) const {
    QIcon resultado;
    for (int lado : {16, 22, 24, 32, 48, 64}) {
        const QPixmap dibujo = imagen(nombre, QSize(lado, lado));
        if (dibujo.isNull())
            return {};
        resultado.addPixmap(dibujo);
    }
    return resultado;
}

} // namespace portiva
