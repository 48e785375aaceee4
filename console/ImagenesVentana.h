#pragma once

#include <QHash>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace portiva {

// The pictures stored with the window: drawings compiled into the program, rendered at the
// size each control needs. Index rules of the picture arrays:
//   imgTipoDeAcceso 0-8 and 11-13 (9 and 10 are never shown and give no picture),
//   imgSysTray 0-9, imgUserDB 1-4.
class ImagenesVentana {
public:
    ImagenesVentana();

    // A drawing by name (without extension) at a given size; a null pixmap when there is no
    // drawing of that name.
    QPixmap imagen(const QString& nombre, QSize tamano) const;
    // A drawing at the size it was designed for.
    QPixmap imagen(const QString& nombre) const;

    QPixmap TipoDeAcceso(int indice) const;
    QIcon SysTray(int indice) const;
    QPixmap UserDB(int indice) const;
    QPixmap NoFoto(QSize tamano) const;
    QPixmap NoMostrar(QSize tamano) const;
    QIcon IconoVentana() const;
    // The window's built-in background, shown until a skin is loaded.
    QPixmap Fondo() const;

    static constexpr QSize TamanoResultado{48, 48};

private:
    QIcon icono(const QString& nombre) const;

    mutable QHash<QString, QPixmap> cache_;
};

} // namespace portiva
