#pragma once

#include "PlantillaHuella.h"

#include <QString>
#include <QtGlobal>

namespace portiva {

class BusquedaParalela;
class Conexion;
class GaleriaHuellas;
class RegistroEventos;
namespace motor {
class MotorHuella;
}

// The outcome of the duplicate check before a finger is enrolled.
struct DuplicadosHuella {
    // 0 when the check ran; the engine's (negative) code when it refused to prepare the
    // captured template, and then nothing was compared.
    int codigo = 0;
    // One line per other member whose stored template matches, in table order:
    // "ID <ID> <fldNombre> (<score>%)" and a line break; empty when there is none.
    QString lista;
};

// Compares the captured template with every stored template of the members table, in table
// order, with the engine's identification parameters, on all the threads of `busqueda`. The
// member `id` itself is never reported; rows without a template are skipped; a stored template
// the engine cannot read counts as no match and is named in the log. Every match is listed
// (the walk never stops early). The stored templates are the door's gallery, brought up to
// date with the file first (an identification waiting in its door pulse no longer uses it);
// when the file cannot be asked at once (locked by another program), the rows are read from
// the table as they stand, waiting for the lock as any read does. Nothing in the table is
// changed.
DuplicadosHuella HuellaDuplicada(GaleriaHuellas& galeria, Conexion& cnClientes,
                                 motor::MotorHuella& motor, BusquedaParalela& busqueda,
                                 RegistroEventos& registro, const PlantillaHuella& captura,
                                 qint32 id);

} // namespace portiva
