#include "BotonImagen.h"
#include "ComboBloqueable.h"
#include "VentanaPrueba.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace portiva;

namespace {

class Registro : public prueba::VentanaPrueba {
protected:
    void SetUp() override {
        VentanaPrueba::SetUp();
        ventana->DesplegarInfo(true);
    }
    QLineEdit* caja(const char* nombre) { return control<QLineEdit>(nombre); }
    QColor colorTexto(QWidget* w) { return w->palette().color(QPalette::Text); }

    // Events as the staff box receives them.
    void entrar(QWidget* w) {
        QFocusEvent e(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(w, &e);
    }
    void salir(QWidget* w) {
        QFocusEvent e(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(w, &e);
    }
    void tecla(QWidget* w, int codigo, const QString& texto) {
        QKeyEvent pulsada(QEvent::KeyPress, codigo, Qt::NoModifier, texto);
        QApplication::sendEvent(w, &pulsada);
        QKeyEvent soltada(QEvent::KeyRelease, codigo, Qt::NoModifier, texto);
        QApplication::sendEvent(w, &soltada);
    }

    const char* const editables[8] = {"txtNombre",           "txtNomFiscal",   "txtPrecio",
                                      "txtFechaInscripcion", "txtFechaInicio", "txtFechaCaducidad",
                                      "txtFotoPath",         "txtStuffSiNo"};
    const char* const cajasColor[11] = {
        "txtID",          "txtCodigo",         "txtNombre", "txtNomFiscal", "txtFechaInscripcion",
        "txtFechaInicio", "txtFechaCaducidad", "txtPrecio", "txtFotoPath",  "txtTemplateSiNo",
        "txtStuffSiNo"};
};

QString escribirPng(const QString& ruta) {
    QImage imagen(40, 60, QImage::Format_RGB32);
    imagen.fill(QColor(200, 30, 30));
    imagen.save(ruta, "PNG");
    return ruta;
}

} // namespace

TEST_F(Registro, StartsInViewModeWithTheBoxesLocked) {
    EXPECT_FALSE(ventana->estado().ModoEdicion);
    for (const char* nombre : editables)
        EXPECT_TRUE(caja(nombre)->isReadOnly()) << nombre;
    EXPECT_TRUE(control<ComboBloqueable>("cboServContratado")->bloqueado());
    // The lookup boxes stay open for typing.
    EXPECT_FALSE(caja("txtID")->isReadOnly());
    EXPECT_FALSE(caja("txtCodigo")->isReadOnly());
    EXPECT_FALSE(caja("txtNavReg")->isReadOnly());
    EXPECT_TRUE(caja("txtRegTotales")->isReadOnly());
    EXPECT_TRUE(caja("txtTemplateSiNo")->isReadOnly());
    EXPECT_FALSE(control<QWidget>("imgFotoPath")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("cmdAddTemplateDB")->isEnabled());
    EXPECT_TRUE(control<QCheckBox>("chkInformacionAmpliada")->isEnabled());
}

TEST_F(Registro, EditModeUnlocksColoursAndSwapsTheButtons) {
    ventana->show();
    ventana->EditMode(true);
    EXPECT_TRUE(ventana->estado().ModoEdicion);
    for (const char* nombre : editables)
        EXPECT_FALSE(caja(nombre)->isReadOnly()) << nombre;
    EXPECT_FALSE(control<ComboBloqueable>("cboServContratado")->bloqueado());
    EXPECT_TRUE(caja("txtTemplateSiNo")->isReadOnly());
    EXPECT_TRUE(control<QWidget>("imgFotoPath")->isEnabled());
    EXPECT_TRUE(control<QPushButton>("cmdAddTemplateDB")->isEnabled());
    EXPECT_FALSE(control<QCheckBox>("chkInformacionAmpliada")->isEnabled());

    EXPECT_FALSE(visible("imgNuevoCliente"));
    EXPECT_FALSE(visible("imgEditarCliente"));
    EXPECT_FALSE(visible("imgBorrarCliente"));
    EXPECT_TRUE(visible("imgGuardarCliente"));
    EXPECT_TRUE(visible("imgDeshacerEdicion"));

    for (const char* nombre : cajasColor)
        EXPECT_EQ(colorTexto(caja(nombre)), QColor(0, 0, 255)) << nombre;
    auto* servicio = control<ComboBloqueable>("cboServContratado");
    EXPECT_EQ(servicio->lineEdit()->palette().color(QPalette::Text), QColor(0, 0, 255));
    EXPECT_EQ(ventana->focusWidget(), caja("txtCodigo"));
    EXPECT_EQ(ventana->estado().CampoCalendario, 0);

    ventana->EditMode(false);
    EXPECT_FALSE(ventana->estado().ModoEdicion);
    for (const char* nombre : editables)
        EXPECT_TRUE(caja(nombre)->isReadOnly()) << nombre;
    const QColor normal = ventana->palette().color(QPalette::WindowText);
    for (const char* nombre : cajasColor)
        EXPECT_EQ(colorTexto(caja(nombre)), normal) << nombre;
    EXPECT_TRUE(visible("imgNuevoCliente"));
    EXPECT_FALSE(visible("imgGuardarCliente"));
    EXPECT_TRUE(control<QCheckBox>("chkInformacionAmpliada")->isEnabled());
}

TEST_F(Registro, LockedServiceBoxTakesNoChoice) {
    auto* servicio = control<ComboBloqueable>("cboServContratado");
    servicio->addItems({QStringLiteral("Mensual"), QStringLiteral("Anual")});
    servicio->setCurrentIndex(0);
    ventana->show();
    servicio->showPopup();
    EXPECT_FALSE(servicio->view()->isVisible());
    QTest::keyClick(servicio, Qt::Key_Down);
    EXPECT_EQ(servicio->currentIndex(), 0);
    ventana->EditMode(true);
    QTest::keyClick(servicio, Qt::Key_Down);
    EXPECT_EQ(servicio->currentIndex(), 1);
}

TEST_F(Registro, HiddenRecordButtonsShowTheirGreyTwins) {
    const char* const botones[] = {"imgNuevoCliente", "imgEditarCliente", "imgBorrarCliente",
                                   "imgDeshacerEdicion", "imgGuardarCliente"};
    const int izquierdas[] = {408, 460, 534, 608, 656};
    for (int i = 0; i < 5; ++i) {
        auto* boton = control<QLabel>(botones[i]);
        auto* gemelo = control<QLabel>((QByteArray(botones[i]) + "Disabled").constData());
        EXPECT_EQ(boton->geometry(), QRect(izquierdas[i], 18, 48, 48)) << botones[i];
        EXPECT_EQ(gemelo->geometry(), boton->geometry());
        EXPECT_EQ(gemelo->toolTip(), boton->toolTip());
        EXPECT_TRUE(gemelo->isVisibleTo(ventana.get()));
        EXPECT_NE(gemelo->pixmap().toImage(), boton->pixmap().toImage());
        EXPECT_EQ(boton->focusPolicy(), Qt::NoFocus);
    }
    // The twin lies under its button: the button is what the mouse reaches.
    ventana->show();
    auto* nuevo = control<QLabel>("imgNuevoCliente");
    EXPECT_EQ(ventana->childAt(nuevo->geometry().center()), nuevo);
    ventana->EditMode(true);
    EXPECT_EQ(ventana->childAt(nuevo->geometry().center()),
              control<QLabel>("imgNuevoClienteDisabled"));
}

TEST_F(Registro, InitTextBoxesEmptiesEverything) {
    for (const char* nombre : cajasColor)
        caja(nombre)->setText(QStringLiteral("algo"));
    control<ComboBloqueable>("cboServContratado")->setEditText(QStringLiteral("Mensual"));
    control<QPushButton>("cmdVerificarHuellaDB")->setEnabled(true);
    const QImage sinFoto = control<QLabel>("imgFoto")->pixmap().toImage();
    QPixmap otra(20, 20);
    otra.fill(Qt::green);
    control<QLabel>("imgFoto")->setPixmap(otra);

    ventana->InitTextBoxes();
    for (const char* nombre : cajasColor)
        EXPECT_TRUE(caja(nombre)->text().isEmpty()) << nombre;
    EXPECT_TRUE(control<ComboBloqueable>("cboServContratado")->currentText().isEmpty());
    EXPECT_FALSE(control<QPushButton>("cmdVerificarHuellaDB")->isEnabled());
    EXPECT_EQ(control<QLabel>("imgFoto")->pixmap().toImage(), sinFoto);
}

TEST_F(Registro, StaffBoxAidCompletesAndMovesOn) {
    auto* empleado = caja("txtStuffSiNo");
    ventana->show();
    ventana->EditMode(true);
    empleado->setText(QStringLiteral("NO"));

    entrar(empleado);
    EXPECT_TRUE(empleado->text().isEmpty());
    tecla(empleado, Qt::Key_S, QStringLiteral("s"));
    EXPECT_EQ(empleado->text(), QStringLiteral("SI"));
    EXPECT_EQ(ventana->focusWidget(), caja("txtNombre"));

    entrar(empleado);
    tecla(empleado, Qt::Key_N, QStringLiteral("N"));
    EXPECT_EQ(empleado->text(), QStringLiteral("NO"));
}

TEST_F(Registro, StaffBoxAidOtherKeysAndLeaving) {
    auto* empleado = caja("txtStuffSiNo");
    ventana->EditMode(true);

    entrar(empleado);
    tecla(empleado, Qt::Key_X, QStringLiteral("x"));
    EXPECT_EQ(empleado->text(), QStringLiteral("x"));
    tecla(empleado, Qt::Key_Y, QStringLiteral("y")); // each key replaces the last
    EXPECT_EQ(empleado->text(), QStringLiteral("y"));
    salir(empleado);
    EXPECT_EQ(empleado->text(), QStringLiteral("Y")); // refused later by the save check

    entrar(empleado);
    tecla(empleado, Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_TRUE(empleado->text().isEmpty());
    salir(empleado);
    EXPECT_EQ(empleado->text(), QStringLiteral("NO"));

    entrar(empleado);
    salir(empleado);
    EXPECT_EQ(empleado->text(), QStringLiteral("NO"));

    // Tab moves on and leaves the text alone.
    empleado->setText(QStringLiteral("SI"));
    tecla(empleado, Qt::Key_Tab, QStringLiteral("\t"));
    EXPECT_EQ(empleado->text(), QStringLiteral("SI"));

    // Keys without a character (arrows) go through untouched.
    empleado->setText(QStringLiteral("SI"));
    tecla(empleado, Qt::Key_Left, QString());
    EXPECT_EQ(empleado->text(), QStringLiteral("SI"));
}

TEST_F(Registro, StaffBoxAidIsOffOutsideEditMode) {
    auto* empleado = caja("txtStuffSiNo");
    empleado->setText(QStringLiteral("si"));
    entrar(empleado);
    EXPECT_EQ(empleado->text(), QStringLiteral("si"));
    tecla(empleado, Qt::Key_N, QStringLiteral("n"));
    EXPECT_EQ(empleado->text(), QStringLiteral("si")); // locked: typing changes nothing
    salir(empleado);
    EXPECT_EQ(empleado->text(), QStringLiteral("si"));
}

TEST_F(Registro, PhotoPickerPutsThePathAndShowsThePicture) {
    ventana->EditMode(true);
    const QString foto = escribirPng(carpeta.archivo(QStringLiteral("socio.png")));
    selector.respuestas.push_back(foto);
    auto* imgFoto = control<QLabel>("imgFoto");
    const QImage antes = imgFoto->pixmap().toImage();

    QTest::mouseClick(control<QWidget>("imgFotoPath"), Qt::LeftButton);
    EXPECT_EQ(selector.veces, 1);
    EXPECT_EQ(selector.carpeta, QDir(carpeta.ruta()).filePath(QStringLiteral("Fotos")));
    EXPECT_EQ(selector.filtro, QStringLiteral("BMP files (*.bmp)|*.bmp|All files (*.*)|*.*"));
    EXPECT_EQ(selector.indice, 1);
    EXPECT_EQ(caja("txtFotoPath")->text(), foto);
    EXPECT_NE(imgFoto->pixmap().toImage(), antes);
    EXPECT_EQ(imgFoto->pixmap().toImage().pixelColor(imgFoto->pixmap().width() / 2,
                                                     imgFoto->pixmap().height() / 2),
              QColor(200, 30, 30));
    EXPECT_TRUE(msgBox.mostrados.empty());
}

TEST_F(Registro, PhotoPickerCancelChangesNothing) {
    ventana->EditMode(true);
    caja("txtFotoPath")->setText(QStringLiteral("/fotos/antes.bmp"));
    ventana->imgFotoPath_Click();
    EXPECT_EQ(selector.veces, 1);
    EXPECT_EQ(caja("txtFotoPath")->text(), QStringLiteral("/fotos/antes.bmp"));
    EXPECT_TRUE(msgBox.mostrados.empty());
}

TEST_F(Registro, PhotoPickerWithAFileThatIsNoPicture) {
    ventana->EditMode(true);
    const QString falsa = carpeta.archivo(QStringLiteral("notas.bmp"));
    {
        QFile f(falsa);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("esto no es una imagen");
    }
    selector.respuestas.push_back(falsa);
    ventana->imgFotoPath_Click();
    ASSERT_EQ(msgBox.mostrados.size(), 1u);
    EXPECT_TRUE(msgBox.ultimo().texto.startsWith(QStringLiteral("Error 481 (")));
    EXPECT_TRUE(msgBox.ultimo().texto.endsWith(
        QStringLiteral(") in procedure imgFotoPath_Click of Formulario frmClientes")));
    EXPECT_EQ(msgBox.ultimo().estilo, 0);
    EXPECT_TRUE(msgBox.ultimo().titulo.isEmpty());
    EXPECT_EQ(caja("txtFotoPath")->text(), falsa); // the chosen path stays
}

TEST_F(Registro, PhotoPickerIsDisabledOutsideEditMode) {
    QTest::mouseClick(control<QWidget>("imgFotoPath"), Qt::LeftButton);
    EXPECT_EQ(selector.veces, 0);
}

TEST_F(Registro, DoubleClickOnThePhotoOpensAnExistingFile) {
    const QString foto = escribirPng(carpeta.archivo(QStringLiteral("socio.png")));
    caja("txtFotoPath")->setText(foto);
    dobleClick("imgFoto");
    EXPECT_EQ(visor.abiertos, QStringList{foto});

    caja("txtFotoPath")->setText(carpeta.archivo(QStringLiteral("no-existe.png")));
    dobleClick("imgFoto");
    caja("txtFotoPath")->clear();
    dobleClick("imgFoto");
    EXPECT_EQ(visor.abiertos.size(), 1);
}

TEST_F(Registro, MostrarFotoFallsBackToNoPhoto) {
    auto* imgFoto = control<QLabel>("imgFoto");
    const QImage sinFoto = imgFoto->pixmap().toImage();
    ASSERT_TRUE(ventana->MostrarFoto(escribirPng(carpeta.archivo(QStringLiteral("a.png")))));
    EXPECT_NE(imgFoto->pixmap().toImage(), sinFoto);
    QString motivo;
    EXPECT_FALSE(ventana->MostrarFoto(carpeta.archivo(QStringLiteral("falta.png")), &motivo));
    EXPECT_FALSE(motivo.isEmpty());
    EXPECT_EQ(imgFoto->pixmap().toImage(), sinFoto);
}

TEST_F(Registro, ServiceBoxChoosesOnlyAnExactlyEqualEntry) {
    auto* servicio = control<ComboBloqueable>("cboServContratado");
    servicio->addItems(
        {QStringLiteral("Mensual"), QStringLiteral("Trimestral"), QStringLiteral("Mensual")});
    ventana->MostrarServicio(QStringLiteral("Trimestral"), false);
    EXPECT_EQ(servicio->currentIndex(), 1);
    EXPECT_EQ(servicio->currentText(), QStringLiteral("Trimestral"));

    ventana->MostrarServicio(QStringLiteral("Mensual"), false);
    EXPECT_EQ(servicio->currentIndex(), 0); // the first of two equal entries

    ventana->MostrarServicio(QStringLiteral("mensual"), false); // differs only in case
    EXPECT_EQ(servicio->currentIndex(), -1);
    EXPECT_EQ(servicio->currentText(), QStringLiteral("mensual"));

    ventana->MostrarServicio(QStringLiteral("Anual de verano"), false); // not in the list
    EXPECT_EQ(servicio->currentIndex(), -1);
    EXPECT_EQ(servicio->currentText(), QStringLiteral("Anual de verano"));

    ventana->MostrarServicio(QStringLiteral("Mensual"), true); // Null
    EXPECT_EQ(servicio->currentIndex(), -1);
    EXPECT_TRUE(servicio->currentText().isEmpty());
}

TEST_F(Registro, CounterIndicatorAndStaffText) {
    ventana->MostrarNavegador(5, 12);
    EXPECT_EQ(caja("txtNavReg")->text(), QStringLiteral(" 5"));
    EXPECT_EQ(caja("txtRegTotales")->text(), QStringLiteral(" 12"));
    ventana->MostrarNavegador(-1, 0);
    EXPECT_EQ(caja("txtNavReg")->text(), QStringLiteral(" 0"));
    EXPECT_EQ(caja("txtRegTotales")->text(), QStringLiteral(" 0"));

    ventana->MostrarTemplateSiNo(true);
    EXPECT_EQ(caja("txtTemplateSiNo")->text(), QStringLiteral("SI"));
    EXPECT_TRUE(control<QPushButton>("cmdVerificarHuellaDB")->isEnabled());
    ventana->MostrarTemplateSiNo(false);
    EXPECT_EQ(caja("txtTemplateSiNo")->text(), QStringLiteral("NO"));
    EXPECT_FALSE(control<QPushButton>("cmdVerificarHuellaDB")->isEnabled());

    EXPECT_EQ(frmClientes::TextoEmpleado(true), QStringLiteral("SI"));
    EXPECT_EQ(frmClientes::TextoEmpleado(false), QStringLiteral("NO"));
    EXPECT_TRUE(frmClientes::LeerEmpleado(QStringLiteral("SI")));
    for (const char* texto : {"si", "Si", "SI ", " SI", "NO", "", "S"})
        EXPECT_FALSE(frmClientes::LeerEmpleado(QString::fromLatin1(texto))) << texto;
}

TEST_F(Registro, RowPhotoMissingOrUnreadable) {
    auto* imgFoto = control<QLabel>("imgFoto");
    const QImage sinFoto = imgFoto->pixmap().toImage();
    const QString falta = carpeta.archivo(QStringLiteral("Fotos/no-esta.jpg"));
    EXPECT_TRUE(ventana->MostrarFotoCliente(falta));
    EXPECT_EQ(caja("txtFotoPath")->text(), falta); // the path still shows
    EXPECT_EQ(imgFoto->pixmap().toImage(), sinFoto);

    const QString buena = escribirPng(carpeta.archivo(QStringLiteral("ana.png")));
    EXPECT_TRUE(ventana->MostrarFotoCliente(buena));
    EXPECT_NE(imgFoto->pixmap().toImage(), sinFoto);

    const QString rota = carpeta.archivo(QStringLiteral("rota.jpg"));
    QFile f(rota);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xff\xd8 roto");
    f.close();
    QString motivo;
    EXPECT_FALSE(ventana->MostrarFotoCliente(rota, &motivo));
    EXPECT_FALSE(motivo.isEmpty());
    EXPECT_EQ(imgFoto->pixmap().toImage(), sinFoto);
}
