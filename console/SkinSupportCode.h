#pragma once

#include "ColorBgr.h"

#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QAction;
class QMenu;

namespace portiva {

struct AjustesEstacion;
struct Entorno;

// The skin pictures of the "Skins" folder, as the submenu lists them: the ".jpg" files in any
// letter case ("Default.JPG" too), sorted by name without regard to case, so the menu is the
// same at every opening. A missing folder lists nothing.
QStringList ListarSkins(const QString& carpetaSkins);

// The captions of the submenu's 24 elements that take a skin (element 1 at 0): the name
// without its last four characters. The first 23 files take elements 1 to 23; element 24
// takes the 24th file and then each further one in turn, so it ends with the last listed.
// Unused elements are empty.
std::array<QString, 24> RepartirSkins(const QStringList& archivos);

// An element's caption names the current skin when the caption followed by ".jpg" is the
// skin's file name, letter case aside (the station's file names once ignored it).
bool EsSkinActual(const QString& titulo, const QString& skinActual);

// The colour of a picture at a point as a 0x00BBGGRR number; nothing outside the picture
// (what the window system's pixel read reports as an invalid colour).
std::optional<qint32> MuestraColor(const QImage& imagen, QPoint punto);

// What the skins need of the main window: its background picture, and the controls that take
// the skin colour.
class VentanaSkin {
public:
    virtual ~VentanaSkin() = default;
    virtual void PonerFondo(const QPixmap& fondo) = 0;
    virtual QPixmap Fondo() const = 0;
    // The buttons and check boxes get the colour as their background, the title as its text.
    virtual void ColorearControles(const QColor& color) = 0;
};

// What a dialog paints itself with: the skin colour and the window's current background.
class AspectoSkin {
public:
    virtual ~AspectoSkin() = default;
    virtual qint32 ColorFondoSkin() const = 0;
    virtual QPixmap Fondo() const = 0;
};

// The skins: the submenu "Estilo visual", loading a picture from "Skins" as the window's
// background, and the colour sampled from it for the window's controls and the dialogs.
class SkinSupportCode : public QObject, public AspectoSkin {
    Q_OBJECT
public:
    // The submenu and its 25 elements (element 1 at 0; element 25 never takes a skin).
    struct Menu {
        QMenu* mnuSkins = nullptr;
        std::array<QAction*, 25> mnuSelectedSkin{};
    };

    SkinSupportCode(Entorno& entorno, AjustesEstacion& ajustes, VentanaSkin& ventana, Menu menu);

    // The skin colour before any sample: the dialogs' design background, so a dialog opened
    // before a skin was applied stays readable.
    static constexpr qint32 ColorFondoDiseno = 0xFFEFE3;
    // Where the colour is sampled: the place of the label "Eventos..." (window pixels).
    static constexpr QPoint PuntoMuestra{8, 308};
    static constexpr QPoint PuntoMuestraTexto{10, 10};
    static constexpr qint32 ColorTextoError = static_cast<qint32>(0x80000012);

    // Applies the saved skin at start-up; tells the operator when it cannot be loaded.
    void LoadLastSkin();
    // Loads "Skins/<name>" as the window's background; false (nothing changed) when the file is
    // missing or no picture.
    bool LoadSkin(const QString& nombre);
    // Samples the skin colour and gives it to the window's controls and the open dialogs.
    void ApplySkinColors();
    // Fills the submenu from the folder; hides it when the folder holds no skin.
    void CargarMenuSkins();
    // The operator chose element Index (1 to 25) of the submenu.
    void mnuSelectedSkin_Click(int Index);

    qint32 ColorFondoSkin() const override { return colorFondo_; }
    qint32 ColorTextoSkin() const { return colorTexto_; }
    QPixmap Fondo() const override;

signals:
    // The colours were applied: the open dialogs repaint themselves.
    void skinAplicado();

private:
    QString carpetaSkins() const;

    Entorno& entorno_;
    AjustesEstacion& ajustes_;
    VentanaSkin& ventana_;
    Menu menu_;
    qint32 colorFondo_ = ColorFondoDiseno;
    qint32 colorTexto_ = 0;
};

} // namespace portiva
