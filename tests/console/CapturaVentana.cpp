// Renders the main window with sample contents in its three sizes into PNG files in the
// folder given, without a screen: capturas/estrecha.png (station column), ancha.png (with the
// member-information panel), entera.png (all three areas) and globo.png (editing, with a
// balloon tip on the name box). Ends with 1 when an area draws nothing.

#include "CarpetaTemporal.h"
#include "ComboBloqueable.h"
#include "Entorno.h"
#include "Falsos.h"
#include "GloboTexto.h"
#include "MsgBoxGuion.h"
#include "NumeroTexto.h"
#include "RelojFijo.h"
#include "frmClientes.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyleFactory>
#include <QTreeWidget>
#include <cstdio>

using namespace portiva;

namespace {

void rellenar(frmClientes& v, const Reloj& reloj) {
    const QStringList lineas = {
        QStringLiteral("Driver huella iniciado con exito. Buscando el lector..."),
        QStringLiteral("Lector de huella conectado."),
        QStringLiteral("Nueva huella capturada."),
        QStringLiteral("      Analisis de la huella: Analisis con exito. Calidad alta."),
        QStringLiteral("      Identif.: Permitido  ID 12  [87%]  Registro=12"),
    };
    for (const QString& l : lineas)
        v.EscribirLog(reloj.hora().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" -> ") +
                      l);
    v.MostrarContAperturas(0, 1, 1);
    v.MostrarContAperturas(1, 2, 3);
    v.MostrarContAperturas(2, 14, 17);
    v.MostrarContAperturas(3, 2, 17);
    v.MostrarContAperturas(4, 1, 17);
    v.MostrarResultado(2);
    v.InfoHuella(QStringLiteral(" ID 12 Ana Torres (Permitido)"), false);

    const PanelInfo& p = v.info();
    p.txtID->setText(QStringLiteral("12"));
    p.txtCodigo->setText(QStringLiteral("A-0012"));
    p.txtStuffSiNo->setText(QStringLiteral("NO"));
    p.txtTemplateSiNo->setText(QStringLiteral("SI"));
    p.txtNombre->setText(QStringLiteral("Ana Torres Gil"));
    p.txtNomFiscal->setText(QStringLiteral("Ana Torres Gil"));
    p.txtFotoPath->setText(QStringLiteral("/srv/portiva/Fotos/ana.jpg"));
    p.cboServContratado->addItems({QStringLiteral("Mensual"), QStringLiteral("Trimestral")});
    p.cboServContratado->setEditText(QStringLiteral("Mensual"));
    p.txtPrecio->setText(TextoNumero(35));
    p.txtFechaInscripcion->setText(QStringLiteral("02/09/2026"));
    p.txtFechaInicio->setText(QStringLiteral("28/11/2026"));
    p.txtFechaCaducidad->setText(QStringLiteral("28/12/2026"));
    p.txtNavReg->setText(TextoNumero(12));
    p.txtRegTotales->setText(TextoNumero(148));
    p.lblResult_Personal->setText(QStringLiteral("6"));
    p.lblResult_ClientesPermitidos->setText(QStringLiteral("121"));
    p.lblResult_ClientesNoPermitidos->setText(QStringLiteral("21"));
    p.lblResult_TotalRegistros->setText(QStringLiteral("148"));
    FilaCaducidad fila;
    fila.fldFechaInicio = QDate(2026, 11, 28);
    fila.fldFechaCaducidad = QDate(2026, 12, 28);
    v.InfoCaducidadDB(fila, false);

