// Where the machine memory and the configuration live, and level-by-level directory creation.
#pragma once

#include <string>

namespace vorrel::mem {

// XDG_DATA_HOME (else HOME + "/.local/share") + "/OskelAudio/Vorrel".
std::string defaultStoreDir();
// XDG_CONFIG_HOME (else HOME + "/.config") + "/OskelAudio/Vorrel".
std::string defaultConfigDir();
// Creates every missing level with mode 0755; errors are ignored (they surface when a file is opened).
void ensureDirRecursive(const std::string& path);

}  // namespace vorrel::mem
