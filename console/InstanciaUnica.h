#pragma once

#include <QLockFile>
#include <QString>

namespace portiva {

// Makes sure one station runs per program folder: holds the lock file "Portiva.lock" there for
// as long as the object lives. A lock left by a copy that crashed is taken over.
class InstanciaUnica {
public:
    enum class Resultado {
        Adquirida,  // this copy is the only one
        OtraCopia,  // another running copy holds the folder
        SinBloqueo, // the lock file cannot be made (a read-only folder): nothing to go by
    };

    explicit InstanciaUnica(const QString& carpetaPrograma);

    Resultado adquirir();
    bool adquirida() const { return bloqueo_.isLocked(); }

    static constexpr auto NombreBloqueo = "Portiva.lock";

private:
    QLockFile bloqueo_;
};

} // namespace portiva
