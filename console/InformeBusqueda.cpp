#include "InformeBusqueda.h"

#include "FormatoFecha.h"
#include "NumeroTexto.h"
#include "Recordset.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QLocale>
#include <QMessageBox>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

#include <algorithm>

namespace portiva {

namespace {

// Layout in twips (1440 to the inch), from the left margin.
struct Caja {
    int izquierda;
    int ancho;
};
constexpr Caja Cabeceras[7] = {{0, 510},     {600, 540},  {1200, 1485}, {2700, 1740},
                               {4500, 1245}, {5850, 855}, {6765, 855}};
constexpr Caja Detalles[7] = {{0, 495},     {555, 585},  {1200, 1500}, {2715, 1740},
                              {4515, 1245}, {5805, 870}, {6750, 870}};
const char* const Captions[7] = {"ID", "Cod.", "Nombre", "Servicio", "Precio", "Inicio", "Caduc."};

constexpr int AltoCabeceraInforme = 1100;
constexpr int AltoCabeceraPagina = 360;
constexpr int AltoDetalle = 260;
constexpr int AltoPiePagina = 400;
constexpr int AltoPieInforme = 800;
constexpr int AnchoInforme = 7680;

// The columns across the page: the layout above, with the width the page has beyond it given
// to the name (three quarters) and the service (one quarter), so long names are printed whole.
struct Columnas {
    std::array<Caja, 7> cabeceras;
    std::array<Caja, 7> detalles;
    int ancho = AnchoInforme;
    int extra = 0;
};

Columnas Disponer(int anchoPagina) {
    Columnas c;
    c.extra = std::max(0, anchoPagina - AnchoInforme);
    c.ancho = AnchoInforme + c.extra;
    const int nombre = c.extra * 3 / 4;
    const int servicio = c.extra - nombre;
    for (int i = 0; i < 7; ++i) {
        c.cabeceras[static_cast<size_t>(i)] = Cabeceras[i];
        c.detalles[static_cast<size_t>(i)] = Detalles[i];
    }
    for (auto* fila : {&c.cabeceras, &c.detalles}) {
        (*fila)[2].ancho += nombre;
        (*fila)[3].izquierda += nombre;
        (*fila)[3].ancho += servicio;
        for (size_t i = 4; i < 7; ++i)
            (*fila)[i].izquierda += c.extra;
    }
    return c;
}

class Pintor {
public:
    Pintor(QPagedPaintDevice& d, const InformeBusqueda::Datos& datos)
        : destino_(d), datos_(datos), p_(&d) {
        escala_ = d.logicalDpiY() / 1440.0;
        altoPagina_ = static_cast<int>(d.height() / escala_);
        columnas_ = Disponer(static_cast<int>(d.width() / (d.logicalDpiX() / 1440.0)));
    }

    // Where each page's detail lines start and end, and whether the report footer fits on
    // the last page: worked out before painting so every page knows the total.
    int paginar() {
        inicios_.clear();
        int y = AltoCabeceraInforme + AltoCabeceraPagina;
        const int limite = altoPagina_ - AltoPiePagina;
        inicios_.push_back(0);
        for (size_t i = 0; i < datos_.lineas.size(); ++i) {
            if (y + AltoDetalle > limite) {
                inicios_.push_back(i);
                y = AltoCabeceraPagina;
            }
            y += AltoDetalle;
        }
        pieAparte_ = y + AltoPieInforme > limite;
        return static_cast<int>(inicios_.size()) + (pieAparte_ ? 1 : 0);
    }

