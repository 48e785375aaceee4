#pragma once

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace portiva {

class BotonImagen;
class ComboBloqueable;
class ImagenesVentana;

// The member-information panel, folded out to the right of the station column: the record
// buttons and their grey twins, the photo, the record boxes with their captions, the lookup
// pictures, the enrol and verify buttons, the member counts, the record counter with the move
// buttons, the membership status line and the search panel's arrows.
struct PanelInfo {
    BotonImagen* imgNuevoCliente = nullptr;
    BotonImagen* imgEditarCliente = nullptr;
    BotonImagen* imgBorrarCliente = nullptr;
    BotonImagen* imgDeshacerEdicion = nullptr;
    BotonImagen* imgGuardarCliente = nullptr;
    QLabel* imgNuevoClienteDisabled = nullptr;
    QLabel* imgEditarClienteDisabled = nullptr;
    QLabel* imgBorrarClienteDisabled = nullptr;
    QLabel* imgDeshacerEdicionDisabled = nullptr;
    QLabel* imgGuardarClienteDisabled = nullptr;

    BotonImagen* imgDesplegarBuscar = nullptr;
    BotonImagen* imgRecogerBuscar = nullptr;

    BotonImagen* imgFoto = nullptr;
    BotonImagen* imgFotoPath = nullptr;

    QLineEdit* txtID = nullptr;
    QLineEdit* txtCodigo = nullptr;
    QLineEdit* txtStuffSiNo = nullptr;
    QLineEdit* txtTemplateSiNo = nullptr;
    QLineEdit* txtNombre = nullptr;
    QLineEdit* txtNomFiscal = nullptr;
    QLineEdit* txtFotoPath = nullptr;
    ComboBloqueable* cboServContratado = nullptr;
    QLineEdit* txtPrecio = nullptr;
    QLineEdit* txtFechaInscripcion = nullptr;
    QLineEdit* txtFechaInicio = nullptr;
    QLineEdit* txtFechaCaducidad = nullptr;

    BotonImagen* imgFindID = nullptr;
    BotonImagen* imgFindCodigo = nullptr;
    // The calendar pictures beside the three date boxes (indexes 1, 2, 3 at 0, 1, 2).
    std::array<BotonImagen*, 3> imgCalend{};

    QPushButton* cmdAddTemplateDB = nullptr;
    QPushButton* cmdVerificarHuellaDB = nullptr;
    QCheckBox* chkOnTop = nullptr;

    QLabel* lblEstadistica = nullptr;
    QLabel* lblResult_Personal = nullptr;
    QLabel* lblResult_ClientesPermitidos = nullptr;
    QLabel* lblResult_ClientesNoPermitidos = nullptr;
    QLabel* lblResult_TotalRegistros = nullptr;

    QLineEdit* txtNavReg = nullptr;
    QLabel* lblDe = nullptr;
    QLineEdit* txtRegTotales = nullptr;
    std::array<QPushButton*, 4> cmdMover{};

    QLabel* imgUser = nullptr;
    QLabel* lblInfoDB = nullptr;

    static PanelInfo construir(QWidget* ventana, const ImagenesVentana& imagenes);

    static constexpr int AnchoFoto = 96;
    static constexpr int AltoFoto = 122;
};

} // namespace portiva
