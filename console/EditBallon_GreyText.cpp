#include "EditBallon_GreyText.h"

#include "GloboTexto.h"

#include <QComboBox>
#include <QLineEdit>

#include <algorithm>

namespace portiva {

EditBallon_GreyText::EditBallon_GreyText(QObject* padre)
    : QObject(padre), globo_(new GloboTexto()) {
    tmrMsgboxTT_.setInterval(IntervaloOcultar);
    connect(&tmrMsgboxTT_, &QTimer::timeout, this, &EditBallon_GreyText::tmrMsgboxTT_Timer);
}

EditBallon_GreyText::~EditBallon_GreyText() {
    delete globo_;
}

void EditBallon_GreyText::MostrarBalloon(const QString& Text, int Icon, const QString& Title,
                                         QWidget* Control) {
    QWidget* destino = nullptr;
    if (auto* combo = qobject_cast<QComboBox*>(Control))
        destino = combo->lineEdit() ? static_cast<QWidget*>(combo->lineEdit()) : combo;
    else if (qobject_cast<QLineEdit*>(Control))
        destino = Control;
    if (!destino)
        return;

    globo_->mostrar(destino, Title, Text, Icon);
    hWndBalloon_ = destino;
    huboGlobo_ = true;
    tmrMsgboxTT_.start();
}

void EditBallon_GreyText::OcultarBalloon() {
    if (!huboGlobo_)
        return;
    globo_->hide();
    tmrMsgboxTT_.stop();
}

void EditBallon_GreyText::tmrMsgboxTT_Timer() {
    OcultarBalloon();
}

TextoGris::TextoGris(QLineEdit& caja) : QObject(&caja), caja_(caja) {
    connect(&caja_, &QLineEdit::textEdited, this, &TextoGris::editado);
    connect(&caja_, &QLineEdit::textChanged, this, &TextoGris::cambiado);
}

void TextoGris::Mostrar(const QString& indicacion) {
    indicacion_ = indicacion;
    activo_ = true;
    caja_.setText(indicacion);
    caja_.setCursorPosition(0);
    ponerGris(true);
}

void TextoGris::editado(const QString& texto) {
    if (!activo_)
        return;
    activo_ = false;
    ponerGris(false);
    // What the edit put in: the text less the prompt's untouched start and end.
    const qsizetype largo = std::min(texto.size(), indicacion_.size());
    qsizetype inicio = 0;
    while (inicio < largo && texto[inicio] == indicacion_[inicio])
        ++inicio;
    qsizetype fin = 0;
    while (fin < largo - inicio &&
           texto[texto.size() - 1 - fin] == indicacion_[indicacion_.size() - 1 - fin])
        ++fin;
    const QString escrito = texto.mid(inicio, texto.size() - inicio - fin);
    caja_.setText(escrito);
    caja_.setCursorPosition(static_cast<int>(escrito.size()));
}

void TextoGris::cambiado(const QString& texto) {
    if (activo_ && texto != indicacion_) {
        activo_ = false;
        ponerGris(false);
    }
}

void TextoGris::ponerGris(bool gris) {
    if (gris == gris_)
        return;
    gris_ = gris;
    if (gris) {
        paletaNormal_ = caja_.palette();
        QPalette paleta = paletaNormal_;
        paleta.setColor(QPalette::Text, QColor(Qt::gray));
        caja_.setPalette(paleta);
    } else {
        caja_.setPalette(paletaNormal_);
    }
}

} // namespace portiva
