#pragma once

#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QString>
#include <QTimer>

class QLineEdit;
class QWidget;

namespace portiva {

class GloboTexto;

// Balloon tips on the record boxes: a problem with one box's value is pointed out by a balloon
// on that box (on a combo box, on its edit part), hidden again 3500 ms later. Only text boxes
// and combo boxes take balloons; any other control is ignored. One balloon shows at a time: a
// second one moves the balloon to its box and starts the 3500 ms anew.
class EditBallon_GreyText : public QObject {
    Q_OBJECT
public:
    explicit EditBallon_GreyText(QObject* padre = nullptr);
    ~EditBallon_GreyText() override;

    // Icon: 0 none, 1 information, 2 warning, 3 error.
    void MostrarBalloon(const QString& Text, int Icon, const QString& Title, QWidget* Control);
    void OcultarBalloon();

    // The box that received the last balloon; null until the first one.
    QWidget* hWndBalloon() const { return hWndBalloon_; }
    QTimer& tmrMsgboxTT() { return tmrMsgboxTT_; }
    const GloboTexto& globo() const { return *globo_; }
    GloboTexto& globo() { return *globo_; }

    static constexpr int IntervaloOcultar = 3500;

public slots:
    void tmrMsgboxTT_Timer();

private:
    QTimer tmrMsgboxTT_;
    QPointer<QWidget> hWndBalloon_;
    bool huboGlobo_ = false;
    GloboTexto* globo_;
};

// The prompt of an edit box ("Introduzca un nombre ..."), shown in grey in the box itself. It is
// the box's text until the operator edits it; the first edit takes the prompt away and keeps
// only what was typed or pasted, wherever the cursor stood, and the text turns black again. A
// text the program puts in the box also ends the prompt.
class TextoGris : public QObject {
    Q_OBJECT
public:
    explicit TextoGris(QLineEdit& caja);

    // Shows `indicacion` as the box's grey prompt.
    void Mostrar(const QString& indicacion);
    // True while the box still shows the untouched prompt.
    bool Activo() const { return activo_; }

private:
    void editado(const QString& texto);
    void cambiado(const QString& texto);
    void ponerGris(bool gris);

    QLineEdit& caja_;
    QString indicacion_;
    bool activo_ = false;
    bool gris_ = false;
    QPalette paletaNormal_;
};

} // namespace portiva
