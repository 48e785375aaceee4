#include "formOptions.h"

#include "AjustesEstacion.h"
#include "ColorBgr.h"
#include "CrearControl.h"
#include "MotorHuella.h"
#include "NumeroTexto.h"
#include "ParametrosHuella.h"
#include "SelectorColor.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace portiva {

qint32 LeerParametro(QStringView texto) {
    // The default floating-point rounding takes halves to the even neighbour.
    const double valor = std::nearbyint(LeerNumero(texto));
    constexpr double minimo = std::numeric_limits<qint32>::min();
    constexpr double maximo = std::numeric_limits<qint32>::max();
    if (!(valor >= minimo))
        return std::numeric_limits<qint32>::min();
    if (valor > maximo)
        return std::numeric_limits<qint32>::max();
    return static_cast<qint32>(valor);
}

QString ProblemaParametro(QStringView texto, qint32 minimo, qint32 maximo) {
    static const QRegularExpression numero(QStringLiteral(R"(^\s*[+-]?(\d|\.\d))"));
    const QString rango =
        QStringLiteral("Escriba un número entero entre %1 y %2.").arg(minimo).arg(maximo);
    const QString t = texto.toString().trimmed();
    if (!numero.match(t).hasMatch())
        return t.isEmpty() ? QStringLiteral("Falta el valor. ") + rango
                           : QStringLiteral("\"%1\" no es un número. ").arg(t) + rango;
    const qint32 valor = LeerParametro(texto);
    if (valor < minimo || valor > maximo)
        return QStringLiteral("%1 está fuera del rango. ").arg(valor) + rango;
    return {};
}

namespace {

constexpr QSize Tamano(420, 394);

QLineEdit* cajaParametro(QWidget* marco, const QString& nombre, int y) {
    auto* caja = CrearControl<QLineEdit>(marco, nombre, QRect(140, y, 40, 20));
    caja->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caja->setMaxLength(3);
    return caja;
}

} // namespace

