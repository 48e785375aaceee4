#include "GaleriaHuellas.h"

#include "CodigosMotor.h"
#include "Conexion.h"
#include "ConsultaPreparada.h"
#include "Plantilla.h"
#include "PlantillaCompacta.h"
#include "Recordset.h"
#include "RegistroCambios.h"
#include "ReglaAcceso.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace portiva {

namespace {

// The table in slices, so that only a slice of the file's templates is in memory besides the
// gallery itself while it is read; all slices are read inside one read transaction.
const QString kRebanada =
    QStringLiteral("SELECT * FROM ClientesDB WHERE ID > ? ORDER BY ID LIMIT 256");
constexpr long FilasPorRebanada = 256;
const QString kFila = QStringLiteral("SELECT * FROM ClientesDB WHERE ID = ?");
// More changed rows than this: reading everything again is as quick.
constexpr std::size_t MaximoCambios = 2048;
// Up to this many rows gone or come, each moves the entries after it by one (a move of memory,
// under a millisecond at 250,000 members); more are merged into the gallery in one pass.
constexpr std::size_t MaximoDesplazamientos = 32;

// A sorted list of IDs with `quitar` taken out and `poner` put in (both sorted).
void CambiarOrdenados(std::vector<qint64>& v, const std::vector<qint64>& quitar,
                      const std::vector<qint64>& poner) {
    if (quitar.size() + poner.size() <= MaximoDesplazamientos) {
        for (const qint64 id : quitar)
            if (const auto p = std::lower_bound(v.begin(), v.end(), id); p != v.end() && *p == id)
                v.erase(p);
        for (const qint64 id : poner)
            v.insert(std::lower_bound(v.begin(), v.end(), id), id);
        return;
    }
    std::vector<qint64> quedan;
    quedan.reserve(v.size() + poner.size());
    std::set_difference(v.begin(), v.end(), quitar.begin(), quitar.end(),
                        std::back_inserter(quedan));
    v.clear();
    std::merge(quedan.begin(), quedan.end(), poner.begin(), poner.end(), std::back_inserter(v));
}

} // namespace

struct GaleriaHuellas::Campos {
    int plantilla = -1;
    int id = -1;
    int nombre = -1;
    int personal = -1;
    int inicio = -1;
    int caducidad = -1;

    static ResultadoDe<Campos> De(const Recordset& rs) {
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
};

// A row as read: gone from the table, there without a template, or a member of the walk.
struct GaleriaHuellas::Leida {
    enum class Tipo { Ausente, SinPlantilla, Miembro };
    qint64 id = 0;
    Tipo tipo = Tipo::Ausente;
    std::unique_ptr<Miembro> miembro;
    // The member of the gallery whose checked template this row holds unchanged: its copy is
    // taken over when the row is put in place, so that the gallery stays whole until then.
    Miembro* anterior = nullptr;
};

GaleriaHuellas::GaleriaHuellas() = default;
GaleriaHuellas::~GaleriaHuellas() = default;

GaleriaHuellas::Leida GaleriaHuellas::LeerFila(const Recordset& rs, const Campos& c, qint64 id,
                                               Miembro* anterior) {
    Leida l;
    l.id = id;
    const QByteArrayView bytes = rs.bytesEn(c.plantilla);
    if (bytes.isEmpty() && rs.esNuloEn(c.plantilla)) {
        l.tipo = Leida::Tipo::SinPlantilla;
        return l;
    }
    l.tipo = Leida::Tipo::Miembro;
    l.miembro = std::make_unique<Miembro>();
    Miembro& m = *l.miembro;
    m.id = id;
    m.nombre = rs.valorEn(c.nombre).toString();
    m.personal = EsPersonal(rs.valorEn(c.personal));
    m.inicio = DiaDeCampo(rs.valorEn(c.inicio));
    m.caducidad = DiaDeCampo(rs.valorEn(c.caducidad));
    // A value that holds no template bytes (a number, an empty text, damaged bytes) stays as an
    // unreadable row, skipped and named by the walk. Bytes past the template's own length are
    // not part of it.
    const auto* datos = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto tamano = static_cast<std::size_t>(bytes.size());
    if (anterior && anterior->legible() && MismaPlantilla(*anterior, datos, tamano)) {
        l.anterior = anterior;
        return l;
    }
    motor::VistaPlantilla vista;
    if (tamano > 0 && motor::CodecPlantilla::examinar(datos, tamano, vista) == 0) {
        auto compacta =
            plantilla_compacta::Compactar(datos, static_cast<std::size_t>(vista.longitud));
        m.plantilla_ = std::move(compacta.bytes);
        m.tamano_ = compacta.tamano;
    }
    return l;
}

bool GaleriaHuellas::MismaPlantilla(const Miembro& m, const std::uint8_t* datos,
                                    std::size_t tamano) {
    // What the member holds is what these bytes would give: the same template, whatever its
    // ridge segments say (they are not kept).
    std::array<std::uint8_t, motor::TamanoMaximoPlantilla> expandida;
    const std::uint8_t* suya = m.datos();
    std::size_t longitud = m.tamano();
    if (plantilla_compacta::EsCompacta(suya, longitud)) {
        longitud = plantilla_compacta::Expandir(suya, longitud, expandida.data());
        suya = expandida.data();
    }
    if (longitud < motor::TamanoCabeceraPlantilla || tamano < longitud)
        return false;
    const std::size_t n = suya[19];
    const std::size_t segmentos =
        motor::TamanoCabeceraPlantilla + n * (motor::BytesPorMinucia + motor::BytesPorCilindro);
    const std::size_t tras = segmentos + n * motor::BytesPorSegmento;
    return tras <= longitud && std::memcmp(suya, datos, segmentos) == 0 &&
           std::memcmp(suya + tras, datos + tras, longitud - tras) == 0;
}

std::vector<std::uint8_t> GaleriaHuellas::Miembro::plantilla() const {
    if (!legible())
        return {};
    if (!plantilla_compacta::EsCompacta(datos(), tamano()))
        return {datos(), datos() + tamano()};
    std::vector<std::uint8_t> r(static_cast<std::size_t>(motor::TamanoMaximoPlantilla));
    r.resize(plantilla_compacta::Expandir(datos(), tamano(), r.data()));
    return r;
}

int GaleriaHuellas::Comparar(const motor::ConsultaPreparada& consulta, const std::uint8_t* datos,
                             std::size_t tamano, int& puntuacion) {
    if (!plantilla_compacta::EsCompacta(datos, tamano))
        return consulta.compararComprobada(datos, tamano, puntuacion);
    std::array<std::uint8_t, motor::TamanoMaximoPlantilla> plantilla;
    const std::size_t longitud = plantilla_compacta::Expandir(datos, tamano, plantilla.data());
    if (longitud == 0) {
        puntuacion = 0;
        return motor::codigo::FueraDeLimite;
    }
    return consulta.compararComprobada(plantilla.data(), longitud, puntuacion);
}

void GaleriaHuellas::Tomar(Leida& l) {
    if (l.anterior == nullptr)
        return;
    l.miembro->plantilla_ = std::move(l.anterior->plantilla_);
    l.miembro->tamano_ = std::exchange(l.anterior->tamano_, 0);
    l.anterior = nullptr;
}

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
    sinPlantilla_.clear();
    sinPlantilla_.shrink_to_fit();
    cargada_ = false;
    conRegistro_ = false;
    enlace_.reset();
}

