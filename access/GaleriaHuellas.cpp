#include "GaleriaHuellas.h"

#include "Conexion.h"
#include "Plantilla.h"
#include "Recordset.h"

#include <algorithm>
#include <unordered_map>

namespace portiva {

namespace {

const QString kConsultaClientes = QStringLiteral("SELECT * FROM ClientesDB");

bool Legible(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return false;
    motor::VistaPlantilla vista;
    return motor::CodecPlantilla::examinar(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                           static_cast<std::size_t>(bytes.size()), vista) == 0;
}

} // namespace

GaleriaHuellas::Estado GaleriaHuellas::Actualizar(Conexion& cn) {
    const SinEsperaBloqueo sinEspera(cn);
    const auto version = LeerVersionDatos(cn);
    if (!version.ok()) {
        if (EsBloqueo(version.error()))
            return Estado::Ocupada;
        Vaciar();
        return Estado::SinBaseDatos;
    }
    const auto enlace = cn.enlace();
    if (cargada_ && version.valor() == version_ && enlace_.lock() == enlace)
        return Estado::AlDia;
    if (const Resultado r = Cargar(cn); !r.ok()) {
        if (EsBloqueo(r.error()))
            return Estado::Ocupada;
        Vaciar();
        return Estado::SinBaseDatos;
    }
    // Read before the rows: anything written since then is seen at the next question.
    version_ = version.valor();
    enlace_ = enlace;
    cargada_ = true;
    return Estado::AlDia;
}

void GaleriaHuellas::Vaciar() {
    miembros_.clear();
    miembros_.shrink_to_fit();
    filas_.clear();
    filas_.shrink_to_fit();
    cargada_ = false;
    enlace_.reset();
}

Resultado GaleriaHuellas::Cargar(Conexion& cn) {
    Recordset rs;
    if (Resultado r = rs.Open(kConsultaClientes, cn); !r.ok())
        return r;
    const int campoPlantilla = rs.IndiceCampo(QStringLiteral("fldTemplate"));
    const int campoID = rs.IndiceCampo(QStringLiteral("ID"));
    if (campoPlantilla < 0 || campoID < 0)
        return ErrorDB{ErrorDB::CampoNoEncontrado,
                       QStringLiteral("La tabla de clientes no tiene las columnas ID y "
                                      "fldTemplate.")};
    // The rows loaded before, by ID: a template that has not changed keeps its checked copy.
    std::unordered_map<qint64, std::size_t> anteriores;
    anteriores.reserve(miembros_.size());
    for (std::size_t i = 0; i < miembros_.size(); ++i)
        if (miembros_[i].legible)
            anteriores.emplace(miembros_[i].id, i);
    filas_.clear();
    cargada_ = false;
    const int campoNombre = rs.IndiceCampo(QStringLiteral("fldNombre"));
    const int campoPersonal = rs.IndiceCampo(QStringLiteral("fldStuffSiNo"));
    const int campoInicio = rs.IndiceCampo(QStringLiteral("fldFechaInicio"));
    const int campoCaducidad = rs.IndiceCampo(QStringLiteral("fldFechaCaducidad"));

    std::vector<Miembro> miembros;
    miembros.reserve(static_cast<std::size_t>(std::max(0L, rs.RecordCount())));
    long posicion = 0;
    // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
    for (; !rs.Eof(); (void)rs.MoveNext()) {
        ++posicion;
        const QByteArrayView bytes = rs.bytesEn(campoPlantilla);
        // No template at all: not a member of the walk (its position still counts).
        if (bytes.isEmpty() && rs.esNuloEn(campoPlantilla))
            continue;
        Miembro m;
        m.posicion = posicion;
        m.id = rs.valorEn(campoID).toLongLong();
        // A value that holds no template bytes (a number, an empty text, damaged bytes) stays
        // as an unreadable row, skipped and named by the walk.
        const auto* datos = reinterpret_cast<const std::uint8_t*>(bytes.data());
        if (const auto a = anteriores.find(m.id); a != anteriores.end()) {
            std::vector<std::uint8_t>& antes = miembros_[a->second].plantilla;
            if (!antes.empty() && antes.size() == static_cast<std::size_t>(bytes.size()) &&
                std::equal(antes.begin(), antes.end(), datos)) {
                m.plantilla = std::move(antes);
                m.legible = true;
            }
        }
        if (!m.legible) {
            m.legible = Legible(bytes);
            if (m.legible)
                m.plantilla.assign(datos, datos + bytes.size());
        }
        m.nombre = rs.valorEn(campoNombre);
        m.personal = rs.valorEn(campoPersonal);
        m.inicio = rs.valorEn(campoInicio);
        m.caducidad = rs.valorEn(campoCaducidad);
        miembros.push_back(std::move(m));
    }
    // Closing a scratch recordset has nothing left to report: what it read is already taken.
    (void)rs.Close();

    miembros_ = std::move(miembros);
    filas_.clear();
    filas_.reserve(miembros_.size());
    for (const Miembro& m : miembros_)
        filas_.push_back(m.legible ? BusquedaParalela::Fila{m.plantilla.data(), m.plantilla.size()}
                                   : BusquedaParalela::Fila{});
    return {};
}

} // namespace portiva