formOptions::formOptions(AjustesEstacion& ajustes, ParametrosHuella& parametros,
                         SelectorColor& colores, const AspectoSkin& skin,
                         const ImagenesVentana& imagenes, QWidget* padre)
    : DialogoSkin(QStringLiteral("Configuración"), Tamano, skin, imagenes, padre),
      ajustes_(ajustes), parametros_(parametros), selectorColor_(colores) {
    setObjectName(QStringLiteral("formOptions"));
    setWindowTitle(QStringLiteral("Configuración"));

    auto* frame1 = CrearControl<QGroupBox>(this, QStringLiteral("Frame1"), QRect(8, 40, 198, 80),
                                           QStringLiteral("Identificación"));
    auto* frame2 = CrearControl<QGroupBox>(this, QStringLiteral("Frame2"), QRect(214, 40, 198, 80),
                                           QStringLiteral("Verificación"));
    const auto par = [](QGroupBox* marco, const QString& umbral, const QString& rotacion,
                        QLineEdit*& cajaUmbral, QLineEdit*& cajaRotacion) {
        CrearEtiqueta(marco, {}, QRect(8, 22, 130, 20), QStringLiteral("Umbral Límite:"));
        cajaUmbral = cajaParametro(marco, umbral, 22);
        CrearEtiqueta(marco, {}, QRect(8, 50, 130, 20), QStringLiteral("Tolerancia Rotación:"));
        cajaRotacion = cajaParametro(marco, rotacion, 50);
    };
    par(frame1, QStringLiteral("txtIdentThres"), QStringLiteral("txtIdentRotTol"), txtIdentThres,
        txtIdentRotTol);
    par(frame2, QStringLiteral("txtVerifThres"), QStringLiteral("txtVerifRotTol"), txtVerifThres,
        txtVerifRotTol);

    struct Marco {
        const char* nombre;
        const char* titulo;
        const char* swatch[2];
        const char* caja[2];
        const char* mostrar;
    };
    const Marco marcos[] = {
        {"Frame3",
         "Colores Minutiae ",
         {"pbMinutiaeColor", "pbMinutiaeMatchColor"},
         {"cbShowMinutiae", "cbShowMinutiaeMatched"},
         "Mostar"},
        {"Frame4",
         "Colores Segmentos ",
         {"pbSegmentsColor", "pbSegmentsMatchColor"},
         {"cbShowSegments", "cbShowSegmentsMatched"},
         "Mostrar"},
        {"Frame5",
         "Colores Direcciones ",
         {"pbDirectionsColor", "pbDirectionsMatchColor"},
         {"cbShowDirections", "cbShowDirectionsMatched"},
         "Mostrar"},
    };
    std::vector<QWidget*> conSkin{frame1, frame2};
    for (int m = 0; m < 3; ++m) {
        const Marco& d = marcos[m];
        auto* marco =
            CrearControl<QGroupBox>(this, QString::fromLatin1(d.nombre),
                                    QRect(8, 126 + 76 * m, 404, 70), QString::fromLatin1(d.titulo));
        conSkin.push_back(marco);
        for (int k = 0; k < 2; ++k) {
            const int i = 2 * m + k;
            const int x = k == 0 ? 10 : 208;
            CrearEtiqueta(marco, {}, QRect(x, 22, 84, 20),
                          k == 0 ? QStringLiteral("Normal:") : QStringLiteral("Coincidencia:"));
            QLabel* swatch = CrearControl<QLabel>(marco, QString::fromLatin1(d.swatch[k]),
                                                  QRect(x + 86, 20, 32, 22));
            swatch->setFrameShape(QFrame::Panel);
            swatch->setFrameShadow(QFrame::Sunken);
            swatch->setAutoFillBackground(true);
            swatch->installEventFilter(this);
            swatches[static_cast<size_t>(i)] = swatch;
            QCheckBox* caja =
                CrearControl<QCheckBox>(marco, QString::fromLatin1(d.caja[k]),
                                        QRect(x + 124, 20, 64, 22), QString::fromLatin1(d.mostrar));
            mostrar[static_cast<size_t>(i)] = caja;
            conSkin.push_back(caja);
        }
        CrearEtiqueta(marco, {}, QRect(10, 46, 380, 18),
                      QStringLiteral("Haga doble clic para cambiar el color."));
    }

    btOk = CrearControl<QPushButton>(this, QStringLiteral("btOk"), QRect(222, 358, 90, 26),
                                     QStringLiteral("OK"));
    btCancel = CrearControl<QPushButton>(this, QStringLiteral("btCancel"), QRect(320, 358, 90, 26),
                                         QStringLiteral("Cancel"));
    btOk->setDefault(true);
    btOk->setAutoDefault(true);
    btCancel->setAutoDefault(false);
    conSkin.push_back(btCancel);
    conSkin.push_back(btOk);
    PonerControlesSkin(std::move(conSkin));

    connect(btOk, &QPushButton::clicked, this, &formOptions::btOk_Click);
    connect(btCancel, &QPushButton::clicked, this, &formOptions::btCancel_Click);
    // Escape, like Cancel, closes without applying anything.
    connect(this, &QDialog::rejected, this, [this] {
        globos_.OcultarBalloon();
        close();
    });
}

std::array<qint32*, formOptions::Elementos> formOptions::colores() {
    return {&ajustes_.minutiaeColor,   &ajustes_.minutiaeMatchColor,
            &ajustes_.segmentsColor,   &ajustes_.segmentsMatchColor,
            &ajustes_.directionsColor, &ajustes_.directionsMatchColor};
}

