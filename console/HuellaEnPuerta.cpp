#include "HuellaEnPuerta.h"

#include "AjustesEstacion.h"
#include "PlantillaHuella.h"
#include "PuertaEstacion.h"

#include <memory>

namespace portiva {

namespace {

QByteArray Guardable(QByteArrayView guardada) {
    const PlantillaHuella p = PlantillaHuella::DesdeGuardada(guardada.toByteArray());
    return p.Size > 0 ? p.Data : QByteArray();
}

} // namespace

void HuellaEnPuerta::IniciarHuella() {
    puerta_.Enviar([&p = puerta_] { p.huella().IniciarHuella(); });
}

void HuellaEnPuerta::FinalizarHuella() {
    puerta_.Enviar([&p = puerta_] { p.huella().FinalizarHuella(); });
}

void HuellaEnPuerta::cmdAnalizarHuella_Click() {
    puerta_.Enviar([&p = puerta_] { p.huella().cmdAnalizarHuella_Click(); });
}

void HuellaEnPuerta::cmdIndentificarHuellaDB_Click() {
    puerta_.Enviar([&p = puerta_] { p.huella().cmdIndentificarHuellaDB_Click(); });
}

void HuellaEnPuerta::cmdAddTemplateDB_Click(qint32 id, std::function<void(bool)> hecho) {
    const std::uint64_t generacion = generacion_;
    puerta_.Enviar([this, id, generacion, hecho = std::move(hecho)]() mutable {
        HuellaEstacion& huella = puerta_.huella();
        huella.cmdAddTemplateDB_Click(id, [&](bool enrolada) {
            QByteArray plantilla = huella.TemplateClienteGuardable();
            puerta_.buzonVentana().Publicar([this, enrolada, generacion, plantilla, hecho] {
                if (generacion != generacion_)
                    return; // the form shows another member by now
                if (enrolada)
                    guardable_ = plantilla;
                if (hecho)
                    hecho(enrolada);
            });
        });
    });
}

void HuellaEnPuerta::cmdVerificarHuellaDB_Click(bool modoEdicion, qint32 id,
                                                const QVariant& guardada) {
    puerta_.Enviar([&p = puerta_, modoEdicion, id, guardada] {
        p.huella().cmdVerificarHuellaDB_Click(modoEdicion, id, guardada);
    });
}

int HuellaEnPuerta::CargarImagen(const QString& ruta) {
    auto codigo = std::make_shared<int>(-1);
    (void)puerta_.Ejecutar(
        [&p = puerta_, ruta, codigo] { *codigo = p.huella().CargarImagen(ruta); },
        EsperaRespuestaMs);
    return *codigo;
}

bool HuellaEnPuerta::HayImagenCaptura() const {
    auto hay = std::make_shared<bool>(false);
    (void)puerta_.Ejecutar([&p = puerta_, hay] { *hay = p.huella().HayImagenCaptura(); },
                           EsperaRespuestaMs);
    return *hay;
}

int HuellaEnPuerta::GuardarImagen(const QString& ruta) {
    auto codigo = std::make_shared<int>(-1);
    (void)puerta_.Ejecutar(
        [&p = puerta_, ruta, codigo] { *codigo = p.huella().GuardarImagen(ruta); },
        EsperaRespuestaMs);
    return *codigo;
}

void HuellaEnPuerta::VersionMotor(int& mayor, int& menor) const {
    auto version = std::make_shared<std::pair<int, int>>(0, 0);
    (void)puerta_.Ejecutar(
        [&p = puerta_, version] { p.huella().VersionMotor(version->first, version->second); },
        EsperaRespuestaMs);
    mayor = version->first;
    menor = version->second;
}

void HuellaEnPuerta::CargarTemplateCliente(QByteArrayView guardada) {
    ++generacion_;
    guardable_ = Guardable(guardada);
    puerta_.Enviar([&p = puerta_, bytes = guardada.toByteArray()] {
        p.huella().CargarTemplateCliente(QByteArrayView(bytes));
    });
}

bool HuellaEnPuerta::Ocupada() const {
    return puerta_.estado().ocupada;
}

void HuellaEnPuerta::ConAjustesDeLaPuerta(AjustesEstacion& ajustes,
                                          void (ParametrosHuella::*llamada)(AjustesEstacion&)) {
    // The door works on its own copy; the settings take it only when the door answered in time.
    auto copia = std::make_shared<AjustesEstacion>(ajustes);
    if (puerta_.Ejecutar(
            [&p = puerta_, copia, llamada] { (p.huella().parametros().*llamada)(*copia); },
            EsperaRespuestaMs))
        ajustes = *copia;
}

void HuellaEnPuerta::LeerParametrosHuella(AjustesEstacion& ajustes) {
    ConAjustesDeLaPuerta(ajustes, &ParametrosHuella::LeerParametrosHuella);
}

void HuellaEnPuerta::AplicarParametrosHuella(const AjustesEstacion& ajustes) {
    puerta_.Enviar(
        [&p = puerta_, ajustes] { p.huella().parametros().AplicarParametrosHuella(ajustes); });
}

void HuellaEnPuerta::ColoresPorDefecto(AjustesEstacion& ajustes) {
    ConAjustesDeLaPuerta(ajustes, &ParametrosHuella::ColoresPorDefecto);
}

void HuellaEnPuerta::AplicarColoresHuella(const AjustesEstacion& ajustes) {
    puerta_.Enviar(
        [&p = puerta_, ajustes] { p.huella().parametros().AplicarColoresHuella(ajustes); });
}

void HuellaEnPuerta::IniciarCaptura(const QString& idSensor) {
    puerta_.Enviar([&p = puerta_, idSensor] { p.huella().captura().IniciarCaptura(idSensor); });
}

void HuellaEnPuerta::DetenerCaptura(const QString& idSensor) {
    puerta_.Enviar([&p = puerta_, idSensor] { p.huella().captura().DetenerCaptura(idSensor); });
}

} // namespace portiva
