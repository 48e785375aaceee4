#include "EditBallon_GreyText.h"

#include "GloboTexto.h"

#include <QComboBox>
#include <QLineEdit>

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

} // namespace portiva
