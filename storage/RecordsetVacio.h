#pragma once

namespace portiva {

class Recordset;

// True when the recordset is at its beginning and its end at once, or holds no rows (a closed
// recordset counts as empty).
bool RecordsetVacio(const Recordset& rs);

} // namespace portiva
