#include "PanelInfo.h"

#include "BotonImagen.h"
#include "ComboBloqueable.h"
#include "CrearControl.h"
#include "ImagenesVentana.h"
#include "Twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace portiva {

namespace {

constexpr int AltoCaja = 19;
constexpr int XEtiqueta = 408; // captions of the rows under the photo
constexpr int XCaja = 494;     // boxes of those rows

QLineEdit* crearCaja(QWidget* ventana, const QString& nombre, QRect lugar, bool derecha = false) {
    auto* caja = CrearControl<QLineEdit>(ventana, nombre, lugar);
    if (derecha)
        caja->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return caja;
}

// A record button with its grey twin lying under it at the same place, with the same tip.
// `dibujo` names both the button's picture and, with "Disabled", the twin's.
BotonImagen* crearBotonRegistro(QWidget* ventana, const ImagenesVentana& img, const QString& dibujo,
                                int izquierda, const QString& tip, QLabel*& gemelo) {
    const QRect lugar(Px(izquierda), Px(270), Px(720), Px(720));
    const QString gris = dibujo + QStringLiteral("Disabled");
    gemelo =
        CrearImagen(ventana, QStringLiteral("img") + gris, lugar, img.imagen(gris, lugar.size()));
    gemelo->setToolTip(tip);
    return CrearBotonImagen(ventana, QStringLiteral("img") + dibujo, lugar,
                            img.imagen(dibujo, lugar.size()), tip);
}

} // namespace

