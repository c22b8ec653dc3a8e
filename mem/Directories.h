// Where the machine memory and the configuration live, and level-by-level directory creation.
#pragma once

#include <string>

namespace vorrel::mem {

// XDG_DATA_HOME (else the home directory + "/.local/share") + "/OskelAudio/Vorrel".
// Empty when no trustworthy directory exists: callers then store nothing.
std::string defaultStoreDir();
// XDG_CONFIG_HOME (else the home directory + "/.config") + "/OskelAudio/Vorrel"; empty as above.
std::string defaultConfigDir();
// HOME when it is an absolute path, else the account's home from the password database; empty if neither.
std::string homeDir();
// Creates every missing level with mode 0755; errors are ignored (they surface when a file is opened).
void ensureDirRecursive(const std::string& path);

}  // namespace vorrel::mem