void formOptions::Form_Load() {
    parametros_.LeerParametrosHuella(ajustes_);
    txtIdentThres->setText(QString::number(ajustes_.thresholdId));
    txtIdentRotTol->setText(QString::number(ajustes_.rotationMaxId));
    txtVerifThres->setText(QString::number(ajustes_.thresholdVr));
    txtVerifRotTol->setText(QString::number(ajustes_.rotationMaxVr));
    const auto valores = colores();
    for (int i = 0; i < Elementos; ++i) {
        const qint32 color = *valores[static_cast<size_t>(i)];
        const bool dibujado = color != ColorNoDibujado;
        ponerSwatch(i, dibujado ? color : ColoresDefecto[static_cast<size_t>(i)]);
        mostrar[static_cast<size_t>(i)]->setChecked(dibujado);
    }
    SetSkin();
    show();
    raise();
    activateWindow();
    txtIdentThres->setFocus(Qt::OtherFocusReason);
}

bool formOptions::parametrosValidos() {
    using motor::MotorHuella;
    const struct {
        QLineEdit* caja;
        const char* titulo;
        qint32 minimo;
        qint32 maximo;
    } cajas[] = {
        {txtIdentThres, "Identificación: Umbral Límite", MotorHuella::UmbralMinimo,
         MotorHuella::UmbralMaximo},
        {txtIdentRotTol, "Identificación: Tolerancia Rotación", 0, MotorHuella::RotacionMaxima},
        {txtVerifThres, "Verificación: Umbral Límite", MotorHuella::UmbralMinimo,
         MotorHuella::UmbralMaximo},
        {txtVerifRotTol, "Verificación: Tolerancia Rotación", 0, MotorHuella::RotacionMaxima},
    };
    for (const auto& c : cajas) {
        const QString problema = ProblemaParametro(c.caja->text(), c.minimo, c.maximo);
        if (problema.isEmpty())
            continue;
        c.caja->setFocus(Qt::OtherFocusReason);
        c.caja->selectAll();
        globos_.MostrarBalloon(problema, 2, QString::fromUtf8(c.titulo), c.caja);
        return false;
    }
    return true;
}

void formOptions::btOk_Click() {
    if (!parametrosValidos())
        return;
    ajustes_.thresholdId = LeerParametro(txtIdentThres->text());
    ajustes_.rotationMaxId = LeerParametro(txtIdentRotTol->text());
    ajustes_.thresholdVr = LeerParametro(txtVerifThres->text());
    ajustes_.rotationMaxVr = LeerParametro(txtVerifRotTol->text());
    // Within the engine's ranges: the adapter still says so should the engine refuse a pair.
    parametros_.AplicarParametrosHuella(ajustes_);
    const auto valores = colores();
    for (int i = 0; i < Elementos; ++i)
        *valores[static_cast<size_t>(i)] =
            mostrar[static_cast<size_t>(i)]->isChecked() ? colorSwatch(i) : ColorNoDibujado;
    parametros_.AplicarColoresHuella(ajustes_);
    globos_.OcultarBalloon();
    close();
}

void formOptions::btCancel_Click() {
    globos_.OcultarBalloon();
    close();
}

void formOptions::pbColor_DblClick(int i) {
    const std::optional<QColor> elegido =
        selectorColor_.elegir(ColorDesdeBgr(colorSwatch(i)), this);
    if (elegido)
        ponerSwatch(i, BgrDesdeColor(*elegido));
}

qint32 formOptions::colorSwatch(int i) const {
    return swatchBgr_[static_cast<size_t>(i)];
}

void formOptions::ponerSwatch(int i, qint32 bgr) {
    swatchBgr_[static_cast<size_t>(i)] = bgr & 0xFFFFFF;
    QLabel* swatch = swatches[static_cast<size_t>(i)];
    QPalette paleta = swatch->palette();
    paleta.setColor(QPalette::Window, ColorDesdeBgr(bgr));
    swatch->setPalette(paleta);
}

bool formOptions::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::MouseButtonDblClick)
        for (int i = 0; i < Elementos; ++i)
            if (objeto == swatches[static_cast<size_t>(i)]) {
                pbColor_DblClick(i);
                return true;
            }
    return DialogoSkin::eventFilter(objeto, evento);
}

} // namespace portiva
