#include "MsgBoxQt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>

#include <utility>

namespace portiva {

namespace {

QMessageBox::Icon iconoDe(int estilo) {
    switch (estilo & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Room in the title bar besides the title: the window icon, the close button and margins.
constexpr int AnchoBotonesTitulo = 120;

} // namespace

int MsgBoxQt::AnchoParaTitulo(const QString& titulo) {
    // Title bars draw in a bold face of about the application's size.
    QFont letra = QApplication::font();
    letra.setBold(true);
    letra.setPointSizeF(letra.pointSizeF() * 1.15);
    return QFontMetrics(letra).horizontalAdvance(titulo) + AnchoBotonesTitulo;
}

Respuesta MsgBoxQt::operator()(const QString& texto, int estilo, const QString& titulo) {
    // A hidden window (the station in the tray) must not hide the box with it.
    QWidget* padre = padre_ && padre_->isVisible() ? padre_.data() : nullptr;
    QMessageBox caja(iconoDe(estilo), titulo.isEmpty() ? TituloAplicacion : titulo, texto,
                     QMessageBox::NoButton, padre);
    switch (estilo & 7) {
    case 3:
        caja.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        caja.setDefaultButton(QMessageBox::Yes);
        caja.setEscapeButton(QMessageBox::Cancel);
        break;
    case 4:
        caja.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        caja.setDefaultButton(QMessageBox::Yes);
        caja.setEscapeButton(QMessageBox::No);
        break;
    default:
        caja.setStandardButtons(QMessageBox::Ok);
        break;
    }
    const std::pair<QMessageBox::StandardButton, const char*> textos[] = {
        {QMessageBox::Yes, "&Sí"},
        {QMessageBox::No, "&No"},
        {QMessageBox::Cancel, "Cancelar"},
        {QMessageBox::Ok, "Aceptar"},
    };
    for (const auto& [boton, rotulo] : textos)
        if (QAbstractButton* b = caja.button(boton))
            b->setText(QString::fromUtf8(rotulo));
    // A message box sizes itself from its text alone: a row as wide as the title keeps it from
    // being narrower.
    if (auto* rejilla = qobject_cast<QGridLayout*>(caja.layout()))
        rejilla->addItem(new QSpacerItem(AnchoParaTitulo(caja.windowTitle()), 0,
                                         QSizePolicy::Minimum, QSizePolicy::Fixed),
                         rejilla->rowCount(), 0, 1, rejilla->columnCount());

    switch (caja.exec()) {
    case QMessageBox::Yes:
        return Respuesta::Si;
    case QMessageBox::No:
        return Respuesta::No;
    case QMessageBox::Cancel:
        return Respuesta::Cancelar;
    default:
        return Respuesta::Aceptar;
    }
}

} // namespace portiva
