#include "ColumnaEstacion.h"

#include "BotonImagen.h"
#include "CrearControl.h"
#include "ImagenesVentana.h"
#include "Twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>

namespace portiva {

namespace {

QGroupBox* crearMarco(QWidget* ventana, const QString& nombre, QRect lugar, const QString& titulo) {
    auto* marco = CrearControl<QGroupBox>(ventana, nombre, lugar, titulo);
    marco->lower();
    return marco;
}

QFont negrita(QFont base, int pixeles = 0) {
    base.setBold(true);
    if (pixeles > 0)
        base.setPixelSize(pixeles);
    return base;
}

} // namespace

ColumnaEstacion ColumnaEstacion::construir(QWidget* v, const ImagenesVentana& img) {
    ColumnaEstacion c;
    const QSize chrome(Px(360), Px(360));
    const QSize interruptor(Px(480), Px(480));

    // Title bar: the picture is the drag area; the title lets the mouse through to it.
    c.imgMyTitleBar = CrearBotonImagen(v, QStringLiteral("imgMyTitleBar"),
                                       QRect(0, 0, Px(11625), Px(555)), img.imagen("MyTitleBar"));
    c.imgMyTitleBar->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    c.lblTituloGeneral = CrearEtiqueta(v, QStringLiteral("lblTituloGeneral"), QRect(36, 5, 280, 26),
                                       QStringLiteral("Control de Accesos"));
    c.lblTituloGeneral->setFont(negrita(v->font(), 16));
    c.lblTituloGeneral->setStyleSheet(QStringLiteral("color: white;"));
    c.lblTituloGeneral->setAttribute(Qt::WA_TransparentForMouseEvents);

    c.imgMinim = CrearBotonImagen(
        v, QStringLiteral("imgMinim"), QRect(QPoint(MinimEstrecha, TopChrome), chrome),
        img.imagen("Minim"), QStringLiteral(" Minimizar junto al reloj "));
    c.imgClose = CrearBotonImagen(v, QStringLiteral("imgClose"),
                                  QRect(QPoint(CloseEstrecha, TopChrome), chrome),
                                  img.imagen("Close"), QStringLiteral(" Cerrar "));

    const QRect sonido(QPoint(Px(4830), Px(540)), interruptor);
    c.imgSoundOn = CrearBotonImagen(v, QStringLiteral("imgSoundOn"), sonido, img.imagen("SoundOn"));
    c.imgSoundOff =
        CrearBotonImagen(v, QStringLiteral("imgSoundOff"), sonido, img.imagen("SoundOff"));
    const QRect flechaInfo(QPoint(Px(5370), Px(510)), interruptor);
    c.imgDesplegarInfo = CrearBotonImagen(v, QStringLiteral("imgDesplegarInfo"), flechaInfo,
                                          img.imagen("DesplegarInfo"));
    c.imgRecogerInfo = CrearBotonImagen(v, QStringLiteral("imgRecogerInfo"), flechaInfo,
                                        img.imagen("RecogerInfo"));

    // Status line.
    c.lblInfoHuella = CrearEtiqueta(v, QStringLiteral("lblInfoHuella"), QRect(8, 42, 308, 24),
                                    QString(), Qt::AlignCenter);
    c.lblInfoHuella->setFont(negrita(v->font(), 13));
    c.lblInfoHuella->setFrameShape(QFrame::StyledPanel);
    c.lblInfoHuella->setFrameShadow(QFrame::Sunken);
    c.lblInfoHuella->setAutoFillBackground(true);
    {
        QPalette p = c.lblInfoHuella->palette();
        p.setColor(QPalette::Window, QColor(255, 255, 255, 150));
        c.lblInfoHuella->setPalette(p);
    }

    // Captured fingerprint.
    c.fraCaptura = crearMarco(v, QStringLiteral("fraCaptura"), QRect(6, 70, 146, 232),
                              QStringLiteral("Captura de Huella"));
    c.imgCapturaHuella =
        CrearControl<QLabel>(v, QStringLiteral("imgCapturaHuella"), QRect(16, 88, 126, 206));
    c.imgCapturaHuella->setAlignment(Qt::AlignCenter);
    c.imgCapturaHuella->setAutoFillBackground(true);
    {
        QPalette p = c.imgCapturaHuella->palette();
        p.setColor(QPalette::Window, QColor(0x1b, 0x27, 0x34));
        c.imgCapturaHuella->setPalette(p);
    }

    // The day's access counters and the last result.
    c.fraTiposAcceso = crearMarco(v, QStringLiteral("fraTiposAcceso"), QRect(158, 70, 234, 112),
                                  QStringLiteral("Tipos de Accesos"));
    c.imgResultHuella =
        CrearControl<QLabel>(v, QStringLiteral("imgResultHuella"),
                             QRect(QPoint(170, 96), ImagenesVentana::TamanoResultado));
    c.imgResultHuella->setAlignment(Qt::AlignCenter);
    static const char* const captions[5] = {"Apert. Man.", "Personal", "Clientes", "Caducados",
                                            "Descon."};
    for (int i = 0; i < 5; ++i) {
        const int y = 86 + i * 15;
        c.lblAcceso[i] = CrearEtiqueta(v, QStringLiteral("lblAcceso(%1)").arg(i),
                                       QRect(232, y, 90, 15), QString::fromUtf8(captions[i]));
        c.lblResult_Acceso[i] =
            CrearEtiqueta(v, QStringLiteral("lblResult_Acceso(%1)").arg(i), QRect(322, y, 60, 15),
                          QStringLiteral("0"), Qt::AlignRight | Qt::AlignVCenter);
    }
    auto* linea = CrearControl<QFrame>(v, QStringLiteral("linTotalHoy"), QRect(232, 162, 150, 1));
    linea->setFrameShape(QFrame::HLine);
    linea->setFrameShadow(QFrame::Sunken);
    c.lblTotalHoy = CrearEtiqueta(v, QStringLiteral("lblTotalHoy"), QRect(232, 164, 90, 15),
                                  QStringLiteral("Total hoy"));
    c.lblTotalHoy->setFont(negrita(v->font()));
    c.lblResult_TotalHoy =
        CrearEtiqueta(v, QStringLiteral("lblResult_TotalHoy"), QRect(322, 164, 60, 15),
                      QStringLiteral("0"), Qt::AlignRight | Qt::AlignVCenter);
    c.lblResult_TotalHoy->setFont(c.lblTotalHoy->font());

    // Actions.
    c.fraAcciones = crearMarco(v, QStringLiteral("fraAcciones"), QRect(158, 186, 234, 48),
                               QStringLiteral("Acciones"));
    c.cmdAperturaManual =
        CrearControl<QPushButton>(v, QStringLiteral("cmdAperturaManual"), QRect(165, 204, 98, 24),
                                  QStringLiteral("Apertura Manual"));
    c.cmdAnalizarHuella =
        CrearControl<QPushButton>(v, QStringLiteral("cmdAnalizarHuella"), QRect(266, 204, 58, 24),
                                  QStringLiteral("Analizar"));
    c.cmdIndentificarHuellaDB =
        CrearControl<QPushButton>(v, QStringLiteral("cmdIndentificarHuellaDB"),
                                  QRect(327, 204, 62, 24), QStringLiteral("Identificar"));

    // What the station shows and does by itself.
    c.fraMostrar = crearMarco(v, QStringLiteral("fraMostrar"), QRect(158, 238, 234, 64),
                              QStringLiteral("Mostrar"));
    auto casilla = [&](const char* nombre, int x, int y, const char* texto) {
        return CrearControl<QCheckBox>(v, QString::fromLatin1(nombre),
                                       QRect(x, y, x < 280 ? 120 : 104, 16),
                                       QString::fromUtf8(texto));
    };
    c.chkAutoAnalizar = casilla("chkAutoAnalizar", 166, 254, "Auto Analizar");
    c.chkAutoIdentify = casilla("chkAutoIdentify", 166, 269, "Auto Identificar");
    c.chkInformacionAmpliada = casilla("chkInformacionAmpliada", 166, 284, "Inform. ampliada");
    c.chkMostrarHuella = casilla("chkMostrarHuella", 288, 254, "Huella");
    c.chkMostrarAnalisis = casilla("chkMostrarAnalisis", 288, 269, "Analisis");
    c.chkMostrarIdentificacion = casilla("chkMostrarIdentificacion", 288, 284, "Identif. grafica");
    c.chkInformacionAmpliada->setToolTip(
        QStringLiteral(" Busca los datos de la huella y los muestra "));
    c.chkAutoAnalizar->setChecked(true);
    c.chkAutoIdentify->setChecked(true);
    c.chkMostrarHuella->setChecked(true);

    // Event log.
    c.lblEventos = CrearEtiqueta(v, QStringLiteral("lblEventos"), QRect(8, 308, 120, 16),
                                 QStringLiteral("Eventos..."));
    c.lblEventos->setFont(negrita(v->font()));
    c.cmdClearEvents = CrearControl<QPushButton>(v, QStringLiteral("cmdClearEvents"),
                                                 QRect(332, 305, 60, 20), QStringLiteral("Borrar"));
    c.lbLog = CrearControl<QListWidget>(v, QStringLiteral("lbLog"), QRect(8, 327, 384, 71));
    // Every line has the height of one line of text, so appending to a long log stays as quick
    // as to a short one. A batched layout stopped laying out lines appended after its first
    // batch (the log stopped showing new lines after a hundred), and with sizes taken as
    // uniform the width follows the newest line: a scrollbar shown as needed came and went
    // with every long line, so it stays.
    c.lbLog->setUniformItemSizes(true);
    c.lbLog->setLayoutMode(QListView::SinglePass);
    c.lbLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    return c;
}

} // namespace portiva
