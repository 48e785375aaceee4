#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace portiva {

// A fingerprint template as the station keeps it. After an extraction `Data` holds the
// template's `Size` bytes followed by one more byte (set to 0): the whole array is what is
// stored in fldTemplate, handed to the engine and copied between instances, and a stored
// template loads back with `Size` = its length minus one. `Size` 0 means no template.
struct PlantillaHuella {
    // Bytes the engine may write into during an extraction; `Data` then holds one more.
    static constexpr qint32 Capacidad = 10000;

    QByteArray Data;
    qint32 Size = 0;

    // The bytes of a stored template (fldTemplate), with the extra trailing byte.
    static PlantillaHuella DesdeGuardada(const QByteArray& bytes) {
        PlantillaHuella p;
        p.Data = bytes;
        p.Size = bytes.isEmpty() ? 0 : static_cast<qint32>(bytes.size() - 1);
        return p;
    }
};

// A template is valid when its size is 1 or more.
inline bool PlantillaValida(const PlantillaHuella& plantilla) {
    return plantilla.Size >= 1;
}

} // namespace portiva
