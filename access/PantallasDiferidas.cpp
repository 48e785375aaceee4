#include "PantallasDiferidas.h"

#include <utility>

namespace portiva {

namespace {

template <class F> void Publicar(Buzon& destino, F&& llamada) {
    destino.Publicar(std::forward<F>(llamada));
}

} // namespace

void PantallaAccesoDiferida::EscribirLog(const QString& linea) {
    Publicar(ventana_, [&d = destino_, linea] { d.EscribirLog(linea); });
}

void PantallaAccesoDiferida::MostrarResultado(int indice) {
    Publicar(ventana_, [&d = destino_, indice] { d.MostrarResultado(indice); });
}

void PantallaAccesoDiferida::ShowBallon(int icono, const QString& tituloGlobo,
                                        const QString& textoGlobo, int flags) {
    Publicar(ventana_, [&d = destino_, icono, tituloGlobo, textoGlobo, flags] {
        d.ShowBallon(icono, tituloGlobo, textoGlobo, flags);
    });
}

void PantallaAccesoDiferida::InfoHuella(const QString& texto, bool rojo) {
    Publicar(ventana_, [&d = destino_, texto, rojo] { d.InfoHuella(texto, rojo); });
}

void PantallaAccesoDiferida::HabilitarAperturaManual(bool habilitado) {
    Publicar(ventana_, [&d = destino_, habilitado] { d.HabilitarAperturaManual(habilitado); });
}

void PantallaAccesoDiferida::MostrarContAperturas(int tipo, long valor, long totalHoy) {
    Publicar(ventana_, [&d = destino_, tipo, valor, totalHoy] {
        d.MostrarContAperturas(tipo, valor, totalHoy);
    });
}

void PantallaHuellaDiferida::MostrarCapturaHuella(const motor::ImagenRGB& imagen) {
    Publicar(ventana_, [&d = destino_, imagen] { d.MostrarCapturaHuella(imagen); });
}

void PantallaHuellaDiferida::DesplegarInfo(bool valor) {
    opciones_.infoDesplegada = valor;
    Publicar(ventana_, [&d = destino_, valor] { d.DesplegarInfo(valor); });
}

void PantallaHuellaDiferida::gotoRecordNum(qint16 posicion) {
    Publicar(ventana_, [&d = destino_, posicion] { d.gotoRecordNum(posicion); });
}

Respuesta MsgBoxDiferido::operator()(const QString& texto, int estilo, const QString& titulo) {
    Publicar(ventana_, [&d = destino_, texto, estilo, titulo] { (void)d(texto, estilo, titulo); });
    return Respuesta::Aceptar;
}

void MsgBoxDiferido::Preguntar(const QString& texto, int estilo, const QString& titulo,
                               std::function<void(Respuesta)> alResponder) {
    Publicar(ventana_, [&d = destino_, &puerta = puerta_, texto, estilo, titulo,
                        alResponder = std::move(alResponder)]() mutable {
        const Respuesta r = d(texto, estilo, titulo);
        Publicar(puerta, [alResponder = std::move(alResponder), r] { alResponder(r); });
    });
}

bool SonidoDiferido::Reproducir(const QString& ruta) {
    Publicar(ventana_, [&d = destino_, ruta] { (void)d.Reproducir(ruta); });
    return true;
}

} // namespace portiva
