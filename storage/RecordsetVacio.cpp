#include "RecordsetVacio.h"

#include "Recordset.h"

namespace portiva {

bool RecordsetVacio(const Recordset& rs) {
    return (rs.Bof() && rs.Eof()) || rs.RecordCount() <= 0;
}

} // namespace portiva
