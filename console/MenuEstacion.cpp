#include "MenuEstacion.h"

#include <QAction>
#include <QMenu>

namespace portiva {

namespace {

QAction* opcion(QMenu* menu, const char* nombre, const char* texto, bool marcable = false) {
    QAction* accion = menu->addAction(QString::fromUtf8(texto));
    accion->setObjectName(QString::fromLatin1(nombre));
    accion->setCheckable(marcable);
    return accion;
}

QMenu* submenu(QMenu* menu, const char* nombre, const char* texto) {
    QMenu* sub = menu->addMenu(QString::fromUtf8(texto));
    sub->setObjectName(QString::fromLatin1(nombre));
    sub->menuAction()->setObjectName(QString::fromLatin1(nombre) + QStringLiteral("Titulo"));
    return sub;
}

} // namespace

MenuEstacion MenuEstacion::construir(QWidget* ventana) {
    MenuEstacion m;
    m.mnuMenu = new QMenu(QStringLiteral("Menu"), ventana);
    m.mnuMenu->setObjectName(QStringLiteral("mnuMenu"));

    m.menuImage = submenu(m.mnuMenu, "menuImage", "Archivo huella");
    m.menuImgFromFile = opcion(m.menuImage, "menuImgFromFile", "Abrir imagen...");
    m.menuImgSave = opcion(m.menuImage, "menuImgSave", "Guardar imagen...");
    m.mnuMenu->addSeparator();

    m.mnuBaseDeDatos = submenu(m.mnuMenu, "mnuBaseDeDatos", "Base de Datos");
    m.mnuDoCopyDB = opcion(m.mnuBaseDeDatos, "mnuDoCopyDB", "Realizar Copia de Seguridad");
    m.mnuDoRestoreDB =
        opcion(m.mnuBaseDeDatos, "mnuDoRestoreDB", "Restaurar Copia de Seguridad", true);
    m.mnuBaseDeDatos->addSeparator();
    m.mnuDoCompactDB = opcion(m.mnuBaseDeDatos, "mnuDoCompactDB", "Compactar Base de Datos", true);
    m.mnuDoCopyDBOnEnd =
        opcion(m.mnuBaseDeDatos, "mnuDoCopyDBOnEnd", "Realizar Copia de Seguridad al salir", true);
    m.mnuMenu->addSeparator();

    m.mnuTituloDispApertura =
        submenu(m.mnuMenu, "mnuTituloDispApertura", "Dispositivo de Apertura");
    m.mnuReconnetRelay =
        opcion(m.mnuTituloDispApertura, "mnuReconnetRelay", "Conectar / Desconectar", true);
    m.mnuTituloDispApertura->addSeparator();
    m.mnuDoReady = opcion(m.mnuTituloDispApertura, "mnuDoReady", "Control por Huella", true);
    m.mnuDoNoReady_Closed =
        opcion(m.mnuTituloDispApertura, "mnuDoNoReady_Closed", "Fijar a Cerrado", true);
    m.mnuDoNoReady_Open =
        opcion(m.mnuTituloDispApertura, "mnuDoNoReady_Open", "Fijar a Abierto", true);
    m.menuOptions = opcion(m.mnuMenu, "menuOptions", "Configuracion");
    m.mnuMenu->addSeparator();

    m.mnuSkins = submenu(m.mnuMenu, "mnuSkins", "Estilo visual");
    for (int i = 0; i < 25; ++i) {
        m.mnuSelectedSkin[i] = opcion(m.mnuSkins, "", i == 0 ? "Default Skin" : "", true);
        m.mnuSelectedSkin[i]->setObjectName(QStringLiteral("mnuSelectedSkin(%1)").arg(i + 1));
        m.mnuSelectedSkin[i]->setVisible(i == 0);
    }
    m.mnuMenu->addSeparator();

    m.mnuVisitWebPage = opcion(m.mnuMenu, "mnuVisitWebPage", "Pagina web");
    m.menuVersion = opcion(m.mnuMenu, "menuVersion", "A cerca de...");
    m.mnuMenu->addSeparator();

    m.mnuShowMe = opcion(m.mnuMenu, "mnuShowMe", "Ventana visible", true);
    m.mnuHideMe = opcion(m.mnuMenu, "mnuHideMe", "Ventana oculta", true);
    m.mnuCloseMe = opcion(m.mnuMenu, "mnuCloseMe", "Cerrar programa");
    return m;
}

} // namespace portiva
