#include "HuellaDuplicada.h"

#include "BusquedaParalela.h"
#include "CodigosMotor.h"
#include "MotorHuella.h"
#include "Recordset.h"
#include "RegistroEventos.h"
#include "ResultadoHuella.h"

#include <cstddef>
#include <unordered_map>
#include <utility>
#include <vector>

namespace portiva {

namespace {

// A stored row taken into the walk.
struct FilaDuplicada {
    qint64 id = 0;
    QString nombre;
    // Its entry in the walk; -1 for a value that holds no bytes (no template at all).
    std::ptrdiff_t entrada = -1;
};

} // namespace

DuplicadosHuella HuellaDuplicada(Conexion& cnClientes, motor::MotorHuella& motor,
                                 BusquedaParalela& busqueda, RegistroEventos& registro,
                                 const PlantillaHuella& captura, qint32 id) {
    DuplicadosHuella r;
    if (!PlantillaValida(captura)) {
        r.codigo = ResultadoHuella::PlantillaNoValida;
        return r;
    }
    const int preparada =
        motor.PrepararIdentificacion(reinterpret_cast<const std::uint8_t*>(captura.Data.data()),
                                     static_cast<int>(captura.Data.size()), 0);
    const auto consulta = motor.ConsultaIdentificacion();
    if (preparada < 0 || !consulta) {
        r.codigo = preparada < 0 ? preparada : motor::codigo::NoPermitidoAhora;
        return r;
    }

    Recordset rs;
    if (!rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cnClientes).ok()) {
        r.codigo = ResultadoHuella::SinBaseDatos;
        return r;
    }
    const int campoPlantilla = rs.IndiceCampo(QStringLiteral("fldTemplate"));
    const int campoID = rs.IndiceCampo(QStringLiteral("ID"));
    const int campoNombre = rs.IndiceCampo(QStringLiteral("fldNombre"));
    if (campoPlantilla < 0 || campoID < 0) {
        // Closing a scratch recordset has nothing left to report: what it read is already taken.
        (void)rs.Close();
        r.codigo = ResultadoHuella::SinBaseDatos;
        return r;
    }

    // Every other member with a template, in table order. The recordset holds every row in
    // memory while it is open, so the bytes stay where they are during the walk.
    std::vector<BusquedaParalela::Fila> filas;
    std::vector<FilaDuplicada> datos;
    // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
    for (; !rs.Eof(); (void)rs.MoveNext()) {
        const QByteArrayView bytes = rs.bytesEn(campoPlantilla);
        if (bytes.isEmpty() && rs.esNuloEn(campoPlantilla))
            continue;
        const qint64 idFila = rs.valorEn(campoID).toLongLong();
        if (idFila == id)
            continue;
        FilaDuplicada fila{idFila, campoNombre < 0 ? QString() : rs.valorEn(campoNombre).toString(),
                           -1};
        // A value that holds no bytes (a number, an empty text) is no template.
        if (!bytes.isEmpty()) {
            fila.entrada = static_cast<std::ptrdiff_t>(filas.size());
            filas.push_back({reinterpret_cast<const std::uint8_t*>(bytes.data()),
                             static_cast<std::size_t>(bytes.size())});
        }
        datos.push_back(std::move(fila));
    }

    // Each entry's answer is written in its own place, found from its bytes (every entry's
    // bytes are distinct), so the threads never share a slot; no answer ever decides, so the
    // walk covers every entry.
    std::unordered_map<const std::uint8_t*, std::size_t> indice;
    indice.reserve(filas.size());
    for (std::size_t i = 0; i < filas.size(); ++i)
        indice.emplace(filas[i].datos, i);
    std::vector<int> respuestas(filas.size(), 0);
    std::vector<int> puntuaciones(filas.size(), 0);
    const motor::ConsultaPreparada& q = *consulta;
    // Every row is looked at; the matches are collected by the comparison itself.
    (void)busqueda.buscar(filas, [&](const std::uint8_t* bytes, std::size_t tamano, int&) {
        const std::size_t i = indice.at(bytes);
        int puntuacion = 0;
        respuestas[i] = q.comparar(bytes, tamano, puntuacion);
        puntuaciones[i] = puntuacion;
        return 0;
    });
    // Closing a scratch recordset has nothing left to report: what it read is already taken.
    (void)rs.Close();

    for (const FilaDuplicada& fila : datos) {
        const int respuesta = fila.entrada < 0 ? motor::codigo::ParametroNulo
                                               : respuestas[static_cast<std::size_t>(fila.entrada)];
        if (respuesta < 0)
            registro.EscribirDetalle(
                QStringLiteral("Duplicada: Plantilla no valida en el cliente ID %1, se omite.")
                    .arg(fila.id));
        else if (respuesta == 1)
            r.lista += QStringLiteral("ID %1 %2 (%3%)\r\n")
                           .arg(fila.id)
                           .arg(fila.nombre)
                           .arg(puntuaciones[static_cast<std::size_t>(fila.entrada)]);
    }
    return r;
}

} // namespace portiva
