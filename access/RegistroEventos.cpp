#include "RegistroEventos.h"

#include "ErroresHuella.h"
#include "PantallaAcceso.h"
#include "Reloj.h"

namespace portiva {

QString HoraLog(const Reloj& reloj) {
    return reloj.hora().toString(QStringLiteral("HH:mm:ss"));
}

QString LineaLog(const Reloj& reloj, const QString& texto) {
    return HoraLog(reloj) + QStringLiteral(" -> ") + texto;
}

QString LineaLogDetalle(const Reloj& reloj, const QString& texto) {
    return HoraLog(reloj) + QStringLiteral(" ->       ") + texto;
}

RegistroEventos::RegistroEventos(PantallaAcceso& pantalla, const Reloj& reloj)
    : pantalla_(pantalla), reloj_(reloj) {}

void RegistroEventos::EscribirLog(const QString& linea) {
    pantalla_.EscribirLog(linea);
}

void RegistroEventos::Escribir(const QString& texto) {
    pantalla_.EscribirLog(LineaLog(reloj_, texto));
}

void RegistroEventos::EscribirDetalle(const QString& texto) {
    pantalla_.EscribirLog(LineaLogDetalle(reloj_, texto));
}

void RegistroEventos::MostrarErrorHuella(long codigo) {
    pantalla_.EscribirLog(TextoErrorHuella(codigo));
}

} // namespace portiva