    QTreeWidget* lista = v.buscar().lvwResutadoBusqueda;
    const QStringList filas[] = {
        {QStringLiteral("   12"), QStringLiteral("A-0012"), QStringLiteral("NO"),
         QStringLiteral("28/11/2026"), QStringLiteral("28/12/2026"), QStringLiteral("SI"),
         QStringLiteral("Ana Torres Gil"), QStringLiteral("Ana Torres Gil"), QStringLiteral("SI"),
         QStringLiteral("Mensual"), QStringLiteral(" 35"), QStringLiteral("SI")},
        {QStringLiteral("   15"), QStringLiteral("A-0015"), QStringLiteral("NO"),
         QStringLiteral("01/10/2026"), QStringLiteral("01/01/2027"), QStringLiteral("SI"),
         QStringLiteral("Luis Pardo"), QStringLiteral("Pardo Sport SL"), QStringLiteral("NO"),
         QStringLiteral("Trimestral"), QStringLiteral(" 95"), QStringLiteral("SI")},
    };
    for (const QStringList& f : filas)
        lista->addTopLevelItem(new QTreeWidgetItem(f));
    v.buscar().lblResultBusqueda->setText(QStringLiteral("Clientes Permitidos (2 registro/s)"));
}

// True when the area of the picture holds more than one colour.
bool dibuja(const QImage& imagen, QRect area) {
    const QRgb primero = imagen.pixel(area.topLeft());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (imagen.pixel(x, y) != primero)
                return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (QStyle* estilo = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(estilo);
    const QString salida = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("capturas");
    if (!QDir().mkpath(salida)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(salida));
        return 1;
    }

    prueba::CarpetaTemporal carpeta;
    prueba::MsgBoxGuion msgBox;
    prueba::RelojFijo reloj(QDateTime(QDate(2026, 12, 8), QTime(10, 30, 5)));
    Entorno entorno{carpeta.ruta(), msgBox, reloj};
    prueba::SelectorGuion selector;
    prueba::VisorFalso visor;
    prueba::BandejaFalsa bandeja;
    frmClientes ventana({entorno, selector, visor, bandeja});
    ventana.Form_Load();
    rellenar(ventana, reloj);

    struct Estado {
        const char* archivo;
        bool info, buscar;
        QRect comprobar; // an area new in this size, that must draw
    };
    const Estado estados[] = {
        {"estrecha.png", false, false, QRect(8, 327, 384, 71)},
        {"ancha.png", true, false, QRect(408, 200, 368, 140)},
        {"entera.png", true, true, QRect(8, 468, 766, 129)},
    };
    int fallos = 0;
    for (const Estado& e : estados) {
        ventana.DesplegarInfo(e.info);
        ventana.DesplegarBuscar(e.buscar);
        QApplication::processEvents();
        const QImage imagen = ventana.grab().toImage();
        const QString ruta = QDir(salida).filePath(QString::fromLatin1(e.archivo));
        if (!imagen.save(ruta)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(ruta));
            ++fallos;
            continue;
        }
        if (!dibuja(imagen, e.comprobar)) {
            std::fprintf(stderr, "%s: the new area draws nothing\n", e.archivo);
            ++fallos;
        }
        std::printf("%s (%dx%d)\n", qPrintable(ruta), imagen.width(), imagen.height());
    }

    // A balloon tip on the name box while editing, drawn into the picture where it shows.
    // The save refuses an empty name with the balloon of the record checks.
    ventana.EditMode(true);
    ventana.info().txtNombre->setText(QStringLiteral("   "));
    ventana.imgGuardarCliente_Click();
    QApplication::processEvents();
    QImage conGlobo = ventana.grab().toImage();
    {
        GloboTexto& globo = ventana.globos().globo();
        QPainter pintor(&conGlobo);
        pintor.setClipRegion(globo.mask().translated(globo.pos() - ventana.pos()));
        pintor.drawPixmap(globo.pos() - ventana.pos(), globo.grab());
    }
    const QString rutaGlobo = QDir(salida).filePath(QStringLiteral("globo.png"));
    if (!conGlobo.save(rutaGlobo))
        ++fallos;
    std::printf("%s\n", qPrintable(rutaGlobo));
    return fallos == 0 ? 0 : 1;
}
