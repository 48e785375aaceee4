#pragma once

#include "AcuerdoOrientacion.h"
#include "Plantilla.h"
#include "PresenciaMinucias.h"
#include "RejillaMinucias.h"
#include "SemillasAlineacion.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace portiva::motor {

struct ParametrosComparacion {
    int umbral = 0;   // score at or above which two prints match
    int rotacion = 0; // largest accepted rotation between them, degrees
};

// What one comparison paired, for the overlay drawing: index pairs (query, stored), the
// transform that brings the stored print onto the query and the stored print's orientation.
struct DetalleComparacion {
    std::vector<std::pair<int, int>> pares;
    float rotacion = 0; // radians
    float dx = 0, dy = 0;
    std::uint32_t sumaConsulta = 0;
    int bloque = 0, gw = 0, gh = 0;
    std::vector<std::uint8_t> orientacionGuardada;
    // The pairs the same prints find, on average, with the placement moved a few ridges off
    // (what chance pairs between them); -1 when the score was too low to ask.
    float paresAlAzar = -1;
};

// A query template made ready for comparing against many stored ones. Immutable once made:
// `comparar` may run on several threads at once, each on its own stored template bytes. The
// stored template is read in place (no decoding beyond checks), its descriptors compared by
// bit counts, the best local pairs tried as alignments, and minutiae paired under distance
// and angle tolerances; the score grows with the paired minutiae against those the two prints
// could share.
class ConsultaPreparada {
public:
    // Null and a negative code in `resultado` when the bytes are not a valid template.
    static std::shared_ptr<const ConsultaPreparada> crear(const std::uint8_t* plantilla,
                                                          std::size_t tamano,
                                                          ParametrosComparacion parametros,
                                                          int& resultado);

    // 1 = match (score at or above the threshold), 0 = no match, negative = the stored bytes
    // are not a valid template (score 0).
    int comparar(const std::uint8_t* guardada, std::size_t tamano, int& puntuacion,
                 DetalleComparacion* detalle = nullptr) const;
    // The same answer for a template whose checksum was already verified by the caller (a
    // gallery held in memory that checks every row as it comes in): its layout and bounds are
    // still checked, the checksum is not computed again.
    int compararComprobada(const std::uint8_t* guardada, std::size_t tamano, int& puntuacion) const;

    const ParametrosComparacion& parametros() const { return parametros_; }
    std::uint32_t suma() const { return suma_; }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

    static constexpr int PuntuacionMaxima = 999;
    // The score from which a comparison is also made the other way round, the stored print as
    // the query (see compararCon): from it up the score, and so every decision, does not depend
    // on which print is the query. Below any threshold in use; above what all but a few
    // comparisons in a thousand between unrelated fingers reach, so that nearly every
    // comparison of an identification is made one way round only.
    static constexpr int PuntuacionMinimaVuelta = 24;

private:
    ConsultaPreparada() = default;
    // Everything but the bytes, from a template already examined.
    static std::shared_ptr<ConsultaPreparada> desdeVista(const VistaPlantilla& v,
                                                         ParametrosComparacion parametros);
    int compararCon(const std::uint8_t* guardada, std::size_t tamano, bool comprobarSuma,
                    int& puntuacion, DetalleComparacion* detalle) const;
    struct Sentido;
    // The stored template paired onto this query, one way round.
    void unSentido(const VistaPlantilla& guardada, Sentido& resultado) const;
    // What `sentido` paired, for the drawing; `vuelta` when this query was the stored print of
    // the comparison asked for and `guardada` its query.
    void detallar(const Sentido& sentido, const VistaPlantilla& guardada, bool vuelta,
                  DetalleComparacion& detalle) const;
    static int redondear(float s);

    ParametrosComparacion parametros_;
    std::vector<std::uint8_t> bytes_;
    std::uint32_t suma_ = 0;
    int n_ = 0;
    std::vector<float> x_, y_;
    std::vector<std::uint8_t> angulo_, tipo_;     // direction (1/256 turn), kind
    std::vector<float> pesoSolape_;               // weight in the overlap, from the quality
    std::vector<std::uint64_t> celdas_, validas_; // n x 4 each
    std::vector<int> orden_;                      // position in the template of each minutia
    // The subset searched for alignment seeds, same layout; sPrimero_ by direction 0..255.
    std::vector<int> sIndice_, sPrimero_;
    std::vector<std::uint8_t> sAngulo_;
    std::vector<std::uint64_t> sCeldas_, sValidas_;
    alineacion::DescriptoresTraspuestos sTraspuestos_;
    RejillaMinucias rejilla_;     // the minutiae by position, for pairing
    PresenciaMinucias presencia_; // where they are, for the quick count
    // Where the query print has ridges.
    int bloque_ = 16, gw_ = 0, gh_ = 0;
    std::vector<std::uint8_t> orientacion_;
    std::vector<CeldaFlujo> celdasFlujo_; // the cells of orientacion_ with ridges
};

} // namespace portiva::motor
