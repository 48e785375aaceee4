#include "ErroresHuella.h"

#include <array>

namespace portiva {

namespace {

struct MensajeHuella {
    long codigo;
    const char* texto;
};

// The engine's own codes (-1 to -209) and the station's (-997 to -999).
constexpr std::array<MensajeHuella, 24> kMensajes{{
    {-1, "Error al Inicializar MotorHuella. (Error:"},
    {-2, "La libreria MotorHuella no está inicializada. (Error:"},
    {-5, "El parámetro posee un valor nulo. (Error:"},
    {-6, "Fallo en la creación del objeto GDI. (Error:"},
    {-7, "Fallo al crear el contexto. No se puede asignar la memoria. (Error:"},
    {-8, "Uno o más parametros están fuera de limite. (Error:"},
    {-107, "Esta función no puede llamarse en este momento. (Error:"},
    {-108, "Error en el análisis de la huella. (Error:"},
    {-109, "La imagen es demasiado pequeña o demasiado grande.  (Error:"},
    {-110, "La imagen posee una resolución demasiado grande o demasiado pequeña. (Error:"},
    {-111, "No se puede crear el contexto. (Error:"},
    {-112, "El contexto no existe. (Error:"},
    {-201, "Error mientras se conectaba con el sensor. (Error:"},
    {-202, "Error durante la captura de la imagen del sensor. (Error:"},
    {-203, "Error finalizando la captura de la imagen del sensor. (Error:"},
    {-204, "El número 'idSensor' no es valido. (Error:"},
    {-205, "El sensor no está capturando la imagen. (Error:"},
    {-206, "El archivo tiene una extensión desconocida. (Error:"},
    {-207, "El nombre del archivo no es válido. (Error:"},
    {-208, "El tipo de archivo no es válido. (Error:"},
    {-209, "El sensor a efectuado un error. (Error:"},
    {-997, "Plantilla de análisis no válida. (Error:"},
    {-998, "Identificador ID no valido. (Error:"},
    {-999, "Imposible conectar a la base de datos. (Error:"},
}};

} // namespace

QString NumeroConSigno(long numero) {
    const QString cifras = QString::number(numero);
    return numero < 0 ? cifras : QLatin1Char(' ') + cifras;
}

QString TextoErrorHuella(long codigo) {
    for (const MensajeHuella& m : kMensajes)
        if (m.codigo == codigo)
            return QString::fromUtf8(m.texto) + NumeroConSigno(codigo) + QLatin1Char(')');
    return QStringLiteral("Error:") + NumeroConSigno(codigo);
}

QString CausaErrorAnalisis(long codigo) {
    const QString causa = QStringLiteral("Causa: ");
    switch (codigo) {
    case -108:
        return causa + QStringLiteral("no se encontro una huella en la imagen.");
    case -109:
        return causa + QStringLiteral("la imagen es demasiado pequeña o demasiado grande.");
    case -110:
        return causa + QStringLiteral("la resolucion de la imagen no es valida.");
    default:
        return causa + TextoErrorHuella(codigo);
    }
}

} // namespace portiva