long GaleriaHuellas::posicion(std::size_t i) const {
    const auto antes =
        std::lower_bound(sinPlantilla_.begin(), sinPlantilla_.end(), miembros_[i]->id) -
        sinPlantilla_.begin();
    return static_cast<long>(i) + 1 + static_cast<long>(antes);
}

std::size_t GaleriaHuellas::Buscar(qint64 id) const {
    return static_cast<std::size_t>(
        std::lower_bound(miembros_.begin(), miembros_.end(), id,
                         [](const std::unique_ptr<Miembro>& m, qint64 v) { return m->id < v; }) -
        miembros_.begin());
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
    idUltimaEntrada_ = registro.valor().idUltima;
    return {};
}

Resultado GaleriaHuellas::Cargar(Conexion& cn) {
    if (Resultado r = LeerRegistro(cn); !r.ok()) {
        conRegistro_ = false;
        return r;
    }
    // Every row is read before the gallery changes; a member whose template did not change
    // takes its checked copy over only then, so a read that fails leaves the gallery whole.
    std::vector<Leida> leidas;
    leidas.reserve(miembros_.size());
    std::vector<qint64> sinPlantilla;
    // The gallery and the table, both in ID order, walked together.
    std::size_t anterior = 0;
    qint64 desde = std::numeric_limits<qint64>::min();
    for (;;) {
        Recordset rs;
        if (Resultado r = rs.Open(kRebanada, cn, {QVariant::fromValue<qlonglong>(desde)}); !r)
            return r;
        const auto campos = Campos::De(rs);
        if (!campos.ok())
            return campos.error();
        long leidasRebanada = 0;
        // MoveNext inside a snapshot walked forward cannot fail; Eof ends the walk.
        for (; !rs.Eof(); (void)rs.MoveNext()) {
            ++leidasRebanada;
            const qint64 id = rs.valorEn(campos.valor().id).toLongLong();
            desde = id;
            while (anterior < miembros_.size() && miembros_[anterior]->id < id)
                ++anterior;
            Miembro* antes = anterior < miembros_.size() && miembros_[anterior]->id == id
                                 ? miembros_[anterior].get()
                                 : nullptr;
            Leida l = LeerFila(rs, campos.valor(), id, antes);
            if (l.tipo == Leida::Tipo::SinPlantilla)
                sinPlantilla.push_back(id);
            else
                leidas.push_back(std::move(l));
        }
        // Closing a scratch recordset has nothing left to report: what it read is already taken.
        (void)rs.Close();
        SoltarCache(cn);
        if (leidasRebanada < FilasPorRebanada)
            break;
    }
    std::vector<std::unique_ptr<Miembro>> miembros;
    miembros.reserve(leidas.size());
    for (Leida& l : leidas) {
        Tomar(l);
        miembros.push_back(std::move(l.miembro));
    }
    miembros_ = std::move(miembros);
    sinPlantilla_ = std::move(sinPlantilla);
    RehacerFilas();
    ++lecturasCompletas_;
    return {};
}