    int pintar() {
        const int paginas = paginar();
        for (int pagina = 0; pagina < paginas; ++pagina) {
            if (pagina > 0)
                destino_.newPage();
            int y = 0;
            if (pagina == 0)
                y = cabeceraInforme();
            y = cabeceraPagina(y);
            if (static_cast<size_t>(pagina) < inicios_.size()) {
                const size_t desde = inicios_[static_cast<size_t>(pagina)];
                const size_t hasta = static_cast<size_t>(pagina) + 1 < inicios_.size()
                                         ? inicios_[static_cast<size_t>(pagina) + 1]
                                         : datos_.lineas.size();
                for (size_t i = desde; i < hasta; ++i)
                    y = detalle(y, datos_.lineas[i]);
            }
            if (pagina == paginas - 1)
                pieInforme(y, paginas);
            piePagina(pagina + 1);
        }
        p_.end();
        return paginas;
    }

private:
    QRectF r(int x, int y, int ancho, int alto) const {
        return QRectF(x * escala_, y * escala_, ancho * escala_, alto * escala_);
    }
    void fuente(double puntos, bool negrita = false) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setStyleHint(QFont::SansSerif);
        f.setPointSizeF(puntos);
        f.setBold(negrita);
        p_.setFont(f);
    }
    // A name or service too long for its box is printed smaller, down to 6 points, before it
    // would be cut.
    void textoAjustado(const QRectF& caja, const QString& t, Qt::Alignment a) {
        const QFont normal = p_.font();
        QFont f = normal;
        while (p_.fontMetrics().horizontalAdvance(t) > caja.width() && f.pointSizeF() > 6.0) {
            f.setPointSizeF(std::max(6.0, f.pointSizeF() - 0.25));
            p_.setFont(f);
        }
        texto(caja, t, a);
        p_.setFont(normal);
    }
    // Text cut with an ellipsis where it would run into the next box; a date is never cut.
    void texto(const QRectF& caja, const QString& t, Qt::Alignment a = Qt::AlignLeft,
               bool entero = false) {
        const QString corto =
            entero ? t
                   : p_.fontMetrics().elidedText(t, Qt::ElideRight, static_cast<int>(caja.width()));
        p_.drawText(entero ? caja.adjusted(0, 0, caja.width(), 0) : caja, a | Qt::AlignVCenter,
                    corto);
    }
    void linea(int y) {
        p_.setPen(QPen(Qt::black, 15 * escala_));
        p_.drawLine(QPointF(0, y * escala_), QPointF(columnas_.ancho * escala_, y * escala_));
    }

    int cabeceraInforme() {
        if (!datos_.imagen.isNull())
            p_.drawImage(r(75, 240, 795, 705), datos_.imagen);
        p_.setPen(Qt::black);
        fuente(9);
        texto(r(3525 + columnas_.extra, 75, 4125, 240), InformeBusqueda::FechaLarga(datos_.fecha),
              Qt::AlignRight);
        fuente(14, true);
        texto(r(990, 465, 6675 + columnas_.extra, 400), datos_.titulo);
        // Forma1: a frame round the header.
        p_.setPen(QPen(QColor(0, 0, 128), 20 * escala_));
        p_.setBrush(Qt::NoBrush);
        p_.drawRoundedRect(r(0, 20, columnas_.ancho, AltoCabeceraInforme - 80), 60 * escala_,
                           60 * escala_);
        return AltoCabeceraInforme;
    }
    int cabeceraPagina(int y) {
        p_.setPen(Qt::black);
        fuente(8, true);
        for (size_t c = 0; c < 7; ++c)
            texto(r(columnas_.cabeceras[c].izquierda, y + 60, columnas_.cabeceras[c].ancho, 240),
                  QString::fromUtf8(Captions[c]));
        linea(y + AltoCabeceraPagina - 30);
        return y + AltoCabeceraPagina;
    }
    int detalle(int y, const InformeBusqueda::Linea& l) {
        p_.setPen(Qt::black);
        fuente(7.5);
        for (size_t c = 0; c < 7; ++c) {
            const Caja& caja = columnas_.detalles[c];
            const QRectF lugar = r(caja.izquierda, y, caja.ancho - (c == 4 ? 150 : 0), AltoDetalle);
            if (c == 2 || c == 3)
                textoAjustado(lugar, l[c], Qt::AlignLeft);
            else
                texto(lugar, l[c], c == 0 || c == 4 ? Qt::AlignRight : Qt::AlignLeft, c >= 5);
        }
        return y + AltoDetalle;
    }
    void piePagina(int numero) {
        p_.setPen(Qt::black);
        fuente(8);
        const int y = altoPagina_ - AltoPiePagina + 80;
        const int centro = columnas_.extra / 2;
        texto(r(3225 + centro, y, 750, 240), QStringLiteral("Página "));
        texto(r(3975 + centro, y, 800, 240), QString::number(numero));
    }
    void pieInforme(int y, int paginas) {
        if (pieAparte_)
            y = AltoCabeceraPagina;
        linea(y + 40);
        p_.setPen(Qt::black);
        fuente(9, true);
        texto(r(60, y + 120, 1900, 260), QStringLiteral("Total de páginas :"));
        texto(r(2000, y + 120, 1000, 260), QString::number(paginas));
        fuente(8);
        texto(r(60, y + 420, 5000, 240), InformeBusqueda::FechaLarga(datos_.fecha));
    }

