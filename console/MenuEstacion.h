#pragma once

#include <array>

class QAction;
class QMenu;
class QWidget;

namespace portiva {

// The station's popup menu, opened from the tray icon or a right click on the window.
struct MenuEstacion {
    QMenu* mnuMenu = nullptr;

    QMenu* menuImage = nullptr;
    QAction* menuImgFromFile = nullptr;
    QAction* menuImgSave = nullptr;

    QMenu* mnuBaseDeDatos = nullptr;
    QAction* mnuDoCopyDB = nullptr;
    QAction* mnuDoRestoreDB = nullptr;
    QAction* mnuDoCompactDB = nullptr;
    QAction* mnuDoCopyDBOnEnd = nullptr;

    QMenu* mnuTituloDispApertura = nullptr;
    QAction* mnuReconnetRelay = nullptr;
    QAction* mnuDoReady = nullptr;
    QAction* mnuDoNoReady_Closed = nullptr;
    QAction* mnuDoNoReady_Open = nullptr;

    QAction* menuOptions = nullptr;

    QMenu* mnuSkins = nullptr;
    // Elements 1 to 25 at 0 to 24.
    std::array<QAction*, 25> mnuSelectedSkin{};

    QAction* mnuVisitWebPage = nullptr;
    QAction* menuVersion = nullptr;

    QAction* mnuShowMe = nullptr;
    QAction* mnuHideMe = nullptr;
    QAction* mnuCloseMe = nullptr;

    static MenuEstacion construir(QWidget* ventana);
};

} // namespace portiva
