#pragma once

#include <QString>

namespace portiva {

// True when the path is not empty and names an existing normal file. Folders and hidden
// files do not count; a name with the wildcards '*' or '?' counts when any normal file in its
// folder matches it. Never fails: any problem reads as false.
bool FileExists(const QString& ruta);

} // namespace portiva
