#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace portiva {

class HuellaEstacion;
class MsgBox;
class NavegadorWeb;
class SelectorArchivos;

// The popup menu's remaining commands: saving the captured fingerprint image, the options
// dialog, the station's web page and the version box.
class ComandosMenu : public QObject {
    Q_OBJECT
public:
    // The station's own web page.
    static QUrl paginaWeb() { return QUrl(QStringLiteral("https://portiva.example/")); }

    ComandosMenu(MsgBox& msgBox, HuellaEstacion& huella, SelectorArchivos& selector,
                 NavegadorWeb& navegador, std::function<void(const QString&)> escribirLog,
                 QWidget* padre);

    void menuImgSave_Click();
    void mnuVisitWebPage_Click();
    void menuVersion_Click();

private:
    MsgBox& msgBox_;
    HuellaEstacion& huella_;
    SelectorArchivos& selector_;
    NavegadorWeb& navegador_;
    std::function<void(const QString&)> escribirLog_;
    QWidget* padre_;
};

} // namespace portiva
