#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace portiva::demo {

// What the demo folder is made from.
struct OpcionesDemo {
    QString carpeta;  // the program folder to prepare
    QString programa; // the station executable copied into it
    QString recursos; // the project's assets/ (Sonidos/, Skins/)
    QDate hoy = QDate::currentDate();
};

// Prepares a ready station folder for the demo: the demo member database with one synthetic
// finger enrolled per member (the template the station's engine extracts from the clean
// impression, stored with the station's extra trailing byte), other impressions of the
// enrolled fingers and of a finger nobody has in "Huellas/", the access sounds, the default
// skin, an empty "Fotos/", the station program and the simulated reader's folder
// "LectorSimulado/". Every print in "Huellas/" is checked with the engine: an impression of
// a member's finger identifies that member first in table order, the unknown finger nobody.
class PreparadorDemo {
public:
    explicit PreparadorDemo(OpcionesDemo opciones);

    // Builds (or rebuilds) the folder. False with the reason in error(); a missing program or
    // asset is found before anything in the folder is touched. What an earlier demo left there
    // (database, settings, prints, sounds, skins, program) is replaced; other files stay.
    bool Preparar();
    QString error() const { return error_; }

    // The synthetic fingers of the demo: member n of the table has finger n of this seed,
    // the unknown finger is DedoDesconocido.
    static constexpr std::uint64_t Semilla = 20261208;
    static constexpr int DedoDesconocido = 90;
    // Impressions kept per finger in "Huellas/".
    static constexpr int ImpresionesPorDedo = 2;
    // The name of the unknown finger's files ("desconocido_1.bmp", ...).
    static QString NombreDesconocido() { return QStringLiteral("desconocido"); }
    // Name in "Huellas/" of impression `n` (1-based) of a member code or of the unknown finger.
    static QString ArchivoHuella(const QString& quien, int n);

private:
    bool comprobarOrigenes();
    bool crearCarpetas();
    bool baseDeDatos();
    bool inscribirYGuardarHuellas();
    bool copiarRecursos();
    bool copiar(const QString& origen, const QString& destino);
    bool fallo(const QString& motivo);

    OpcionesDemo opciones_;
    QString error_;
};

} // namespace portiva::demo
