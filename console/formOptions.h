#pragma once

#include "DialogoSkin.h"
#include "EditBallon_GreyText.h"

#include <QtGlobal>

#include <array>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QStringView;

namespace portiva {

struct AjustesEstacion;
class BotonImagen;
class ParametrosHuella;
class SelectorColor;

// A parameter box's text as the dialog reads it: the number the text begins with (blanks
// skipped, "." as decimal point, 0 without one), rounded to a whole number with halves to the
// even neighbour, held within the 32-bit range.
qint32 LeerParametro(QStringView texto);

// What is wrong with a parameter box's text for a value allowed from `minimo` to `maximo`
// (both included): empty when the text begins with a number that reads (as LeerParametro)
// within the range; otherwise the text the operator is told, naming the range.
QString ProblemaParametro(QStringView texto, qint32 minimo, qint32 maximo);

// The options dialog: the fingerprint engine's identification and verification parameters
// and the six overlay colours with their show boxes. It reads the engine's parameters when it
// opens and hands everything to the engine adapter on OK, which applies it; Cancel, Escape and
// the close picture apply nothing. A parameter box that holds no number, or one outside the
// engine's range, keeps the dialog open on that box with a balloon naming the range, and
// nothing is applied until it is mended, so no other edit is lost.
class formOptions final : public DialogoSkin {
    Q_OBJECT
public:
    formOptions(AjustesEstacion& ajustes, ParametrosHuella& parametros, SelectorColor& colores,
                const AspectoSkin& skin, const ImagenesVentana& imagenes, QWidget* padre);

    // The six overlay elements in their order: minutiae, matched minutiae, segments, matched
    // segments, directions, matched directions.
    static constexpr int Elementos = 6;
    // The default colour of each element (as the engine adapter's defaults).
    static constexpr std::array<qint32, Elementos> ColoresDefecto = {0xFF0000, 0x800080, 0xFF00,
                                                                     0x800080, 0xFF,     0x800080};

    // Fills the boxes from the engine's parameters and the colours in memory, and shows itself.
    void Form_Load();
    void btOk_Click();
    void btCancel_Click();
    // A double click on swatch i: the colour picker with the swatch's colour.
    void pbColor_DblClick(int i);

    QLineEdit* txtIdentThres = nullptr;
    QLineEdit* txtIdentRotTol = nullptr;
    QLineEdit* txtVerifThres = nullptr;
    QLineEdit* txtVerifRotTol = nullptr;
    std::array<QLabel*, Elementos> swatches{};
    std::array<QCheckBox*, Elementos> mostrar{};
    QPushButton* btOk = nullptr;
    QPushButton* btCancel = nullptr;

    // A swatch's colour as a 0x00BBGGRR number.
    qint32 colorSwatch(int i) const;
    // The balloon that points out a parameter box's problem.
    EditBallon_GreyText& globos() { return globos_; }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void ponerSwatch(int i, qint32 bgr);
    // The first parameter box whose text is refused is pointed out; false then.
    bool parametrosValidos();
    std::array<qint32*, Elementos> colores();

    AjustesEstacion& ajustes_;
    ParametrosHuella& parametros_;
    SelectorColor& selectorColor_;
    std::array<qint32, Elementos> swatchBgr_{};
    EditBallon_GreyText globos_;
};

} // namespace portiva
