#include "GaleriaHuellas.h"

#include "Conexion.h"
#include "Plantilla.h"
#include "Recordset.h"
#include "RegistroCambios.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <unordered_map>

namespace portiva {

namespace {

// The table in slices, so that only a slice of the file's templates is in memory besides the
// gallery itself while it is read; all slices are read inside one read transaction.
const QString kRebanada =
    QStringLiteral("SELECT * FROM ClientesDB WHERE ID > ? ORDER BY ID LIMIT 2048");
constexpr long FilasPorRebanada = 2048;
const QString kFila = QStringLiteral("SELECT * FROM ClientesDB WHERE ID = ?");
// More changed rows than this: reading everything again is as quick.
constexpr std::size_t MaximoCambios = 2048;

bool Legible(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return false;
    motor::VistaPlantilla vista;
    return motor::CodecPlantilla::examinar(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                           static_cast<std::size_t>(bytes.size()), vista) == 0;
}

struct Campos {
    int plantilla = -1;
    int id = -1;
    int nombre = -1;
    int personal = -1;
    int inicio = -1;
    int caducidad = -1;
};

ResultadoDe<Campos> CamposDe(const Recordset& rs) {
    Campos c;
    c.plantilla = rs.IndiceCampo(QStringLiteral("fldTemplate"));
    c.id = rs.IndiceCampo(QStringLiteral("ID"));
    if (c.plantilla < 0 || c.id < 0)
        return ErrorDB{ErrorDB::CampoNoEncontrado,
                       QStringLiteral("La tabla de clientes no tiene las columnas ID y "
                                      "fldTemplate.")};
    c.nombre = rs.IndiceCampo(QStringLiteral("fldNombre"));
    c.personal = rs.IndiceCampo(QStringLiteral("fldStuffSiNo"));
    c.inicio = rs.IndiceCampo(QStringLiteral("fldFechaInicio"));
    c.caducidad = rs.IndiceCampo(QStringLiteral("fldFechaCaducidad"));
    return c;
}

// The current row as a member of the walk; false when it has no template at all (it is then
// not in the walk, though its position still counts). `anterior`, the row's checked template
// from before, is taken over when the bytes did not change.
bool LeerMiembro(const Recordset& rs, const Campos& c, std::vector<std::uint8_t>* anterior,
                 GaleriaHuellas::Miembro& m) {
    const QByteArrayView bytes = rs.bytesEn(c.plantilla);
    if (bytes.isEmpty() && rs.esNuloEn(c.plantilla))
        return false;
    // A value that holds no template bytes (a number, an empty text, damaged bytes) stays as an
    // unreadable row, skipped and named by the walk.
    const auto* datos = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (anterior && !anterior->empty() &&
        anterior->size() == static_cast<std::size_t>(bytes.size()) &&
        std::equal(anterior->begin(), anterior->end(), datos)) {
        m.plantilla = std::move(*anterior);
        m.legible = true;
    }
    if (!m.legible) {
        m.legible = Legible(bytes);
        if (m.legible)
            m.plantilla.assign(datos, datos + bytes.size());
    }
    m.nombre = rs.valorEn(c.nombre);
    m.personal = rs.valorEn(c.personal);
    m.inicio = rs.valorEn(c.inicio);
    m.caducidad = rs.valorEn(c.caducidad);
    return true;
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
    const bool mismaConexion = cargada_ && enlace_.lock() == enlace;
    if (mismaConexion && version.valor() == version_)
        return Estado::AlDia;

    // A file of an older version gets its change log once per connection, before its rows are
    // read, so that every write after the read is in the log. A read-only file keeps none.
    if (preparado_.lock() != enlace) {
        preparado_ = enlace;
        const auto registro = registro_cambios::Leer(cn);
        if (registro.ok() && !registro.valor().presente) {
            if (const Resultado r = registro_cambios::Preparar(cn); !r && EsBloqueo(r.error()))
                preparado_.reset(); // asked again at the next capture
        }
    }

    Resultado r;
    {
        const LecturaUnica lectura(cn);
        bool cambiada = false;
        if (mismaConexion && conRegistro_) {
            // Only a lock stops here; any other trouble with the log reads everything.
            const auto c = Cambiar(cn);
            if (c.ok())
                cambiada = c.valor();
            else if (EsBloqueo(c.error()))
                r = c.error();
        }
        if (r.ok() && !cambiada)
            r = Cargar(cn);
    }
    if (!r.ok()) {
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
    ids_.clear();
    ids_.shrink_to_fit();
    cargada_ = false;
    conRegistro_ = false;
    enlace_.reset();
}

Resultado GaleriaHuellas::LeerRegistro(Conexion& cn) {
    const auto esquema = registro_cambios::VersionEsquema(cn);
    if (!esquema.ok())
        return esquema.error();
    const auto registro = registro_cambios::Leer(cn);
    if (!registro.ok())
        return registro.error();
    esquema_ = esquema.valor();
    conRegistro_ = registro.valor().presente;
    ultimaEntrada_ = registro.valor().ultima;
    return {};
}

Resultado GaleriaHuellas::Cargar(Conexion& cn) {
    if (Resultado r = LeerRegistro(cn); !r.ok()) {
        conRegistro_ = false;
        return r;
    }
    // The rows loaded before, by ID: a template that has not changed keeps its checked copy.
    std::unordered_map<qint64, std::size_t> anteriores;
    anteriores.reserve(miembros_.size());
    for (std::size_t i = 0; i < miembros_.size(); ++i)
        if (miembros_[i].legible)
            anteriores.emplace(miembros_[i].id, i);

    std::vector<Miembro> miembros;
    miembros.reserve(miembros_.size());
    std::vector<qint64> ids;
    ids.reserve(ids_.size());
    qint64 desde = std::numeric_limits<qint64>::min();
    for (;;) {
        Recordset rs;
        if (Resultado r = rs.Open(kRebanada, cn, {QVariant::fromValue<qlonglong>(desde)}); !r) {
            // What was taken over from the gallery goes back, so that it stays whole.
            for (Miembro& m : miembros)
                if (const auto a = anteriores.find(m.id);
                    a != anteriores.end() && miembros_[a->second].plantilla.empty())
                    miembros_[a->second].plantilla = std::move(m.plantilla);
            return r;
        }
        const auto campos = CamposDe(rs);
        if (!campos.ok())
            return campos.error();
        long leidas = 0;
        // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
        for (; !rs.Eof(); (void)rs.MoveNext()) {
            ++leidas;
            Miembro m;
            m.id = rs.valorEn(campos.valor().id).toLongLong();
            ids.push_back(m.id);
            desde = m.id;
            m.posicion = static_cast<long>(ids.size());
            const auto a = anteriores.find(m.id);
            if (LeerMiembro(rs, campos.valor(),
                            a == anteriores.end() ? nullptr : &miembros_[a->second].plantilla, m))
                miembros.push_back(std::move(m));
        }
        // Closing a scratch recordset has nothing left to report: what it read is already taken.
        (void)rs.Close();
        if (leidas < FilasPorRebanada)
            break;
    }
    miembros_ = std::move(miembros);
    ids_ = std::move(ids);
    Ordenar();
    ++lecturasCompletas_;
    return {};
}

ResultadoDe<bool> GaleriaHuellas::Cambiar(Conexion& cn) {
    const auto esquema = registro_cambios::VersionEsquema(cn);
    if (!esquema.ok())
        return esquema.error();
    if (esquema.valor() != esquema_)
        return false;
    const auto cambios = registro_cambios::Desde(cn, ultimaEntrada_);
    if (!cambios.ok())
        return cambios.error();
    const registro_cambios::Cambios& c = cambios.valor();
    if (!c.completos || c.ids.size() > MaximoCambios)
        return false;

    // Each changed row as the file holds it now: gone, without a template, or a member. The
    // gallery itself is changed only once every row has been read.
    std::vector<qint64> cambiados = c.ids;
    std::sort(cambiados.begin(), cambiados.end());
    std::vector<qint64> presentes;
    std::vector<Miembro> nuevos;
    const auto porId = [](const Miembro& m, qint64 id) { return m.id < id; };
    for (const qint64 id : cambiados) {
        Recordset rs;
        if (Resultado r = rs.Open(kFila, cn, {QVariant::fromValue<qlonglong>(id)}); !r)
            return r.error();
        const auto campos = CamposDe(rs);
        if (!campos.ok())
            return campos.error();
        if (rs.Eof())
            continue;
        presentes.push_back(id);
        Miembro m;
        m.id = id;
        std::vector<std::uint8_t> anterior;
        if (const auto a = std::lower_bound(miembros_.begin(), miembros_.end(), id, porId);
            a != miembros_.end() && a->id == id)
            anterior = a->plantilla;
        if (LeerMiembro(rs, campos.valor(), &anterior, m))
            nuevos.push_back(std::move(m));
        // Closing a scratch recordset has nothing left to report: what it read is already taken.
        (void)rs.Close();
    }

    const auto cambiado = [&](qint64 id) {
        return std::binary_search(cambiados.begin(), cambiados.end(), id);
    };
    std::vector<qint64> ids;
    ids.reserve(ids_.size() + presentes.size());
    std::merge(ids_.begin(), std::remove_if(ids_.begin(), ids_.end(), cambiado), presentes.begin(),
               presentes.end(), std::back_inserter(ids));
    std::vector<Miembro> miembros;
    miembros.reserve(miembros_.size() + nuevos.size());
    auto n = nuevos.begin();
    for (Miembro& m : miembros_) {
        for (; n != nuevos.end() && n->id < m.id; ++n)
            miembros.push_back(std::move(*n));
        if (!cambiado(m.id))
            miembros.push_back(std::move(m));
    }
    for (; n != nuevos.end(); ++n)
        miembros.push_back(std::move(*n));

    ids_ = std::move(ids);
    miembros_ = std::move(miembros);
    Ordenar();
    ultimaEntrada_ = c.hasta;
    return true;
}

void GaleriaHuellas::Ordenar() {
    for (Miembro& m : miembros_)
        m.posicion =
            static_cast<long>(std::lower_bound(ids_.begin(), ids_.end(), m.id) - ids_.begin()) + 1;
    filas_.clear();
    filas_.reserve(miembros_.size());
    for (const Miembro& m : miembros_)
        filas_.push_back(m.legible ? BusquedaParalela::Fila{m.plantilla.data(), m.plantilla.size()}
                                   : BusquedaParalela::Fila{});
}

} // namespace portiva
