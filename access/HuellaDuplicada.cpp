#include "HuellaDuplicada.h"

#include "BusquedaParalela.h"
#include "CodigosMotor.h"
#include "GaleriaHuellas.h"
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

// The rows to compare, in table order: `filas` holds the bytes of the entries the walk takes.
struct Entradas {
    std::vector<BusquedaParalela::Fila> filas;
    std::vector<FilaDuplicada> datos;
    bool comprobadas = false; // the gallery's copies, verified when they came in
};

// From the gallery: a value it found unreadable is no entry, and counts as no template.
Entradas DeLaGaleria(const GaleriaHuellas& galeria, qint32 id) {
    Entradas e;
    e.comprobadas = true;
    for (std::size_t i = 0; i < galeria.tamano(); ++i) {
        const GaleriaHuellas::Miembro& m = galeria.miembro(i);
        if (m.id == id)
            continue;
        FilaDuplicada fila{m.id, m.nombre, -1};
        if (m.legible()) {
            fila.entrada = static_cast<std::ptrdiff_t>(e.filas.size());
            e.filas.push_back({m.datos(), m.tamano()});
        }
        e.datos.push_back(std::move(fila));
    }
    return e;
}

// From the table, in `rs` (which must stay open while the entries are used).
bool DeLaTabla(Recordset& rs, Conexion& cnClientes, qint32 id, Entradas& e) {
    if (!rs.Open(QStringLiteral("SELECT * FROM ClientesDB"), cnClientes).ok())
        return false;
    const int campoPlantilla = rs.IndiceCampo(QStringLiteral("fldTemplate"));
    const int campoID = rs.IndiceCampo(QStringLiteral("ID"));
    const int campoNombre = rs.IndiceCampo(QStringLiteral("fldNombre"));
    if (campoPlantilla < 0 || campoID < 0)
        return false;
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
            fila.entrada = static_cast<std::ptrdiff_t>(e.filas.size());
            e.filas.push_back({reinterpret_cast<const std::uint8_t*>(bytes.data()),
                               static_cast<std::size_t>(bytes.size())});
        }
        e.datos.push_back(std::move(fila));
    }
    return true;
}

} // namespace

DuplicadosHuella HuellaDuplicada(GaleriaHuellas& galeria, Conexion& cnClientes,
                                 motor::MotorHuella& motor, BusquedaParalela& busqueda,
                                 RegistroEventos& registro, const PlantillaHuella& captura,
                                 qint32 id) {
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
    Entradas entradas;
    if (galeria.Actualizar(cnClientes) == GaleriaHuellas::Estado::AlDia) {
        entradas = DeLaGaleria(galeria, id);
    } else if (!DeLaTabla(rs, cnClientes, id, entradas)) {
        r.codigo = ResultadoHuella::SinBaseDatos;
        return r;
    }
    const std::vector<BusquedaParalela::Fila>& filas = entradas.filas;

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
        respuestas[i] = entradas.comprobadas
                            ? GaleriaHuellas::Comparar(q, bytes, tamano, puntuacion)
                            : q.comparar(bytes, tamano, puntuacion);
        puntuaciones[i] = puntuacion;
        return 0;
    });

    for (const FilaDuplicada& fila : entradas.datos) {
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
    if (rs.State() == 1)
        // Closing a scratch recordset has nothing left to report: what it read is already
        // taken.
        (void)rs.Close();
    return r;
}

} // namespace portiva