PanelInfo PanelInfo::construir(QWidget* v, const ImagenesVentana& img) {
    PanelInfo p;

    p.imgNuevoCliente =
        crearBotonRegistro(v, img, QStringLiteral("NuevoCliente"), 6120,
                           QStringLiteral(" Añadir Cliente "), p.imgNuevoClienteDisabled);
    p.imgEditarCliente =
        crearBotonRegistro(v, img, QStringLiteral("EditarCliente"), 6900,
                           QStringLiteral(" Modificar cliente "), p.imgEditarClienteDisabled);
    p.imgBorrarCliente =
        crearBotonRegistro(v, img, QStringLiteral("BorrarCliente"), 8010,
                           QStringLiteral(" Borrar Cliente "), p.imgBorrarClienteDisabled);
    p.imgDeshacerEdicion =
        crearBotonRegistro(v, img, QStringLiteral("DeshacerEdicion"), 9120,
                           QStringLiteral(" Salir sin Guardar "), p.imgDeshacerEdicionDisabled);
    p.imgGuardarCliente =
        crearBotonRegistro(v, img, QStringLiteral("GuardarCliente"), 9840,
                           QStringLiteral(" Guardar Cambios "), p.imgGuardarClienteDisabled);

    const QRect flechaBuscar(Px(11010), Px(480), Px(480), Px(480));
    p.imgDesplegarBuscar =
        CrearBotonImagen(v, QStringLiteral("imgDesplegarBuscar"), flechaBuscar,
                         img.imagen("DesplegarBuscar"), QStringLiteral(" Mostrar busquedas "));
    p.imgRecogerBuscar =
        CrearBotonImagen(v, QStringLiteral("imgRecogerBuscar"), flechaBuscar,
                         img.imagen("RecogerBuscar"), QStringLiteral(" Ocultar busquedas "));

    // Photo.
    p.imgFoto =
        CrearBotonImagen(v, QStringLiteral("imgFoto"), QRect(408, 72, AnchoFoto, AltoFoto),
                         QPixmap(), QStringLiteral(" Haz doble clic para ampliar la imagen "));
    p.imgFoto->setStyleSheet(QStringLiteral("QLabel { border: 1px solid #8a9aac; }"));

    // Identity column beside the photo: the ID and code lookups, staff and fingerprint.
    auto etiquetaDerecha = [&](const char* nombre, int y, const char* texto) {
        return CrearEtiqueta(v, QString::fromLatin1(nombre), QRect(508, y, 106, AltoCaja),
                             QString::fromUtf8(texto), Qt::AlignRight | Qt::AlignVCenter);
    };
    etiquetaDerecha("lblID", Px(1200), "ID");
    p.txtID =
        crearCaja(v, QStringLiteral("txtID"), QRect(Px(9270), Px(1200), Px(915), Px(285)), true);
    p.txtID->setToolTip(
        QStringLiteral(" para buscar un ID introduczcalo y pulse <enter> o buscar "));
    p.imgFindID =
        CrearBotonImagen(v, QStringLiteral("imgFindID"),
                         QRect(Px(10200), Px(1140), Px(360), Px(360)), img.imagen("Find"));
    etiquetaDerecha("lblCodigo", Px(1500), "Cogigo");
    p.txtCodigo = crearCaja(v, QStringLiteral("txtCodigo"),
                            QRect(Px(9270), Px(1500), Px(915), Px(285)), true);
    p.imgFindCodigo =
        CrearBotonImagen(v, QStringLiteral("imgFindCodigo"),
                         QRect(Px(10200), Px(1470), Px(360), Px(360)), img.imagen("Find"));
    etiquetaDerecha("lblStuffSiNo", 122, "Empleado");
    p.txtStuffSiNo = crearCaja(v, QStringLiteral("txtStuffSiNo"), QRect(618, 122, 40, AltoCaja));
    p.txtStuffSiNo->setAlignment(Qt::AlignCenter);
    etiquetaDerecha("lblTemplateSiNo", 144, "Posee Huella");
    p.txtTemplateSiNo =
        crearCaja(v, QStringLiteral("txtTemplateSiNo"), QRect(618, 144, 40, AltoCaja));
    p.txtTemplateSiNo->setAlignment(Qt::AlignCenter);
    p.cmdAddTemplateDB = CrearControl<QPushButton>(
        v, QStringLiteral("cmdAddTemplateDB"), QRect(560, 170, 70, 24), QStringLiteral("Añadir"));
    p.cmdVerificarHuellaDB =
        CrearControl<QPushButton>(v, QStringLiteral("cmdVerificarHuellaDB"),
                                  QRect(634, 170, 70, 24), QStringLiteral("Verificar"));

    // Member counts; a click on the caption counts again. A smaller type: five digits fit.
    auto* marco = CrearControl<QGroupBox>(v, QStringLiteral("fraEstadistica"),
                                          QRect(708, 70, 68, 94), QString());
    marco->lower();
    QFont pequena = v->font();
    pequena.setPixelSize(10);
    QFont minima = v->font();
    minima.setPixelSize(9);
    p.lblEstadistica = CrearEtiqueta(v, QStringLiteral("lblEstadistica"), QRect(709, 73, 66, 15),
                                     QStringLiteral("Estadistica"), Qt::AlignCenter);
    p.lblEstadistica->setToolTip(QStringLiteral(" Haga clic para actualizar. "));
    p.lblEstadistica->setCursor(Qt::PointingHandCursor);
    {
        QFont f = pequena;
        f.setBold(true);
        f.setUnderline(true);
        p.lblEstadistica->setFont(f);
    }
    struct Cuenta {
        const char* caption;
        const char* nombre;
        QLabel** destino;
    };
    const Cuenta cuentas[] = {
        {"Personal", "lblResult_Personal", &p.lblResult_Personal},
        {"Permit.", "lblResult_ClientesPermitidos", &p.lblResult_ClientesPermitidos},
        {"No perm.", "lblResult_ClientesNoPermitidos", &p.lblResult_ClientesNoPermitidos},
        {"Total", "lblResult_TotalRegistros", &p.lblResult_TotalRegistros},
    };
    int y = 91;
    for (const Cuenta& c : cuentas) {
        QLabel* caption =
            CrearEtiqueta(v, QStringLiteral("lblCaption_") + QString::fromLatin1(c.nombre + 10),
                          QRect(711, y, 42, 16), QString::fromUtf8(c.caption));
        caption->setFont(minima);
        *c.destino = CrearEtiqueta(v, QString::fromLatin1(c.nombre), QRect(744, y, 29, 16),
                                   QStringLiteral("0"), Qt::AlignRight | Qt::AlignVCenter);
        (*c.destino)->setFont(pequena);
        y += 17;
    }
    p.chkOnTop = CrearControl<QCheckBox>(v, QStringLiteral("chkOnTop"), QRect(712, 172, 62, 18),
                                         QStringLiteral("OnTop"));

    // Record rows under the photo.
    auto etiqueta = [&](const char* nombre, int x, int yy, int ancho, const char* texto) {
        return CrearEtiqueta(v, QString::fromLatin1(nombre), QRect(x, yy, ancho, AltoCaja),
                             QString::fromUtf8(texto));
    };
    etiqueta("lblNombre", XEtiqueta, 204, 84, "Nombre");
    p.txtNombre = crearCaja(v, QStringLiteral("txtNombre"), QRect(XCaja, 204, 282, AltoCaja));
    etiqueta("lblNomFiscal", XEtiqueta, 226, 84, "Nom. Fiscal");
    p.txtNomFiscal = crearCaja(v, QStringLiteral("txtNomFiscal"), QRect(XCaja, 226, 282, AltoCaja));
    etiqueta("lblFotoPath", XEtiqueta, 248, 84, "Foto (carpeta)");
    p.txtFotoPath = crearCaja(v, QStringLiteral("txtFotoPath"), QRect(XCaja, 248, 254, AltoCaja));
    p.imgFotoPath = CrearBotonImagen(v, QStringLiteral("imgFotoPath"),
                                     QRect(752, 246, Px(360), Px(360)), img.imagen("FotoPath"));

    etiqueta("lblServContratado", XEtiqueta, 271, 84, "Tipo de Serv.");
    p.cboServContratado = CrearControl<ComboBloqueable>(v, QStringLiteral("cboServContratado"),
                                                        QRect(XCaja, 270, 282, 21));
    etiqueta("lblPrecio", XEtiqueta, 294, 84, "Precio Aprox.");
    p.txtPrecio = crearCaja(v, QStringLiteral("txtPrecio"), QRect(XCaja, 294, 58, AltoCaja), true);
    etiqueta("lblEuros", 556, 294, 32, "euros");

    const QSize calendario(22, 22);
    etiqueta("lblFechaInscripcion", 590, 294, 82, "Fecha Inscrip.")
        ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    p.txtFechaInscripcion =
        crearCaja(v, QStringLiteral("txtFechaInscripcion"), QRect(676, 294, 74, AltoCaja));
    p.imgCalend[0] = CrearBotonImagen(v, QStringLiteral("imgCalend(1)"),
                                      QRect(QPoint(753, 292), calendario), img.imagen("Calend"));
    etiqueta("lblFechaInicio", XEtiqueta, 316, 84, "Fcha. Inicio");
    p.txtFechaInicio =
        crearCaja(v, QStringLiteral("txtFechaInicio"), QRect(XCaja, 316, 76, AltoCaja));
    p.imgCalend[1] = CrearBotonImagen(v, QStringLiteral("imgCalend(2)"),
                                      QRect(QPoint(573, 314), calendario), img.imagen("Calend"));
    etiqueta("lblFechaCaducidad", 590, 316, 82, "Fcha. Caduc.")
        ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    p.txtFechaCaducidad =
        crearCaja(v, QStringLiteral("txtFechaCaducidad"), QRect(676, 316, 74, AltoCaja));
    p.imgCalend[2] = CrearBotonImagen(v, QStringLiteral("imgCalend(3)"),
                                      QRect(QPoint(753, 314), calendario), img.imagen("Calend"));

    // Record counter and move buttons.
    p.txtNavReg = crearCaja(v, QStringLiteral("txtNavReg"),
                            QRect(Px(9030), Px(5220), Px(555), Px(285)), true);
    p.txtNavReg->setToolTip(QStringLiteral(" Introduzca un número de registro y pulse <Intro> "));
    p.lblDe = CrearEtiqueta(v, QStringLiteral("lblDe"), QRect(Px(9630), Px(5280), Px(255), Px(195)),
                            QStringLiteral("de"), Qt::AlignCenter);
    p.txtRegTotales = crearCaja(v, QStringLiteral("txtRegTotales"),
                                QRect(Px(9870), Px(5220), Px(615), Px(285)), true);
    p.txtRegTotales->setReadOnly(true);
    const int xMover[4] = {546, 573, 702, 729};
    for (int i = 0; i < 4; ++i) {
        p.cmdMover[i] = CrearControl<QPushButton>(v, QStringLiteral("cmdMover(%1)").arg(i),
                                                  QRect(xMover[i], 347, 26, 21));
        p.cmdMover[i]->setIcon(QIcon(img.imagen(QStringLiteral("Mover%1").arg(i), QSize(16, 16))));
    }

    // Membership status line.
    p.imgUser = CrearControl<QLabel>(v, QStringLiteral("imgUser"), QRect(408, 374, 24, 24));
    p.imgUser->setAlignment(Qt::AlignCenter);
    p.lblInfoDB =
        CrearEtiqueta(v, QStringLiteral("lblInfoDB"), QRect(436, 376, 338, 20), QString());
    {
        QFont f = p.lblInfoDB->font();
        f.setBold(true);
        p.lblInfoDB->setFont(f);
    }

    // The tab order of the record boxes.
    QWidget* const orden[] = {p.txtID,
                              p.txtCodigo,
                              p.txtStuffSiNo,
                              p.txtNombre,
                              p.txtNomFiscal,
                              p.txtFotoPath,
                              p.cboServContratado,
                              p.txtPrecio,
                              p.txtFechaInscripcion,
                              p.txtFechaInicio,
                              p.txtFechaCaducidad};
    for (size_t i = 0; i + 1 < std::size(orden); ++i)
        QWidget::setTabOrder(orden[i], orden[i + 1]);

    return p;
}

} // namespace portiva