    QPagedPaintDevice& destino_;
    const InformeBusqueda::Datos& datos_;
    QPainter p_;
    double escala_ = 1;
    int altoPagina_ = 0;
    std::vector<size_t> inicios_;
    bool pieAparte_ = false;
    Columnas columnas_;
};

} // namespace

QString InformeBusqueda::FechaLarga(const QDate& fecha) {
    return QLocale(QLocale::Spanish, QLocale::Spain)
        .toString(fecha, QStringLiteral("dddd, d 'de' MMMM 'de' yyyy"));
}

std::vector<InformeBusqueda::Linea> InformeBusqueda::Lineas(Recordset& rs,
                                                            const FormatoFecha& fechas) {
    std::vector<Linea> lineas;
    if (rs.RecordCount() > 0)
        lineas.reserve(static_cast<size_t>(rs.RecordCount()));
    if (!rs.MoveFirst().ok())
        return lineas;
    auto campo = [&](const char* nombre) {
        return rs.Valor(QString::fromLatin1(nombre)).valor_o({});
    };
    auto numero = [](const QVariant& v) {
        return v.isNull() ? QString() : QString::number(v.toDouble(), 'g', 15);
    };
    auto precio = [](const QVariant& v) {
        return v.isNull() ? QString() : TextoPrecio(v.toDouble()).trimmed();
    };
    // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
    for (; !rs.Eof(); (void)rs.MoveNext())
        lineas.push_back({numero(campo("ID")), campo("fldCodigo").toString(),
                          campo("fldNombre").toString(), campo("fldServContratado").toString(),
                          precio(campo("fldPrecio")), fechas.Texto(campo("fldFechaInicio")),
                          fechas.Texto(campo("fldFechaCaducidad"))});
    return lineas;
}

int InformeBusqueda::Imprimir(QPagedPaintDevice& destino, const Datos& datos) {
    Pintor pintor(destino, datos);
    return pintor.pintar();
}

InformeBusqueda::Datos InformeBusqueda::DatosDe(Recordset& rs, const QString& titulo,
                                                const FormatoFecha& fechas, const QDate& hoy) {
    Datos datos;
    datos.titulo = titulo;
    datos.fecha = hoy;
    datos.imagen = QIcon(QStringLiteral(":/imagenes/Portiva.svg")).pixmap(96, 96).toImage();
    datos.lineas = Lineas(rs, fechas);
    return datos;
}

void InformeBusqueda::PrepararPagina(QPagedPaintDevice& destino) {
    destino.setPageSize(QPageSize(QPageSize::A4));
    destino.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
}

void InformeBusqueda::Mostrar(QWidget* padre, Recordset& rs, const QString& titulo,
                              const FormatoFecha& fechas, const QDate& hoy) {
    const Datos datos = DatosDe(rs, titulo, fechas, hoy);
    QPrinter impresora(QPrinter::HighResolution);
    PrepararPagina(impresora);
    impresora.setDocName(QStringLiteral("Listado de Consultas"));
    QPrintPreviewDialog vista(&impresora, padre);
    vista.setWindowTitle(QStringLiteral("Listado de Consultas"));
    vista.setWindowModality(Qt::ApplicationModal);
    QObject::connect(&vista, &QPrintPreviewDialog::paintRequested, &vista,
                     [&datos](QPrinter* p) { Imprimir(*p, datos); });
    // Beside the printer button: the same pages straight into a PDF file.
    if (auto* barra = vista.findChild<QToolBar*>()) {
        barra->addSeparator();
        QAction* pdf = barra->addAction(QStringLiteral("Guardar PDF"));
        pdf->setToolTip(QStringLiteral("Guardar el listado como PDF"));
        QObject::connect(pdf, &QAction::triggered, &vista, [&vista, &datos] {
            QString archivo = QFileDialog::getSaveFileName(
                &vista, QStringLiteral("Guardar el listado como PDF"),
                QStringLiteral("Listado de Consultas.pdf"), QStringLiteral("PDF (*.pdf)"));
            if (archivo.isEmpty())
                return;
            if (!archivo.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
                archivo += QStringLiteral(".pdf");
            QPdfWriter escritor(archivo);
            PrepararPagina(escritor);
            escritor.setResolution(600);
            escritor.setTitle(QStringLiteral("Listado de Consultas"));
            Imprimir(escritor, datos);
            if (!QFileInfo::exists(archivo))
                QMessageBox::warning(&vista, QStringLiteral("Listado de Consultas"),
                                     QStringLiteral("No se pudo guardar el archivo ") + archivo);
        });
    }
    vista.resize(900, 700);
    vista.exec();
}

} // namespace portiva
