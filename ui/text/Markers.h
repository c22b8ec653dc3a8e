// The editor's small marker files: where they live, and writing them.
#pragma once

#include <string>

namespace vrui {

// The configuration directory the user presets also use; empty when no home directory can be found, in which
// case no marker is read or written.
std::string markerDir();
// Full paths of "hints-lang.txt", "first-run-done.txt" and "tour-done.txt"; empty without a directory.
std::string hintsLangFilePath();
std::string firstRunFilePath();
std::string tourFilePath();
// Creates the directories above the file, level by level with mode 0755; errors are ignored.
void ensureConfigDir(const std::string& path);
// Whether the marker exists (its content is ignored); false for an empty path.
bool markerPresent(const std::string& path);
// Writes content to the file after making its directory; false on any failure or an empty path.
bool writeMarkerFile(const std::string& path, const char* content);
// "done\n" into the first-run and the tour marker.
void saveFirstRunDone();
void saveTourDone();

}  // namespace vrui
