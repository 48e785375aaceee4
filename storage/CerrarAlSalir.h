#pragma once

#include "Recordset.h"

namespace portiva {

// Closes a scratch recordset that a procedure opened, on every way out of it.
class CerrarAlSalir {
public:
    explicit CerrarAlSalir(Recordset& rs) : rs_(rs) {}
    ~CerrarAlSalir() {
        if (rs_.State() == 1)
            // Closing a scratch recordset has nothing left to report: what it read is already
            // taken.
            (void)rs_.Close();
    }
    CerrarAlSalir(const CerrarAlSalir&) = delete;
    CerrarAlSalir& operator=(const CerrarAlSalir&) = delete;

private:
    Recordset& rs_;
};

} // namespace portiva
