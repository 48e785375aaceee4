#include "SkinSupportCode.h"

#include "AjustesEstacion.h"
#include "Entorno.h"
#include "FileExists.h"

#include <QAction>
#include <QDir>
#include <QMenu>

#include <algorithm>

namespace portiva {

QStringList ListarSkins(const QString& carpetaSkins) {
    const QDir carpeta(carpetaSkins, QString(), QDir::NoSort, QDir::Files);
    if (!carpeta.exists())
        return {};
    QStringList nombres;
    for (const QString& nombre : carpeta.entryList())
        if (nombre.endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive))
            nombres << nombre;
    std::sort(nombres.begin(), nombres.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return nombres;
}

std::array<QString, 24> RepartirSkins(const QStringList& archivos) {
    std::array<QString, 24> titulos;
    size_t hueco = 0;
    for (const QString& nombre : archivos) {
        titulos[hueco] = nombre.left(nombre.size() - 4);
        if (hueco < titulos.size() - 1)
            ++hueco;
    }
    return titulos;
}

bool EsSkinActual(const QString& titulo, const QString& skinActual) {
    return !titulo.isEmpty() &&
           (titulo + QStringLiteral(".jpg")).compare(skinActual, Qt::CaseInsensitive) == 0;
}

std::optional<qint32> MuestraColor(const QImage& imagen, QPoint punto) {
    if (!imagen.valid(punto))
        return std::nullopt;
    return BgrDesdeColor(imagen.pixelColor(punto));
}

SkinSupportCode::SkinSupportCode(Entorno& entorno, AjustesEstacion& ajustes, VentanaSkin& ventana,
                                 Menu menu)
    : entorno_(entorno), ajustes_(ajustes), ventana_(ventana), menu_(menu) {}

QString SkinSupportCode::carpetaSkins() const {
    return QDir(entorno_.carpetaPrograma).filePath(QStringLiteral("Skins"));
}

QPixmap SkinSupportCode::Fondo() const {
    return ventana_.Fondo();
}

void SkinSupportCode::LoadLastSkin() {
    if (LoadSkin(ajustes_.SkinActual)) {
        ApplySkinColors();
        return;
    }
    // The window keeps its own background and colours; the setting is saved again at exit.
    entorno_.msgBox(QStringLiteral("Ocurrio un error el la carga del ultimo estilo visual "
                                   "seleccionado."),
                    EstiloMsg::Exclamacion, QStringLiteral("Estilo visual Error..."));
}

bool SkinSupportCode::LoadSkin(const QString& nombre) {
    if (nombre.isEmpty())
        return false;
    QDir carpeta(carpetaSkins());
    QString ruta = carpeta.filePath(nombre);
    if (!FileExists(ruta)) {
        // The name as saved may differ from the file's in letter case only.
        const QStringList archivos = ListarSkins(carpeta.path());
        const auto igual = std::find_if(archivos.begin(), archivos.end(), [&](const QString& a) {
            return a.compare(nombre, Qt::CaseInsensitive) == 0;
        });
        if (igual == archivos.end())
            return false;
        ruta = carpeta.filePath(*igual);
    }
    QPixmap imagen;
    if (!imagen.load(ruta) || imagen.isNull())
        return false;
    ventana_.PonerFondo(imagen);
    ajustes_.SkinActual = nombre;
    return true;
}

void SkinSupportCode::ApplySkinColors() {
    const QImage imagen = ventana_.Fondo().toImage();
    const auto error = [this] {
        entorno_.msgBox(QStringLiteral("Error en la funcion GetPixel() "), EstiloMsg::Exclamacion,
                        QStringLiteral("Aplicando el estilo visual..."));
    };
    const std::optional<qint32> fondo = MuestraColor(imagen, PuntoMuestra);
    if (!fondo) {
        colorFondo_ = ColorFondoDiseno;
        error();
        return;
    }
    colorFondo_ = *fondo;
    const std::optional<qint32> texto = MuestraColor(imagen, PuntoMuestraTexto);
    if (!texto) {
        colorTexto_ = ColorTextoError;
        error();
        return;
    }
    colorTexto_ = *texto;
    ventana_.ColorearControles(ColorDesdeBgr(colorFondo_));
    emit skinAplicado();
}

void SkinSupportCode::CargarMenuSkins() {
    for (size_t i = 0; i < menu_.mnuSelectedSkin.size(); ++i) {
        QAction* elemento = menu_.mnuSelectedSkin[i];
        elemento->setEnabled(true);
        if (i > 0)
            elemento->setVisible(false);
    }
    const QStringList archivos = ListarSkins(carpetaSkins());
    const std::array<QString, 24> titulos = RepartirSkins(archivos);
    for (size_t i = 0; i < titulos.size() && static_cast<qsizetype>(i) < archivos.size(); ++i) {
        QAction* elemento = menu_.mnuSelectedSkin[i];
        elemento->setText(titulos[i]);
        elemento->setEnabled(true);
        elemento->setVisible(true);
        elemento->setChecked(false);
    }
    menu_.mnuSkins->menuAction()->setVisible(!archivos.isEmpty());
    if (archivos.isEmpty())
        return;
    for (QAction* elemento : menu_.mnuSelectedSkin)
        if (EsSkinActual(elemento->text(), ajustes_.SkinActual))
            elemento->setChecked(true);
}

void SkinSupportCode::mnuSelectedSkin_Click(int Index) {
    if (Index < 1 || Index > static_cast<int>(menu_.mnuSelectedSkin.size()))
        return;
    QAction* elemento = menu_.mnuSelectedSkin[static_cast<size_t>(Index - 1)];
    // The tick is the menu's own state before the click toggled it: it is set again from the
    // current skin at the next opening.
    if (EsSkinActual(elemento->text(), ajustes_.SkinActual)) {
        elemento->setChecked(true);
        return;
    }
    elemento->setChecked(false);
    if (LoadSkin(elemento->text() + QStringLiteral(".jpg")))
        ApplySkinColors();
    else
        entorno_.msgBox(QStringLiteral("Sorry, it was an error trying to load the selected skin."),
                        EstiloMsg::Exclamacion, QStringLiteral("Skin load error..."));
}

} // namespace portiva