ResultadoDe<bool> GaleriaHuellas::Cambiar(Conexion& cn) {
    const auto esquema = registro_cambios::VersionEsquema(cn);
    if (!esquema.ok())
        return esquema.error();
    if (esquema.valor() != esquema_)
        return false;
    const auto cambios = registro_cambios::Desde(cn, ultimaEntrada_, idUltimaEntrada_);
    if (!cambios.ok())
        return cambios.error();
    const registro_cambios::Cambios& c = cambios.valor();
    if (!c.completos || c.ids.size() > MaximoCambios)
        return false;

    // Each changed row as the file holds it now: gone, without a template, or a member. The
    // gallery itself is changed only once every row has been read.
    std::vector<qint64> cambiados = c.ids;
    std::sort(cambiados.begin(), cambiados.end());
    std::vector<Leida> leidas;
    leidas.reserve(cambiados.size());
    for (const qint64 id : cambiados) {
        Recordset rs;
        if (Resultado r = rs.Open(kFila, cn, {QVariant::fromValue<qlonglong>(id)}); !r)
            return r.error();
        const auto campos = Campos::De(rs);
        if (!campos.ok())
            return campos.error();
        if (rs.Eof()) {
            leidas.push_back({id, Leida::Tipo::Ausente, nullptr, nullptr});
        } else {
            const std::size_t i = Buscar(id);
            Miembro* antes =
                i < miembros_.size() && miembros_[i]->id == id ? miembros_[i].get() : nullptr;
            leidas.push_back(LeerFila(rs, campos.valor(), id, antes));
        }
        // Closing a scratch recordset has nothing left to report: what it read is already taken.
        (void)rs.Close();
    }
    Aplicar(leidas);
    ultimaEntrada_ = c.hasta;
    idUltimaEntrada_ = c.idHasta;
    return true;
}

void GaleriaHuellas::Aplicar(std::vector<Leida>& leidas) {
    std::vector<qint64> quitar, poner;
    for (const Leida& l : leidas) {
        quitar.push_back(l.id);
        if (l.tipo == Leida::Tipo::SinPlantilla)
            poner.push_back(l.id);
    }
    CambiarOrdenados(sinPlantilla_, quitar, poner);

    // A member edited in place is replaced where it stands; rows gone or come move the ones
    // after them.
    std::size_t desplazamientos = 0;
    for (const Leida& l : leidas) {
        const std::size_t i = Buscar(l.id);
        const bool esta = i < miembros_.size() && miembros_[i]->id == l.id;
        desplazamientos += esta != (l.tipo == Leida::Tipo::Miembro);
    }
    if (desplazamientos <= MaximoDesplazamientos) {
        for (Leida& l : leidas) {
            const std::size_t i = Buscar(l.id);
            const bool esta = i < miembros_.size() && miembros_[i]->id == l.id;
            const auto donde = static_cast<std::ptrdiff_t>(i);
            if (l.tipo == Leida::Tipo::Miembro) {
                Tomar(l);
                const BusquedaParalela::Fila fila{l.miembro->datos(), l.miembro->tamano()};
                if (esta) {
                    miembros_[i] = std::move(l.miembro);
                    filas_[i] = fila;
                } else {
                    miembros_.insert(miembros_.begin() + donde, std::move(l.miembro));
                    filas_.insert(filas_.begin() + donde, fila);
                }
            } else if (esta) {
                miembros_.erase(miembros_.begin() + donde);
                filas_.erase(filas_.begin() + donde);
            }
        }
        return;
    }
    std::vector<std::unique_ptr<Miembro>> miembros;
    miembros.reserve(miembros_.size() + leidas.size());
    auto l = leidas.begin();
    const auto ponerLeida = [&] {
        if (l->tipo == Leida::Tipo::Miembro) {
            Tomar(*l);
            miembros.push_back(std::move(l->miembro));
        }
        ++l;
    };
    for (std::unique_ptr<Miembro>& m : miembros_) {
        while (l != leidas.end() && l->id < m->id)
            ponerLeida();
        if (l != leidas.end() && l->id == m->id)
            ponerLeida(); // the row as it stands now replaces the member
        else
            miembros.push_back(std::move(m));
    }
    while (l != leidas.end())
        ponerLeida();
    miembros_ = std::move(miembros);
    RehacerFilas();
}

void GaleriaHuellas::RehacerFilas() {
    filas_.clear();
    filas_.reserve(miembros_.size());
    for (const std::unique_ptr<Miembro>& m : miembros_)
        filas_.push_back({m->datos(), m->tamano()});
}

} // namespace portiva
