#include "GuardadoEnEspera.h"

#include "Conexion.h"
#include "VersionDatos.h"

#include <QApplication>
#include <QCursor>

namespace portiva {

namespace {

// The busy cursor for the length of a scope.
class CursorOcupado {
public:
    CursorOcupado() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursorOcupado() { QApplication::restoreOverrideCursor(); }
    CursorOcupado(const CursorOcupado&) = delete;
    CursorOcupado& operator=(const CursorOcupado&) = delete;
};

} // namespace

GuardadoEnEspera::GuardadoEnEspera(Enlace enlace, int limiteMs, QObject* padre)
    : QObject(padre), enlace_(std::move(enlace)), limiteMs_(limiteMs) {
    temporizador_.setInterval(IntervaloMs);
    connect(&temporizador_, &QTimer::timeout, this, &GuardadoEnEspera::intentar);
}

GuardadoEnEspera::~GuardadoEnEspera() {
    if (cursor_)
        QApplication::restoreOverrideCursor();
}

Resultado GuardadoEnEspera::Sondear(Conexion& cn) {
    const SinEsperaBloqueo sinEspera(cn);
    if (Resultado r = cn.Execute(QStringLiteral("BEGIN IMMEDIATE")); !r)
        return r;
    // Nothing was written: giving the write lock back cannot lose anything.
    (void)cn.Execute(QStringLiteral("ROLLBACK"));
    return {};
}

QString GuardadoEnEspera::TextoBloqueo(const QString& archivo) {
    return QStringLiteral("No se han podido guardar los datos: otro programa tiene bloqueada la "
                          "base de datos %1.\r\nLos datos escritos siguen en la ficha; cierre ese "
                          "programa y pulse Guardar de nuevo.")
        .arg(archivo);
}

void GuardadoEnEspera::Guardar() {
    if (Esperando())
        return;
    const Resultado r = enlace_.sondear();
    if (!r && EsBloqueo(r.error())) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        cursor_ = true;
        desde_.start();
        enlace_.esperando(true);
        temporizador_.start();
        return;
    }
    const CursorOcupado ocupado;
    enlace_.guardar();
}

void GuardadoEnEspera::intentar() {
    const Resultado r = enlace_.sondear();
    if (!r && EsBloqueo(r.error())) {
        if (desde_.elapsed() < limiteMs_)
            return;
        terminarEspera();
        enlace_.bloqueada();
        return;
    }
    terminarEspera();
    const CursorOcupado ocupado;
    enlace_.guardar();
}

void GuardadoEnEspera::terminarEspera() {
    temporizador_.stop();
    if (cursor_) {
        QApplication::restoreOverrideCursor();
        cursor_ = false;
    }
    enlace_.esperando(false);
}

} // namespace portiva
