#include "ProgresoCopias.h"

#include <QProgressDialog>
#include <QThread>

namespace portiva {

ProgresoCopias::ProgresoCopias(QWidget* padre, Entorno& entorno)
    : padre_(padre), msgBoxVentana_(entorno.msgBox), entornoCopias_{entorno.carpetaPrograma,
                                                                    msgBox_, entorno.reloj} {
    retraso_.setSingleShot(true);
    retraso_.setInterval(RetrasoMs);
    connect(&retraso_, &QTimer::timeout, this, &ProgresoCopias::mostrar);
}

ProgresoCopias::~ProgresoCopias() {
    {
        const std::lock_guard<std::mutex> cerrojo(mutex_);
        cerrando_ = true;
    }
    respondida_.notify_all();
    if (hilo_.joinable())
        hilo_.join();
    fin();
}

bool ProgresoCopias::ejecutar(std::function<bool()> procedimiento, bool dialogoEnseguida,
                              std::function<void(bool)> alTerminar) {
    if (enCurso_)
        return false;
    if (hilo_.joinable())
        hilo_.join(); // the last one has ended: its alTerminar ran
    enCurso_ = true;
    if (dialogoEnseguida)
        mostrar();
    else
        retraso_.start();
    hilo_ = std::thread([this, procedimiento = std::move(procedimiento),
                         alTerminar = std::move(alTerminar)]() mutable {
        const bool ok = procedimiento();
        QMetaObject::invokeMethod(
            this,
            [this, ok, alTerminar = std::move(alTerminar)] {
                fin();
                enCurso_ = false;
                if (alTerminar)
                    alTerminar(ok);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void ProgresoCopias::mostrar() {
    if (!enCurso_ || !dialogo_.isNull())
        return;
    // A busy bar without a cancel button: the copy is one engine step.
    dialogo_ = new QProgressDialog(QStringLiteral("Copiando la base de datos, espere por "
                                                  "favor..."),
                                   QString(), 0, 0, padre_);
    dialogo_->setWindowTitle(QStringLiteral("Base de Datos"));
    dialogo_->setWindowModality(Qt::ApplicationModal);
    dialogo_->setMinimumDuration(0);
    dialogo_->show();
}

void ProgresoCopias::fin() {
    retraso_.stop();
    delete dialogo_.data();
}

Respuesta ProgresoCopias::MsgBoxVentana::operator()(const QString& texto, int estilo,
                                                    const QString& titulo) {
    ProgresoCopias& p = progreso_;
    if (QThread::currentThread() == p.thread()) {
        p.fin();
        return p.msgBoxVentana_(texto, estilo, titulo);
    }
    // Asked for by the procedure's thread: the window's thread shows the box when its event
    // loop has its turn, and this thread waits for the answer.
    struct Pregunta {
        bool hecha = false;
        Respuesta respuesta = Respuesta::Aceptar;
    };
    auto pregunta = std::make_shared<Pregunta>();
    QMetaObject::invokeMethod(
        &p,
        [&p, pregunta, texto, estilo, titulo] {
            p.fin();
            const Respuesta r = p.msgBoxVentana_(texto, estilo, titulo);
            {
                const std::lock_guard<std::mutex> cerrojo(p.mutex_);
                pregunta->respuesta = r;
                pregunta->hecha = true;
            }
            p.respondida_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> cerrojo(p.mutex_);
    p.respondida_.wait(cerrojo, [&] { return pregunta->hecha || p.cerrando_; });
    return pregunta->respuesta;
}

} // namespace portiva
