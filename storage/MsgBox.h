#pragma once

#include <QString>

namespace portiva {

// Message-box styles as the station passes them: the button set plus the icon.
namespace EstiloMsg {
constexpr int Ok = 0;
constexpr int SiNo = 4;
constexpr int Critico = 16;
constexpr int SiNoCancelarPregunta = 35;
constexpr int Exclamacion = 48;
constexpr int SiNoExclamacion = 52;
constexpr int Informacion = 64;
constexpr int SiNoInformacion = 68;
} // namespace EstiloMsg

// The operator's answer to a message box.
enum class Respuesta { Aceptar = 1, Cancelar = 2, Si = 6, No = 7 };

// Title shown by a box that has none of its own.
inline const QString TituloAplicacion = QStringLiteral("Portiva");

// Every modal message of the station goes through this one seam: the console shows a
// QMessageBox, tests script the answers and record what was asked.
class MsgBox {
public:
    virtual ~MsgBox() = default;
    // An empty title shows the application's title.
    virtual Respuesta operator()(const QString& texto, int estilo, const QString& titulo = {}) = 0;
};

} // namespace portiva
