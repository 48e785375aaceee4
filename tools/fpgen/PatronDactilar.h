#pragma once

#include "CampoSuave.h"

#include <vector>

namespace portiva::fpgen {

class Aleatorio;
class Silueta;

// The Henry classes a master finger is drawn from.
enum class ClaseHuella {
    Arco,
    ArcoEnTienda,
    PresillaIzquierda,
    PresillaDerecha,
    Verticilo,
    DoblePresilla
};

struct PuntoSingular {
    double x = 0, y = 0;
    bool nucleo = true; // core, else delta
};

// The ridge flow of one finger: its class, its cores and deltas, the orientation field they
// induce (zero-pole model plus a smooth random perturbation) and the local ridge period.
class PatronDactilar {
public:
    PatronDactilar() = default;
    static PatronDactilar sortear(Aleatorio& rng, const Silueta& silueta, int ancho, int alto);

    ClaseHuella clase() const { return clase_; }
    const std::vector<PuntoSingular>& singulares() const { return singulares_; }

    // Ridge direction at (x, y) in image coordinates (y grows downwards), as an angle in
    // [0, pi) counted counter-clockwise on screen from the x axis.
    double orientacion(double x, double y) const;
    // Distance between neighbouring ridges at (x, y), in pixels at 500 dpi.
    double periodo(double x, double y) const;

private:
    double orientacionModelo(double x, double y) const;

    ClaseHuella clase_ = ClaseHuella::Arco;
    std::vector<PuntoSingular> singulares_;
    // Arch flow when there is no singular point: bow height, width and where it peaks.
    double arcoAltura_ = 0, arcoAncho_ = 1, arcoCx_ = 0, arcoCy_ = 0, arcoCaida_ = 1;
    double periodoBase_ = 9, alturaNucleo_ = 0, arriba_ = 0;
    double perturbacion_ = 0.1;
    double cx_ = 0, semiancho_ = 1, curvaturaPunta_ = 0;
    CampoSuave campoOrientacion_, campoPeriodo_;
};

} // namespace portiva::fpgen
