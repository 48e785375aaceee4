#pragma once

#include <QString>

namespace portiva {

class PantallaAcceso;
class Reloj;

// Time of day as the event log shows it ("HH:mm:ss").
QString HoraLog(const Reloj& reloj);

// A log line: the time of day, " -> " and the text.
QString LineaLog(const Reloj& reloj, const QString& texto);

// A log line of an analysis, identification or failed-opening step: the time of day, the
// arrow and seven blanks (" ->       "), then the text.
QString LineaLogDetalle(const Reloj& reloj, const QString& texto);

// The event log as the access layer writes it: lines go to the window's list through
// PantallaAcceso, the time of day comes from the station clock.
class RegistroEventos {
public:
    RegistroEventos(PantallaAcceso& pantalla, const Reloj& reloj);

    // Appends the line as it is.
    void EscribirLog(const QString& linea);
    // Appends LineaLog(texto).
    void Escribir(const QString& texto);
    // Appends LineaLogDetalle(texto).
    void EscribirDetalle(const QString& texto);
    // Appends the line of a fingerprint result code (TextoErrorHuella), with no time.
    void MostrarErrorHuella(long codigo);

    const Reloj& reloj() const { return reloj_; }

private:
    PantallaAcceso& pantalla_;
    const Reloj& reloj_;
};

} // namespace portiva
